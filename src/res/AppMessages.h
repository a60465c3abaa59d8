#pragma once
// The program's own window messages, in one place. Other programs send two of them: the hook
// library WM_APP_KEY_HIT (defined with the library, in HookMessage.h) and any program
// WM_APP_EDIT_CAPTION.
#include <windows.h>

#include "HookMessage.h"

// To the settings dialog: open the caption dialog of key wParam (0..29) and show the new
// caption in the label whose control id is lParam.
constexpr UINT WM_APP_EDIT_CAPTION = WM_APP + 99;
// From the notification area to the frame: wParam the icon id, lParam the mouse message.
constexpr UINT WM_APP_TRAY_NOTIFY = WM_APP + 100;
// To the tray window: take the icon away, bring it back.
constexpr UINT WM_APP_TRAY_REMOVE = WM_APP + 101;
constexpr UINT WM_APP_TRAY_RESTORE = WM_APP + 102;
// From the program's own worker threads to the frame: answers are waiting (never admitted
// from other processes; a message that does not come from a worker finds nothing to run).
constexpr UINT WM_APP_WORKER_REPLY = WM_APP + 103;
// The key-set list dialog to itself: fill the list once the dialog shows.
constexpr UINT WM_USER_FILL_LIST = WM_USER + 99;
