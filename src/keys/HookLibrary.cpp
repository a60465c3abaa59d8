#include "keys/HookLibrary.h"

#include "win/CodePage932.h"
#include "win/ProcAddress.h"

std::shared_ptr<HookLibrary> HookLibrary::LoadFrom(const std::string& directory) {
    if (directory.empty()) return nullptr;
    const std::string path = directory + kFileName;
    // Wide: the program's folder may have a Japanese name on a system of another code page.
    UniqueModule module(::LoadLibraryExW(WideFromCp932(path).c_str(), nullptr, 0));
    if (!module) return nullptr;
    return std::shared_ptr<HookLibrary>(new HookLibrary(std::move(module)));
}

HookLibrary::HookLibrary(UniqueModule module) noexcept
    : m_hModule(std::move(module)),
      m_pfnStart(GetProcAs<StartHookProc>(m_hModule.Get(), "VelStartHook")),
      m_pfnStop(GetProcAs<StopHookProc>(m_hModule.Get(), "VelStopHook")) {}

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
