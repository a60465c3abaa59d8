#include "settings/MoreLinkDialog.h"

#include <utility>

#include "keys/SettingsValue.h"
#include "res/resource.h"
#include "res/texts.h"
#include "settings/LinkDialog.h"
#include "settings/LinkInput.h"
#include "settings/LinkStartFields.h"
#include "win/FileOpenDialog.h"
#include "win/UiLanguage.h"
#include "win/WindowText.h"

MoreLinkDialog::MoreLinkDialog(KeyLink link, HWND parent) : Dialog(IDD_MORE_LINK, parent), m_link(std::move(link)) {}

BOOL MoreLinkDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    HWND edit = Item(IDC_LINK_EDIT);
    ::SendMessageW(edit, EM_LIMITTEXT, kMaxValueBytes, 0);
    SetWindowTextCp932(edit, m_link.link);
    LinkStartFields::Show(Hwnd(), m_link.start);
    return TRUE;
}

bool MoreLinkDialog::OnCommand(UINT id, UINT code, HWND) {
    if (id == IDC_LINK_EDIT && code == EN_CHANGE) {
        LinkStartFields::OnLinkChanged(Hwnd());
        return true;
    }
    if (code != BN_CLICKED) return false;
    if (id == IDC_LINK_BROWSE) {
        if (auto path = ShowFileOpenDialog(Hwnd(), UiText(IDS_BROWSE_FILTER), LinkDialog::kBrowseFlags))
            ::SetWindowTextW(Item(IDC_LINK_EDIT), path->c_str());
        return true;
    }
    if (id == IDC_LINK_START_BROWSE) {
        LinkStartFields::BrowseFolder(Hwnd());
        return true;
    }
    return false;
}

void MoreLinkDialog::OnOK() {
    const LinkInput input = LinkFromTypedText(WideWindowTextOf(Item(IDC_LINK_EDIT)));
    if (!input.link) {
        MessageBoxWide(Hwnd(), input.refusal, UiText(IDS_LINK_INFO_CAPTION), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (input.link->empty()) {
        Dialog::OnCancel();
        return;
    }
    const std::optional<LinkStart> start = LinkStartFields::Read(Hwnd());
    if (!start) return;
    m_link = KeyLink{*input.link, *start};
    Dialog::OnOK();
}
