#include "settings/KeySetListDialog.h"

#include "settings/KeyButtonName.h"

#include <commctrl.h>

#include "keys/KeyCombination.h"
#include "res/texts.h"
#include "win/UiLanguage.h"
#include "res/resource.h"
#include "win/CodePage932.h"
#include "win/ScreenPlacement.h"
#include "win/WindowText.h"

namespace {
constexpr int kNumberColumn = 0;
constexpr int kKeyColumn = 1;
constexpr int kCaptionColumn = 2;
constexpr int kLinkColumn = 3;
constexpr int kInitialLinkWidth = 626;

// The wait cursor for the span of a fill, restored however the fill ends.
class WaitCursor {
public:
    WaitCursor() noexcept : m_hPrevious(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(m_hPrevious); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_hPrevious;
};

// Keeps a window from drawing until the scope ends, so that thirty insertions and the column
// fit reach the screen as one repaint. Only one window per system can be locked at a time.
class DrawingLock {
public:
    explicit DrawingLock(HWND hwnd) noexcept { ::LockWindowUpdate(hwnd); }
    ~DrawingLock() { ::LockWindowUpdate(nullptr); }
    DrawingLock(const DrawingLock&) = delete;
    DrawingLock& operator=(const DrawingLock&) = delete;
};

// The list's texts go in wide, converted from the program's code page; the list copies them.
void InsertColumn(HWND list, int index, const char* heading, int format, int width) {
    std::wstring text = WideFromCp932(heading);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&column));
}

void SetSubItemText(HWND list, int item, int subItem, const std::string& text) {
    std::wstring wide = WideFromCp932(text);
    LVITEMW cell{};
    cell.iSubItem = subItem;
    cell.pszText = wide.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}
}  // namespace

KeySetListDialog::KeySetListDialog(const KeySetTable& keySets, HWND parent) noexcept
    : Dialog(IDD_KEYSET_LIST, parent), m_keySets(keySets) {}

BOOL KeySetListDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // Only the big icon: the caption of a modal frame shows no small one.
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    HWND list = Item(IDC_KEYSET_LIST);
    // No label stands before the list: the screen reader calls it by the dialog's title. Its
    // rows read themselves (number, then the other columns under their headings).
    m_annotations.SetName(list, WideWindowTextOf(Hwnd()));
    const LRESULT extended = ::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                   extended | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    InsertColumn(list, kNumberColumn, UiText(IDS_LIST_NUMBER_HEADING), LVCFMT_CENTER, ScaleForWindow(list, 36));
    InsertColumn(list, kKeyColumn, UiText(IDS_LIST_KEY_HEADING), LVCFMT_LEFT, ScaleForWindow(list, 110));
    // Collapsed until the user drags its divider open: captions are already under the keys.
    InsertColumn(list, kCaptionColumn, UiText(IDS_LIST_CAPTION_HEADING), LVCFMT_LEFT, 0);
    InsertColumn(list, kLinkColumn, UiText(IDS_LIST_LINK_HEADING), LVCFMT_LEFT,
                 ScaleForWindow(list, kInitialLinkWidth));

    // Filling from the modal loop lets the empty dialog appear at once.
    ::PostMessageW(Hwnd(), WM_USER_FILL_LIST, 0, 0);
    return TRUE;
}

bool KeySetListDialog::OnDialogMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg != WM_USER_FILL_LIST) return false;
    result = OnFillList(wParam, lParam);
    return true;
}

LRESULT KeySetListDialog::OnFillList(WPARAM, LPARAM) {
    HWND list = Item(IDC_KEYSET_LIST);
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    const WaitCursor waitCursor;
    const DrawingLock drawingLock(list);

    for (const KeySet& keySet : m_keySets) {
        wchar_t number[16] = {};
        ::wsprintfW(number, L"%4d", keySet.number);
        LVITEMW row{};
        row.mask = LVIF_TEXT;
        row.iItem = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        row.iSubItem = 0;
        row.pszText = number;
        const int index =
            static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
        if (const std::optional<KeyCode> code = EffectiveKeyCode(keySet))
            SetSubItemText(list, index, kKeyColumn,
                           CombinationWords(*code) + (keySet.activate ? UiText(IDS_LIST_SWITCH_MARK) : ""));
        if (keySet.HasCaption()) SetSubItemText(list, index, kCaptionColumn, keySet.caption);
        const std::string action = KeyActionText(keySet);
        if (!action.empty()) SetSubItemText(list, index, kLinkColumn, action);
    }
    // The width travels in the low word, as the framework's column-width call sends it.
    ::SendMessageW(list, LVM_SETCOLUMNWIDTH, kLinkColumn,
                   MAKELPARAM(static_cast<WORD>(LVSCW_AUTOSIZE), 0));
    return 0;
}
