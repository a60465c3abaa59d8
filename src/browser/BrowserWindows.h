#pragma once
// The one list of browsers whose address bar is read through accessibility, by the class
// of their top-level window, and the search for the windows the user sees.
#include <windows.h>

#include <vector>

// Chrome and everything built on it (Edge, Opera, Vivaldi, Brave, but also Electron
// programs, whose trees simply have no address bar), then Firefox.
constexpr const char* kBrowserWindowClasses[] = {"Chrome_WidgetWin_1", "MozillaWindowClass"};

// Whether a window class is one of the list (exact, case-sensitive, as the browsers
// register them).
bool IsBrowserWindowClass(const char* className) noexcept;

// The browser windows a page may be shown in, nearest the top of the z-order first: visible,
// unowned, not minimised, not cloaked (on another virtual desktop, or a suspended app), not
// tool windows and not topmost. Chrome gives its menus, bubbles and tooltips the same class
// as its main windows (owned, or tool windows), and a picture-in-picture window is a
// topmost one that holds only the video.
std::vector<HWND> FindBrowserWindows();

// The scheme a bare host shown in the window's address bar stands for: Firefox hides only
// "http://" (an https address shows its scheme), Chromium hides both and means https.
const char* BareHostSchemeOf(HWND browser) noexcept;
