#include "browser/AddressText.h"

#include <windows.h>

#include <algorithm>

#include "win/CodePage932.h"
#include "win/ProcAddress.h"
#include "win/SystemLibrary.h"

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char kHttpsPrefix[] = "https://";

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

void AppendEscaped(unsigned char byte, std::string& out) {
    out += '%';
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
}

void AppendUtf8Escaped(char32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        AppendEscaped(static_cast<unsigned char>(codePoint), out);
    } else if (codePoint < 0x800) {
        AppendEscaped(static_cast<unsigned char>(0xC0 | (codePoint >> 6)), out);
        AppendEscaped(static_cast<unsigned char>(0x80 | (codePoint & 0x3F)), out);
    } else if (codePoint < 0x10000) {
        AppendEscaped(static_cast<unsigned char>(0xE0 | (codePoint >> 12)), out);
        AppendEscaped(static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F)), out);
        AppendEscaped(static_cast<unsigned char>(0x80 | (codePoint & 0x3F)), out);
    } else {
        AppendEscaped(static_cast<unsigned char>(0xF0 | (codePoint >> 18)), out);
        AppendEscaped(static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F)), out);
        AppendEscaped(static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F)), out);
        AppendEscaped(static_cast<unsigned char>(0x80 | (codePoint & 0x3F)), out);
    }
}

int HexValue(char c) {
    if (IsAsciiDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The byte of a %XX escape at at, or -1 when there is none.
int EscapeAt(const std::string& text, std::size_t at) {
    if (at + 3 > text.size() || text[at] != '%') return -1;
    const int high = HexValue(text[at + 1]);
    const int low = HexValue(text[at + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// The length of the character that starts at at: a double-byte character, the escapes of
// one UTF-8 character (a lead escape with its continuation escapes), or one byte.
std::size_t CharacterLength(const std::string& text, std::size_t at) {
    const int escaped = EscapeAt(text, at);
    if (escaped >= 0) {
        int continuations = escaped >= 0xF0 ? 3 : escaped >= 0xE0 ? 2 : escaped >= 0xC0 ? 1 : 0;
        std::size_t length = 3;
        for (; continuations > 0; --continuations) {
            const int next = EscapeAt(text, at + length);
            if (next < 0x80 || next > 0xBF) break;
            length += 3;
        }
        return length;
    }
    const auto byte = static_cast<BYTE>(text[at]);
    if (::IsDBCSLeadByteEx(kCodePage932, byte) && at + 1 < text.size()) return 2;
    return 1;
}

// Whether a space, a control character or the ideographic space (CP932 81 40) is in the
// text; read a whole character at a time, so that a trail byte is never taken for one.
bool HasBlank(const std::string& text) {
    for (std::size_t at = 0; at < text.size(); at += CharacterLength(text, at)) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte == ' ' || IsControl(byte)) return true;
        const bool ideographicSpace =
            byte == 0x81 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) == 0x40;
        if (ideographicSpace) return true;
    }
    return false;
}

// Whether text[from, to) is one or more digits.
bool IsNumber(const std::string& text, std::size_t from, std::size_t to) {
    if (from >= to) return false;
    for (std::size_t at = from; at < to; ++at)
        if (!IsAsciiDigit(text[at])) return false;
    return true;
}

// Where the host and port end: at the path, the query or the fragment.
std::size_t AuthorityEnd(const std::string& text) {
    const std::size_t end = text.find_first_of("/?#");
    return end == std::string::npos ? text.size() : end;
}

bool HasScheme(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || !IsAsciiLetter(text[0])) return false;
    for (std::size_t at = 1; at < colon; ++at) {
        const char c = text[at];
        if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    // "localhost:8080/x" has the form of a scheme too; digits up to the end of the authority
    // make it a port.
    return !IsNumber(text, colon + 1, AuthorityEnd(text));
}

bool IsLocalhost(const std::string& name) {
    static constexpr char kLocalhost[] = "localhost";
    if (name.size() != sizeof kLocalhost - 1) return false;
    for (std::size_t at = 0; at < name.size(); ++at) {
        const char c = name[at];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kLocalhost[at]) return false;
    }
    return true;
}

bool IsBareHost(const std::string& text) {
    const std::size_t end = AuthorityEnd(text);
    if (end == 0) return false;
    if (text[0] == '[') return text.find(']') < end;
    const std::size_t colon = text.find(':');
    if (colon < end) return colon > 0 && IsNumber(text, colon + 1, end);
    const std::string name = text.substr(0, end);
    // An intranet host is one word, and a path tells it from a word typed to search.
    const bool withPath = end < text.size() && text[end] == '/';
    return name[0] != '.' && (withPath || name.find('.') != std::string::npos || IsLocalhost(name));
}
}  // namespace

namespace {
bool IsPlainHostCharacter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' ||
           c == L'.';
}

// The address with a host name outside ASCII in its ASCII form ("例え.テスト" as
// "xn--r8jz45g.xn--zckzah"), which every browser and server takes; the text as it is when it
// names no such host. The host follows "scheme://", or starts the text when a browser hides
// the scheme; user, port and path around it stay as they are. Nothing when the host cannot be
// converted, or when its ASCII form holds anything but letters, digits, hyphens and dots: the
// conversion maps full-width "＠／：．" to "@/:.", and "bank.example＠evil.test" would
// become an address of the host evil.test.
std::optional<std::wstring> WithAsciiHost(const std::wstring& text) {
    using IdnToAsciiProc = int(WINAPI*)(DWORD flags, LPCWSTR unicode, int unicodeLength, LPWSTR ascii, int asciiLength);
    const std::size_t separator = text.find(L"://");
    std::size_t from = separator == std::wstring::npos ? 0 : separator + 3;
    std::size_t to = text.find_first_of(L"/?#", from);
    if (to == std::wstring::npos) to = text.size();
    const std::size_t user = text.rfind(L'@', to);
    if (user != std::wstring::npos && user >= from) from = user + 1;
    const std::size_t port = text.find(L':', from);
    if (port < to) to = port;
    if (from >= to || text[from] == L'[') return text;
    const std::wstring host = text.substr(from, to - from);
    // Without a scheme only a name with a dot is a host: a lone word is searched for.
    if (separator == std::wstring::npos && host.find(L'.') == std::wstring::npos) return text;
    bool ascii = true;
    for (wchar_t c : host) {
        if (c <= L' ' || c == 0x3000) return text;  // words being typed, not a host
        if (c >= 0x80) ascii = false;
    }
    if (ascii) return text;
    // kernel32 from Windows 7 on; normaliz.dll on Vista, loaded from the system folder.
    auto toAscii = GetProcAs<IdnToAsciiProc>(::GetModuleHandleA("kernel32.dll"), "IdnToAscii");
    UniqueModule normaliz;
    if (!toAscii) {
        normaliz = LoadSystemLibrary("normaliz.dll");
        toAscii = GetProcAs<IdnToAsciiProc>(normaliz.Get(), "IdnToAscii");
    }
    if (!toAscii) return std::nullopt;
    wchar_t converted[256] = {};
    const int hostLength = static_cast<int>(host.size());
    int length = toAscii(IDN_USE_STD3_ASCII_RULES, host.c_str(), hostLength, converted, 256);
    // Wine's rules refuse every name outside ASCII; the plain conversion's result is held to
    // the same rules below.
    if (length <= 0) length = toAscii(0, host.c_str(), hostLength, converted, 256);
    if (length <= 0) return std::nullopt;
    std::wstring asciiHost(converted, static_cast<std::size_t>(length));
    // Some systems' conversion ends with the terminator it counted.
    if (!asciiHost.empty() && asciiHost.back() == L'\0') asciiHost.pop_back();
    if (!std::all_of(asciiHost.begin(), asciiHost.end(), IsPlainHostCharacter)) return std::nullopt;
    return text.substr(0, from) + asciiHost + text.substr(to);
}
}  // namespace

std::optional<std::string> WideToCodePage932Address(const std::wstring& shown) {
    const std::optional<std::wstring> withAsciiHost = WithAsciiHost(shown);
    if (!withAsciiHost) return std::nullopt;
    const std::wstring& text = *withAsciiHost;
    std::string out;
    // Converted one character at a time: lpUsedDefaultChar says only whether some character
    // of a call failed, and we need to know which.
    for (std::size_t at = 0; at < text.size() && out.size() <= kMaxLinkBytes;) {
        const wchar_t unit = text[at];
        int units = 1;
        char32_t codePoint = unit;
        bool convertible = !(unit < 0x80 && IsControl(static_cast<unsigned char>(unit)));
        if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
            units = 2;
            codePoint = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                        (static_cast<char32_t>(text[at + 1]) - 0xDC00);
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            codePoint = kReplacementCharacter;
            convertible = false;
        }

        char bytes[8] = {};
        BOOL usedDefault = FALSE;
        int length = 0;
        if (convertible)
            length = ::WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, &text[at], units,
                                           bytes, sizeof bytes, nullptr, &usedDefault);
        if (length > 0 && !usedDefault)
            out.append(bytes, static_cast<std::size_t>(length));
        else
            AppendUtf8Escaped(codePoint, out);
        at += units;
    }
    return out;
}

std::optional<std::string> AddressFromShownText(const std::string& shown, const char* bareHostScheme) {
    const std::size_t first = shown.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const std::size_t last = shown.find_last_not_of(" \t");
    const std::string text = shown.substr(first, last - first + 1);
    if (HasBlank(text)) return std::nullopt;
    if (HasScheme(text)) return text;
    if (!IsBareHost(text)) return std::nullopt;
    return std::string(bareHostScheme ? bareHostScheme : kHttpsPrefix) + text;
}
