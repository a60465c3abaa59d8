#include "win/WinApp.h"

#include "res/resource.h"
#include "win/Window.h"

namespace {
// The framework's current-application pointer: the application object registers itself
// here when it is constructed. It is the only process-wide pointer the program keeps.
WinApp* g_pCurrentApp = nullptr;
}  // namespace

WinApp::WinApp() noexcept { g_pCurrentApp = this; }

WinApp::~WinApp() {
    if (g_pCurrentApp == this) g_pCurrentApp = nullptr;
}

WinApp* WinApp::Current() noexcept { return g_pCurrentApp; }

int WinApp::Run(HINSTANCE instance) {
    m_hInstance = instance;
    if (InitInstance()) m_nQuitCode = PumpMessages();
    return ExitInstance();
}

BOOL WinApp::InitInstance() { return TRUE; }

int WinApp::ExitInstance() { return m_nQuitCode; }

bool WinApp::OnCommand(UINT id) {
    if (id != ID_APP_EXIT) return false;
    if (m_pMainWnd && m_pMainWnd->Hwnd()) ::SendMessageW(m_pMainWnd->Hwnd(), WM_CLOSE, 0, 0);
    return true;
}

int WinApp::PumpMessages() {
    MSG msg;
    for (;;) {
        // Wide: characters typed into our Unicode windows arrive whole.
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        if (Window::WalkPreTranslateTree(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
