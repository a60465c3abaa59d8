#include "settings/ChordListening.h"

#include "HookMessage.h"
#include "keys/KeyCombination.h"

HeardChord HearChord(const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: break;
        // What the key-down would type or the menu it would open: not while listening.
        case WM_CHAR: case WM_SYSCHAR: case WM_KEYUP: case WM_SYSKEYUP: case WM_DEADCHAR: case WM_SYSDEADCHAR:
            return {HeardChord::Outcome::Swallowed};
        default: return {HeardChord::Outcome::NotAKey};
    }
    const auto key = static_cast<WORD>(msg.wParam);
    if (IsModifierKey(key)) return {HeardChord::Outcome::Swallowed};  // the chord is still being formed
    const auto held = [](int virtualKey) { return (::GetKeyState(virtualKey) & 0x8000) != 0; };
    WORD modifiers = 0;
    if (held(VK_CONTROL)) modifiers |= kHookModControl;
    if (held(VK_MENU)) modifiers |= kHookModAlt;
    if (held(VK_SHIFT)) modifiers |= kHookModShift;
    if (held(VK_LWIN) || held(VK_RWIN)) modifiers |= kHookModWin;
    if (key == VK_ESCAPE && modifiers == 0) return {HeardChord::Outcome::Cancelled};
    const KeyCode chosen{modifiers, key};
    if (!IsChoosableChord(chosen)) return {HeardChord::Outcome::Refused};
    return {HeardChord::Outcome::Chosen, chosen};
}
