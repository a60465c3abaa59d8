#include "keys/SettingsFileEncoding.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "win/CodePage932.h"
#include "win/UniqueHandle.h"

namespace {
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr DWORD kMaxFileBytes = 16 * 1024 * 1024;

std::optional<std::string> ReadWhole(const std::wstring& path) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    const DWORD size = ::GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxFileBytes) return std::nullopt;
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (size > 0 && (!::ReadFile(file.Get(), bytes.data(), size, &read, nullptr) || read != size)) return std::nullopt;
    return bytes;
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && ::FlushFileBuffers(file.Get());
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
}  // namespace

SettingsFileEncoding ConvertUtf8SettingsFile(const std::string& appDir) {
    using Outcome = SettingsFileEncoding::Outcome;
    const std::wstring path = WideFromCp932(appDir + "Vorlund.ini");
    const std::optional<std::string> bytes = ReadWhole(path);
    if (!bytes || bytes->compare(0, 3, kUtf8Mark) != 0) return {};
    const std::optional<std::wstring> text = FromUtf8(bytes->substr(3));
    if (!text) return {Outcome::Unconvertible, L"\uFFFD"};
    const Cp932Text converted = Cp932FromWide(*text);
    if (!converted.Exact()) return {Outcome::Unconvertible, converted.lost};
    // The original first, whole, then the new file beside it, then the swap: whatever fails
    // on the way, Vorlund.ini is either the user's file or its exact conversion.
    const std::wstring backup = path + L".bak";
    const std::wstring fresh = path + L".new";
    if (!WriteWhole(backup, *bytes) || !WriteWhole(fresh, converted.text) ||
        !::MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(fresh.c_str());
        return {Outcome::Unconvertible, {}};
    }
    return {Outcome::Converted, {}};
}
