#include "win/Window.h"

#include <utility>

#include "win/TextFormat.h"
#include "win/WinApp.h"

Window::~Window() { DestroyWindow(); }

bool Window::CreateEx(CREATESTRUCTW cs) {
    if (m_hWnd) return false;
    if (!cs.hInstance) cs.hInstance = ::GetModuleHandleW(nullptr);
    if (!PreCreateWindow(cs)) return false;
    // The handle reaches m_hWnd on WM_NCCREATE and leaves it again if creation fails later.
    const HWND created = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style),
                                           cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, this);
    return created != nullptr && m_hWnd != nullptr;
}

void Window::DestroyWindow() noexcept {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

Window* Window::FromHandle(HWND hwnd) noexcept {
    if (!hwnd) return nullptr;
    // User data of a window that is not ours means nothing to us. Our windows are Unicode:
    // asked through the ANSI call, the system would answer with a stand-in for the procedure.
    if (::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StaticWndProc))
        return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    constexpr ULONG_PTR kDialogClassAtom = 32770;
    if (::GetClassLongPtrW(hwnd, GCW_ATOM) == kDialogClassAtom &&
        ::GetWindowLongPtrW(hwnd, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&StaticDialogProc))
        return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    return nullptr;
}

std::wstring Window::RegisterWindowClass(UINT classStyle, HCURSOR cursor, HBRUSH background,
                                         HICON icon) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // One class per set of class attributes, named after them.
    std::string className = "Vorlund";
    for (ULONG_PTR part : {reinterpret_cast<ULONG_PTR>(instance), ULONG_PTR{classStyle}, reinterpret_cast<ULONG_PTR>(cursor),
                           reinterpret_cast<ULONG_PTR>(background), reinterpret_cast<ULONG_PTR>(icon)}) {
        className += ':';
        className += Hex(part);
    }
    std::wstring wideName(className.begin(), className.end());  // letters, digits and colons only
    const wchar_t* name = wideName.c_str();
    WNDCLASSW wc{};
    if (!::GetClassInfoW(instance, name, &wc)) {
        wc.style = classStyle;
        wc.lpfnWndProc = &StaticWndProc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.lpszClassName = name;
        ::RegisterClassW(&wc);
    }
    return wideName;
}

bool Window::WalkPreTranslateTree(MSG& msg) {
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        Window* window = FromHandle(hwnd);
        if (window && window->PreTranslateMessage(msg)) return true;
    }
    return false;
}

bool Window::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass)
        UseWindowClass(cs, RegisterWindowClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                               reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    return true;
}

void Window::UseWindowClass(CREATESTRUCTW& cs, std::wstring className) {
    m_className = std::move(className);
    cs.lpszClass = m_className.c_str();
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(msg, wParam, lParam);
}

bool Window::PreTranslateMessage(MSG&) { return false; }

LRESULT Window::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* window = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        window = static_cast<Window*>(cs->lpCreateParams);
        window->m_hWnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    } else {
        window = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!window) return ::DefWindowProcW(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    try {
        result = window->OnMessage(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's code; the handler's own recovery has
        // already run where there is one, so the message simply counts as handled.
        result = 0;
    }

    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->m_hWnd = nullptr;
        // The end of the main window is the end of the message loop.
        WinApp* app = WinApp::Current();
        if (app && app->MainWindow() == window) ::PostQuitMessage(0);
    }
    return result;
}
