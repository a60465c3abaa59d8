#pragma once
// The application object: owns the key-set table, the program's directory, the
// single-instance mutex and the default browser for the whole run.
#include <memory>
#include <optional>

#include "app/AppDirectory.h"
#include "browser/DefaultBrowser.h"
#include "keys/KeySetTable.h"
#include "win/UniqueHandle.h"
#include "win/WinApp.h"

class CMainFrame;

class LinkKeysApp : public WinApp {
public:
    LinkKeysApp() noexcept;
    ~LinkKeysApp() override;

    // The running application object, through the current-application pointer.
    static LinkKeysApp& Get() noexcept;

    BOOL InitInstance() override;
    int ExitInstance() override;
    bool OnCommand(UINT id) override;
    // The About command: the About box, with the tray icon removed while it is open.
    void OnAppAbout();

    KeySetTable& GetKeySetTable() noexcept { return m_keySets; }
    const char* AppDirectory() const noexcept { return m_szAppDir; }
    HICON GetBrowserIcon() const noexcept { return m_hBrowserIcon.Get(); }
    const char* BrowserPath() const noexcept { return m_szBrowserPath; }
    CMainFrame* MainFrame() const noexcept { return m_pMainFrame.get(); }

    // Rebuilds the table from the settings file: thirty records in every case.
    int LoadSettings();
    // Writes the table to the settings file; false when the file could not be written, and
    // always false once the session has ended.
    bool SaveSettings();

    // While the settings dialog edits the table in place, the state before it opened is the
    // last one the user confirmed.
    void KeepConfirmedKeySets() { m_confirmedKeySets = m_keySets; }
    void ForgetConfirmedKeySets() noexcept { m_confirmedKeySets.reset(); }
    // The end of the Windows session: unconfirmed edits are dropped, the confirmed table is
    // saved once, and nothing is written after it.
    void EndSession();

private:
    void DetectDefaultBrowser();
    static void AdmitKeyMessagesFromLowerIntegrity();

    UniqueKernelHandle m_hMutex;
    UniqueIcon m_hBrowserIcon;
    char m_szAppDir[kAppDirSize] = {};
    KeySetTable m_keySets;
    std::optional<KeySetTable> m_confirmedKeySets;
    bool m_bSessionEnded = false;
    char m_szBrowserPath[kBrowserPathSize] = {};
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
