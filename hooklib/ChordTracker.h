#pragma once
// Decides, key event by key event, which presses are favourite-key chords: the first
// key-down of a non-modifier key while at least two of Ctrl, Alt and Shift are held.
// Auto-repeat key-downs of a key already down are not chords again.
#include <windows.h>

#include <bitset>
#include <optional>

struct KeyChord {
    WORD virtualKey;
    WORD modifiers;  // MOD_ALT 1 | MOD_CONTROL 2 | MOD_SHIFT 4
};

class ChordTracker {
public:
    // heldElsewhere: the modifiers the system reports as down, for modifiers that were
    // pressed before the tracker saw them.
    std::optional<KeyChord> OnKeyEvent(DWORD virtualKey, bool keyUp, WORD heldElsewhere) noexcept;
    void Reset() noexcept;

    static WORD ModifierFlagOf(DWORD virtualKey) noexcept;

private:
    WORD m_wModifiersDown = 0;
    std::bitset<256> m_keysDown;
};
