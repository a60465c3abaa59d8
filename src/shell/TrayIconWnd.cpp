#include "shell/TrayIconWnd.h"

bool TrayIconWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!Window::PreCreateWindow(cs)) return false;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    UseWindowClass(cs, RegisterWindowClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                                           ::LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    return true;
}

LRESULT TrayIconWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: OnPaint(); return 0;
        default: return DefaultProc(msg, wParam, lParam);
    }
}

void TrayIconWnd::OnPaint() {
    PAINTSTRUCT ps;
    ::BeginPaint(Hwnd(), &ps);
    ::EndPaint(Hwnd(), &ps);
}
