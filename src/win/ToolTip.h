#pragma once
// A tooltip control whose tools are whole windows (identified by their handles), fed by
// relaying mouse messages to it. Tip texts are the program's CP932 texts, shown through the
// control's wide messages.
#include <windows.h>

#include "win/UniqueHandle.h"

class ToolTip {
public:
    ToolTip() noexcept = default;
    ~ToolTip() { Destroy(); }
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // Creates the control with the given style, owned by parent.
    bool Create(HWND parent, DWORD style);
    void Destroy() noexcept;
    HWND Hwnd() const noexcept { return m_hWnd; }

    // Adds tool as a tool of its own (no rectangle, not subclassed), with owner as the window
    // that receives the tool's notifications.
    bool AddTool(HWND tool, HWND owner, const char* text);
    void Activate(bool active) const noexcept;
    void UpdateTipText(HWND tool, HWND owner, const char* text) const;
    void RelayEvent(const MSG& msg) const noexcept;

private:
    HWND m_hWnd = nullptr;
};
