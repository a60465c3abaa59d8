#include "settings/LinkDialog.h"

#include <shellapi.h>

#include "res/texts.h"
#include "win/UiLanguage.h"
#include "res/resource.h"
#include "keys/KeyCombination.h"
#include "settings/ChordListening.h"
#include "settings/LinkInput.h"
#include "win/FileOpenDialog.h"
#include "win/WindowText.h"

LinkDialog::LinkDialog(KeySetTable& table, HWND parent) noexcept
    : Dialog(IDD_LINK, parent), m_table(table) {}

BOOL LinkDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    HWND edit = Item(IDC_LINK_EDIT);
    ::DragAcceptFiles(edit, TRUE);
    AdmitFileDrops(m_pfnAllowMessage, edit);
    ::SendMessageW(edit, EM_LIMITTEXT, kMaxLinkLength, 0);
    const KeySet* record = m_table.FindByNumber(m_nKeyIndex + 1);
    if (record && record->HasLink()) SetWindowTextCp932(edit, record->link);
    m_nKeyCode = record && record->keycode > 0 ? record->keycode : 0;
    ::CheckDlgButton(Hwnd(), IDC_KEY_ACTIVATE, record && record->activate ? BST_CHECKED : BST_UNCHECKED);
    ShowCombination();
    return TRUE;
}

KeyCode LinkDialog::EffectiveCode() const {
    if (const std::optional<KeyCode> stored = KeyCodeFromValue(m_nKeyCode)) return *stored;
    return DefaultKeyCode(m_nKeyIndex + 1).value_or(KeyCode{0, 0});
}

void LinkDialog::ShowCombination(const char* note) {
    const KeyCode code = EffectiveCode();
    std::string words = code.virtualKey ? CombinationWords(code) : std::string();
    if (m_nKeyCode <= 0) words += UiText(IDS_COMBO_DEFAULT_NOTE);
    SetWindowTextCp932(Item(IDC_KEY_COMBO), words);
    const std::string conflicts =
        note ? std::string(note) : ConflictsText(FindKeyConflicts(m_table, m_nKeyIndex + 1, code, m_probes));
    SetWindowTextCp932(Item(IDC_KEY_NOTE), conflicts);
}

bool LinkDialog::OnComboKey(const MSG& msg) {
    const HeardChord heard = HearChord(msg);
    switch (heard.outcome) {
        case HeardChord::Outcome::NotAKey: return false;
        case HeardChord::Outcome::Swallowed: return true;
        case HeardChord::Outcome::Cancelled:
            m_bListening = false;
            ShowCombination();
            return true;
        case HeardChord::Outcome::Refused:
            SetWindowTextCp932(Item(IDC_KEY_NOTE), UiText(IDS_COMBO_NEEDS_TWO_MODIFIERS));
            return true;
        case HeardChord::Outcome::Chosen: break;
    }
    m_bListening = false;
    m_nKeyCode = KeyCodeValue(heard.code);
    m_bComboChanged = true;
    ShowCombination();
    return true;
}

bool LinkDialog::PreTranslateMessage(MSG& msg) {
    if (m_bListening && OnComboKey(msg)) return true;
    if (msg.message == WM_DROPFILES && msg.hwnd == Item(IDC_LINK_EDIT)) {
        OnDropOnEdit(reinterpret_cast<HDROP>(msg.wParam));
        return true;  // the drop handle is gone; nobody else may use it
    }
    return false;
}

void LinkDialog::OnDropOnEdit(HDROP drop) {
    const std::optional<std::wstring> path = SingleDroppedPath(drop);
    ::DragFinish(drop);
    if (path) TakePath(*path);
}

void LinkDialog::TakePath(const std::wstring& path) {
    // Refused at once when it cannot be stored; shown as given otherwise, and OK stores the
    // form that can (its short name, where its own cannot).
    const LinkInput input = LinkFromPath(path);
    if (!input.link) {
        Refuse(input.refusal);
        return;
    }
    ::SetWindowTextW(Item(IDC_LINK_EDIT), path.c_str());
}

void LinkDialog::Refuse(const std::wstring& why) {
    MessageBoxWide(Hwnd(), why, UiText(IDS_LINK_INFO_CAPTION), MB_OK | MB_ICONEXCLAMATION);
}

bool LinkDialog::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_LINK_BROWSE: OnBrowse(); return true;
        case IDC_KEY_SET:
            m_bListening = true;
            SetWindowTextCp932(Item(IDC_KEY_COMBO), UiText(IDS_COMBO_PRESS_NOW));
            SetWindowTextCp932(Item(IDC_KEY_NOTE), "");
            return true;
        case IDC_KEY_DEFAULT:
            m_bListening = false;
            m_nKeyCode = 0;
            m_bComboChanged = true;
            ShowCombination();
            return true;
        default: return false;
    }
}

void LinkDialog::OnBrowse() {
    if (auto path = ShowFileOpenDialog(Hwnd(), UiText(IDS_BROWSE_FILTER), kBrowseFlags)) TakePath(*path);
}

void LinkDialog::OnOK() {
    // The edit's limit counts characters, and a double-byte character takes two of the
    // link's 1024 bytes: a longer text is refused, never stored cut; so is a name code page
    // 932 cannot hold. The dialog stays open with the text as typed.
    const LinkInput input = LinkFromTypedText(WideWindowTextOf(Item(IDC_LINK_EDIT)));
    if (!input.link) {
        Refuse(input.refusal);
        return;
    }
    // Otherwise stored as typed: neither trimmed nor checked; empty removes the link.
    if (KeySet* record = m_table.FindByNumber(m_nKeyIndex + 1)) {
        record->ReplaceLink(input.link->c_str());
        if (m_bComboChanged) record->keycode = m_nKeyCode;
        record->activate = ::IsDlgButtonChecked(Hwnd(), IDC_KEY_ACTIVATE) == BST_CHECKED;
    }
    Dialog::OnOK();
}
