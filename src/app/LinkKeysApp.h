#pragma once
// The application object: owns the key-set table, the program's directory, the
// single-instance mutex and the default browser for the whole run.
#include <memory>

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
    // Writes the table to the settings file; false when the file could not be written.
    bool SaveSettings();

private:
    void DetectDefaultBrowser();
    static void AdmitKeyMessagesFromLowerIntegrity();

    UniqueKernelHandle m_hMutex;
    UniqueIcon m_hBrowserIcon;
    char m_szAppDir[kAppDirSize] = {};
    KeySetTable m_keySets;
    char m_szBrowserPath[kBrowserPathSize] = {};
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
