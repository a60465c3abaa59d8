#pragma once
// Base class of the program's own windows. The object is attached to its window on
// WM_NCCREATE (from the creation parameters) and detached on WM_NCDESTROY; each subclass
// handles its messages in one OnMessage switch. The windows are Unicode windows: texts go in
// and come out whole on every system, whatever its ANSI code page.
#include <windows.h>

#include <string>

class Window {
public:
    Window() noexcept = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Hwnd() const noexcept { return m_hWnd; }

    // Creates the window after PreCreateWindow has had its say about the parameters. The
    // creation parameters are this object; do not set lpCreateParams.
    bool CreateEx(CREATESTRUCTW cs);
    void DestroyWindow() noexcept;

    // The object behind a window, or null when the window is not one of ours.
    static Window* FromHandle(HWND hwnd) noexcept;

    // Registers (once) a window class with our window procedure and the given attributes,
    // and returns its name. The name is derived from the attributes, like the framework's.
    static std::wstring RegisterWindowClass(UINT classStyle, HCURSOR cursor = nullptr,
                                           HBRUSH background = nullptr, HICON icon = nullptr);

    // Offers a message to the window it is aimed at and its ancestors, innermost first,
    // stopping at the first that consumes it. Returns true when one did.
    static bool WalkPreTranslateTree(MSG& msg);

protected:
    // May change the creation parameters; returning false cancels the creation.
    virtual bool PreCreateWindow(CREATESTRUCTW& cs);
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Returns true when the message was consumed and must not be dispatched.
    virtual bool PreTranslateMessage(MSG& msg);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Points the creation parameters at a class name that lives as long as this object.
    void UseWindowClass(CREATESTRUCTW& cs, std::wstring className);
    // For windows created by other means (dialogs): the handle this object stands for.
    void AttachHandle(HWND hwnd) noexcept { m_hWnd = hwnd; }
    // The dialog procedure of our dialogs (defined with the dialog class). A dialog window
    // whose procedure is this one holds its object, as a Window*, in DWLP_USER.
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    std::wstring m_className;
};
