#include "win/Dialog.h"

#include <commctrl.h>

#include "win/ScreenPlacement.h"
#include "win/UiLanguage.h"
#include "win/WinApp.h"
#include "win/LazyImports.h"

INT_PTR Dialog::DoModal() {
    if (Hwnd()) return -1;
    m_bEnded = false;
    m_nResult = IDCANCEL;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // The common controls are loaded by the first dialog, not at start-up: the tray needs none.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    lazy::InitCommonControlsEx(&controls);
    // Disabling the desktop would lock the whole session; a disabled owner stays disabled.
    HWND owner = m_hParent && m_hParent != ::GetDesktopWindow() && ::IsWindowEnabled(m_hParent)
                     ? m_hParent
                     : nullptr;
    // A Unicode dialog: the template's texts and those the program sets read the same on
    // every system, and its edits hand back exactly what was typed. The template is the one
    // of the interface's language.
    const DLGTEMPLATE* dialogTemplate = FindUiDialog(m_nTemplateId);
    if (!dialogTemplate) return -1;
    HWND hwnd = ::CreateDialogIndirectParamW(instance, dialogTemplate, m_hParent, StaticDialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (!hwnd) return -1;
    if (owner) ::EnableWindow(owner, FALSE);
    m_hDisabledOwner = owner;
    // Scaled for a large DPI, a dialog may reach past the screen: all of it stays reachable.
    KeepOnWorkArea(hwnd);
    if (!m_bEnded) ::ShowWindow(hwnd, SW_SHOW);

    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (!m_bEnded) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (got == -1) break;
        if (Window::WalkPreTranslateTree(msg)) continue;
        if (::IsDialogMessageW(hwnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    // Enable the owner before the dialog goes, so that the system activates the owner.
    EnableOwner();
    DestroyWindow();
    // The outer loop must still see a quit request that arrived while we ran.
    if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
    return m_nResult;
}

void Dialog::EndDialog(INT_PTR result) noexcept {
    m_nResult = result;
    m_bEnded = true;
    // The owner first: hiding the active dialog activates another window, and with the owner
    // still disabled that would be some other popup (the settings dialog's tooltip), which
    // then holds the keyboard focus.
    EnableOwner();
    if (Hwnd()) ::ShowWindow(Hwnd(), SW_HIDE);
    // Wake the loop in case no other message is on its way.
    ::PostMessageW(nullptr, WM_NULL, 0, 0);
}

void Dialog::EnableOwner() noexcept {
    if (m_hDisabledOwner) ::EnableWindow(m_hDisabledOwner, TRUE);
    m_hDisabledOwner = nullptr;
}

BOOL Dialog::OnInitDialog() { return TRUE; }
void Dialog::OnOK() { EndDialog(IDOK); }
void Dialog::OnCancel() { EndDialog(IDCANCEL); }
bool Dialog::OnCommand(UINT, UINT, HWND) { return false; }

bool Dialog::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (id == IDOK && code == BN_CLICKED) { OnOK(); return true; }
    if (id == IDCANCEL && code == BN_CLICKED) { OnCancel(); return true; }
    return OnCommand(id, code, reinterpret_cast<HWND>(lParam));
}
bool Dialog::OnDialogMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR Dialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_COMMAND: return OnCommandMessage(wParam, lParam) ? TRUE : FALSE;
        case WM_CLOSE: OnCancel(); return TRUE;
        default: {
            LRESULT result = 0;
            if (!OnDialogMessage(msg, wParam, lParam, result)) return FALSE;
            // Messages whose result is the procedure's return value.
            switch (msg) {
                case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
                case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR:
                case WM_CTLCOLORSTATIC: case WM_COMPAREITEM: case WM_VKEYTOITEM:
                case WM_CHARTOITEM: case WM_QUERYDRAGICON:
                    return static_cast<INT_PTR>(result);
                default:
                    ::SetWindowLongPtrW(Hwnd(), DWLP_MSGRESULT, result);
                    return TRUE;
            }
        }
    }
}

INT_PTR CALLBACK Window::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (msg == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->AttachHandle(hwnd);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(static_cast<Window*>(dialog)));
    } else {
        dialog = static_cast<Dialog*>(reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, DWLP_USER)));
    }
    if (!dialog) return FALSE;
    INT_PTR result = FALSE;
    try {
        result = dialog->Dispatch(msg, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the dialog manager; the message counts as not handled.
        result = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->AttachHandle(nullptr);
    }
    return result;
}
