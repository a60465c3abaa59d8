#include "shell/GlanceDismissHooks.h"

#include "HookMessage.h"
#include "keys/KeyCombination.h"

namespace {
// The watch of this thread: a low-level hook has no place for its own data.
thread_local const GlanceDismissHooks* t_pWatch = nullptr;

bool IsDown(int virtualKey) noexcept { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

WORD ModifiersHeld() noexcept {
    WORD held = 0;
    if (IsDown(VK_CONTROL)) held |= kHookModControl;
    if (IsDown(VK_MENU)) held |= kHookModAlt;
    if (IsDown(VK_SHIFT)) held |= kHookModShift;
    if (IsDown(VK_LWIN) || IsDown(VK_RWIN)) held |= kHookModWin;
    return held;
}
}  // namespace

GlanceDismissHooks::GlanceDismissHooks(HWND overlay) noexcept : m_hOverlay(overlay) {
    if (t_pWatch) return;
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    m_hKeyboard = ::SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardProc, module, 0);
    m_hMouse = ::SetWindowsHookExW(WH_MOUSE_LL, &MouseProc, module, 0);
    t_pWatch = this;
}

GlanceDismissHooks::~GlanceDismissHooks() {
    if (t_pWatch != this) return;
    if (m_hKeyboard) ::UnhookWindowsHookEx(m_hKeyboard);
    if (m_hMouse) ::UnhookWindowsHookEx(m_hMouse);
    t_pWatch = nullptr;
}

bool GlanceDismissHooks::KeyDownCloses(WORD virtualKey, WORD modifiersHeld) noexcept {
    return !IsModifierKey(virtualKey) && !IsChoosableChord(KeyCode{modifiersHeld, virtualKey});
}

LRESULT CALLBACK GlanceDismissHooks::KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN) && t_pWatch) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (event->vkCode <= 0xFF && KeyDownCloses(static_cast<WORD>(event->vkCode), ModifiersHeld()))
            ::PostMessageW(t_pWatch->m_hOverlay, WM_CLOSE, 0, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK GlanceDismissHooks::MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && t_pWatch) {
        switch (wParam) {
            case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
                ::PostMessageW(t_pWatch->m_hOverlay, WM_CLOSE, 0, 0);
                break;
            default: break;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
