#pragma once
// A key's combination as the user chooses and reads it: the stored key code of a record
// (modifier bits in the high half, the virtual key in the low half), the rule which chords
// may be chosen, and the combination in words.
#include <windows.h>

#include <optional>
#include <string>

#include "keys/KeyMatching.h"

// The stored form of a combination: modifiers × 65536 + virtual key (always positive).
LONG KeyCodeValue(KeyCode code) noexcept;
// The combination a stored code stands for; nothing for 0 or less (the key's default).
std::optional<KeyCode> KeyCodeFromValue(LONG value) noexcept;

// Whether a chord may be a favourite key: at least two of Ctrl, Alt, Shift and Win, with a
// key that is not itself a modifier; a dedicated key (F13, the mail key, ...) with any of
// them or none.
bool IsChoosableChord(KeyCode code) noexcept;
bool IsModifierKey(WORD virtualKey) noexcept;

// "Ctrl + Alt + A": the modifiers in the order Ctrl, Alt, Shift, Win, then the key's name as
// the keyboard layout gives it (Japanese where Windows has Japanese names), in CP932; a
// dedicated key by its own name ("F13", "メール").
std::string CombinationWords(KeyCode code);
// The program's own name of a dedicated key, CP932; empty for every other key.
std::string DedicatedKeyName(WORD virtualKey);
