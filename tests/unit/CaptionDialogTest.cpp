// The caption dialog, run modally under the real dialog manager and driven from its own
// message loop, and the text of a key's caption label.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/ModalRun.h"
#include "common/ModalScript.h"
#include "res/resource.h"
#include "settings/CaptionDialog.h"
#include "settings/KeyLabel.h"
#include "win/WindowText.h"

namespace {

// What a paste does: replaces the selection, within the edit's limit.
void PasteIntoEdit(HWND dialog, const char* text) {
    HWND edit = ::GetDlgItem(dialog, IDC_CAPTION_EDIT);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}


// Position and size converted apart, as the dialog manager does; converting the right and
// bottom edges instead can round differently.
RECT DialogUnitRect(HWND dialog, int x, int y, int cx, int cy) {
    RECT units{x, y, cx, cy};
    ::MapDialogRect(dialog, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}
bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

DWORD WindowStyle(HWND hwnd) { return static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)); }
// Styles every dialog window gets from the system, whatever its template says.
constexpr DWORD kAddedByTheSystem = WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK;
// The template's style of an edit: in a dialog the system trades its WS_BORDER for a sunken
// client edge, so the edge counts as the border.
DWORD EditStyle(HWND edit) {
    const bool sunken = (::GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    return WindowStyle(edit) | (sunken ? WS_BORDER : 0);
}
std::string DialogFontFace(HWND dialog) {
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfFaceName;
}

std::string Repeat(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += piece;
    return text;
}

class CaptionDialogTest : public ::testing::Test {
protected:
    INT_PTR Show(CaptionDialog& dialog, std::function<void(HWND)> act) {
        return m_run.Show(dialog, std::move(act));
    }
    // Pastes text into the edit, reads what the edit kept, confirms with OK.
    std::string PasteAndConfirm(CaptionDialog& dialog, const std::string& text) {
        std::string shown;
        EXPECT_EQ(Show(dialog,
                       [&](HWND hwnd) {
                           PasteIntoEdit(hwnd, text.c_str());
                           shown = ControlText(hwnd, IDC_CAPTION_EDIT);
                           ClickButton(hwnd, IDOK);
                       }),
                  IDOK);
        return shown;
    }
    ModalRun m_run;
};

TEST_F(CaptionDialogTest, TemplateTextsStylesAndLayout) {
    CaptionDialog dialog(nullptr, "見出し");
    Show(dialog, [](HWND hwnd) {
        char title[64] = {};
        ::GetWindowTextA(hwnd, title, sizeof title);
        EXPECT_STREQ(title, "登録内容表示");
        EXPECT_EQ(WindowStyle(hwnd) & ~kAddedByTheSystem, 0x80C800C0u);
        EXPECT_EQ(DialogFontFace(hwnd), "ＭＳ Ｐゴシック");
        EXPECT_EQ(ControlText(hwnd, IDOK), "設　定");
        EXPECT_EQ(ControlText(hwnd, IDCANCEL), "中　止");

        HWND edit = ::GetDlgItem(hwnd, IDC_CAPTION_EDIT);
        ASSERT_NE(edit, nullptr);
        char className[16] = {};
        ::GetClassNameA(edit, className, sizeof className);
        EXPECT_STREQ(className, "Edit");
        EXPECT_EQ(EditStyle(edit), 0x50830080u);
        EXPECT_EQ(WindowStyle(::GetDlgItem(hwnd, IDOK)), 0x50030001u);
        EXPECT_EQ(WindowStyle(::GetDlgItem(hwnd, IDCANCEL)), 0x50010000u);
        EXPECT_EQ(::GetFocus(), edit) << "the caption is edited at once";
        EXPECT_EQ(::GetNextDlgTabItem(hwnd, edit, FALSE), ::GetDlgItem(hwnd, IDOK));

        RECT client{};
        ::GetClientRect(hwnd, &client);
        EXPECT_TRUE(SameRect(client, DialogUnitRect(hwnd, 0, 0, 87, 51)));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDC_CAPTION_EDIT), DialogUnitRect(hwnd, 11, 7, 64, 12)));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDOK), DialogUnitRect(hwnd, 11, 24, 28, 17)));
        EXPECT_TRUE(SameRect(ControlRect(hwnd, IDCANCEL), DialogUnitRect(hwnd, 47, 24, 28, 17)));
        EXPECT_EQ(::SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0), 0) << "no icon of its own";
        ClickButton(hwnd, IDCANCEL);
    });
}

TEST_F(CaptionDialogTest, OkReturnsTheEditedCaption) {
    CaptionDialog dialog(nullptr, "旧い見出し");
    std::string shownAtStart;
    const INT_PTR result = Show(dialog, [&](HWND hwnd) {
        shownAtStart = ControlText(hwnd, IDC_CAPTION_EDIT);
        ::SetDlgItemTextA(hwnd, IDC_CAPTION_EDIT, "ニュース");
        ClickButton(hwnd, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(shownAtStart, "旧い見出し");
    EXPECT_STREQ(dialog.GetCaption(), "ニュース");
}

// A caption code page 932 cannot hold is named in a box; the dialog stays open with the text
// as typed, and nothing is stored as "?" or a look-alike.
TEST_F(CaptionDialogTest, CharactersCodePage932LacksAreNamedAndTheDialogStaysOpen) {
    CaptionDialog dialog(nullptr, "旧い見出し");
    HWND hwnd = nullptr;
    std::wstring box;
    ModalScript script;
    script.Then([&] { return (hwnd = dialog.Hwnd()) != nullptr && ::IsWindowVisible(hwnd); })
        .Then([&] {
            ::SetWindowTextW(::GetDlgItem(hwnd, IDC_CAPTION_EDIT), L"Caf\u00E9 \uD55C");
            ClickButton(hwnd, IDOK);
            return true;
        })
        .Then([&] {
            HWND owned = FindOwnedBox(hwnd);
            if (!owned) return false;
            box = WideWindowTextOf(::GetDlgItem(owned, 0xFFFF));
            ClickButton(owned, IDOK);
            return true;
        })
        .Then([&] {
            if (FindOwnedBox(hwnd)) return false;
            EXPECT_TRUE(::IsWindowVisible(hwnd));
            EXPECT_EQ(WideWindowTextOf(::GetDlgItem(hwnd, IDC_CAPTION_EDIT)), L"Caf\u00E9 \uD55C");
            ClickButton(hwnd, IDCANCEL);
            return true;
        });
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    script.Stop();
    EXPECT_TRUE(script.Finished());
    EXPECT_NE(box.find(L"\u00E9\uD55C"), std::wstring::npos) << "the characters named";
    EXPECT_STREQ(dialog.GetCaption(), "旧い見出し");
}

TEST_F(CaptionDialogTest, OkWithAnEmptyEditGivesAnEmptyCaption) {
    CaptionDialog dialog(nullptr, "Mail");
    const INT_PTR result = Show(dialog, [](HWND hwnd) {
        ::SetDlgItemTextA(hwnd, IDC_CAPTION_EDIT, "");
        ClickButton(hwnd, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_STREQ(dialog.GetCaption(), "");
}

TEST_F(CaptionDialogTest, CancelEscapeAndCloseBoxKeepTheCaption) {
    const std::function<void(HWND)> ways[] = {
        [](HWND hwnd) { ClickButton(hwnd, IDCANCEL); },
        [](HWND hwnd) {
            HWND edit = ::GetDlgItem(hwnd, IDC_CAPTION_EDIT);
            ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            ::PostMessageA(edit, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        },
        [](HWND hwnd) { ::SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& close : ways) {
        CaptionDialog dialog(nullptr, "天気");
        const INT_PTR result = Show(dialog, [&](HWND hwnd) {
            ::SetDlgItemTextA(hwnd, IDC_CAPTION_EDIT, "変えた");
            close(hwnd);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_STREQ(dialog.GetCaption(), "天気");
    }
}

TEST_F(CaptionDialogTest, EditTakesAtMost32Characters) {
    CaptionDialog dialog(nullptr);
    const std::string typed = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";  // 40 characters
    EXPECT_EQ(PasteAndConfirm(dialog, typed), typed.substr(0, 32));
    EXPECT_STREQ(dialog.GetCaption(), typed.substr(0, 32).c_str());
}

TEST_F(CaptionDialogTest, DoubleByteCaptionKeeps32BytesOfWholeCharacters) {
    CaptionDialog even(nullptr);
    PasteAndConfirm(even, Repeat("漢", 20));
    EXPECT_STREQ(even.GetCaption(), Repeat("漢", 16).c_str());

    // With one single-byte character first, the 32nd byte would be half of a character.
    CaptionDialog odd(nullptr);
    PasteAndConfirm(odd, "A" + Repeat("字", 20));
    EXPECT_STREQ(odd.GetCaption(), ("A" + Repeat("字", 15)).c_str());

    // Half-width katakana are single bytes: 32 of them fit.
    CaptionDialog narrow(nullptr);
    PasteAndConfirm(narrow, Repeat("ｶ", 33));
    EXPECT_STREQ(narrow.GetCaption(), Repeat("ｶ", 32).c_str());
}

TEST_F(CaptionDialogTest, CaptionOfExactly32IsKeptWhole) {
    const std::string caption = Repeat("表", 10) + "0123456789ab";  // 20 + 12 bytes
    ASSERT_EQ(caption.size(), 32u);
    CaptionDialog dialog(nullptr, caption);
    std::string shown;
    Show(dialog, [&](HWND hwnd) {
        shown = ControlText(hwnd, IDC_CAPTION_EDIT);
        ClickButton(hwnd, IDOK);
    });
    EXPECT_EQ(shown, caption);
    EXPECT_STREQ(dialog.GetCaption(), caption.c_str());
}

TEST_F(CaptionDialogTest, LongerCaptionFromTheFileIsShownAndStoredCut) {
    const std::string stored = Repeat("0123456789", 10);  // the file allows up to 1024
    CaptionDialog dialog(nullptr, stored);
    EXPECT_STREQ(dialog.GetCaption(), stored.substr(0, 32).c_str());
    std::string shown;
    Show(dialog, [&](HWND hwnd) {
        shown = ControlText(hwnd, IDC_CAPTION_EDIT);
        ClickButton(hwnd, IDOK);
    });
    EXPECT_EQ(shown, stored.substr(0, 32));
    EXPECT_STREQ(dialog.GetCaption(), stored.substr(0, 32).c_str());

    CaptionDialog split(nullptr);
    split.SetCaption(("x" + Repeat("長", 20)).c_str());
    EXPECT_STREQ(split.GetCaption(), ("x" + Repeat("長", 15)).c_str());
}

TEST_F(CaptionDialogTest, SetCaptionWithNoTextKeepsTheBuffer) {
    CaptionDialog dialog(nullptr);
    EXPECT_STREQ(dialog.GetCaption(), "") << "empty from construction";
    dialog.SetCaption("Ｗｅｂ");
    dialog.SetCaption(nullptr);
    EXPECT_STREQ(dialog.GetCaption(), "Ｗｅｂ");
    dialog.SetCaption("");
    EXPECT_STREQ(dialog.GetCaption(), "");
}

TEST(KeyLabelText, CaptionOrTheNumberInTwoCharacters) {
    KeySet key;
    key.number = 7;
    EXPECT_EQ(KeyLabelText(key), " 7");
    key.number = 12;
    EXPECT_EQ(KeyLabelText(key), "12");
    key.number = 30;
    key.link = "http://example.com/";
    EXPECT_EQ(KeyLabelText(key), "30") << "a link is no caption";
    key.ReplaceCaption("天気予報");
    EXPECT_EQ(KeyLabelText(key), "天気予報");
    key.ReplaceCaption("");
    EXPECT_EQ(KeyLabelText(key), "30");
}
}  // namespace
