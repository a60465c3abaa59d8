#include "settings/LinkDialog.h"

#include <shellapi.h>

#include <algorithm>

#include "res/texts.h"
#include "win/UiLanguage.h"
#include "res/resource.h"
#include "keys/KeyCombination.h"
#include "settings/ChordListening.h"
#include "settings/LinkInput.h"
#include "settings/LinkStartFields.h"
#include "settings/MoreLinkDialog.h"
#include "keys/SettingsValue.h"
#include "win/CodePage932.h"
#include "win/TextFormat.h"
#include "win/FileOpenDialog.h"
#include "win/WindowText.h"

namespace {
// A multi-line edit breaks lines with "\r\n"; the key's text with "\n" alone.
std::string EditTextOf(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        if (c == '\n') shown += '\r';
        shown += c;
    }
    return shown;
}
}  // namespace

std::string TypedTextOfEdit(const std::string& shown) {
    std::string text;
    for (std::size_t at = 0; at < shown.size(); ++at) {
        if (shown[at] != '\r') text += shown[at];
        else if (at + 1 >= shown.size() || shown[at + 1] != '\n') text += '\n';
    }
    return text;
}

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
    LinkStartFields::Show(Hwnd(), record ? record->start : LinkStart{});
    if (record) m_moreLinks = record->moreLinks;
    ShowMoreLinks(-1);
    HWND text = Item(IDC_TYPED_TEXT);
    ::SendMessageW(text, EM_LIMITTEXT, kMaxLinkLength, 0);
    if (record) SetWindowTextCp932(text, EditTextOf(record->text));
    ::CheckRadioButton(Hwnd(), IDC_DO_OPEN_LINKS, IDC_DO_TYPE_TEXT,
                       record && record->TypesText() ? IDC_DO_TYPE_TEXT : IDC_DO_OPEN_LINKS);
    ShowChoice();
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
    if (id == IDC_LINK_EDIT && code == EN_CHANGE) {
        if (!TypesText()) LinkStartFields::OnLinkChanged(Hwnd());
        return true;
    }
    if (id == IDC_MORE_LINKS && code == LBN_SELCHANGE) {
        ShowMoreLinks(static_cast<int>(::SendMessageW(Item(IDC_MORE_LINKS), LB_GETCURSEL, 0, 0)));
        return true;
    }
    if (id == IDC_MORE_LINKS && code == LBN_DBLCLK) id = IDC_MORE_EDIT;
    else if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_LINK_BROWSE: OnBrowse(); return true;
        case IDC_LINK_START_BROWSE: LinkStartFields::BrowseFolder(Hwnd()); return true;
        case IDC_MORE_ADD:
        case IDC_MORE_EDIT:
        case IDC_MORE_REMOVE:
        case IDC_MORE_UP:
        case IDC_MORE_DOWN: OnMoreLinkButton(id); return true;
        case IDC_DO_OPEN_LINKS:
        case IDC_DO_TYPE_TEXT: ShowChoice(); return true;
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

bool LinkDialog::TypesText() const { return ::IsDlgButtonChecked(Hwnd(), IDC_DO_TYPE_TEXT) == BST_CHECKED; }

void LinkDialog::ShowChoice() {
    const bool typing = TypesText();
    for (const int id : {IDC_LINK_EDIT, IDC_LINK_BROWSE, IDC_LINK_ARGUMENTS, IDC_LINK_START_IN, IDC_LINK_START_BROWSE,
                         IDC_LINK_SHOW, IDC_KEY_ACTIVATE, IDC_MORE_LINKS})
        ::EnableWindow(Item(id), !typing);
    ::EnableWindow(Item(IDC_TYPED_TEXT), typing);
    if (typing) {
        for (const int id : {IDC_MORE_ADD, IDC_MORE_EDIT, IDC_MORE_REMOVE, IDC_MORE_UP, IDC_MORE_DOWN})
            ::EnableWindow(Item(id), FALSE);
    } else {
        LinkStartFields::OnLinkChanged(Hwnd());
        ShowMoreLinks(static_cast<int>(::SendMessageW(Item(IDC_MORE_LINKS), LB_GETCURSEL, 0, 0)));
    }
}

void LinkDialog::ShowMoreLinks(int selected) {
    HWND list = Item(IDC_MORE_LINKS);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const KeyLink& more : m_moreLinks) {
        const std::string line = more.start.arguments.empty() ? more.link : more.link + " " + more.start.arguments;
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromCp932(line).c_str()));
    }
    const int count = static_cast<int>(m_moreLinks.size());
    if (selected >= count) selected = count - 1;
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    const bool open = !TypesText();
    // A key opens at most ten links: the first and nine more.
    ::EnableWindow(Item(IDC_MORE_ADD), open && count < KeySet::kMaxLinks - 1);
    ::EnableWindow(Item(IDC_MORE_EDIT), open && selected >= 0);
    ::EnableWindow(Item(IDC_MORE_REMOVE), open && selected >= 0);
    ::EnableWindow(Item(IDC_MORE_UP), open && selected > 0);
    ::EnableWindow(Item(IDC_MORE_DOWN), open && selected >= 0 && selected + 1 < count);
    // A button that has just been greyed (Remove of the last link, Up at the top) would keep
    // the keyboard's focus where no key reaches it: it goes to the list.
    HWND focus = ::GetFocus();
    if (open && focus && ::GetParent(focus) == Hwnd() && !::IsWindowEnabled(focus))
        ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

void LinkDialog::OnMoreLinkButton(UINT id) {
    const int selected = static_cast<int>(::SendMessageW(Item(IDC_MORE_LINKS), LB_GETCURSEL, 0, 0));
    const bool any = selected >= 0 && selected < static_cast<int>(m_moreLinks.size());
    const auto at = m_moreLinks.begin() + (any ? selected : 0);
    switch (id) {
        case IDC_MORE_ADD: {
            if (m_moreLinks.size() + 1 >= static_cast<std::size_t>(KeySet::kMaxLinks)) {
                Refuse(LoadUiString(IDS_LINKS_FULL));
                return;
            }
            MoreLinkDialog more(KeyLink{}, Hwnd());
            if (more.DoModal() != IDOK) return;
            m_moreLinks.push_back(more.Link());
            ShowMoreLinks(static_cast<int>(m_moreLinks.size()) - 1);
            return;
        }
        case IDC_MORE_EDIT: {
            if (!any) return;
            MoreLinkDialog more(*at, Hwnd());
            if (more.DoModal() == IDOK) *at = more.Link();
            break;
        }
        case IDC_MORE_REMOVE:
            if (any) m_moreLinks.erase(at);
            break;
        case IDC_MORE_UP:
            if (any && selected > 0) {
                std::iter_swap(at, at - 1);
                ShowMoreLinks(selected - 1);
                return;
            }
            break;
        case IDC_MORE_DOWN:
            if (any && selected + 1 < static_cast<int>(m_moreLinks.size())) {
                std::iter_swap(at, at + 1);
                ShowMoreLinks(selected + 1);
                return;
            }
            break;
        default: break;
    }
    ShowMoreLinks(selected);
}

std::optional<std::string> LinkDialog::ReadTypedText() {
    const Cp932Text converted = Cp932FromWide(WideWindowTextOf(Item(IDC_TYPED_TEXT)));
    if (!converted.Exact()) {
        Refuse(FillInWide(UiText(IDS_TEXT_CANNOT_BE_STORED), {converted.lost}));
        return std::nullopt;
    }
    std::string text = TypedTextOfEdit(converted.text);
    if (text.empty()) {
        Refuse(LoadUiString(IDS_TEXT_NOT_SET));
        return std::nullopt;
    }
    if (!FitsInFile(ValueFromTypedText(text))) {
        Refuse(LoadUiString(IDS_TEXT_TOO_LONG));
        return std::nullopt;
    }
    return text;
}

void LinkDialog::OnOK() {
    KeySet* record = m_table.FindByNumber(m_nKeyIndex + 1);
    if (TypesText()) {
        const std::optional<std::string> text = ReadTypedText();
        if (!text) return;
        if (record) {
            // Typing instead of opening: the links go, so that no section holds both.
            record->ReplaceLink("");
            record->start = LinkStart{};
            record->moreLinks.clear();
            record->text = *text;
        }
    } else {
        // The edit's limit counts characters, and a double-byte character takes two of the
        // link's 1024 bytes: a longer text is refused, never stored cut; so is a name code page
        // 932 cannot hold. The dialog stays open with the text as typed.
        const LinkInput input = LinkFromTypedText(WideWindowTextOf(Item(IDC_LINK_EDIT)));
        if (!input.link) {
            Refuse(input.refusal);
            return;
        }
        const std::optional<LinkStart> start = LinkStartFields::Read(Hwnd());
        if (!start) return;
        // Otherwise stored as typed: neither trimmed nor checked; empty removes the link.
        if (record) {
            record->ReplaceLink(input.link->c_str());
            record->start = *start;
            record->moreLinks = m_moreLinks;
            record->text.clear();
        }
    }
    if (record) {
        if (m_bComboChanged) record->keycode = m_nKeyCode;
        record->activate = ::IsDlgButtonChecked(Hwnd(), IDC_KEY_ACTIVATE) == BST_CHECKED;
    }
    Dialog::OnOK();
}
