#include "win/GreyedItemClick.h"

namespace {
// The watch of this thread's running menu: a message filter has no place for its own data.
thread_local GreyedItemClick* t_pWatch = nullptr;
}  // namespace

GreyedItemClick::GreyedItemClick(HMENU popup, UINT itemId) noexcept : m_popup(popup), m_itemId(itemId) {
    if (t_pWatch) return;
    m_hook = ::SetWindowsHookExW(WH_MSGFILTER, &Filter, nullptr, ::GetCurrentThreadId());
    if (m_hook) t_pWatch = this;
}

GreyedItemClick::~GreyedItemClick() {
    if (!m_hook) return;
    ::UnhookWindowsHookEx(m_hook);
    t_pWatch = nullptr;
}

bool GreyedItemClick::IsOurItemChosen(const MSG& msg) const noexcept {
    const UINT state = ::GetMenuState(m_popup, m_itemId, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1) || !(state & MF_GRAYED)) return false;
    if (msg.message == WM_KEYDOWN) return msg.wParam == VK_RETURN && (state & MF_HILITE);
    if (msg.message != WM_LBUTTONUP) return false;
    POINT point{};
    ::GetCursorPos(&point);
    const int position = ::MenuItemFromPoint(nullptr, m_popup, point);
    return position >= 0 && ::GetMenuItemID(m_popup, position) == m_itemId;
}

LRESULT CALLBACK GreyedItemClick::Filter(int code, WPARAM wParam, LPARAM lParam) {
    GreyedItemClick* watch = t_pWatch;
    if (watch && code == MSGF_MENU && lParam && watch->IsOurItemChosen(*reinterpret_cast<const MSG*>(lParam))) {
        watch->m_bClicked = true;
        ::EndMenu();
    }
    return ::CallNextHookEx(watch ? watch->m_hook : nullptr, code, wParam, lParam);
}
