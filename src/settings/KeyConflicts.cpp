#include "settings/KeyConflicts.h"

#include <cstdio>
#include <cstring>

#include "DedicatedKeys.h"
#include "HookMessage.h"
#include "res/texts.h"
#include "win/UiLanguage.h"
#include "win/ProcAddress.h"
#include "win/TextFormat.h"
#include "win/WindowText.h"

namespace {
// The thread's own hotkey ids run from 0 to 0xBFFF; the probe takes one of them for a moment.
constexpr int kProbeHotkeyId = 0xBF00;
// ToUnicodeEx: leave the keyboard's dead-key state as it is (Windows 10 1607 and later).
constexpr UINT kKeepKeyboardState = 0x4;

// Whether ToUnicodeEx knows kKeepKeyboardState. The version comes from ntdll, which, unlike
// GetVersionEx, does not depend on what the manifest declares.
bool KeepsKeyboardState() noexcept {
    using RtlGetVersionProc = LONG(WINAPI*)(OSVERSIONINFOW*);
    static const bool keeps = [] {
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof version;
        auto get = GetProcAs<RtlGetVersionProc>(::GetModuleHandleA("ntdll.dll"), "RtlGetVersion");
        if (!get || get(&version) != 0) return false;
        return version.dwMajorVersion > 10 || (version.dwMajorVersion == 10 && version.dwBuildNumber >= 14393);
    }();
    return keeps;
}

std::vector<HKL> InstalledLayouts() {
    const int count = ::GetKeyboardLayoutList(0, nullptr);
    std::vector<HKL> layouts(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0) layouts.resize(static_cast<std::size_t>(::GetKeyboardLayoutList(count, layouts.data())));
    return layouts;
}

std::wstring TypedOn(HKL layout, KeyCode code) {
    BYTE state[256] = {};
    if (code.modifiers & kHookModControl) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    if (code.modifiers & kHookModAlt) state[VK_MENU] = state[VK_LMENU] = 0x80;
    if (code.modifiers & kHookModShift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    wchar_t out[8] = {};
    const UINT scanCode = ::MapVirtualKeyExW(code.virtualKey, MAPVK_VK_TO_VSC, layout);
    int count = ::ToUnicodeEx(code.virtualKey, scanCode, state, out, 8, kKeepKeyboardState, layout);
    if (count < 0) {
        // A dead key types its accent with the next key: it counts, as one character. Where
        // the system ignored the flag, the probe's own dead key is pending now and would put
        // an accent on the user's next letter: pressed once more, it is typed out of our
        // state copy and gone.
        if (!KeepsKeyboardState()) {
            wchar_t flushed[8] = {};
            ::ToUnicodeEx(code.virtualKey, scanCode, state, flushed, 8, 0, layout);
        }
        count = 1;
    }
    std::wstring typed;
    for (int i = 0; i < count && i < 8; ++i)
        if (out[i] >= 0x20 && out[i] != 0x7F) typed += out[i];
    return typed;
}

std::string LayoutName(HKL layout) {
    wchar_t name[128] = {};
    const LCID locale = MAKELCID(LOWORD(reinterpret_cast<ULONG_PTR>(layout)), SORT_DEFAULT);
    if (::GetLocaleInfoW(locale, LOCALE_SLANGUAGE, name, 128) > 0) return AnsiFromWide(name);
    return Hex(LOWORD(reinterpret_cast<ULONG_PTR>(layout)), 4);
}

bool HotkeyTaken(KeyCode code) {
    // Registered for this thread and let go at once: only a refusal because another program
    // holds it counts.
    if (::RegisterHotKey(nullptr, kProbeHotkeyId, code.modifiers, code.virtualKey)) {
        ::UnregisterHotKey(nullptr, kProbeHotkeyId);
        return false;
    }
    return ::GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}


}  // namespace

ConflictProbes ConflictProbes::System() {
    return ConflictProbes{&InstalledLayouts, &TypedOn, &LayoutName, &HotkeyTaken};
}

std::vector<KeyConflict> FindKeyConflicts(const KeySetTable& table, int number, KeyCode code,
                                          const ConflictProbes& probes) {
    std::vector<KeyConflict> conflicts;
    for (const KeySet& record : table) {
        if (record.number == number) {
            if (record.HasTextAndLink()) conflicts.push_back({KeyConflict::Kind::TextAndLink, 0, {}, {}});
            continue;
        }
        const std::optional<KeyCode> other = EffectiveKeyCode(record);
        if (other && *other == code) conflicts.push_back({KeyConflict::Kind::SameCombination, record.number, {}, {}});
    }
    // The Windows key and the dedicated keys (F13, the mail key, ...) type nothing; the
    // layouts are asked about the rest.
    if (!(code.modifiers & kHookModWin) && !IsDedicatedKey(code.virtualKey) && probes.layouts && probes.typed)
        for (HKL layout : probes.layouts()) {
            const std::wstring typed = probes.typed(layout, code);
            if (typed.empty()) continue;
            conflicts.push_back({KeyConflict::Kind::TypesCharacter, 0,
                                 probes.layoutName ? probes.layoutName(layout) : std::string(), AnsiFromWide(typed)});
            break;  // one layout is enough to warn
        }
    if (probes.hotkeyTaken && probes.hotkeyTaken(code)) conflicts.push_back({KeyConflict::Kind::HotkeyTaken, 0, {}, {}});
    return conflicts;
}

std::string ConflictsText(const std::vector<KeyConflict>& conflicts) {
    std::string text;
    for (const KeyConflict& conflict : conflicts) {
        if (!text.empty()) text += "\r\n";
        switch (conflict.kind) {
            case KeyConflict::Kind::SameCombination:
                text += FillIn(UiText(IDS_CONFLICT_SAME_COMBINATION), {std::to_string(conflict.otherKey)});
                break;
            case KeyConflict::Kind::TypesCharacter:
                text += FillIn(UiText(IDS_CONFLICT_TYPES_CHARACTER), {conflict.layout, conflict.character});
                break;
            case KeyConflict::Kind::HotkeyTaken: text += UiText(IDS_CONFLICT_HOTKEY_TAKEN); break;
            case KeyConflict::Kind::TextAndLink: text += UiText(IDS_CONFLICT_TEXT_AND_LINK); break;
        }
    }
    return text;
}
