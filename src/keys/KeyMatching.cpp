#include "keys/KeyMatching.h"

#include "HookMessage.h"

namespace {
constexpr WORD kCtrlAlt = kHookModControl | kHookModAlt;
constexpr WORD kCtrlShift = kHookModControl | kHookModShift;
}  // namespace

std::optional<KeyCode> DefaultKeyCode(int number) noexcept {
    if (number >= 1 && number <= 26) return KeyCode{kCtrlAlt, static_cast<WORD>(number + 0x40)};
    if (number >= 36 && number <= 61)
        return KeyCode{kCtrlShift, static_cast<WORD>(number + 0x1D)};
    switch (number) {
        case 27: return KeyCode{kCtrlAlt, VK_OEM_PLUS};
        case 28: return KeyCode{kCtrlAlt, VK_OEM_COMMA};
        case 29: return KeyCode{kCtrlAlt, VK_OEM_PERIOD};
        case 30: return KeyCode{kCtrlAlt, VK_OEM_2};
        case 31: return KeyCode{kCtrlAlt, VK_OEM_PLUS};
        case 32: return KeyCode{kCtrlAlt, VK_OEM_5};
        case 33: return KeyCode{kCtrlAlt, VK_OEM_2};
        case 34: return KeyCode{kCtrlAlt, VK_OEM_PERIOD};
        case 35: return KeyCode{kCtrlAlt, VK_OEM_COMMA};
        case 62: return KeyCode{kCtrlShift, VK_OEM_4};
        case 63: return KeyCode{kCtrlShift, VK_OEM_6};
        case 64: return KeyCode{kCtrlShift, VK_OEM_3};
        default: return std::nullopt;
    }
}

std::optional<KeyCode> EffectiveKeyCode(const KeySet& record) noexcept {
    if (record.keycode > 0) {
        const auto code = static_cast<DWORD>(record.keycode);
        return KeyCode{HIWORD(code), LOWORD(code)};
    }
    return DefaultKeyCode(record.number);
}

KeySet* FindKeySetForKey(KeySetTable& table, WPARAM virtualKey, LPARAM modifiers) noexcept {
    const WORD pressedModifiers = LOWORD(static_cast<DWORD_PTR>(modifiers));
    for (KeySet& record : table) {
        const std::optional<KeyCode> code = EffectiveKeyCode(record);
        if (code && virtualKey == code->virtualKey && pressedModifiers == code->modifiers)
            return &record;
    }
    return nullptr;
}

bool IsGlanceKey(const KeySetTable& table, WPARAM virtualKey, LPARAM modifiers) noexcept {
    const auto code = static_cast<DWORD>(table.GlanceKeyCode());
    return code != 0 && virtualKey == LOWORD(code) && LOWORD(static_cast<DWORD_PTR>(modifiers)) == HIWORD(code);
}
