#pragma once
// Listening for a combination after 「押して設定」: what one keyboard message says while a
// field listens. Shared by every field that is set by pressing its combination (a key's in
// the link dialog, the keys-at-a-glance one in the settings dialog).
#include <windows.h>

#include "keys/KeyMatching.h"

struct HeardChord {
    enum class Outcome {
        NotAKey,    // no keyboard message: let it pass
        Swallowed,  // a modifier alone, or what a key-down would type: still listening
        Cancelled,  // Esc alone: listening ends, nothing chosen
        Refused,    // a chord that cannot be a favourite key: still listening, with the hint
        Chosen,     // the combination in code
    };
    Outcome outcome;
    KeyCode code{0, 0};
};

// The modifiers are read from the thread's key state at the key-down.
HeardChord HearChord(const MSG& msg);
