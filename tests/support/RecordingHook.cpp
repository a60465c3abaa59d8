// Stands in for VelComn.dll: installs no hook and appends each call to hook-calls.log beside
// itself ("Start 0x<target window>" or "Stop"), so a test can check the order of calls.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "VelComn.h"
#include "common/BesideModule.h"
#include "common/HookLogLine.h"

namespace {
HINSTANCE g_module = nullptr;

void AppendLine(const char* line) {
    const std::string path = FileBesideModule(g_module, "hook-calls.log");
    if (path.empty()) return;
    HANDLE file = ::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    ::WriteFile(file, "\r\n", 2, &written, nullptr);
    ::CloseHandle(file);
}
}  // namespace

extern "C" void __cdecl VelStartHook(HWND target) {
    AppendLine(HookStartLine(target).c_str());
}

extern "C" void __cdecl VelStopHook() { AppendLine("Stop"); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}
