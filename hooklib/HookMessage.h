#pragma once
// What VelComn.dll posts to its target window, shared by the library and the program:
// WM_APP_KEY_HIT with the virtual key in wParam and these modifier bits in lParam.
#include <windows.h>

constexpr UINT WM_APP_KEY_HIT = WM_APP + 109;

constexpr WORD kHookModAlt = 1;      // MOD_ALT
constexpr WORD kHookModControl = 2;  // MOD_CONTROL
constexpr WORD kHookModShift = 4;    // MOD_SHIFT
constexpr WORD kHookModWin = 8;      // MOD_WIN: either Windows key
