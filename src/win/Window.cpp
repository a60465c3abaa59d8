#include "win/Window.h"

#include <utility>

#include "win/TextFormat.h"
#include "win/WinApp.h"

Window::~Window() { DestroyWindow(); }

bool Window::CreateEx(CREATESTRUCTA cs) {
    if (m_hWnd) return false;
    if (!cs.hInstance) cs.hInstance = ::GetModuleHandleA(nullptr);
    if (!PreCreateWindow(cs)) return false;
    ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                      cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, this);
    return m_hWnd != nullptr;
}

void Window::DestroyWindow() noexcept {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

Window* Window::FromHandle(HWND hwnd) noexcept {
    if (!hwnd) return nullptr;
    // User data of a window that is not ours means nothing to us.
    if (::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StaticWndProc))
        return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    constexpr ULONG_PTR kDialogClassAtom = 32770;
    if (::GetClassLongPtrA(hwnd, GCW_ATOM) == kDialogClassAtom &&
        ::GetWindowLongPtrA(hwnd, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&StaticDialogProc))
        return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    return nullptr;
}

std::string Window::RegisterWindowClass(UINT classStyle, HCURSOR cursor, HBRUSH background,
                                        HICON icon) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // One class per set of class attributes, named after them.
    std::string className = "Vorlund";
    for (ULONG_PTR part : {reinterpret_cast<ULONG_PTR>(instance), ULONG_PTR{classStyle}, reinterpret_cast<ULONG_PTR>(cursor),
                           reinterpret_cast<ULONG_PTR>(background), reinterpret_cast<ULONG_PTR>(icon)}) {
        className += ':';
        className += Hex(part);
    }
    const char* name = className.c_str();
    WNDCLASSA wc{};
    if (!::GetClassInfoA(instance, name, &wc)) {
        wc.style = classStyle;
        wc.lpfnWndProc = &StaticWndProc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.lpszClassName = name;
        ::RegisterClassA(&wc);
    }
    return name;
}

bool Window::WalkPreTranslateTree(MSG& msg) {
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        Window* window = FromHandle(hwnd);
        if (window && window->PreTranslateMessage(msg)) return true;
    }
    return false;
}

bool Window::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        UseWindowClass(cs, RegisterWindowClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    return true;
}

void Window::UseWindowClass(CREATESTRUCTA& cs, std::string className) {
    m_className = std::move(className);
    cs.lpszClass = m_className.c_str();
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(msg, wParam, lParam);
}

bool Window::PreTranslateMessage(MSG&) { return false; }

LRESULT Window::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* window = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        window = static_cast<Window*>(cs->lpCreateParams);
        window->m_hWnd = hwnd;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    } else {
        window = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!window) return ::DefWindowProcA(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    try {
        result = window->OnMessage(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's code; the handler's own recovery has
        // already run where there is one, so the message simply counts as handled.
        result = 0;
    }

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        window->m_hWnd = nullptr;
        // The end of the main window is the end of the message loop.
        WinApp* app = WinApp::Current();
        if (app && app->MainWindow() == window) ::PostQuitMessage(0);
    }
    return result;
}
