#include "app/AppDirectory.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "win/CodePage932.h"

bool AppDirectoryFromModulePath(const char* modulePath, char (&appDir)[kAppDirSize]) noexcept {
    std::memset(appDir, 0, sizeof appDir);
    if (!modulePath) return false;
    // Everything up to and including the last separator, like _splitpath's drive and
    // directory together, but aware of double-byte characters.
    const char* end = nullptr;
    for (const char* p = modulePath; *p; p = ::CharNextExA(kCodePage932, p, 0))
        if (*p == '\\' || *p == '/') end = p + 1;
    if (!end) return false;
    const std::size_t length = static_cast<std::size_t>(end - modulePath);
    if (length + 1 > sizeof appDir) return false;
    std::memcpy(appDir, modulePath, length);
    return true;
}

std::wstring ModulePath(void* module) {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(static_cast<HMODULE>(module), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        // A full buffer means the path was cut: its directory would be some other directory.
        if (length < path.size()) return std::wstring(path.data(), length);
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

bool AppDirectoryOfModule(void* module, char (&appDir)[kAppDirSize], std::wstring* unusable) {
    std::memset(appDir, 0, sizeof appDir);
    const std::wstring path = ModulePath(module);
    const std::size_t slash = path.rfind(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    Cp932Text converted = Cp932FromWide(folder);
    if (!converted.Exact()) {
        wchar_t shortFolder[MAX_PATH] = {};
        const DWORD length = ::GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) converted = Cp932FromWide(shortFolder);
    }
    if (!folder.empty() && converted.Exact() && !converted.text.empty() &&
        AppDirectoryFromModulePath((converted.text + "x").c_str(), appDir))
        return true;
    if (unusable) *unusable = folder.empty() ? path : folder;
    return false;
}
