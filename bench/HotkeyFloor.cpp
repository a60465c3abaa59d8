// The floor for the key-press benchmarks: the least a Win32 program can do to open a file
// on Ctrl+Alt+A. It registers the hot key and calls ShellExecuteA on the path given on its
// command line for every WM_HOTKEY. It ends on WM_CLOSE to its window, titled "HotkeyFloor".
#include <windows.h>
#include <shellapi.h>

namespace {
constexpr int kHotkeyId = 1;
const char* g_target = nullptr;

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_HOTKEY:
            if (wParam == kHotkeyId && g_target)
                ::ShellExecuteA(nullptr, "OPEN", g_target, nullptr, nullptr, SW_SHOWNORMAL);
            return 0;
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
        default: return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    g_target = commandLine;
    WNDCLASSA wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.lpszClassName = "HotkeyFloor";
    ::RegisterClassA(&wc);
    HWND hwnd = ::CreateWindowExA(0, "HotkeyFloor", "HotkeyFloor", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    if (!hwnd || !::RegisterHotKey(hwnd, kHotkeyId, MOD_CONTROL | MOD_ALT, 'A')) return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    ::UnregisterHotKey(hwnd, kHotkeyId);
    return 0;
}
