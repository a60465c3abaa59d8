#include "settings/SettingsDialog.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "browser/AccessibleAddress.h"
#include "browser/AddressText.h"
#include "keys/KeySetHost.h"
#include "res/texts.h"
#include "win/UiLanguage.h"
#include "keys/KeyCombination.h"
#include "res/KeyControlIds.h"
#include "res/resource.h"
#include "keys/KeyMatching.h"
#include "settings/CaptionDialog.h"
#include "settings/ChordListening.h"
#include "settings/KeyButtonName.h"
#include "settings/KeyGrid.h"
#include "settings/KeyLabel.h"
#include "settings/KeySetListDialog.h"
#include "settings/LinkDialog.h"
#include "settings/LinkInput.h"
#include "win/ScreenPlacement.h"
#include "win/TextFormat.h"
#include "win/WindowText.h"

namespace {
constexpr DWORD kToolTipStyle = WS_POPUP | WS_VISIBLE | TTS_ALWAYSTIP | TTS_NOPREFIX;
}  // namespace

SettingsDialog::SettingsDialog(HWND parent)
    : Dialog(IDD_SETTINGS, parent), m_icons(KeySetHost::Current().GetBrowserIcon()) {}

BOOL SettingsDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    m_toolTip.Create(Hwnd(), kToolTipStyle);
    // The tip has lines: the link, the combination, its conflicts.
    ::SendMessageW(m_toolTip.Hwnd(), TTM_SETMAXTIPWIDTH, 0, 480);

    m_icons.ReadInBackground(Hwnd(), WM_APP_WORKER_REPLY);
    KeySetTable& table = KeySetHost::Current().GetKeySetTable();
    for (int index = 0; index < kKeyButtons; ++index) m_conflicts[static_cast<std::size_t>(index)] = ConflictsOf(index);
    for (int index = 0; index < kKeyButtons; ++index) {
        HWND button = Item(KeyButtonId(index));
        HWND label = Item(KeyLabelId(index));
        if (!button || !label) continue;
        m_toolTip.AddTool(button, Hwnd(), "");
        ::DragAcceptFiles(button, TRUE);
        AdmitFileDrops(m_pfnAllowMessage, button);
        if (static_cast<std::size_t>(index) >= table.Count()) continue;  // the table is short
        const KeySet& record = table.At(static_cast<std::size_t>(index));
        SetWindowTextCp932(label, KeyLabelText(record));
        ShowKeyIcon(index);
        ShowKeyName(index);
    }
    MakeTabStop(0);
    ShowGlanceKey();

    PlaceOnScreen();
    StartHook();
    m_browser.Open(Hwnd());
    return TRUE;
}

void SettingsDialog::PlaceOnScreen() {
    RECT rect{};
    ::GetWindowRect(Hwnd(), &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // Centred across, its top edge at half the height: the lower half of the screen, where
    // the dialog fits below that; otherwise moved up just enough to show all of it.
    const POINT place = FitOnWorkArea(WorkAreaOf(Hwnd()), ::GetSystemMetrics(SM_CXMAXIMIZED) / 2 - width / 2,
                                      ::GetSystemMetrics(SM_CYMAXIMIZED) / 2, width, height);
    ::SetWindowPos(Hwnd(), HWND_TOP, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

bool SettingsDialog::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    // What the read-only field tells of its own text changing is no command of the user's.
    if (LOWORD(wParam) == IDC_GLANCE_COMBO) return Dialog::OnCommandMessage(wParam, lParam);
    // Whatever else is clicked ends the listening, and with it the pause of the hook.
    StopListeningForGlanceKey();
    if (LOWORD(wParam) == IDC_GLANCE_SET && HIWORD(wParam) == BN_CLICKED) {
        ListenForGlanceKey();
        return true;
    }
    {
        HookPause pause = PauseHook();
        const UINT id = LOWORD(wParam);
        if (HIWORD(wParam) == 0 && id >= static_cast<UINT>(kFirstKeyCommand) && id <= static_cast<UINT>(kLastKeyCommand)) {
            try {
                OpenLinkDialog(id);
            } catch (const std::out_of_range&) {
                // A command for a key the table does not hold (only another program can send
                // one): nothing was changed, and the dialog goes on.
            }
        }
    }
    return Dialog::OnCommandMessage(wParam, lParam);
}

void SettingsDialog::OpenLinkDialog(UINT commandId) {
    const int index = KeyIndexOfCommand(static_cast<int>(commandId));
    KeySetTable& table = KeySetHost::Current().GetKeySetTable();
    LinkDialog link(table, Hwnd());
    link.SetKeyIndex(index);
    if (link.DoModal() != IDOK) return;
    ShowKeyIcon(index);
    ShowKeyName(index);
    RefreshMarks();
    // A key may now share the keys-at-a-glance combination, or no longer.
    ShowGlanceKey();
}

std::string SettingsDialog::ConflictsOf(int index) const {
    const KeySetTable& table = KeySetHost::Current().GetKeySetTable();
    if (index < 0 || static_cast<std::size_t>(index) >= table.Count()) return {};
    const std::optional<KeyCode> code = EffectiveKeyCode(table.At(static_cast<std::size_t>(index)));
    return code ? ConflictsText(FindKeyConflicts(table, index + 1, *code, m_probes)) : std::string();
}

void SettingsDialog::ShowKeyIcon(int index) {
    const KeySet* record = KeySetHost::Current().GetKeySetTable().FindByNumber(index + 1);
    if (!record) return;
    m_icons.SetKeyIcon(Item(KeyButtonId(index)), record->HasLink() ? record->link.c_str() : nullptr,
                       !m_conflicts[static_cast<std::size_t>(index)].empty());
}

void SettingsDialog::RefreshMarks() {
    for (int index = 0; index < kKeyButtons; ++index) {
        std::string& known = m_conflicts[static_cast<std::size_t>(index)];
        std::string now = ConflictsOf(index);
        const bool markChanged = now.empty() != known.empty();
        known = std::move(now);
        if (markChanged) ShowKeyIcon(index);
    }
}

bool SettingsDialog::OnCommand(UINT id, UINT code, HWND) {
    if (id == IDC_LIST_BUTTON && code == BN_CLICKED) {
        OnListButton();
        return true;
    }
    if (id == IDC_GLANCE_CLEAR && code == BN_CLICKED) {
        KeySetHost::Current().GetKeySetTable().SetGlanceKeyCode(0);
        ShowGlanceKey();
        return true;
    }
    return false;
}

bool SettingsDialog::OnDialogMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_DESTROY: OnDestroy(); result = 0; return true;
        case WM_APP_EDIT_CAPTION: result = OnEditCaption(wParam, lParam); return true;
        case WM_APP_KEY_HIT: result = CaptureBrowserPage(wParam, lParam); return true;
        case WM_APP_WORKER_REPLY: m_icons.RunReplies(); result = 0; return true;
        case WM_CONTEXTMENU: return OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
        default: return false;
    }
}

LRESULT SettingsDialog::OnEditCaption(WPARAM wParam, LPARAM lParam) {
    HookPause pause = PauseHook();
    try {
        EditCaption(wParam, lParam);
    } catch (const std::out_of_range&) {
        // The message comes from another program, which may name a key we do not have:
        // nothing changes and the dialog goes on.
    }
    return 0;
}

void SettingsDialog::EditCaption(WPARAM index, LPARAM labelId) {
    KeySetTable& table = KeySetHost::Current().GetKeySetTable();
    const KeySet& current = table.At(static_cast<std::size_t>(index));
    CaptionDialog dialog(Hwnd(), current.caption);
    if (dialog.DoModal() != IDOK) return;
    const std::string text = dialog.GetCaption();
    KeySet* record = table.FindByNumber(static_cast<int>(index) + 1);
    if (!record) return;
    record->ReplaceCaption(text.c_str());
    SetWindowTextCp932(Item(static_cast<int>(labelId)), KeyLabelText(*record));
    ShowKeyName(static_cast<int>(index));
}

bool SettingsDialog::OnContextMenu(HWND window, LPARAM where) {
    // Only the keyboard's request, whose position is (-1, -1) in the low 32 bits (a 64-bit
    // Windows leaves the upper ones clear): a right click changes nothing here.
    const int index = KeyIndexOfButton(window);
    if ((static_cast<ULONG_PTR>(where) & 0xFFFFFFFFu) != 0xFFFFFFFFu || index < 0) return false;
    // Posted, so that the key that asked has been handled before the caption dialog's loop.
    ::PostMessageW(Hwnd(), WM_APP_EDIT_CAPTION, static_cast<WPARAM>(index), KeyLabelId(index));
    return true;
}

LRESULT SettingsDialog::CaptureBrowserPage(WPARAM wParam, LPARAM lParam) {
    // The not-found box and the question run nested message loops, where presses queued
    // before the hook stopped still arrive. A second capture inside would replace the DDE
    // conversation and restart the hook under the first one's question.
    if (m_bCapturing || m_bListeningForGlanceKey) return 0;
    KeySet* record = FindKeySetForKey(KeySetHost::Current().GetKeySetTable(), wParam, lParam);
    if (!record) return 0;
    // Cleared however the capture ends: an exception is caught by the dialog procedure, and a
    // flag left set would refuse every later capture.
    struct CaptureScope {
        bool& flag;
        explicit CaptureScope(bool& capturing) : flag(capturing) { flag = true; }
        ~CaptureScope() { flag = false; }
    } scope(m_bCapturing);
    CaptureBrowserPageOnto(*record);
    return 0;
}

void SettingsDialog::CaptureBrowserPageOnto(KeySet& record) {
    ::SetForegroundWindow(Hwnd());
    HookPause pause = PauseHook();
    // A browser that answers the page query over DDE wins; today's browsers answer none, and
    // their address bar is read through accessibility instead.
    if (m_browser.TryConnect() == 0) {
        char address[kPageAddressSize] = {};
        bool whole = true;
        m_browser.QueryPageAddress(address, &whole);
        if (whole) OfferPageAddress(record, address);
        else SayLinkTooLong();
        m_browser.Disconnect();
        return;
    }
    m_browser.Disconnect();
    const PageCapture page = CapturePageFromBrowsers();
    switch (page.result) {
        case PageCapture::Result::Found: OfferPageAddress(record, page.link.c_str()); return;
        case PageCapture::Result::Unreadable: m_browser.ReportUnreadable(); return;
        case PageCapture::Result::NoBrowser: m_browser.ReportNotFound(); return;
    }
}

void SettingsDialog::OfferPageAddress(KeySet& record, const char* address) {
    // A cut address would open another page: the whole one, or none.
    if (!AddressFits(address)) {
        SayLinkTooLong();
        return;
    }
    // The whole address in the question, which is what OK stores.
    const std::string question =
        record.HasCaption() ? FillIn(UiText(IDS_CAPTURE_QUESTION_CAPTION), {record.caption, address})
                            : FillIn(UiText(IDS_CAPTURE_QUESTION_NUMBER), {std::to_string(record.number), address});
    if (MessageBoxCp932(Hwnd(), question, UiText(IDS_LINK_INFO_CAPTION), MB_OKCANCEL | MB_ICONINFORMATION) == IDOK) {
        record.ReplaceFirstLink(address);
        ShowKeyIcon(record.number - 1);
        ShowKeyName(record.number - 1);
    }
}

int SettingsDialog::KeyIndexOfButton(HWND hwnd) const noexcept {
    for (int index = 0; index < kKeyButtons; ++index)
        if (hwnd == Item(KeyButtonId(index))) return index;
    return -1;
}

bool SettingsDialog::PreTranslateMessage(MSG& msg) {
    if (m_bListeningForGlanceKey && OnGlanceKey(msg)) return true;
    switch (msg.message) {
        case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN:
        case WM_DROPFILES: case WM_KEYDOWN: case WM_SYSKEYDOWN: break;
        default: return false;
    }
    const int index = KeyIndexOfButton(msg.hwnd);
    if (index < 0) return false;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) return OnKeyButtonKey(index, msg);
    if (msg.message == WM_LBUTTONDOWN) MakeTabStop(index);
    if (msg.message == WM_DROPFILES) {
        HookPause pause = PauseHook();
        OnDropOnKey(index, reinterpret_cast<HDROP>(msg.wParam));
        return true;  // the drop handle is released; the button must not see it
    }
    if (msg.message != WM_RBUTTONDOWN) RelayKeyToolTip(index, msg, msg.hwnd);
    return false;
}

void SettingsDialog::OnDropOnKey(int index, HDROP drop) {
    const std::optional<std::wstring> path = SingleDroppedPath(drop);
    ::DragFinish(drop);
    if (!path) return;
    // The file's own name in the question; stored as it can be (its short name, where its
    // own name has characters code page 932 lacks), or refused and the key left as it was.
    const LinkInput input = LinkFromPath(*path);
    if (!input.link) {
        MessageBoxWide(Hwnd(), input.refusal, UiText(IDS_LINK_INFO_CAPTION), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::wstring question = FillInWide(UiText(IDS_DROP_QUESTION), {std::to_wstring(index + 1), *path});
    if (MessageBoxWide(Hwnd(), question, UiText(IDS_LINK_INFO_CAPTION), MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return;
    if (KeySet* record = KeySetHost::Current().GetKeySetTable().FindByNumber(index + 1)) {
        record->ReplaceFirstLink(input.link->c_str());
        ShowKeyIcon(index);
        ShowKeyName(index);
    }
}

void SettingsDialog::ShowKeyName(int index) {
    const KeySet* record = KeySetHost::Current().GetKeySetTable().FindByNumber(index + 1);
    HWND button = Item(KeyButtonId(index));
    if (!record || !button) return;
    SetWindowTextCp932(button, ButtonTextOf(KeyButtonName(*record)));
    m_annotations.SetDescription(button, WideFromCp932(KeyButtonDescription(*record)));
}

bool SettingsDialog::OnKeyButtonKey(int index, const MSG& msg) {
    // Shift+F10 taken here rather than from the default procedure, which would also remember
    // F10 and open the system menu of the caption dialog when the key comes up.
    if (msg.wParam == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000) != 0) return OnContextMenu(msg.hwnd, -1);
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_RETURN) {
        ::SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(KeyButtonId(index), BN_CLICKED),
                       reinterpret_cast<LPARAM>(msg.hwnd));
        return true;
    }
    const int target = KeyInDirection(index, msg.wParam);
    HWND button = target >= 0 && target < kKeyButtons ? Item(KeyButtonId(target)) : nullptr;
    if (!button) return false;
    // Through the dialog manager, which keeps the default button right; and the focus
    // rectangle shown from now on, as the dialog manager's own keys would.
    ::SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    ::SendMessageW(Hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    MakeTabStop(target);
    return true;
}

void SettingsDialog::MakeTabStop(int index) {
    for (int each = 0; each < kKeyButtons; ++each) {
        HWND button = Item(KeyButtonId(each));
        if (!button) continue;
        const LONG_PTR style = ::GetWindowLongPtrW(button, GWL_STYLE);
        const LONG_PTR wanted = each == index ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP);
        if (wanted != style) ::SetWindowLongPtrW(button, GWL_STYLE, wanted);
    }
}

void SettingsDialog::SayLinkTooLong() {
    MessageBoxCp932(Hwnd(), UiText(IDS_LINK_TOO_LONG), UiText(IDS_LINK_INFO_CAPTION), MB_OK | MB_ICONEXCLAMATION);
}

void SettingsDialog::RelayKeyToolTip(int index, const MSG& msg, HWND button) {
    const KeySet* record = KeySetHost::Current().GetKeySetTable().FindByNumber(index + 1);
    if (!record) return;
    // What the key does, the key's combination, and what conflicts with it.
    const std::string action = KeyActionText(*record);
    std::string tip = action.empty() ? std::string() : action + "\r\n";
    if (const std::optional<KeyCode> code = EffectiveKeyCode(*record)) tip += UiText(IDS_COMBO_IN_TIP) + CombinationWords(*code);
    const std::string& conflicts = m_conflicts[static_cast<std::size_t>(index)];
    if (!conflicts.empty()) tip += "\r\n" + conflicts;
    m_toolTip.Activate(true);
    m_toolTip.UpdateTipText(button, Hwnd(), tip.c_str());
    m_toolTip.RelayEvent(msg);
}

void SettingsDialog::OnListButton() {
    KeySetListDialog list(KeySetHost::Current().GetKeySetTable(), Hwnd());
    HookPause pause = PauseHook();
    list.DoModal();
}

void SettingsDialog::OnOK() {
    if (!KeySetHost::Current().SaveSettings()) {
        // The frame reloads the file after the dialog: closing now would silently throw away
        // every change the user has just confirmed. Say so and keep the dialog open.
        HookPause pause = PauseHook();
        MessageBoxCp932(Hwnd(), KeySetHost::Current().SaveFailure(), UiText(IDS_LINK_INFO_CAPTION),
                        MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Dialog::OnOK();
}

void SettingsDialog::ShowGlanceKey(const char* note) {
    const KeySetTable& table = KeySetHost::Current().GetKeySetTable();
    const std::optional<KeyCode> code = KeyCodeFromValue(table.GlanceKeyCode());
    SetWindowTextCp932(Item(IDC_GLANCE_COMBO), code ? CombinationWords(*code) : std::string(UiText(IDS_GLANCE_NO_KEY)));
    std::string conflicts = note ? std::string(note) : std::string();
    // Number 0 is no key's: every key with the combination is named.
    if (!note && code) conflicts = ConflictsText(FindKeyConflicts(table, 0, *code, m_probes));
    SetWindowTextCp932(Item(IDC_GLANCE_NOTE), conflicts);
}

void SettingsDialog::ListenForGlanceKey() {
    StopHook();
    m_bListeningForGlanceKey = true;
    // The combination stays in its field until another is chosen; the prompt goes beneath.
    SetWindowTextCp932(Item(IDC_GLANCE_NOTE), UiText(IDS_COMBO_PRESS_NOW));
}

void SettingsDialog::StopListeningForGlanceKey() {
    if (!m_bListeningForGlanceKey) return;
    m_bListeningForGlanceKey = false;
    ShowGlanceKey();
    StartHook();
}

bool SettingsDialog::OnGlanceKey(const MSG& msg) {
    const HeardChord heard = HearChord(msg);
    switch (heard.outcome) {
        case HeardChord::Outcome::NotAKey: return false;
        case HeardChord::Outcome::Swallowed: return true;
        case HeardChord::Outcome::Refused:
            SetWindowTextCp932(Item(IDC_GLANCE_NOTE), UiText(IDS_COMBO_NEEDS_TWO_MODIFIERS));
            return true;
        case HeardChord::Outcome::Chosen:
            KeySetHost::Current().GetKeySetTable().SetGlanceKeyCode(KeyCodeValue(heard.code));
            break;
        case HeardChord::Outcome::Cancelled: break;
    }
    StopListeningForGlanceKey();
    return true;
}

void SettingsDialog::OnDestroy() {
    // Not listening any more; the hook is stopped for good below.
    m_bListeningForGlanceKey = false;
    m_annotations.Clear();
    m_browser.Close();
    StopHook();
    m_hookLib.reset();
    m_toolTip.Destroy();
}
