#include "ChordTracker.h"

namespace {
constexpr WORD kModAlt = 1;
constexpr WORD kModControl = 2;
constexpr WORD kModShift = 4;

int CountFlags(WORD modifiers) noexcept {
    return ((modifiers & kModAlt) != 0) + ((modifiers & kModControl) != 0) +
           ((modifiers & kModShift) != 0);
}
}  // namespace

WORD ChordTracker::ModifierFlagOf(DWORD virtualKey) noexcept {
    switch (virtualKey) {
    case VK_MENU: case VK_LMENU: case VK_RMENU: return kModAlt;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return kModControl;
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return kModShift;
    default: return 0;
    }
}

std::optional<KeyChord> ChordTracker::OnKeyEvent(DWORD virtualKey, bool keyUp,
                                              WORD heldElsewhere) noexcept {
    if (virtualKey >= m_keysDown.size()) return std::nullopt;
    if (WORD flag = ModifierFlagOf(virtualKey)) {
        // Left and right keys share a flag: releasing one while the other is held is rare
        // enough that the system's own state (heldElsewhere) covers it.
        if (keyUp) m_wModifiersDown &= static_cast<WORD>(~flag);
        else m_wModifiersDown |= flag;
        return std::nullopt;
    }
    if (keyUp) {
        m_keysDown.reset(virtualKey);
        return std::nullopt;
    }
    const bool repeat = m_keysDown.test(virtualKey);
    m_keysDown.set(virtualKey);
    const WORD modifiers = static_cast<WORD>(m_wModifiersDown | heldElsewhere);
    if (repeat || CountFlags(modifiers) < 2) return std::nullopt;
    return KeyChord{static_cast<WORD>(virtualKey), modifiers};
}

void ChordTracker::Reset() noexcept {
    m_wModifiersDown = 0;
    m_keysDown.reset();
}
