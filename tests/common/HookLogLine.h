#pragma once
// The line the recording hook library logs for a Start: the target window as a full-width
// pointer (8 hex digits in the 32-bit build, 16 in the 64-bit one), so that a window handle
// is never cut, whatever the build.
#include <windows.h>

#include <cstdio>
#include <string>

inline std::string HookStartLine(HWND target) {
    char line[48];
    std::snprintf(line, sizeof line, "Start 0x%0*llX", static_cast<int>(2 * sizeof(void*)),
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(target)));
    return line;
}
