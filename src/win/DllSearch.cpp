#include "win/DllSearch.h"

#include <windows.h>

#include "win/ProcAddress.h"

void RestrictDllSearchPath() noexcept {
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD flags);
    constexpr DWORD kSearchApplicationDir = 0x00000200;  // LOAD_LIBRARY_SEARCH_APPLICATION_DIR
    constexpr DWORD kSearchSystem32 = 0x00000800;        // LOAD_LIBRARY_SEARCH_SYSTEM32
    auto setDefault = GetProcAs<SetDefaultDllDirectoriesProc>(
        ::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchApplicationDir | kSearchSystem32)) return;
    ::SetDllDirectoryA("");
}
