#pragma once
// Which favourite key a reported key press belongs to. A key answers to the code stored for
// it, or to its default code when none is stored.
#include <windows.h>

#include <optional>

#include "keys/KeySetTable.h"

struct KeyCode {
    WORD modifiers;   // as the hook library reports them: MOD_ALT 1 | MOD_CONTROL 2 | MOD_SHIFT 4 | MOD_WIN 8
    WORD virtualKey;
    bool operator==(const KeyCode& other) const noexcept {
        return modifiers == other.modifiers && virtualKey == other.virtualKey;
    }
};

// The default code of key numbers 1 to 64 (Ctrl+Alt+A.. for the first thirty); none outside.
std::optional<KeyCode> DefaultKeyCode(int number) noexcept;

// The stored code when it is greater than zero, else the default of the key's number.
std::optional<KeyCode> EffectiveKeyCode(const KeySet& record) noexcept;

// The first record in table order whose effective code is the press: wParam compared as a
// whole (a value with high bits set never matches), only the low 16 bits of lParam.
KeySet* FindKeySetForKey(KeySetTable& table, WPARAM virtualKey, LPARAM modifiers) noexcept;

// Whether the press is the combination that shows the keys at a glance (the table's; none by
// default), compared as FindKeySetForKey compares: one comparison, whatever the table holds.
bool IsGlanceKey(const KeySetTable& table, WPARAM virtualKey, LPARAM modifiers) noexcept;
