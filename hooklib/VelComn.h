#pragma once
// VelComn.dll: reports favourite-key presses (a key pressed with at least two of Ctrl, Alt,
// Shift and Win held) to one window as WM_APP_KEY_HIT. The exports use the C calling convention
// and undecorated names (see VelComn.def).
#include <windows.h>

extern "C" {
// Installs the keyboard hook from the calling thread, which must pump messages, and makes
// target the window that receives the reports. A second call only changes the target.
__declspec(dllexport) void __cdecl VelStartHook(HWND target);
// Removes the hook; no report is posted afterwards. Harmless without a Start.
__declspec(dllexport) void __cdecl VelStopHook();
}
