#pragma once
// The application object of our thin Win32 layer: start-up, the message loop, shut-down and
// the commands that belong to the application rather than to a window.
#include <windows.h>

class Window;

class WinApp {
public:
    WinApp() noexcept;
    virtual ~WinApp();
    WinApp(const WinApp&) = delete;
    WinApp& operator=(const WinApp&) = delete;

    // The one application object of the process, or null before it is constructed.
    static WinApp* Current() noexcept;

    // InitInstance, then the message loop when it succeeded, then ExitInstance, whose
    // result becomes the process's exit code.
    int Run(HINSTANCE instance);

    HINSTANCE Instance() const noexcept { return m_hInstance; }
    Window* MainWindow() const noexcept { return m_pMainWnd; }
    void SetMainWindow(Window* window) noexcept { m_pMainWnd = window; }

    virtual BOOL InitInstance();
    // Returns the code that ended the message loop.
    virtual int ExitInstance();

    // Application-level commands, offered after the windows in the route declined them.
    // Handles ID_APP_EXIT by closing the main window; returns whether it handled the id.
    virtual bool OnCommand(UINT id);

    // Dispatches messages until WM_QUIT; used by the main loop. Each message is first offered
    // to the windows it is aimed at (innermost first), which may consume it.
    int PumpMessages();
    // The process's exit code when start-up ends without the message loop.
    void SetQuitCode(int code) noexcept { m_nQuitCode = code; }

private:
    HINSTANCE m_hInstance = nullptr;
    Window* m_pMainWnd = nullptr;
    int m_nQuitCode = 0;
};
