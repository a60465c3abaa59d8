#include "browser/BrowserWindows.h"

#include <cstring>

namespace {
// Enough for the listed names; a longer class name is cut and then matches none of them.
constexpr int kClassNameSize = 64;

bool IsMainBrowserWindow(HWND hWnd) noexcept {
    if (!::IsWindowVisible(hWnd) || ::GetWindow(hWnd, GW_OWNER) != nullptr) return false;
    if (::GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return false;
    char className[kClassNameSize] = {};
    if (::GetClassNameA(hWnd, className, kClassNameSize) == 0) return false;
    return IsBrowserWindowClass(className);
}

BOOL CALLBACK StopAtBrowserWindow(HWND hWnd, LPARAM lParam) noexcept {
    if (!IsMainBrowserWindow(hWnd)) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}
}  // namespace

bool IsBrowserWindowClass(const char* className) noexcept {
    if (!className) return false;
    for (const char* known : kBrowserWindowClasses)
        if (std::strcmp(className, known) == 0) return true;
    return false;
}

HWND FindTopBrowserWindow() noexcept {
    // EnumWindows rather than a GetWindow(GW_HWNDNEXT) walk: it takes a snapshot of the
    // z-order, so windows that close or move meanwhile can neither end the walk on a dead
    // handle nor send it round in a loop.
    HWND found = nullptr;
    ::EnumWindows(&StopAtBrowserWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}
