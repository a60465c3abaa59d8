#include "browser/BrowserWindows.h"

#include <cstring>

#include "win/ProcAddress.h"
#include "win/SystemLibrary.h"
#include "win/UniqueHandle.h"

namespace {
// Enough for the listed names; a longer class name is cut and then matches none of them.
constexpr int kClassNameSize = 64;
constexpr DWORD kDwmCloaked = 14;  // DWMWA_CLOAKED
using DwmGetWindowAttributeProc = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);

struct Search {
    DwmGetWindowAttributeProc pfnAttribute;
    std::vector<HWND> windows;
};

bool IsCloaked(const Search& search, HWND hWnd) noexcept {
    DWORD cloaked = 0;
    return search.pfnAttribute &&
           SUCCEEDED(search.pfnAttribute(hWnd, kDwmCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

bool IsPageWindow(const Search& search, HWND hWnd) noexcept {
    if (!::IsWindowVisible(hWnd) || ::IsIconic(hWnd) || ::GetWindow(hWnd, GW_OWNER) != nullptr) return false;
    if (::GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST)) return false;
    char className[kClassNameSize] = {};
    if (::GetClassNameA(hWnd, className, kClassNameSize) == 0) return false;
    return IsBrowserWindowClass(className) && !IsCloaked(search, hWnd);
}

BOOL CALLBACK CollectBrowserWindow(HWND hWnd, LPARAM lParam) noexcept {
    auto& search = *reinterpret_cast<Search*>(lParam);
    if (IsPageWindow(search, hWnd)) {
        try {
            search.windows.push_back(hWnd);
        } catch (...) {
            return FALSE;
        }
    }
    return TRUE;
}
}  // namespace

bool IsBrowserWindowClass(const char* className) noexcept {
    if (!className) return false;
    for (const char* known : kBrowserWindowClasses)
        if (std::strcmp(className, known) == 0) return true;
    return false;
}

std::vector<HWND> FindBrowserWindows() {
    // The window manager's library, from the system directory and only for a capture.
    const UniqueModule dwm = LoadSystemLibrary("dwmapi.dll");
    Search search{GetProcAs<DwmGetWindowAttributeProc>(dwm.Get(), "DwmGetWindowAttribute"), {}};
    // EnumWindows rather than a GetWindow(GW_HWNDNEXT) walk: it takes a snapshot of the
    // z-order, so windows that close or move meanwhile can neither end the walk on a dead
    // handle nor send it round in a loop.
    ::EnumWindows(&CollectBrowserWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

const char* BareHostSchemeOf(HWND browser) noexcept {
    char className[kClassNameSize] = {};
    ::GetClassNameA(browser, className, kClassNameSize);
    return std::strcmp(className, "MozillaWindowClass") == 0 ? "http://" : "https://";
}
