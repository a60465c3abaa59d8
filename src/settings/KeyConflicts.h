#pragma once
// Conflicts of a key's combination, shown before they bite; a warning, never a refusal:
//   - another key has the same effective combination (only the first in table order opens);
//   - the combination types a character on a keyboard layout installed for the user (on many
//     European layouts Ctrl+Alt is AltGr: Ctrl+Alt+Q types "@" on a German one, so the key
//     would fire while the user types);
//   - another program has registered it as a hotkey;
//   - the key holds both a text to type and a link (edited by hand): it opens the link.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "keys/KeyMatching.h"
#include "keys/KeySetTable.h"

struct KeyConflict {
    enum class Kind { SameCombination, TypesCharacter, HotkeyTaken, TextAndLink };
    Kind kind;
    int otherKey = 0;       // SameCombination: the other key's number
    std::string layout;     // TypesCharacter: the layout's name, CP932
    std::string character;  // TypesCharacter: what it types, CP932
};

// What the system is asked; tests put their own answers in.
struct ConflictProbes {
    std::function<std::vector<HKL>()> layouts;
    // The characters the chord types on the layout (empty: none; control characters do not
    // count).
    std::function<std::wstring(HKL, KeyCode)> typed;
    std::function<std::string(HKL)> layoutName;
    std::function<bool(KeyCode)> hotkeyTaken;

    static ConflictProbes System();
};

std::vector<KeyConflict> FindKeyConflicts(const KeySetTable& table, int number, KeyCode code,
                                          const ConflictProbes& probes);
// The conflicts in Japanese, one line each ("" for none).
std::string ConflictsText(const std::vector<KeyConflict>& conflicts);
