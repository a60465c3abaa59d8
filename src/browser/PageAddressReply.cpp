#include "browser/PageAddressReply.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "win/CodePage932.h"

namespace {
// Every walk below steps over whole characters of code page 932, so that a byte that belongs
// to a double-byte character is never read as a quote or a comma.

// The first field: from the start up to and including the quote of the first '",' that
// begins on a character boundary, or everything when there is no such separator.
std::size_t FirstFieldLength(const char* text) noexcept {
    for (const char* p = text; *p; p = ::CharNextExA(kCodePage932, p, 0))
        if (p[0] == '"' && p[1] == ',') return static_cast<std::size_t>(p - text) + 1;
    return std::strlen(text);
}

// The start of the field's last character, or null for an empty field.
const char* LastChar(const char* begin, const char* end) noexcept {
    const char* last = nullptr;
    for (const char* p = begin; p < end; p = ::CharNextExA(kCodePage932, p, 0)) last = p;
    return last;
}

// How many bytes of [begin, end) fit into limit bytes without splitting a character.
std::size_t FittingLength(const char* begin, const char* end, std::size_t limit) noexcept {
    const char* p = begin;
    while (p < end) {
        const char* next = ::CharNextExA(kCodePage932, p, 0);
        if (next > end || static_cast<std::size_t>(next - begin) > limit) break;
        p = next;
    }
    return static_cast<std::size_t>(p - begin);
}
}  // namespace

bool ParsePageAddressReply(const BYTE* data, DWORD size, char (&address)[kPageAddressSize],
                           bool* whole) noexcept {
    if (!data || size == 0 || size == std::numeric_limits<DWORD>::max()) return false;

    // The reply need not be terminated within its size; the zero-filled copy one byte longer
    // always is, and everything below works on the copy.
    std::unique_ptr<char[]> copy(new (std::nothrow) char[size + 1]());
    if (!copy) return false;
    const void* nul = std::memchr(data, 0, size);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const BYTE*>(nul) - data) : size;
    std::memcpy(copy.get(), data, length);

    const char* begin = copy.get();
    const char* end = begin + FirstFieldLength(begin);
    if (begin < end && *begin == '"') ++begin;
    const char* last = LastChar(begin, end);
    if (last && *last == '"' && last + 1 == end) end = last;

    const std::size_t kept = FittingLength(begin, end, kPageAddressSize - 1);
    std::memcpy(address, begin, kept);
    address[kept] = '\0';
    if (whole) *whole = begin + kept == end;
    return true;
}
