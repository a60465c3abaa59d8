#include "keys/SettingsFileEncoding.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

#include "keys/SettingsFile.h"
#include "win/CodePage932.h"
#include "win/UniqueHandle.h"

namespace {
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr DWORD kMaxFileBytes = 16 * 1024 * 1024;

// The file's bytes when it starts with the UTF-8 mark; nothing otherwise. Only the mark is
// read of every other file, at every start.
std::optional<std::string> ReadMarkedFile(const std::wstring& path) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    char mark[3] = {};
    DWORD read = 0;
    if (!::ReadFile(file.Get(), mark, 3, &read, nullptr) || read != 3 || std::memcmp(mark, kUtf8Mark, 3) != 0)
        return std::nullopt;
    const DWORD size = ::GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxFileBytes) return std::nullopt;
    std::string bytes(kUtf8Mark, 3);
    bytes.resize(size);
    if (size > 3 && (!::ReadFile(file.Get(), &bytes[3], size - 3, &read, nullptr) || read != size - 3))
        return std::nullopt;
    return bytes;
}

// creation: CREATE_ALWAYS, or CREATE_NEW where a file of that name is somebody's to keep.
bool WriteWhole(const std::wstring& path, const std::string& bytes, DWORD creation = CREATE_ALWAYS) {
    UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, 0, nullptr));
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
    const SettingsFile settings(appDir.c_str());
    if (!settings.IsUsable()) return {};
    const std::wstring path = WideFromCp932(settings.Path());
    const std::optional<std::string> bytes = ReadMarkedFile(path);
    if (!bytes) return {};
    const std::optional<std::wstring> text = FromUtf8(bytes->substr(3));
    if (!text) return {Outcome::Unconvertible, L"\uFFFD"};
    const Cp932Text converted = Cp932FromWide(*text);
    if (!converted.Exact()) return {Outcome::Unconvertible, converted.lost};
    // The original first, whole, then the new file beside it, then the swap: whatever fails
    // on the way, Vorlund.ini is either the user's file or its exact conversion. A .bak there
    // already (the setup keeps older settings under that name) is never replaced: the
    // original goes to the first free "Vorlund.ini.<n>.bak".
    bool kept = WriteWhole(path + L".bak", *bytes, CREATE_NEW);
    for (int n = 2; !kept && n < 10; ++n) kept = WriteWhole(path + L"." + std::to_wstring(n) + L".bak", *bytes, CREATE_NEW);
    const std::wstring fresh = path + L".new";
    if (!kept || !WriteWhole(fresh, converted.text) ||
        !::MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(fresh.c_str());
        return {Outcome::Unconvertible, {}};
    }
    return {Outcome::Converted, {}};
}
