#pragma once
// The keyboard-hook library VelComn.dll: after Start(w) each favourite-key press reaches w as
// WM_APP_KEY_HIT until Stop. One object owns the loaded module together with the entry points
// resolved from it, so an entry point can never outlive its module: whoever still needs the
// hook (the frame, an open settings dialog) holds a shared reference, and the module is freed
// when the last one lets go. Missing entries are skipped silently.
#include <windows.h>

#include <memory>
#include <string>

#include "HookMessage.h"
#include "win/UniqueHandle.h"

class HookLibrary {
public:
    static constexpr char kFileName[] = "VelComn.dll";

    // Loads VelComn.dll by its full path in the program's own directory (never through the
    // search path, where anybody could plant one for this elevated program). Null when there
    // is no library there.
    static std::shared_ptr<HookLibrary> LoadFrom(const std::string& directory);

    HookLibrary(const HookLibrary&) = delete;
    HookLibrary& operator=(const HookLibrary&) = delete;

    void Start(HWND target) const;
    void Stop() const;

private:
    // C calling convention: the caller removes the argument.
    using StartHookProc = void(WINAPIV*)(HWND target);
    using StopHookProc = void(WINAPIV*)();

    explicit HookLibrary(UniqueModule module) noexcept;

    UniqueModule m_hModule;
    StartHookProc m_pfnStart = nullptr;
    StopHookProc m_pfnStop = nullptr;
};
