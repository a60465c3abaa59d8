#include "keys/KeyCombination.h"

#include <cstdio>

#include "DedicatedKeys.h"
#include "HookMessage.h"
#include "res/texts.h"
#include "win/UiLanguage.h"
#include "win/TextFormat.h"
#include "win/WindowText.h"

namespace {
// Keys whose scan code is an extended one: without the flag their names are the keypad's.
bool IsExtendedKey(WORD virtualKey) noexcept {
    switch (virtualKey) {
        case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_DIVIDE: case VK_NUMLOCK:
            return true;
        default: return false;
    }
}

std::string KeyName(WORD virtualKey) {
    std::string dedicated = DedicatedKeyName(virtualKey);
    if (!dedicated.empty()) return dedicated;
    const UINT scanCode = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    wchar_t wide[64] = {};
    const LONG lParam = static_cast<LONG>((scanCode << 16) | (IsExtendedKey(virtualKey) ? 1u << 24 : 0u));
    if (scanCode != 0 && ::GetKeyNameTextW(lParam, wide, 64) > 0) return AnsiFromWide(wide);
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return std::string(1, static_cast<char>(virtualKey));
    return "0x" + Hex(virtualKey, 2);
}
}  // namespace

std::string DedicatedKeyName(WORD virtualKey) {
    if (virtualKey >= VK_F13 && virtualKey <= VK_F24) return "F" + std::to_string(virtualKey - VK_F1 + 1);
    switch (virtualKey) {
        case VK_BROWSER_BACK: return UiText(IDS_KEY_NAME_BROWSER_BACK);
        case VK_BROWSER_FORWARD: return UiText(IDS_KEY_NAME_BROWSER_FORWARD);
        case VK_BROWSER_REFRESH: return UiText(IDS_KEY_NAME_BROWSER_REFRESH);
        case VK_BROWSER_STOP: return UiText(IDS_KEY_NAME_BROWSER_STOP);
        case VK_BROWSER_SEARCH: return UiText(IDS_KEY_NAME_BROWSER_SEARCH);
        case VK_BROWSER_FAVORITES: return UiText(IDS_KEY_NAME_BROWSER_FAVORITES);
        case VK_BROWSER_HOME: return UiText(IDS_KEY_NAME_BROWSER_HOME);
        case VK_LAUNCH_MAIL: return UiText(IDS_KEY_NAME_MAIL);
        case VK_LAUNCH_MEDIA_SELECT: return UiText(IDS_KEY_NAME_MEDIA_SELECT);
        case VK_LAUNCH_APP1: return UiText(IDS_KEY_NAME_APP1);
        case VK_LAUNCH_APP2: return UiText(IDS_KEY_NAME_APP2);
        default: return {};
    }
}

LONG KeyCodeValue(KeyCode code) noexcept {
    return static_cast<LONG>((static_cast<DWORD>(code.modifiers & 0x7FFF) << 16) | code.virtualKey);
}

std::optional<KeyCode> KeyCodeFromValue(LONG value) noexcept {
    if (value <= 0) return std::nullopt;
    return KeyCode{HIWORD(static_cast<DWORD>(value)), LOWORD(static_cast<DWORD>(value))};
}

bool IsModifierKey(WORD virtualKey) noexcept {
    switch (virtualKey) {
        case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LSHIFT: case VK_RSHIFT: case VK_LCONTROL:
        case VK_RCONTROL: case VK_LMENU: case VK_RMENU: case VK_LWIN: case VK_RWIN:
            return true;
        default: return false;
    }
}

bool IsChoosableChord(KeyCode code) noexcept {
    const int held = ((code.modifiers & kHookModControl) != 0) + ((code.modifiers & kHookModAlt) != 0) +
                     ((code.modifiers & kHookModShift) != 0) + ((code.modifiers & kHookModWin) != 0);
    return (held >= 2 || IsDedicatedKey(code.virtualKey)) &&
           (code.modifiers & ~(kHookModControl | kHookModAlt | kHookModShift | kHookModWin)) == 0 &&
           code.virtualKey != 0 && code.virtualKey <= 0xFF && !IsModifierKey(code.virtualKey);
}

std::string CombinationWords(KeyCode code) {
    std::string words;
    const std::pair<WORD, const char*> names[] = {
        {kHookModControl, "Ctrl"}, {kHookModAlt, "Alt"}, {kHookModShift, "Shift"}, {kHookModWin, "Win"}};
    for (const auto& [bit, name] : names)
        if (code.modifiers & bit) words += std::string(name) + " + ";
    return words + KeyName(code.virtualKey);
}
