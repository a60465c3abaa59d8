#pragma once
// The program's hidden main window. It receives the favourite-key presses while no dialog
// is open and opens the pressed key's link; it holds the hook library and the dialog-open
// flag that keeps the About box, the settings dialog and the tray menu apart.
#include <memory>
#include <string>

#include "keys/HookLibrary.h"
#include "shell/GlanceOverlay.h"
#include "shell/LinkOpener.h"
#include "shell/SignInService.h"
#include "shell/TextTyper.h"
#include "shell/TrayIconWnd.h"
#include "win/BackgroundWorker.h"
#include "win/UniqueHandle.h"
#include "win/Window.h"

class CMainFrame : public Window {
public:
    CMainFrame() = default;
    ~CMainFrame() override;

    // Creates the window with the title, menu and accelerators of the given resource; its
    // style is the frame's own (PreCreateWindow).
    bool LoadFrame(UINT resourceId);

    void StartHook() const {
        if (m_hookLib) m_hookLib->Start(Hwnd());
    }
    void StopHook() const {
        if (m_hookLib) m_hookLib->Stop();
    }

    bool IsDialogOpen() const noexcept { return m_bDialogOpen; }
    void SetDialogOpen() noexcept { m_bDialogOpen = true; }
    void ClearDialogOpen() noexcept { m_bDialogOpen = false; }

    // While a modal dialog of the resident shell (About, Settings) is open: the dialog-open
    // flag is set, so that no second one opens and no tray menu shows, and the tray icon is
    // away; both come back when the scope ends.
    class ModalDialogScope {
    public:
        explicit ModalDialogScope(CMainFrame& frame);
        ~ModalDialogScope();
        ModalDialogScope(const ModalDialogScope&) = delete;
        ModalDialogScope& operator=(const ModalDialogScope&) = delete;

    private:
        CMainFrame& m_frame;
    };

protected:
    bool PreCreateWindow(CREATESTRUCTW& cs) override;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    LRESULT OnCreate();
    void OnDestroy();
    LRESULT OnKeyHit(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    // At the icon when its place is given, else at the pointer.
    void ShowTrayMenu(const RECT* icon);
    // The keyboard's menu: the icon's place comes from the shell's process, so a worker asks
    // for it and the menu opens in its reply.
    void ShowTrayMenuAtIcon();
    void OnTaskbarCreated();
    // After resume, unlock, reconnect or a new shell: the hook afresh toward its target.
    void ReinstallHook();
    // The table's dedicated keys to the hook library, after every load of the table.
    void ClaimKeys() const;
    void OnSettings();
    // The keys at a glance: shown on the monitor of the window in front (from the keyboard) or
    // of the mouse pointer (from the menu), or closed again when they show.
    enum class GlanceFrom { Keyboard, Menu };
    void ToggleGlance(GlanceFrom from);
    void CloseGlance() noexcept {
        if (m_glance) m_glance->Close();
    }
    // The tray menu's start-at-sign-in item: registers the sign-in task, or deletes it.
    void OnStartAtSignIn();
    // A box about start at sign-in, with the tray icon away meanwhile; for a question, whether
    // the user said yes.
    bool ShowSignInNotice(const char* text, bool question);
    // Links of a key could not be opened; the user hears of them once at a time.
    void OnLaunchFailed(const std::vector<LaunchFailure>& failures);
    // A key's text waits for its combination to be let go.
    void OnTypingTimer();
    // Windows ends the session (or Restart Manager closes the program): keep what the user
    // confirmed, save it once, and end.
    void OnEndSession();
    // Routes a command: the frame's own (Settings), then the application's (About, Exit).
    bool OnCmdMsg(UINT id);

    TrayIconWnd m_trayWnd;
    // Both work on threads of their own; created with the window, gone with it.
    std::unique_ptr<LinkOpener> m_links;
    std::unique_ptr<SignInService> m_signIn;
    std::unique_ptr<BackgroundWorker> m_iconPlace;
    bool m_bLaunchBoxShown = false;
    static constexpr UINT_PTR kTypingTimer = 1;
    TextTyper m_typer;
    using WtsRegisterProc = BOOL(WINAPI*)(HWND, DWORD);
    using WtsUnregisterProc = BOOL(WINAPI*)(HWND);
    UniqueModule m_wtsapi;
    std::shared_ptr<HookLibrary> m_hookLib;
    // Made when the keys are first shown; without a window while they are not.
    std::unique_ptr<GlanceOverlay> m_glance;
    // The window in front when the tray menu opened, which the menu took the foreground from.
    HWND m_hFrontBeforeMenu = nullptr;
    bool m_bDialogOpen = false;
    bool m_bMenuOpen = false;
    // When the icon's last click ended: its NIN_SELECT follows it and is no keyboard's.
    DWORD m_nLastTrayClick = 0;
    DWORD m_nLastTrayRightClick = 0;
    bool m_bIconPlaceAsked = false;
    HACCEL m_hAccel = nullptr;
    // Broadcast by the shell when the notification area is (re-)created.
    UINT m_nTaskbarCreatedMsg = ::RegisterWindowMessageW(L"TaskbarCreated");
};
