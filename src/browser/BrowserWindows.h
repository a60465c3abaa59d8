#pragma once
// The one list of browsers whose address bar is read through accessibility, by the class
// of their top-level window, and the search for the one the user sees on top.
#include <windows.h>

// Chrome and everything built on it (Edge, Opera, Vivaldi, Brave, but also Electron
// programs, whose trees simply have no address bar), then Firefox.
constexpr const char* kBrowserWindowClasses[] = {"Chrome_WidgetWin_1", "MozillaWindowClass"};

// Whether a window class is one of the list (exact, case-sensitive, as the browsers
// register them).
bool IsBrowserWindowClass(const char* className) noexcept;

// The visible, unowned top-level browser window nearest the top of the z-order, or null
// when there is none. Owned windows and tool windows are passed over: Chrome gives its
// menus, bubbles and tooltips the same class as its main windows.
HWND FindTopBrowserWindow() noexcept;
