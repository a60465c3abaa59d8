// The floor for the resident figures: the least a Win32 tray program is. One hidden window,
// one notification-area icon, a message loop, nothing else. Once Shell_NotifyIconA has added
// the icon the window is titled "TrayFloor ready", which is what the benchmark waits for;
// WM_CLOSE to the window removes the icon and ends the program.
#include <windows.h>
#include <shellapi.h>

namespace {
constexpr UINT kTrayMessage = WM_APP + 100;

NOTIFYICONDATAA g_icon{};

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_DESTROY:
            ::Shell_NotifyIconA(NIM_DELETE, &g_icon);
            ::PostQuitMessage(0);
            return 0;
        default: return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TrayFloor";
    ::RegisterClassA(&wc);
    HWND hwnd = ::CreateWindowExA(0, "TrayFloor", "TrayFloor", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (!hwnd) return 1;
    g_icon.cbSize = sizeof g_icon;
    g_icon.hWnd = hwnd;
    g_icon.uID = 1;
    g_icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    g_icon.uCallbackMessage = kTrayMessage;
    g_icon.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    ::lstrcpynA(g_icon.szTip, "TrayFloor", sizeof g_icon.szTip);
    if (!::Shell_NotifyIconA(NIM_ADD, &g_icon)) return 1;
    ::SetWindowTextA(hwnd, "TrayFloor ready");
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    return 0;
}
