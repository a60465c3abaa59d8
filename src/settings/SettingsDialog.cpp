#include "settings/SettingsDialog.h"

#include <commctrl.h>

#include <cstdio>
#include <stdexcept>

#include "app/LinkKeysApp.h"
#include "app/texts.h"
#include "res/resource.h"
#include "settings/KeyLabel.h"
#include "settings/KeySetListDialog.h"
#include "settings/LinkDialog.h"

namespace {
constexpr DWORD kToolTipStyle = WS_POPUP | WS_VISIBLE | TTS_ALWAYSTIP | TTS_NOPREFIX;
constexpr UINT kLastKeyCommand = 1063;
}  // namespace

SettingsDialog::SettingsDialog(HWND parent)
    : Dialog(IDD_SETTINGS, parent), m_icons(LinkKeysApp::Get().GetBrowserIcon()) {}

BOOL SettingsDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    m_hook = HookEntries{};
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ::SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    m_toolTip.Create(Hwnd(), kToolTipStyle);

    KeySetTable& table = LinkKeysApp::Get().GetKeySetTable();
    for (int index = 0; index < kKeyButtons; ++index) {
        HWND button = Item(ButtonId(index));
        HWND label = Item(LabelId(index));
        if (!button || !label) continue;
        m_toolTip.AddTool(button, Hwnd(), "");
        ::DragAcceptFiles(button, TRUE);
        if (static_cast<std::size_t>(index) >= table.Count()) continue;  // the table is short
        const KeySet& record = table.At(static_cast<std::size_t>(index));
        ::SetWindowTextA(label, KeyLabelText(record).c_str());
        SetKeyIcon(button, record.HasLink() ? record.link.c_str() : nullptr);
    }

    PlaceOnScreen();
    if (m_hHookLib) {
        m_hook = HookEntries::Resolve(m_hHookLib);
        StartHook();
    }
    return TRUE;
}

void SettingsDialog::PlaceOnScreen() {
    RECT rect{};
    ::GetWindowRect(Hwnd(), &rect);
    const int width = rect.right - rect.left;
    // Centred across, its top edge at half the height: the lower half of the screen.
    const int x = ::GetSystemMetrics(SM_CXMAXIMIZED) / 2 - width / 2;
    const int y = ::GetSystemMetrics(SM_CYMAXIMIZED) / 2;
    ::SetWindowPos(Hwnd(), HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

bool SettingsDialog::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    StopHook();
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == 0 && id >= static_cast<UINT>(IDC_FIRST_KEY) && id <= kLastKeyCommand) {
        try {
            OpenLinkDialog(id);
        } catch (const std::out_of_range&) {
            // A command for a key the table does not hold (only another program can send
            // one): nothing was changed, and the dialog goes on.
        }
    }
    StartHook();
    return Dialog::OnCommandMessage(wParam, lParam);
}

void SettingsDialog::OpenLinkDialog(UINT commandId) {
    const int index = static_cast<int>(commandId) - IDC_FIRST_KEY;
    LinkDialog link(Hwnd());
    link.SetKeyIndex(index);
    if (link.DoModal() != IDOK) return;
    const KeySet& record =
        LinkKeysApp::Get().GetKeySetTable().At(static_cast<std::size_t>(index));
    SetKeyIcon(Item(static_cast<int>(commandId)), record.HasLink() ? record.link.c_str() : nullptr);
}

bool SettingsDialog::OnCommand(UINT id, UINT code, HWND) {
    if (id == IDC_LIST_BUTTON && code == BN_CLICKED) {
        OnListButton();
        return true;
    }
    return false;
}

bool SettingsDialog::OnDialogMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_DESTROY: OnDestroy(); result = 0; return true;
        default: return false;
    }
}

int SettingsDialog::KeyIndexOfButton(HWND hwnd) const noexcept {
    for (int index = 0; index < kKeyButtons; ++index)
        if (hwnd == Item(ButtonId(index))) return index;
    return -1;
}

bool SettingsDialog::PreTranslateMessage(MSG& msg) {
    switch (msg.message) {
        case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_RBUTTONDOWN:
        case WM_DROPFILES: break;
        default: return false;
    }
    const int index = KeyIndexOfButton(msg.hwnd);
    if (index < 0) return false;
    if (msg.message == WM_DROPFILES) {
        StopHook();
        OnDropOnKey(index, reinterpret_cast<HDROP>(msg.wParam), msg.hwnd);
        StartHook();
        return true;  // the drop handle is released; the button must not see it
    }
    if (msg.message != WM_RBUTTONDOWN) RelayKeyToolTip(index, msg, msg.hwnd);
    return false;
}

void SettingsDialog::OnDropOnKey(int index, HDROP drop, HWND button) {
    if (::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        char path[261] = {};
        ::DragQueryFileA(drop, 0, path, sizeof path);
        char question[1057] = {};
        std::snprintf(question, sizeof question, texts::kDropQuestion, index + 1, path);
        if (::MessageBoxA(Hwnd(), question, texts::kLinkInfoCaption,
                          MB_OKCANCEL | MB_ICONINFORMATION) == IDOK) {
            if (KeySet* record = LinkKeysApp::Get().GetKeySetTable().FindByNumber(index + 1)) {
                record->ReplaceLink(path);
                SetKeyIcon(button, record->HasLink() ? record->link.c_str() : nullptr);
            }
        }
    }
    ::DragFinish(drop);
}

void SettingsDialog::RelayKeyToolTip(int index, const MSG& msg, HWND button) {
    const KeySet* record = LinkKeysApp::Get().GetKeySetTable().FindByNumber(index + 1);
    if (!record) return;
    if (!record->HasLink()) {
        m_toolTip.Activate(false);
    } else {
        m_toolTip.Activate(true);
        m_toolTip.UpdateTipText(button, Hwnd(), record->link.c_str());
    }
    m_toolTip.RelayEvent(msg);
}

void SettingsDialog::OnListButton() {
    KeySetListDialog list(LinkKeysApp::Get().GetKeySetTable(), Hwnd());
    StopHook();
    list.DoModal();
    StartHook();
}

void SettingsDialog::OnOK() {
    if (!LinkKeysApp::Get().SaveSettings()) {
        // The frame reloads the file after the dialog: closing now would silently throw away
        // every change the user has just confirmed. Say so and keep the dialog open.
        StopHook();
        ::MessageBoxA(Hwnd(), texts::kSaveFailed, texts::kLinkInfoCaption, MB_OK | MB_ICONEXCLAMATION);
        StartHook();
        return;
    }
    Dialog::OnOK();
}

void SettingsDialog::OnDestroy() {
    StopHook();
    m_hHookLib = nullptr;
    m_toolTip.Destroy();
}
