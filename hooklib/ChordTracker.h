#pragma once
// Decides, key event by key event, which presses are favourite-key chords: the first
// key-down of a non-modifier key while at least two of Ctrl, Alt, Shift and Win are held,
// and the first key-down of a dedicated key (F13-F24, browser, mail, launch keys; see
// DedicatedKeys.h) with whatever modifiers are held, none included.
// A held Windows key is always reported, as its own bit: Win+Ctrl+Alt+C is another
// combination than Ctrl+Alt+C and must never open Ctrl+Alt+C's link.
//
// It remembers nothing. A low-level hook never sees the key-ups that happen on the secure
// desktop (Ctrl+Alt+Del, the lock screen, an elevation prompt) or while the hook is
// stopped, so any remembered state could go stale and turn plain typing into chords. Both
// the modifiers and "this key is already down" (auto-repeat) come from the system's own key
// state at the key-down, which the system keeps right whatever the hook saw.
#include <windows.h>

#include <optional>

struct KeyChord {
    WORD virtualKey;
    WORD modifiers;  // MOD_ALT 1 | MOD_CONTROL 2 | MOD_SHIFT 4 | MOD_WIN 8
};

// What the system reports at the moment of a key event, before the event itself counts:
// the modifiers held, and whether the event's own key was already down (an auto-repeat).
struct SystemKeyState {
    WORD modifiersHeld;
    bool keyAlreadyDown;
};

class ChordTracker {
public:
    static std::optional<KeyChord> OnKeyEvent(DWORD virtualKey, bool keyUp,
                                              SystemKeyState system) noexcept;

    static WORD ModifierFlagOf(DWORD virtualKey) noexcept;
};
