#include "shell/TrayIconWnd.h"

#include <cstring>
#include <string>

#include "res/texts.h"
#include "win/UiLanguage.h"
#include "res/resource.h"
#include "win/CodePage932.h"

namespace {
constexpr UINT_PTR kRetryTimerId = 1;
// The wide record as the oldest shells know it, with its 64-character tip.
constexpr DWORD kFirstLayoutSize = NOTIFYICONDATAW_V1_SIZE;
}  // namespace

NOTIFYICONDATAW TrayIconWnd::MakeRecord(HWND frame, HICON icon, bool forAdd) {
    NOTIFYICONDATAW record;
    std::memset(&record, 0, sizeof record);
    record.cbSize = kFirstLayoutSize;
    record.hWnd = frame;
    record.uID = kTrayIconId;
    if (forAdd) {
        record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        record.uCallbackMessage = WM_APP_TRAY_NOTIFY;
        record.hIcon = icon;
        LoadUiString(IDS_TRAY_TIP).copy(record.szTip, 63);  // the rest stays zero
    }
    return record;
}

bool TrayIconWnd::IconRectOf(HWND frame, RECT* rect) {
    NOTIFYICONIDENTIFIER icon;
    std::memset(&icon, 0, sizeof icon);
    icon.cbSize = sizeof icon;
    icon.hWnd = frame;
    icon.uID = kTrayIconId;
    return SUCCEEDED(::Shell_NotifyIconGetRect(&icon, rect));
}

bool TrayIconWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!Window::PreCreateWindow(cs)) return false;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    UseWindowClass(cs, RegisterWindowClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
                                           ::LoadCursorA(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
    return true;
}

LRESULT TrayIconWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: OnPaint(); return 0;
        case WM_CREATE: AddTrayIcon(); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_TIMER:
            if (wParam == kRetryTimerId) RetryAdd();
            return 0;
        case WM_APP_TRAY_REMOVE: CancelRetry(); DeleteTrayIcon(); return 0;
        case WM_APP_TRAY_RESTORE: AddTrayIcon(); return 0;
        default: return DefaultProc(msg, wParam, lParam);
    }
}

void TrayIconWnd::OnPaint() {
    PAINTSTRUCT ps;
    ::BeginPaint(Hwnd(), &ps);
    ::EndPaint(Hwnd(), &ps);
}

void TrayIconWnd::OnDestroy() {
    CancelRetry();
    DeleteTrayIcon();
}

void TrayIconWnd::AddTrayIcon() {
    CancelRetry();
    // A fresh icon at every add; the previous one goes once the shell holds its own copy.
    // The notification area shows small icons: 16 pixels at 100 %, 24 at 150 %.
    UniqueIcon icon(static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    m_hIcon = std::move(icon);
    NOTIFYICONDATAW record = MakeRecord(::GetParent(Hwnd()), m_hIcon.Get(), true);
    m_bKeyboardVersion = false;
    if (m_pfnNotify(NIM_ADD, &record)) {
        SetKeyboardVersion();
        return;
    }
    // Refused: the notification area may not exist yet, or it already has our icon. Try
    // again every half second from the message loop, so that key presses, the menu and
    // Exit keep working meanwhile.
    m_bAddPending = ::SetTimer(Hwnd(), kRetryTimerId, kRetryMs, nullptr) != 0;
}

void TrayIconWnd::RetryAdd() {
    NOTIFYICONDATAW record = MakeRecord(::GetParent(Hwnd()), m_hIcon.Get(), true);
    // A modify succeeds when the icon is present after all; otherwise add once more.
    if (m_pfnNotify(NIM_MODIFY, &record) || m_pfnNotify(NIM_ADD, &record)) {
        CancelRetry();
        SetKeyboardVersion();
    }
}

void TrayIconWnd::SetKeyboardVersion() {
    // Version 3 and not 4: the callback's lParam stays the mouse or keyboard message alone.
    NOTIFYICONDATAW record = MakeRecord(::GetParent(Hwnd()), nullptr, false);
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    record.uVersion = NOTIFYICON_VERSION;
    m_bKeyboardVersion = m_pfnNotify(NIM_SETVERSION, &record) != FALSE;
}

void TrayIconWnd::DeleteTrayIcon() {
    NOTIFYICONDATAW record = MakeRecord(::GetParent(Hwnd()), nullptr, false);
    m_pfnNotify(NIM_DELETE, &record);
}

void TrayIconWnd::CancelRetry() {
    if (m_bAddPending) ::KillTimer(Hwnd(), kRetryTimerId);
    m_bAddPending = false;
}
