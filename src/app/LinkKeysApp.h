#pragma once
// The application object: owns the key-set table, the program's directory, the
// single-instance mutex and the default browser for the whole run.
#include <memory>
#include <optional>

#include "app/AppDirectory.h"
#include "browser/DefaultBrowser.h"
#include "keys/KeySetHost.h"
#include "keys/KeySetTable.h"
#include "win/UniqueHandle.h"
#include "win/WinApp.h"

class CMainFrame;

class LinkKeysApp : public WinApp, public KeySetHost {
public:
    // The exit code when the program's folder cannot be used (see AppDirectoryOfModule).
    static constexpr int kExitProgramFolderUnusable = 3;

    LinkKeysApp() noexcept;
    ~LinkKeysApp() override;

    // The running application object, through the current-application pointer.
    static LinkKeysApp& Get() noexcept;

    BOOL InitInstance() override;
    int ExitInstance() override;
    bool OnCommand(UINT id) override;
    // The About command: the About box, with the tray icon removed while it is open.
    void OnAppAbout();

    KeySetTable& GetKeySetTable() noexcept override { return m_keySets; }
    const char* AppDirectory() const noexcept override { return m_szAppDir; }
    // Read on the first call (the first settings dialog), not at start-up.
    HICON GetBrowserIcon() const noexcept override;
    CMainFrame* MainFrame() const noexcept { return m_pMainFrame.get(); }

    int LoadSettings() override;
    // Always false once the session has ended.
    bool SaveSettings() override;
    const char* SaveFailure() const noexcept override;
    void KeepConfirmedKeySets() override { m_confirmedKeySets = m_keySets; }
    void ForgetConfirmedKeySets() noexcept override { m_confirmedKeySets.reset(); }
    void EndSession() override;

private:
    // The box that tells the user another copy runs; start-up then ends.
    static BOOL RefuseSecondCopy();
    void DetectDefaultBrowser();
    // A settings file saved as UTF-8 or UTF-16 becomes code page 932 before it is read; one that
    // cannot is left alone, and this run neither reads nor writes it.
    void PrepareSettingsFile();

    UniqueKernelHandle m_hMutex;
    mutable UniqueIcon m_hBrowserIcon;
    mutable bool m_bBrowserIconRead = false;
    char m_szAppDir[kAppDirSize] = {};
    KeySetTable m_keySets;
    std::optional<KeySetTable> m_confirmedKeySets;
    bool m_bSessionEnded = false;
    bool m_bSettingsFileLocked = false;
    // The last save stopped half-way and left Vorlund.ini under another name.
    bool m_bSettingsSetAside = false;
    char m_szBrowserPath[kBrowserPathSize] = {};
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
