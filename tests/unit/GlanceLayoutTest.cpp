// The keys at a glance without a window: where the overlay and its cells go on a monitor's
// work area, and what each key shows in each of its states.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/ScopedUiLanguage.h"
#include "shell/GlanceDismissHooks.h"
#include "shell/GlanceLayout.h"

namespace {
bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(GlanceLayout, CentredOnTheWorkAreaScaledByItsDpiAndNeverLargerThanIt) {
    const struct {
        RECT area;
        UINT dpi;
        int width;  // 0: as wide as the work area allows
    } cases[] = {
        {{0, 0, 1920, 1040}, 96, 942},
        {{0, 0, 3840, 2100}, 192, 1884},
        {{1920, -200, 3840, 880}, 144, 1413},  // a second monitor left of and above the origin
        {{0, 0, 1024, 738}, 144, 0},           // too small at 150 %: shrunk to fit
        {{0, 0, 800, 560}, 96, 0},
        {{0, 0, 1920, 600}, 96, 918},          // wide but low: shrunk to the height
    };
    for (const auto& each : cases) {
        const GlanceLayout layout = LayOutGlance(each.area, each.dpi);
        const RECT& window = layout.window;
        const int width = window.right - window.left;
        const int height = window.bottom - window.top;
        SCOPED_TRACE(std::to_string(each.area.right - each.area.left) + " at " + std::to_string(each.dpi));
        EXPECT_TRUE(Inside(window, each.area));
        if (each.width) {
            EXPECT_EQ(width, each.width);
        }
        EXPECT_LE(std::abs((window.left - each.area.left) - (each.area.right - window.right)), 1) << "centred across";
        EXPECT_LE(std::abs((window.top - each.area.top) - (each.area.bottom - window.bottom)), 1) << "centred down";
        const RECT client{0, 0, width, height};
        EXPECT_TRUE(Inside(layout.title, client));
        EXPECT_TRUE(Inside(layout.foot, client));
        // Six across, five down, in key order, none over another or over the heading.
        for (std::size_t index = 0; index < layout.cells.size(); ++index) {
            const RECT& cell = layout.cells[index];
            EXPECT_TRUE(Inside(cell, client)) << index;
            EXPECT_GE(cell.top, layout.title.bottom) << index;
            if (index % kGlanceColumns) {
                EXPECT_EQ(cell.top, layout.cells[index - 1].top) << index;
                EXPECT_GT(cell.left, layout.cells[index - 1].right) << index;
            }
            if (index >= kGlanceColumns) {
                EXPECT_GT(cell.top, layout.cells[index - kGlanceColumns].bottom) << index;
            }
        }
        const RECT cell{0, 0, layout.cells[0].right - layout.cells[0].left, layout.cells[0].bottom - layout.cells[0].top};
        for (const RECT& part : {layout.number, layout.icon, layout.caption, layout.combination, layout.typed})
            EXPECT_TRUE(Inside(part, cell));
        EXPECT_LE(layout.captionFont, layout.caption.bottom - layout.caption.top);
        EXPECT_LE(layout.smallFont, layout.combination.bottom - layout.combination.top);
    }
}

TEST(GlanceLayout, EachKeyShowsItsCaptionOrItsLinksNameItsCombinationAndWhatItTypes) {
    const struct {
        int number;
        const char* caption;
        const char* link;
        const char* text;
        int keycode;
        const wchar_t* shown;
        const wchar_t* combination;
        const wchar_t* typed;
        const wchar_t* name;
        bool dimmed;
    } states[] = {
        {1, "メール", "mailto:a@example.com", "", 0, L"メール", L"Ctrl + Alt + A", L"", L"キー 1: メール", false},
        {2, "", "https://www.example.com/news/today", "", 0, L"www.example.com", L"Ctrl + Alt + B", L"",
         L"キー 2: 設定済み", false},
        {3, "", "C:\\Tools\\表計算\\calc.exe", "", 0, L"calc.exe", L"Ctrl + Alt + C", L"", L"キー 3: 設定済み", false},
        {4, "", "C:\\Users\\Public\\表\\", "", 0, L"表", L"Ctrl + Alt + D", L"", L"キー 4: 設定済み", false},
        {5, "", "", "", 0, L"", L"Ctrl + Alt + E", L"", L"キー 5: 未設定", true},
        {6, "署名", "", "山田\n太郎", 0x70070, L"署名", L"Ctrl + Alt + Shift + F1", L"「山田 太郎」", L"キー 6: 署名",
         false},
        {7, "", "C:\\a.exe", "ignored", 0, L"a.exe", L"Ctrl + Alt + G", L"", L"キー 7: 設定済み", false},
    };
    const UrlServiceReader urls;
    for (const auto& state : states) {
        KeySet key;
        key.number = state.number;
        key.keycode = state.keycode;
        key.ReplaceCaption(state.caption);
        key.ReplaceLink(state.link);
        key.text = state.text;
        const GlanceTexts texts = GlanceTextsOf(key, urls);
        SCOPED_TRACE(state.number);
        EXPECT_EQ(texts.number, std::to_wstring(state.number));
        EXPECT_EQ(texts.caption, state.shown);
        EXPECT_EQ(texts.combination, state.combination);
        EXPECT_EQ(texts.typed, state.typed);
        EXPECT_EQ(texts.name, state.name);
        EXPECT_EQ(texts.dimmed, state.dimmed);
    }
    const ScopedUiLanguage english(UiLanguage::English);
    KeySet typing;
    typing.number = 9;
    typing.text = "Best regards";
    EXPECT_EQ(GlanceTextsOf(typing, urls).typed, L"\"Best regards\"");
    EXPECT_EQ(GlanceTextsOf(typing, urls).name, L"Key 9: set") << "a typing key does something";
}

// Every key closes the overlay but a modifier alone and a chord the hook library reports,
// which reaches the frame and closes it there (or, its own combination, only there).
TEST(GlanceDismissHooks, EveryKeyButModifiersAndReportedChordsCloses) {
    EXPECT_TRUE(GlanceDismissHooks::KeyDownCloses(VK_ESCAPE, 0));
    EXPECT_TRUE(GlanceDismissHooks::KeyDownCloses('A', 0));
    EXPECT_TRUE(GlanceDismissHooks::KeyDownCloses('A', 2)) << "Ctrl+A types nothing we report";
    EXPECT_FALSE(GlanceDismissHooks::KeyDownCloses(VK_LCONTROL, 0));
    EXPECT_FALSE(GlanceDismissHooks::KeyDownCloses(VK_SHIFT, 2));
    EXPECT_FALSE(GlanceDismissHooks::KeyDownCloses('K', 3));
    EXPECT_FALSE(GlanceDismissHooks::KeyDownCloses(VK_F13, 0));
}
}  // namespace
