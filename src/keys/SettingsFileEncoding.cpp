#include "keys/SettingsFileEncoding.h"

#include <windows.h>

#include <cstring>
#include <optional>

#include "keys/SettingsFile.h"
#include "win/CodePage932.h"
#include "win/FileSwap.h"
#include "win/UniqueHandle.h"
#include "win/WholeFile.h"

namespace {
enum class Mark { None, Utf8, Utf16LittleEndian, Utf16BigEndian };

struct MarkInfo {
    Mark mark;
    const char* bytes;
    std::size_t length;
    const char* name;
};
constexpr MarkInfo kMarks[] = {
    {Mark::Utf8, "\xEF\xBB\xBF", 3, "UTF-8"},
    {Mark::Utf16LittleEndian, "\xFF\xFE", 2, "UTF-16 (Unicode)"},
    {Mark::Utf16BigEndian, "\xFE\xFF", 2, "UTF-16 BE (Unicode big endian)"},
};

// Only the first bytes are read of a file without a mark, at every start.
const MarkInfo* MarkOf(const std::wstring& path) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char start[3] = {};
    DWORD read = 0;
    if (!file || !::ReadFile(file.Get(), start, sizeof start, &read, nullptr)) return nullptr;
    for (const MarkInfo& info : kMarks)
        if (read >= info.length && std::memcmp(start, info.bytes, info.length) == 0) return &info;
    return nullptr;
}

std::optional<std::wstring> FromUtf8(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (units <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), units);
    return wide;
}

// A lone surrogate is no character, and an odd byte no unit: either is not UTF-16.
std::optional<std::wstring> FromUtf16(const std::string& bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::wstring wide(bytes.size() / 2, L'\0');
    for (std::size_t at = 0; at < wide.size(); ++at) {
        const auto first = static_cast<unsigned char>(bytes[2 * at]);
        const auto second = static_cast<unsigned char>(bytes[2 * at + 1]);
        wide[at] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    for (std::size_t at = 0; at < wide.size(); ++at) {
        if (IsHighSurrogate(wide[at]) && at + 1 < wide.size() && IsLowSurrogate(wide[at + 1])) {
            ++at;
            continue;
        }
        if (IsHighSurrogate(wide[at]) || IsLowSurrogate(wide[at])) return std::nullopt;
    }
    return wide;
}

std::optional<std::wstring> Decoded(const MarkInfo& info, const std::string& bytes) {
    const std::string text = bytes.substr(info.length);
    if (info.mark == Mark::Utf8) return FromUtf8(text);
    return FromUtf16(text, info.mark == Mark::Utf16BigEndian);
}
}  // namespace

SettingsFileEncoding ConvertMarkedSettingsFile(const std::string& appDir) {
    using Outcome = SettingsFileEncoding::Outcome;
    const SettingsFile settings(appDir.c_str());
    if (!settings.IsUsable()) return {};
    const std::wstring path = WideFromCp932(settings.Path());
    const MarkInfo* info = MarkOf(path);
    if (!info) return {};
    // Too large to be the program's settings, or unreadable: never read as code page 932.
    const WholeFile file = ReadWholeFile(path, SettingsFile::kMaxFileBytes);
    if (file.result != FileRead::Read) return {Outcome::Unconvertible, {}, info->name};
    const std::optional<std::wstring> text = Decoded(*info, file.bytes);
    if (!text) return {Outcome::Unconvertible, L"\uFFFD", info->name};
    const Cp932Text converted = Cp932FromWide(*text);
    if (!converted.Exact()) return {Outcome::Unconvertible, converted.lost, info->name};
    // The original first, whole, then the new file beside it, then the swap: whatever fails
    // on the way, Vorlund.ini is either the user's file or its exact conversion. A .bak there
    // already (the setup keeps older settings under that name) is never replaced: the
    // original goes to the first free "Vorlund.ini.<n>.bak".
    bool kept = WriteWholeFile(path + L".bak", file.bytes, CREATE_NEW);
    for (int n = 2; !kept && n < 10; ++n)
        kept = WriteWholeFile(path + L"." + std::to_wstring(n) + L".bak", file.bytes, CREATE_NEW);
    const SwapNames names = SwapNamesFor(path);
    if (!kept || !WriteWholeFile(names.staged, converted.text)) {
        ::DeleteFileW(names.staged.c_str());
        return {Outcome::Unconvertible, {}, info->name};
    }
    // A swap stopped half-way keeps what it could not put in place: the next start takes the
    // user's file back from it.
    if (PutFileInPlace(names, path) != Placement::Placed) return {Outcome::Unconvertible, {}, info->name};
    return {Outcome::Converted, {}, info->name};
}
