#include "win/DllSearch.h"

#include <windows.h>

#include "win/ProcAddress.h"

void RestrictDllSearchPath() noexcept {
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD flags);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    auto setDefault = GetProcAs<SetDefaultDllDirectoriesProc>(
        ::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystem32)) return;
    // Without the update the program's own folder stays in the search; it is no weaker than
    // Vorlund.exe itself, which anyone who can write that folder can replace.
    ::SetDllDirectoryA("");
}
