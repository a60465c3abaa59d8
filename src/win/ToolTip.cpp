#include "win/ToolTip.h"

#include <commctrl.h>

namespace {
TOOLINFOA ToolInfo(HWND tool, HWND owner, const char* text) {
    TOOLINFOA info{};
    // The size of the oldest layout: accepted by every version of the control.
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<char*>(text);
    return info;
}
}  // namespace

bool ToolTip::Create(HWND parent, DWORD style) {
    Destroy();
    m_hWnd = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    return m_hWnd != nullptr;
}

void ToolTip::Destroy() noexcept {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

bool ToolTip::AddTool(HWND tool, HWND owner, const char* text) {
    TOOLINFOA info = ToolInfo(tool, owner, text);
    return m_hWnd && ::SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::Activate(bool active) const noexcept {
    if (m_hWnd) ::SendMessageA(m_hWnd, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void ToolTip::UpdateTipText(HWND tool, HWND owner, const char* text) const noexcept {
    TOOLINFOA info = ToolInfo(tool, owner, text);
    if (m_hWnd) ::SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::RelayEvent(const MSG& msg) const noexcept {
    if (m_hWnd) ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}
