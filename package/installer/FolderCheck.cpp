// The setup's question about a folder it is to read from and delete in with administrator
// rights (an older 32-bit installation's): the program's own rule, IsFolderSafeToTouch.
//   FolderCheck.exe FOLDER    exit code 0: it may; 1: it may not; 2: no single folder given
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win/DllSearch.h"
#include "win/WriteProtection.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchPath();
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!arguments) return 2;
    int result = 2;
    try {
        if (count == 2) result = IsFolderSafeToTouch(arguments[1]) ? 0 : 1;
    } catch (...) {
        result = 1;
    }
    ::LocalFree(arguments);
    return result;
}
