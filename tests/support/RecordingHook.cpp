// Stands in for VelComn.dll: installs no hook and appends each call to hook-calls.log beside
// itself ("Start 0x<target window>" or "Stop"), so a test can check the order of calls. The
// claimed keys go to hook-claims.log, one line per call: the key codes in hex, in the order
// given ("" for none).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "VelComn.h"
#include "common/BesideModule.h"
#include "common/HookLogLine.h"

namespace {
HINSTANCE g_module = nullptr;

void AppendLine(const char* line, const char* log = "hook-calls.log") {
    const std::string path = FileBesideModule(g_module, log);
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

extern "C" BOOL __cdecl VelSetClaimedKeys(const VelClaimedKeys* claimed) {
    std::string line;
    for (UINT i = 0; claimed && claimed->cbSize >= sizeof *claimed && i < claimed->count; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "%s0x%08lX", line.empty() ? "" : " ", static_cast<unsigned long>(claimed->keys[i]));
        line += code;
    }
    AppendLine(line.c_str(), "hook-claims.log");
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}
