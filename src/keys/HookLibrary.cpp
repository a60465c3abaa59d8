#include "keys/HookLibrary.h"

#include <algorithm>
#include <vector>

#include "DedicatedKeys.h"
#include "keys/KeyCombination.h"
#include "win/CodePage932.h"
#include "win/ProcAddress.h"

std::shared_ptr<HookLibrary> HookLibrary::LoadFrom(const std::string& directory) {
    if (directory.empty()) return nullptr;
    // The directory is the program's, in code page 932 whatever the system's own.
    const std::wstring path = WideFromCp932(directory + kFileName);
    UniqueModule module(::LoadLibraryExW(path.c_str(), nullptr, 0));
    if (!module) return nullptr;
    return std::shared_ptr<HookLibrary>(new HookLibrary(std::move(module)));
}

HookLibrary::HookLibrary(UniqueModule module) noexcept
    : m_hModule(std::move(module)),
      m_pfnStart(GetProcAs<StartHookProc>(m_hModule.Get(), "VelStartHook")),
      m_pfnStop(GetProcAs<StopHookProc>(m_hModule.Get(), "VelStopHook")),
      m_pfnSetClaimed(GetProcAs<SetClaimedKeysProc>(m_hModule.Get(), "VelSetClaimedKeys")) {}

void HookLibrary::Start(HWND target) const {
    m_hTarget = target;
    if (m_pfnStart) m_pfnStart(target);
}

void HookLibrary::Stop() const {
    m_hTarget = nullptr;
    if (m_pfnStop) m_pfnStop();
}

void HookLibrary::Reinstall() const {
    const HWND target = m_hTarget;
    if (!target || !::IsWindow(target)) return;
    // A second Start alone would only change the target of a hook Windows may have dropped.
    Stop();
    Start(target);
}

void HookLibrary::ClaimKeys(const KeySetTable& table) const {
    if (!m_pfnSetClaimed) return;
    std::vector<DWORD> codes;
    const auto claim = [&codes](std::optional<KeyCode> code) {
        if (!code || !IsDedicatedKey(code->virtualKey)) return;
        const auto value = static_cast<DWORD>(KeyCodeValue(*code));
        // Two keys on one combination: the first opens, the combination is claimed once.
        if (std::find(codes.begin(), codes.end(), value) == codes.end()) codes.push_back(value);
    };
    for (const KeySet& record : table) claim(EffectiveKeyCode(record));
    // A lone F13 that shows the keys at a glance is the program's as much as a key's.
    claim(KeyCodeFromValue(table.GlanceKeyCode()));
    const VelClaimedKeys claimed{sizeof(VelClaimedKeys), static_cast<UINT>(codes.size()), codes.data()};
    m_pfnSetClaimed(&claimed);
}
