#include "app/AppDirectory.h"

#include <windows.h>

#include <cstring>

#include "win/CodePage932.h"
#include "win/SystemLibrary.h"

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

bool AppDirectoryOfModule(void* module, char (&appDir)[kAppDirSize], std::wstring* unusable) {
    std::memset(appDir, 0, sizeof appDir);
    const std::wstring path = ModulePath(static_cast<HMODULE>(module));
    const Cp932Text converted = Cp932PathOf(path);
    if (!path.empty() && converted.Exact() && AppDirectoryFromModulePath(converted.text.c_str(), appDir)) return true;
    if (unusable) *unusable = path.substr(0, path.rfind(L'\\') + 1);
    return false;
}
