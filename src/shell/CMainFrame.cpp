#include "shell/CMainFrame.h"

#include <shellapi.h>
#include <wtsapi32.h>

#include "keys/KeySetHost.h"
#include "keys/KeyMatching.h"
#include "res/resource.h"
#include "settings/SettingsDialog.h"
#include "res/texts.h"
#include "shell/SignInTask.h"
#include "shell/TrayMenu.h"
#include "win/GreyedItemClick.h"
#include "win/ProcAddress.h"
#include "win/SystemLibrary.h"
#include "win/UiLanguage.h"
#include "win/MessageFilter.h"
#include "win/WinApp.h"
#include "win/CodePage932.h"
#include "win/WindowText.h"
#include "win/TextFormat.h"

CMainFrame::~CMainFrame() {
    // Normally the window is long gone (Exit destroyed it, which stopped the hook and let go
    // of the library). If it is not, destroy it now, while its messages still reach this class.
    DestroyWindow();
}

bool CMainFrame::LoadFrame(UINT resourceId) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    wchar_t title[256] = {};
    ::LoadStringW(instance, resourceId, title, 256);
    HMENU menu = LoadUiMenu(resourceId);
    m_hAccel = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId));

    CREATESTRUCTW cs{};
    cs.hInstance = instance;
    cs.lpszName = title;
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hMenu = menu;
    if (CreateEx(cs)) return true;
    if (menu) ::DestroyMenu(menu);
    return false;
}

bool CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!Window::PreCreateWindow(cs)) return false;
    cs.style = WS_CAPTION | WS_SYSMENU | 0x8000;  // 0x00C88000: the frame's "add to title" bit kept
    UseWindowClass(cs, RegisterWindowClass(0));
    return true;
}

LRESULT CMainFrame::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: return OnCreate();
        case WM_SETFOCUS:
            if (m_trayWnd.Hwnd()) ::SetFocus(m_trayWnd.Hwnd());
            return 0;
        case WM_COMMAND:
            if (lParam == 0 && OnCmdMsg(LOWORD(wParam))) return 0;
            return DefaultProc(msg, wParam, lParam);
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_ENDSESSION:
            if (wParam) OnEndSession();
            return 0;
        case WM_APP_KEY_HIT: return OnKeyHit(wParam, lParam);
        case WM_TIMER:
            if (wParam == kTypingTimer) OnTypingTimer();
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC) ReinstallHook();
            return TRUE;
        case WM_WTSSESSION_CHANGE:
            if (wParam == WTS_CONSOLE_CONNECT || wParam == WTS_REMOTE_CONNECT || wParam == WTS_SESSION_UNLOCK)
                ReinstallHook();
            return 0;
        case WM_APP_TRAY_NOTIFY: return OnTrayNotify(wParam, lParam);
        case WM_APP_WORKER_REPLY:
            if (m_links) m_links->RunReplies();
            if (m_signIn) m_signIn->RunReplies();
            if (m_iconPlace) m_iconPlace->RunReplies();
            return 0;
        default:
            if (msg == m_nTaskbarCreatedMsg && msg != 0) {
                OnTaskbarCreated();
                return 0;
            }
            return DefaultProc(msg, wParam, lParam);
    }
}

bool CMainFrame::PreTranslateMessage(MSG& msg) {
    return m_hAccel && ::TranslateAcceleratorW(Hwnd(), m_hAccel, &msg);
}

LRESULT CMainFrame::OnCreate() {
    CREATESTRUCTW cs{};
    cs.hInstance = ::GetModuleHandleW(nullptr);
    cs.style = static_cast<LONG>(WS_CHILD | WS_VISIBLE | WS_BORDER);
    cs.hwndParent = Hwnd();
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDW_PANE_FIRST));
    if (!m_trayWnd.CreateEx(cs)) return -1;
    // The shell runs at a lower integrity level than this elevated program.
    if (auto allow = SystemChangeWindowMessageFilterEx())
        allow(Hwnd(), m_nTaskbarCreatedMsg, 1 /* MSGFLT_ALLOW */, nullptr);

    m_links = std::make_unique<LinkOpener>(
        Hwnd(), WM_APP_WORKER_REPLY, [this](const std::vector<LaunchFailure>& failures) { OnLaunchFailed(failures); });
    // The task starts the program in the folder the program uses for everything else.
    const std::wstring module = SignInTask::ProgramPath();
    m_signIn = std::make_unique<SignInService>(
        Hwnd(), WM_APP_WORKER_REPLY,
        WideFromCp932(KeySetHost::Current().AppDirectory()) + module.substr(module.rfind(L'\\') + 1),
        [this](const char* text, bool question) { return ShowSignInNotice(text, question); });
    m_iconPlace = std::make_unique<BackgroundWorker>(Hwnd(), WM_APP_WORKER_REPLY);

    m_hookLib = HookLibrary::LoadFrom(KeySetHost::Current().AppDirectory());
    StartHook();
    ClaimKeys();
    // Unlock and reconnect of this session come as WM_WTSSESSION_CHANGE. The library is not a
    // known DLL: loaded from the system directory, never as an import.
    m_wtsapi = LoadSystemLibrary("wtsapi32.dll");
    if (auto notify = GetProcAs<WtsRegisterProc>(m_wtsapi.Get(), "WTSRegisterSessionNotification"))
        notify(Hwnd(), 0 /* NOTIFY_FOR_THIS_SESSION */);
    return 0;
}

void CMainFrame::ReinstallHook() {
    if (m_hookLib) m_hookLib->Reinstall();
}

void CMainFrame::ToggleGlance(GlanceFrom from) {
    if (m_glance && m_glance->IsShown()) {
        m_glance->Close();
        return;
    }
    if (m_bDialogOpen) return;
    HMONITOR monitor = nullptr;
    if (from == GlanceFrom::Menu) {
        // The menu took the foreground from the window in front: it gets it back, with its focus.
        if (m_hFrontBeforeMenu && m_hFrontBeforeMenu != Hwnd() && ::IsWindow(m_hFrontBeforeMenu))
            ::SetForegroundWindow(m_hFrontBeforeMenu);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        monitor = ::MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY);
    } else {
        monitor = ::MonitorFromWindow(::GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
    }
    if (!m_glance) m_glance = std::make_unique<GlanceOverlay>();
    KeySetHost& app = KeySetHost::Current();
    m_glance->Show(app.GetKeySetTable(), monitor, app.GetBrowserIcon(), Hwnd());
}

void CMainFrame::OnDestroy() {
    m_glance.reset();
    if (auto forget = GetProcAs<WtsUnregisterProc>(m_wtsapi.Get(), "WTSUnRegisterSessionNotification")) forget(Hwnd());
    StopHook();
    ::KillTimer(Hwnd(), kTypingTimer);
    m_links.reset();
    m_signIn.reset();
    m_iconPlace.reset();
    // An open settings dialog may still hold the library; it goes when the dialog does.
    m_hookLib.reset();
}

void CMainFrame::OnEndSession() {
    KeySetHost::Current().EndSession();
    // Restart Manager lets the process live on after this message: close as at Exit. An open
    // settings dialog ends with the message loop, discarding its edits.
    ::PostMessageW(Hwnd(), WM_CLOSE, 0, 0);
}

LRESULT CMainFrame::OnKeyHit(WPARAM wParam, LPARAM lParam) {
    KeySetTable& table = KeySetHost::Current().GetKeySetTable();
    const KeySet* record = FindKeySetForKey(table, wParam, lParam);
    // A key on the same combination comes first, as between two keys (the settings warn).
    if (!record && IsGlanceKey(table, wParam, lParam)) {
        ToggleGlance(GlanceFrom::Keyboard);
        return 0;
    }
    // Every other chord closes the keys at a glance and does what it always does.
    CloseGlance();
    // Only the first match counts, even when it does nothing and a later key would.
    if (!record) return 0;
    if (record->TypesText()) {
        // Typed once the combination is let go: with Ctrl+Alt still down the characters would
        // reach the program as its shortcuts. Polled, never waited for, on this thread.
        m_typer.Queue(record->text, static_cast<WORD>(wParam));
        ::SetTimer(Hwnd(), kTypingTimer, TextTyper::kPollMilliseconds, nullptr);
        return 0;
    }
    if (!record->HasLink() || !m_links) return 0;
    // The program the press starts, or the window it switches to, comes to the front: the
    // right passes to the shell that starts it (and an unelevated copy's own start carries it).
    DWORD shell = 0;
    if (::GetWindowThreadProcessId(::GetShellWindow(), &shell) && shell) ::AllowSetForegroundWindow(shell);
    m_links->Open(record->Links(), record->activate);
    return 0;
}

void CMainFrame::OnTypingTimer() {
    if (!m_typer.Poll()) ::KillTimer(Hwnd(), kTypingTimer);
}

void CMainFrame::OnLaunchFailed(const std::vector<LaunchFailure>& failures) {
    // Presses while the box is up would only repeat it.
    if (m_bLaunchBoxShown) return;
    m_bLaunchBoxShown = true;
    // One box names every link of the press that failed, each with its reason.
    std::string text;
    for (const LaunchFailure& failure : failures) {
        if (!text.empty()) text += "\r\n";
        switch (failure.why) {
            case LaunchResult::ShellUnavailable: text += UiText(IDS_LINK_SHELL_UNAVAILABLE); break;
            case LaunchResult::FolderMissing:
                text += FillIn(UiText(IDS_START_FOLDER_MISSING), {failure.link.start.startIn});
                break;
            default: text += UiText(IDS_LINK_NOT_OPENED); break;
        }
        text += failure.link.link + "\r\n";
    }
    // No tray-icon change around this box: with the shell gone that would wait for it.
    MessageBoxCp932(Hwnd(), text, UiText(IDS_APP_NAME), MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    m_bLaunchBoxShown = false;
}

LRESULT CMainFrame::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    if (wParam != kTrayIconId) return 0;
    switch (lParam) {
        case WM_MOUSEMOVE:
            if (m_signIn) m_signIn->RefreshOnce();
            break;
        case WM_LBUTTONUP: m_nLastTrayClick = ::GetTickCount(); break;
        // Enter or Space on the icon the taskbar has given the focus (NIN_SELECT also when the
        // icon was chosen with the mouse first); a click's own NIN_SELECT opens nothing.
        case NIN_SELECT:
            if (::GetTickCount() - m_nLastTrayClick <= ::GetDoubleClickTime()) break;
            [[fallthrough]];
        case NIN_KEYSELECT:
        case WM_LBUTTONDBLCLK: ::SendMessageW(Hwnd(), WM_COMMAND, IDM_SETTINGS, 0); break;
        // A right click ends in WM_CONTEXTMENU where the shell took version 3, and so do the
        // menu key and Shift+F10: the menu opens on that alone, once per click.
        case WM_RBUTTONDOWN:
            if (!m_trayWnd.IsKeyboardVersion()) ShowTrayMenu(nullptr);
            break;
        case WM_RBUTTONUP: m_nLastTrayRightClick = ::GetTickCount(); break;
        case WM_CONTEXTMENU:
            if (TrayMenuAtIcon(WM_CONTEXTMENU, ::GetTickCount() - m_nLastTrayRightClick, ::GetDoubleClickTime()))
                ShowTrayMenuAtIcon();
            else
                ShowTrayMenu(nullptr);
            break;
        default: break;
    }
    return 0;
}

void CMainFrame::ShowTrayMenuAtIcon() {
    if (m_bDialogOpen || m_bMenuOpen || m_bIconPlaceAsked || !m_iconPlace) return;
    m_bIconPlaceAsked = true;
    const HWND frame = Hwnd();
    m_iconPlace->Post([this, frame]() -> BackgroundWorker::Reply {
        RECT icon{};
        const bool known = TrayIconWnd::IconRectOf(frame, &icon);
        return [this, icon, known] {
            m_bIconPlaceAsked = false;
            ShowTrayMenu(known ? &icon : nullptr);
        };
    });
}

void CMainFrame::ShowTrayMenu(const RECT* icon) {
    // Not over a dialog, and never a second menu from a notification that arrives while the
    // first is open.
    if (m_bDialogOpen || m_bMenuOpen) return;
    struct MenuScope {
        bool& open;
        explicit MenuScope(bool& flag) : open(flag) { open = true; }
        ~MenuScope() { open = false; }
    } scope(m_bMenuOpen);
    m_hFrontBeforeMenu = ::GetForegroundWindow();
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const TrayMenuPlace place = PlaceTrayMenu(cursor, icon);
    UniqueMenu menu = LoadTrayMenu();
    HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return;
    // What the scheduler said last; asked again for the next time. Greyed while it has not
    // answered, or a change is under way.
    if (m_signIn) {
        ::CheckMenuItem(popup, IDM_START_AT_SIGNIN,
                        MF_BYCOMMAND | (m_signIn->Item() == SignInItem::On ? MF_CHECKED : MF_UNCHECKED));
        if (!m_signIn->CanToggle()) ::EnableMenuItem(popup, IDM_START_AT_SIGNIN, MF_BYCOMMAND | MF_GRAYED);
        m_signIn->Refresh();
    }
    // Without the foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(Hwnd());
    GreyedItemClick greyedSignIn(popup, IDM_START_AT_SIGNIN);
    TPMPARAMS clear{sizeof(TPMPARAMS), place.exclude};
    ::TrackPopupMenuEx(popup, place.flags | TPM_LEFTBUTTON, place.at.x, place.at.y, Hwnd(),
                       ::IsRectEmpty(&place.exclude) ? nullptr : &clear);
    // The greyed item explains itself.
    if (greyedSignIn.Clicked()) ::PostMessageW(Hwnd(), WM_COMMAND, IDM_START_AT_SIGNIN, 0);
}

void CMainFrame::OnTaskbarCreated() {
    // A new notification area knows nothing of our icon. While a dialog has it removed,
    // the restore after the dialog brings it back. The shell behind it is new as well.
    if (m_links) m_links->ForgetShell();
    // A new shell may come after a crash of the session's input handling: the hook again too.
    ReinstallHook();
    if (!m_bDialogOpen && m_trayWnd.Hwnd())
        ::PostMessageW(m_trayWnd.Hwnd(), WM_APP_TRAY_RESTORE, 0, 0);
}

CMainFrame::ModalDialogScope::ModalDialogScope(CMainFrame& frame) : m_frame(frame) {
    m_frame.CloseGlance();
    m_frame.SetDialogOpen();
    ::PostMessageW(m_frame.m_trayWnd.Hwnd(), WM_APP_TRAY_REMOVE, 0, 0);
}

CMainFrame::ModalDialogScope::~ModalDialogScope() {
    // Gone when the frame was destroyed under the dialog.
    if (HWND tray = m_frame.m_trayWnd.Hwnd()) ::PostMessageW(tray, WM_APP_TRAY_RESTORE, 0, 0);
    m_frame.ClearDialogOpen();
}

void CMainFrame::OnStartAtSignIn() {
    if (!m_signIn) return;
    if (m_signIn->CanToggle()) {
        m_signIn->Toggle();
        return;
    }
    // Nothing is toggled without knowing what is there; asked again for the next time.
    if (m_signIn->Status() == SignInStatus::Unreachable || m_signIn->Status() == SignInStatus::Unknown) {
        m_signIn->RefreshOnce();
        ShowSignInNotice(UiText(IDS_SIGNIN_SCHEDULER_UNREACHABLE), false);
    }
}

bool CMainFrame::ShowSignInNotice(const char* text, bool question) {
    if (m_bDialogOpen) return false;
    ModalDialogScope modal(*this);
    const UINT type = question ? MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON1 : MB_OK | MB_ICONEXCLAMATION;
    return MessageBoxCp932(Hwnd(), text, UiText(IDS_APP_NAME), type) == IDYES;
}

void CMainFrame::OnSettings() {
    if (m_bDialogOpen) return;
    // The dialog takes the hook while it is open; it comes back to the frame afterwards.
    HookPause pause(m_hookLib, Hwnd());
    ModalDialogScope modal(*this);
    KeySetHost& app = KeySetHost::Current();
    // The dialog edits the table in place; this is what the user has confirmed so far.
    app.KeepConfirmedKeySets();
    {
        SettingsDialog dialog(::GetDesktopWindow());
        dialog.SetHookLibrary(m_hookLib);
        dialog.DoModal();
    }
    app.ForgetConfirmedKeySets();
    // After OK the file holds what the dialog saved; after Cancel this undoes the edits.
    app.LoadSettings();
    ClaimKeys();
}

void CMainFrame::ClaimKeys() const {
    if (m_hookLib) m_hookLib->ClaimKeys(KeySetHost::Current().GetKeySetTable());
}

bool CMainFrame::OnCmdMsg(UINT id) {
    if (id == IDM_SETTINGS) {
        OnSettings();
        return true;
    }
    if (id == IDM_SHOW_KEYS) {
        ToggleGlance(GlanceFrom::Menu);
        return true;
    }
    if (id == IDM_START_AT_SIGNIN) {
        OnStartAtSignIn();
        return true;
    }
    return WinApp::Current()->OnCommand(id);
}
