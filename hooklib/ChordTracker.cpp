#include "ChordTracker.h"

#include "DedicatedKeys.h"
#include "HookMessage.h"

namespace {
int CountFlags(WORD modifiers) noexcept {
    return ((modifiers & kHookModAlt) != 0) + ((modifiers & kHookModControl) != 0) +
           ((modifiers & kHookModShift) != 0) + ((modifiers & kHookModWin) != 0);
}
}  // namespace

WORD ChordTracker::ModifierFlagOf(DWORD virtualKey) noexcept {
    switch (virtualKey) {
    case VK_MENU: case VK_LMENU: case VK_RMENU: return kHookModAlt;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return kHookModControl;
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return kHookModShift;
    case VK_LWIN: case VK_RWIN: return kHookModWin;
    default: return 0;
    }
}

std::optional<KeyChord> ChordTracker::OnKeyEvent(DWORD virtualKey, bool keyUp,
                                                 SystemKeyState system) noexcept {
    if (keyUp || virtualKey > 0xFF || ModifierFlagOf(virtualKey) != 0) return std::nullopt;
    const WORD modifiers =
        static_cast<WORD>(system.modifiersHeld & (kHookModAlt | kHookModControl | kHookModShift | kHookModWin));
    if (system.keyAlreadyDown || (CountFlags(modifiers) < 2 && !IsDedicatedKey(virtualKey))) return std::nullopt;
    return KeyChord{static_cast<WORD>(virtualKey), modifiers};
}
