#pragma once
// What VelComn.dll posts to its target window, shared by the library and the program:
// WM_APP_KEY_HIT with the virtual key in wParam and these modifier bits in lParam; and what
// the program tells the library of its dedicated keys.
#include <windows.h>

constexpr UINT WM_APP_KEY_HIT = WM_APP + 109;

constexpr WORD kHookModAlt = 1;      // MOD_ALT
constexpr WORD kHookModControl = 2;  // MOD_CONTROL
constexpr WORD kHookModShift = 4;    // MOD_SHIFT
constexpr WORD kHookModWin = 8;      // MOD_WIN: either Windows key

// The dwExtraInfo of every key event the program types itself (a key's text): the hook lets
// such events pass untouched, so a typed character or line break is never a favourite key.
constexpr ULONG_PTR kTypedInputMark = 0x564F524Cu;  // "VORL"

// What VelSetClaimedKeys takes from the program: the combinations of its favourite keys
// that are dedicated keys (DedicatedKeys.h), each as a stored key code, modifiers × 65536 +
// virtual key. While a combination is claimed the hook keeps its key-down and key-up from
// every other program, so that the key does not do its usual job as well.
// The structure only ever grows at its end: cbSize tells the library how much of it the
// caller knows, and a library reads no more than it knows itself.
struct VelClaimedKeys {
    UINT cbSize;        // sizeof(VelClaimedKeys) as the caller was built with it
    UINT count;         // entries in keys
    const DWORD* keys;  // read during the call only
};
