#include "settings/LinkDialog.h"

#include <shellapi.h>

#include "app/LinkKeysApp.h"
#include "res/resource.h"
#include "win/FileOpenDialog.h"

LinkDialog::LinkDialog(HWND parent) noexcept : Dialog(IDD_LINK, parent) {}

BOOL LinkDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    HWND edit = Item(IDC_LINK_EDIT);
    ::DragAcceptFiles(edit, TRUE);
    ::SendMessageA(edit, EM_LIMITTEXT, kMaxLinkLength, 0);
    const KeySet* record = LinkKeysApp::Get().GetKeySetTable().FindByNumber(m_nKeyIndex + 1);
    if (record && record->HasLink()) ::SetWindowTextA(edit, record->link.c_str());
    return TRUE;
}

bool LinkDialog::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_DROPFILES && msg.hwnd == Item(IDC_LINK_EDIT)) {
        OnDropOnEdit(reinterpret_cast<HDROP>(msg.wParam));
        return true;  // the drop handle is gone; nobody else may use it
    }
    return false;
}

void LinkDialog::OnDropOnEdit(HDROP drop) {
    if (::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        char path[261] = {};
        ::DragQueryFileA(drop, 0, path, sizeof path);
        ::SetDlgItemTextA(Hwnd(), IDC_LINK_EDIT, path);
    }
    ::DragFinish(drop);
}

bool LinkDialog::OnCommand(UINT id, UINT code, HWND) {
    if (id == IDC_LINK_BROWSE && code == BN_CLICKED) {
        OnBrowse();
        return true;
    }
    return false;
}

void LinkDialog::OnBrowse() {
    if (auto path = ShowFileOpenDialog(Hwnd(), kBrowseFilter, kBrowseFlags))
        ::SetDlgItemTextA(Hwnd(), IDC_LINK_EDIT, path->c_str());
}

void LinkDialog::OnOK() {
    char text[kMaxLinkLength + 1] = {};
    ::GetDlgItemTextA(Hwnd(), IDC_LINK_EDIT, text, sizeof text);
    // Stored exactly as typed: neither trimmed nor checked; empty removes the link.
    if (KeySet* record = LinkKeysApp::Get().GetKeySetTable().FindByNumber(m_nKeyIndex + 1))
        record->ReplaceLink(text);
    Dialog::OnOK();
}
