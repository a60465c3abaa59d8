#include "settings/LinkDialog.h"

#include <shellapi.h>

#include "res/texts.h"
#include "res/resource.h"
#include "win/FileOpenDialog.h"
#include "win/WindowText.h"

LinkDialog::LinkDialog(KeySetTable& table, HWND parent) noexcept
    : Dialog(IDD_LINK, parent), m_table(table) {}

BOOL LinkDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    HWND edit = Item(IDC_LINK_EDIT);
    ::DragAcceptFiles(edit, TRUE);
    AdmitFileDrops(m_pfnAllowMessage, edit);
    ::SendMessageA(edit, EM_LIMITTEXT, kMaxLinkLength, 0);
    const KeySet* record = m_table.FindByNumber(m_nKeyIndex + 1);
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
    const std::optional<std::string> path = SingleDroppedPath(drop);
    ::DragFinish(drop);
    if (!path) return;
    if (path->size() > static_cast<std::size_t>(kMaxLinkLength)) {
        SayLinkTooLong();
        return;
    }
    ::SetDlgItemTextA(Hwnd(), IDC_LINK_EDIT, path->c_str());
}

void LinkDialog::SayLinkTooLong() {
    ::MessageBoxA(Hwnd(), texts::kLinkTooLong, texts::kLinkInfoCaption, MB_OK | MB_ICONEXCLAMATION);
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
    // The edit's limit counts characters, and a double-byte character takes two of the
    // link's 1024 bytes: a longer text is refused, never stored cut.
    const std::string text = WindowTextOf(Item(IDC_LINK_EDIT));
    if (text.size() > static_cast<std::size_t>(kMaxLinkLength)) {
        SayLinkTooLong();
        return;
    }
    // Stored exactly as typed: neither trimmed nor checked; empty removes the link.
    if (KeySet* record = m_table.FindByNumber(m_nKeyIndex + 1))
        record->ReplaceLink(text.c_str());
    Dialog::OnOK();
}
