#pragma once
// The dedicated-key combinations the program has claimed, and which key events the hook
// therefore keeps from the rest of the system: the key-down of a claimed combination, its
// auto-repeats, and the key-up of that same key. Nothing else is ever kept back, whatever the
// program sends: keys that are not dedicated, and every combination not claimed, pass on.
//
// Used by the hook's thread only: the program replaces the set on the thread that installed
// the hook, and the hook procedure runs in that thread's message loop, so a replacement is
// never seen half done. Fixed storage: nothing is allocated while a key is handled.
#include <windows.h>

#include "DedicatedKeys.h"
#include "HookMessage.h"

class ClaimedKeySet {
public:
    // More than the thirty favourite keys can claim.
    static constexpr UINT kCapacity = 64;
    // An auto-repeat follows its key-down within the longest keyboard delay (1 s) or repeat
    // interval (0.4 s); a key-down later than this after the last one is a new press.
    static constexpr DWORD kRepeatWithinMs = 1500;

    // Replaces the whole set. A structure too small to hold count and keys, a null list or
    // more than kCapacity entries leave the set empty and give false; null claims nothing.
    bool Replace(const VelClaimedKeys* claimed) noexcept;

    struct KeyDown {
        bool keep;    // the event goes no further than the hook
        bool repeat;  // an auto-repeat of a key-down kept before: reported nothing new
    };
    // A key-down with the modifiers held (MOD_ALT 1 | MOD_CONTROL 2 | MOD_SHIFT 4 | MOD_WIN 8),
    // at the event's time stamp. A key the system has down already went past the hook at its
    // first key-down: its repeats pass as well.
    KeyDown OnKeyDown(DWORD virtualKey, WORD modifiers, bool systemHasItDown, DWORD time) noexcept;
    // Whether the key-up is kept: only the release of a key whose key-down was kept.
    bool OnKeyUp(DWORD virtualKey) noexcept;
    // The hook was removed: releases it missed must not be kept later.
    void ForgetPresses() noexcept;

private:
    bool Contains(DWORD keyCode) const noexcept;

    DWORD m_keys[kCapacity] = {};
    UINT m_count = 0;
    // Per dedicated key: its last key-down was kept, and when it came.
    bool m_kept[kDedicatedKeyCount] = {};
    DWORD m_lastDown[kDedicatedKeyCount] = {};
};
