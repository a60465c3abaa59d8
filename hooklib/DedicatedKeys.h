#pragma once
// Keys that exist only to be given a meaning: F13-F24 (macro pads send them), the browser
// keys, and the mail, media and launch keys. Nobody types with them, so one of them alone is
// a favourite key of its own, with or without modifiers; every other key needs two or more of
// Ctrl, Alt, Shift and Win. The hook library and the program both decide by this one list.
// Volume and media-transport keys stay out: the system and players answer them, and taking
// one over would silence the keyboard's own volume control.
#include <windows.h>

constexpr WORD kDedicatedKeys[] = {
    VK_F13, VK_F14, VK_F15, VK_F16, VK_F17, VK_F18, VK_F19, VK_F20, VK_F21, VK_F22, VK_F23, VK_F24,
    VK_BROWSER_BACK, VK_BROWSER_FORWARD, VK_BROWSER_REFRESH, VK_BROWSER_STOP, VK_BROWSER_SEARCH,
    VK_BROWSER_FAVORITES, VK_BROWSER_HOME,
    VK_LAUNCH_MAIL, VK_LAUNCH_MEDIA_SELECT, VK_LAUNCH_APP1, VK_LAUNCH_APP2,
};
constexpr int kDedicatedKeyCount = static_cast<int>(sizeof kDedicatedKeys / sizeof kDedicatedKeys[0]);

// The key's place in kDedicatedKeys, or -1 for every other key.
constexpr int DedicatedKeyIndex(DWORD virtualKey) noexcept {
    for (int i = 0; i < kDedicatedKeyCount; ++i)
        if (kDedicatedKeys[i] == virtualKey) return i;
    return -1;
}

constexpr bool IsDedicatedKey(DWORD virtualKey) noexcept { return DedicatedKeyIndex(virtualKey) >= 0; }
