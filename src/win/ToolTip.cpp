#include "win/ToolTip.h"

#include <commctrl.h>

#include <string>

#include "win/CodePage932.h"

namespace {
// text must outlive the message the record is sent with.
TOOLINFOW ToolInfo(HWND tool, HWND owner, std::wstring& text) {
    TOOLINFOW info{};
    // The size of the oldest layout: accepted by every version of the control.
    info.cbSize = TTTOOLINFOW_V1_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = text.data();
    return info;
}
}  // namespace

bool ToolTip::Create(HWND parent, DWORD style) {
    Destroy();
    m_hWnd = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    return m_hWnd != nullptr;
}

void ToolTip::Destroy() noexcept {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

bool ToolTip::AddTool(HWND tool, HWND owner, const char* text) {
    std::wstring wide = WideFromCp932(text);
    TOOLINFOW info = ToolInfo(tool, owner, wide);
    return m_hWnd && ::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::Activate(bool active) const noexcept {
    if (m_hWnd) ::SendMessageW(m_hWnd, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void ToolTip::UpdateTipText(HWND tool, HWND owner, const char* text) const {
    std::wstring wide = WideFromCp932(text);
    TOOLINFOW info = ToolInfo(tool, owner, wide);
    if (m_hWnd) ::SendMessageW(m_hWnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::RelayEvent(const MSG& msg) const noexcept {
    if (m_hWnd) ::SendMessageW(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}
