#pragma once
// Admitting messages from processes of a lower integrity level into this elevated program's
// windows. Windows drops such messages unless the receiving window admits them; the function
// exists from Windows 7 on and is looked up at run time.
#include <windows.h>

using ChangeWindowMessageFilterExProc = BOOL(WINAPI*)(HWND window, UINT message, DWORD action,
                                                      void* status);

// user32's ChangeWindowMessageFilterEx, or null where the system has none.
ChangeWindowMessageFilterExProc SystemChangeWindowMessageFilterEx() noexcept;

// Lets files dropped from Explorer, which runs unelevated, reach the window: WM_DROPFILES
// and the two messages that carry the drop's data (WM_COPYDATA and WM_COPYGLOBALDATA).
void AdmitFileDrops(ChangeWindowMessageFilterExProc allow, HWND window) noexcept;
