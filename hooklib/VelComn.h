#pragma once
// VelComn.dll: reports favourite-key presses (a key pressed with at least two of Ctrl, Alt,
// Shift and Win held, or a dedicated key such as F13 with any of them or none) to one window
// as WM_APP_KEY_HIT. The exports use the C calling convention and undecorated names (see
// VelComn.def).
#include <windows.h>

#include "HookMessage.h"

extern "C" {
// Installs the keyboard hook from the calling thread, which must pump messages, and makes
// target the window that receives the reports. A second call only changes the target.
__declspec(dllexport) void __cdecl VelStartHook(HWND target);
// Removes the hook; no report is posted afterwards. Harmless without a Start.
__declspec(dllexport) void __cdecl VelStopHook();
// Replaces the set of claimed dedicated-key combinations (see VelClaimedKeys); it lasts across
// Stop and Start until the next call. Null claims nothing. Call it on the thread that starts
// the hook: FALSE, and nothing changed, from another thread while the hook is installed.
// FALSE, and nothing claimed, for a structure the library cannot read or more than 64 keys.
// Programs look it up with GetProcAddress: libraries before it have no such export.
__declspec(dllexport) BOOL __cdecl VelSetClaimedKeys(const VelClaimedKeys* claimed);
}
