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
#include "keys/KeySetTable.h"
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
    // Installs the hook afresh toward its current target, after a sleep, a locked or remote
    // session, or a new shell: Windows may have removed it without notice. Nothing while it is
    // stopped (a modal step restarts it itself), nor toward a window that is gone.
    void Reinstall() const;
    // Tells the library which dedicated keys (F13, the mail key, ...) the table's keys answer
    // to, so that pressing one opens its link without the key doing its usual job as well.
    // Call it on the thread that starts the hook, whenever the table was loaded; the library
    // keeps the set across Stop and Start. Skipped by a library without the entry.
    void ClaimKeys(const KeySetTable& table) const;

private:
    // C calling convention: the caller removes the argument.
    using StartHookProc = void(WINAPIV*)(HWND target);
    using StopHookProc = void(WINAPIV*)();
    using SetClaimedKeysProc = BOOL(WINAPIV*)(const VelClaimedKeys* claimed);

    explicit HookLibrary(UniqueModule module) noexcept;

    UniqueModule m_hModule;
    StartHookProc m_pfnStart = nullptr;
    StopHookProc m_pfnStop = nullptr;
    SetClaimedKeysProc m_pfnSetClaimed = nullptr;
    // The window of the last Start; null after Stop.
    mutable HWND m_hTarget = nullptr;
};

// Pauses the hook around a nested modal step (a dialog, a question), so that no key press
// arrives while the user answers: stops it now, and restarts it toward the target when the
// step is over, however it ends. It reads the library when it restarts, so a holder that let
// go of the library meanwhile (the frame, destroyed under a dialog) restarts nothing.
class HookPause {
public:
    HookPause(const std::shared_ptr<HookLibrary>& library, HWND target) : m_library(library), m_hTarget(target) {
        if (m_library) m_library->Stop();
    }
    ~HookPause() {
        if (m_library) m_library->Start(m_hTarget);
    }
    HookPause(const HookPause&) = delete;
    HookPause& operator=(const HookPause&) = delete;

private:
    const std::shared_ptr<HookLibrary>& m_library;
    HWND m_hTarget;
};
