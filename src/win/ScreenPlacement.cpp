#include "win/ScreenPlacement.h"

#include <algorithm>

#include "win/ProcAddress.h"

UINT DpiOfWindow(HWND window) noexcept {
    // GetDpiForWindow exists from Windows 10 (1607); before it, the system DPI.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    if (auto forWindow = GetProcAs<GetDpiForWindowProc>(::GetModuleHandleA("user32.dll"), "GetDpiForWindow"))
        if (const UINT dpi = forWindow(window)) return dpi;
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

int ScaleForWindow(HWND window, int pixelsAt96) noexcept {
    return ::MulDiv(pixelsAt96, static_cast<int>(DpiOfWindow(window)), 96);
}

RECT WorkAreaOf(HWND window) noexcept {
    return WorkAreaOfMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
}

RECT WorkAreaOfMonitor(HMONITOR monitor) noexcept {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && ::GetMonitorInfoA(monitor, &info)) return info.rcWork;
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

POINT FitOnWorkArea(const RECT& workArea, int x, int y, int width, int height) noexcept {
    x = std::max(std::min(x, static_cast<int>(workArea.right) - width), static_cast<int>(workArea.left));
    y = std::max(std::min(y, static_cast<int>(workArea.bottom) - height), static_cast<int>(workArea.top));
    return POINT{x, y};
}

void KeepOnWorkArea(HWND window) noexcept {
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) return;
    const POINT fitted = FitOnWorkArea(WorkAreaOf(window), rect.left, rect.top,
                                       rect.right - rect.left, rect.bottom - rect.top);
    if (fitted.x != rect.left || fitted.y != rect.top)
        ::SetWindowPos(window, nullptr, fitted.x, fitted.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
