// The key-set list dialog, run modally under the real dialog manager with a table of our
// own, read back through the list-view messages from inside its modal loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <cstdio>

#include "common/ModalRun.h"
#include "common/ModalScript.h"
#include "res/resource.h"
#include "settings/KeySetListDialog.h"
#include "res/KeyControlIds.h"

namespace {

constexpr int kListId = IDC_KEYSET_LIST;
constexpr int kKeyColumn = 1;
constexpr int kCaptionColumn = 2;
constexpr int kLinkColumn = 3;

KeySet MakeKeySet(int number, const char* caption, const char* link) {
    KeySet keySet;
    keySet.number = number;
    keySet.ReplaceCaption(caption);
    keySet.ReplaceLink(link);
    return keySet;
}

// Thirty keys as a load leaves them; every third has a caption, every other one a link.
KeySetTable ThirtyKeys() {
    KeySetTable table;
    for (int number = 1; number <= KeySetTable::kKeyCount; ++number) {
        const std::string caption = number % 3 == 0 ? "見出し" + std::to_string(number) : "";
        const std::string link =
            number % 2 == 1 ? "http://example.com/キー" + std::to_string(number) : "";
        table.Append(MakeKeySet(number, caption.c_str(), link.c_str()));
    }
    return table;
}

HWND List(HWND dialog) { return ::GetDlgItem(dialog, kListId); }

int RowCount(HWND dialog) {
    return static_cast<int>(::SendMessageA(List(dialog), LVM_GETITEMCOUNT, 0, 0));
}

std::string CellText(HWND dialog, int row, int column) {
    char text[1100] = {};
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = sizeof text;
    ::SendMessageA(List(dialog), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&cell));
    return text;
}

int ColumnWidth(HWND dialog, int column) {
    return static_cast<int>(::SendMessageA(List(dialog), LVM_GETCOLUMNWIDTH, column, 0));
}

int TextWidth(HWND dialog, const std::string& text) {
    return static_cast<int>(
        ::SendMessageA(List(dialog), LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

DWORD WindowStyle(HWND hwnd) { return static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)); }
// The template's style of a control that may trade its WS_BORDER for a sunken client edge.
DWORD BorderedStyle(HWND control) {
    const bool sunken = (::GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    return WindowStyle(control) | (sunken ? WS_BORDER : 0);
}

// Position and size converted apart, as the dialog manager does; converting the right and
// bottom edges instead can round differently.
RECT DialogUnitRect(HWND dialog, int x, int y, int cx, int cy) {
    RECT units{x, y, cx, cy};
    ::MapDialogRect(dialog, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}
bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

class KeySetListDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        // As at the program's start-up.
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
    // Shows the list of table, runs act on it (the fill has run by then), then closes it.
    INT_PTR Show(const KeySetTable& table, std::function<void(HWND)> act) {
        KeySetListDialog dialog(table, nullptr);
        return m_run.Show(dialog, [&](HWND hwnd) {
            act(hwnd);
            ClickButton(hwnd, IDCANCEL);
        });
    }
    ModalRun m_run;
};

TEST_F(KeySetListDialogTest, ThirtyRowsInTableOrderAndNoDrawingLockLeft) {
    const KeySetTable table = ThirtyKeys();
    Show(table, [&](HWND hwnd) {
        ASSERT_EQ(RowCount(hwnd), 30);
        EXPECT_EQ(CellText(hwnd, 0, 0), "   1");
        EXPECT_EQ(CellText(hwnd, 8, 0), "   9");
        EXPECT_EQ(CellText(hwnd, 9, 0), "  10");
        EXPECT_EQ(CellText(hwnd, 29, 0), "  30");
        for (int row = 0; row < 30; ++row) {
            const KeySet& keySet = table.At(static_cast<std::size_t>(row));
            char number[8];
            std::snprintf(number, sizeof number, "%4d", row + 1);
            EXPECT_EQ(CellText(hwnd, row, 0), number);
            // Absent texts leave the cell empty: no placeholder.
            EXPECT_EQ(CellText(hwnd, row, kCaptionColumn), keySet.caption) << "row " << row;
            EXPECT_EQ(CellText(hwnd, row, kLinkColumn), keySet.link) << "row " << row;
        }
        // Only one window can be locked at a time: locking succeeds only if the fill unlocked.
        EXPECT_TRUE(::LockWindowUpdate(hwnd));
        ::LockWindowUpdate(nullptr);
    });
}

TEST_F(KeySetListDialogTest, RowsKeepTheTableOrderNotTheNumberOrder) {
    KeySetTable table;
    table.Append(MakeKeySet(5, "五", "C:\\five.txt"));
    table.Append(MakeKeySet(2, nullptr, "C:\\two.txt"));
    table.Append(MakeKeySet(29, "二十九", nullptr));
    Show(table, [](HWND hwnd) {
        ASSERT_EQ(RowCount(hwnd), 3);
        EXPECT_EQ(CellText(hwnd, 0, 0), "   5");
        EXPECT_EQ(CellText(hwnd, 0, kLinkColumn), "C:\\five.txt");
        EXPECT_EQ(CellText(hwnd, 1, 0), "   2");
        EXPECT_EQ(CellText(hwnd, 1, kCaptionColumn), "");
        EXPECT_EQ(CellText(hwnd, 2, 0), "  29");
        EXPECT_EQ(CellText(hwnd, 2, kCaptionColumn), "二十九");
        EXPECT_EQ(CellText(hwnd, 2, kLinkColumn), "");
    });
}

TEST_F(KeySetListDialogTest, EachFillRebuildsFromTheLiveTable) {
    KeySetTable table = ThirtyKeys();
    Show(table, [&](HWND hwnd) {
        ASSERT_EQ(RowCount(hwnd), 30);
        // An edit the settings dialog has not saved yet, then a second fill.
        table.At(3).ReplaceLink("D:\\新しい\\リンク.lnk");
        ::SendMessageA(hwnd, WM_USER_FILL_LIST, 0, 0);
        EXPECT_EQ(RowCount(hwnd), 30) << "no rows left over from the first fill";
        EXPECT_EQ(CellText(hwnd, 3, kLinkColumn), "D:\\新しい\\リンク.lnk");
        EXPECT_EQ(CellText(hwnd, 4, 0), "   5");
    });
}

TEST_F(KeySetListDialogTest, ColumnsHeadingsAndWidths) {
    KeySetTable table = ThirtyKeys();
    table.At(29).keycode = VK_LAUNCH_MAIL;  // the mail key alone
    Show(table, [](HWND hwnd) {
        HWND header = reinterpret_cast<HWND>(::SendMessageA(List(hwnd), LVM_GETHEADER, 0, 0));
        ASSERT_EQ(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 4);
        const char* const headings[] = {"番号", "キー", "キャプション", "リンク先"};
        const int formats[] = {LVCFMT_CENTER, LVCFMT_LEFT, LVCFMT_LEFT, LVCFMT_LEFT};
        for (int index = 0; index < 4; ++index) {
            char text[64] = {};
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
            column.pszText = text;
            column.cchTextMax = sizeof text;
            ASSERT_TRUE(::SendMessageA(List(hwnd), LVM_GETCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
            EXPECT_STREQ(text, headings[index]);
            EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, formats[index]) << "column " << index;
            EXPECT_EQ(column.iSubItem, index);
        }
        EXPECT_EQ(ColumnWidth(hwnd, 0), 36);
        EXPECT_EQ(ColumnWidth(hwnd, kCaptionColumn), 0) << "the caption column starts collapsed";
        // Each key's combination in words: the default, and a stored one.
        EXPECT_EQ(CellText(hwnd, 0, kKeyColumn), "Ctrl + Alt + A");
        EXPECT_EQ(CellText(hwnd, 29, kKeyColumn), "メール");
    });
}

TEST_F(KeySetListDialogTest, LinkColumnIsFittedToTheWidestLink) {
    const std::string longest = "http://example.com/キー29";  // the widest of ThirtyKeys
    int fitted = 0;
    int textWidth = 0;
    Show(ThirtyKeys(), [&](HWND hwnd) {
        fitted = ColumnWidth(hwnd, kLinkColumn);
        textWidth = TextWidth(hwnd, longest);
    });
    EXPECT_NE(fitted, 626);
    EXPECT_GE(fitted, textWidth);
    EXPECT_LE(fitted, textWidth + 24) << "only the cell margins beyond the text";

    // A link wider than the initial 626 pixels widens the column.
    KeySetTable wide = ThirtyKeys();
    const std::string wideLink = "C:\\" + std::string(150, 'W') + ".txt";
    wide.At(17).ReplaceLink(wideLink.c_str());
    Show(wide, [&](HWND hwnd) {
        fitted = ColumnWidth(hwnd, kLinkColumn);
        textWidth = TextWidth(hwnd, wideLink);
    });
    ASSERT_GT(textWidth, 626);
    EXPECT_GE(fitted, textWidth);
    EXPECT_LE(fitted, textWidth + 24);
}

TEST_F(KeySetListDialogTest, WithoutLinksTheLinkColumnShrinksToAnEmptyColumn) {
    KeySetTable table;
    for (int number = 1; number <= 30; ++number) table.Append(MakeKeySet(number, "名前", nullptr));
    Show(table, [](HWND hwnd) {
        // What the list itself makes of an empty column: a fresh column fitted the same way.
        LVCOLUMNA probe{};
        probe.mask = LVCF_WIDTH | LVCF_SUBITEM;
        probe.cx = 626;
        probe.iSubItem = 3;
        ::SendMessageA(List(hwnd), LVM_INSERTCOLUMNA, 3, reinterpret_cast<LPARAM>(&probe));
        ::SendMessageA(List(hwnd), LVM_SETCOLUMNWIDTH, 3, LVSCW_AUTOSIZE);
        const int empty = ColumnWidth(hwnd, 3);
        EXPECT_LT(empty, 626);
        EXPECT_EQ(ColumnWidth(hwnd, kLinkColumn), empty);
    });
}

TEST_F(KeySetListDialogTest, TemplateStylesAndLayout) {
    Show(ThirtyKeys(), [](HWND hwnd) {
        char title[64] = {};
        ::GetWindowTextA(hwnd, title, sizeof title);
        EXPECT_STREQ(title, "お気に入り設定一覧");
        constexpr DWORD kAddedByTheSystem = WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK;
        EXPECT_EQ(WindowStyle(hwnd) & ~kAddedByTheSystem, 0x80C800C0u);
        LOGFONTA font{};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(font.lfFaceName, "ＭＳ Ｐゴシック");

        char className[32] = {};
        ::GetClassNameA(List(hwnd), className, sizeof className);
        EXPECT_STREQ(className, "SysListView32");
        // The list's scroll bars come and go with its rows.
        EXPECT_EQ(BorderedStyle(List(hwnd)) & ~(WS_VSCROLL | WS_HSCROLL), 0x50838005u)
            << "report view, single selection, no sorting";
        const LRESULT extended = ::SendMessageA(List(hwnd), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_EQ(extended & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
                  LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

        EXPECT_EQ(ControlText(hwnd, IDCANCEL), "閉じる");
        EXPECT_EQ(WindowStyle(::GetDlgItem(hwnd, IDCANCEL)), 0x50010000u);

        RECT client{};
        ::GetClientRect(hwnd, &client);
        EXPECT_TRUE(SameRect(client, DialogUnitRect(hwnd, 0, 0, 299, 199)));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, kListId), DialogUnitRect(hwnd, 9, 12, 281, 150)));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDCANCEL), DialogUnitRect(hwnd, 130, 169, 40, 17)));

        EXPECT_NE(::SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0), 0) << "the program's icon";
        EXPECT_EQ(::SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0), 0);
        EXPECT_EQ(::GetFocus(), List(hwnd));
    });
}

TEST_F(KeySetListDialogTest, CloseButtonEscapeAndCloseBoxAllCancel) {
    const std::function<void(HWND)> ways[] = {
        [](HWND hwnd) { ClickButton(hwnd, IDCANCEL); },
        [](HWND hwnd) {
            ::PostMessageA(List(hwnd), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            ::PostMessageA(List(hwnd), WM_KEYUP, VK_ESCAPE, 0xC0010001);
        },
        [](HWND hwnd) { ::SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    KeySetTable table;
    table.Append(MakeKeySet(1, "一", "C:\\one.txt"));
    for (const auto& close : ways) {
        KeySetListDialog dialog(table, nullptr);
        EXPECT_EQ(m_run.Show(dialog, close), IDCANCEL);
    }
}
}  // namespace
