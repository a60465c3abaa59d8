#include "app/AppDirectory.h"

#include <windows.h>

#include <cstring>

bool AppDirectoryFromModulePath(const char* modulePath, char (&appDir)[kAppDirSize]) noexcept {
    std::memset(appDir, 0, sizeof appDir);
    if (!modulePath) return false;
    // Everything up to and including the last separator, like _splitpath's drive and
    // directory together, but aware of double-byte characters.
    const char* end = nullptr;
    for (const char* p = modulePath; *p; p = ::CharNextA(p))
        if (*p == '\\' || *p == '/') end = p + 1;
    if (!end) return false;
    const std::size_t length = static_cast<std::size_t>(end - modulePath);
    if (length + 1 > sizeof appDir) return false;
    std::memcpy(appDir, modulePath, length);
    return true;
}

bool AppDirectoryOfModule(void* module, char (&appDir)[kAppDirSize]) noexcept {
    char path[kAppDirSize] = {};
    const DWORD length =
        ::GetModuleFileNameA(static_cast<HMODULE>(module), path, sizeof path);
    // A full buffer means the path was cut: its directory would be some other directory.
    if (length == 0 || length >= sizeof path) {
        std::memset(appDir, 0, sizeof appDir);
        return false;
    }
    return AppDirectoryFromModulePath(path, appDir);
}
