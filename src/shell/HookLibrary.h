#pragma once
// The keyboard-hook library VelComn.dll: after VelStartHook(w) each favourite-key press
// reaches w as WM_APP_KEY_HIT until VelStopHook. Missing entries are skipped silently.
#include <windows.h>

#include "win/ProcAddress.h"

constexpr char kHookLibraryName[] = "VelComn.dll";
constexpr UINT WM_APP_KEY_HIT = WM_APP + 109;  // wParam: virtual key; low word of lParam: modifiers

// C calling convention: the caller removes the argument.
using StartHookProc = void(WINAPIV*)(HWND target);
using StopHookProc = void(WINAPIV*)();

// The two entry points of a loaded hook library; either may be missing.
struct HookEntries {
    StartHookProc pfnStart = nullptr;
    StopHookProc pfnStop = nullptr;

    static HookEntries Resolve(HMODULE library) noexcept {
        HookEntries entries;
        if (library) {
            entries.pfnStart = GetProcAs<StartHookProc>(library, "VelStartHook");
            entries.pfnStop = GetProcAs<StopHookProc>(library, "VelStopHook");
        }
        return entries;
    }
    void Start(HWND target) const {
        if (pfnStart) pfnStart(target);
    }
    void Stop() const {
        if (pfnStop) pfnStop();
    }
};
