// What a screen reader hears of a key button, per state of the key.
#include <gtest/gtest.h>

#include "common/ScopedUiLanguage.h"
#include "settings/KeyButtonName.h"

namespace {
struct KeyState {
    int number;
    const char* caption;
    const char* link;
    int keycode;
    const char* name;
    const char* text;  // the button's window text
    const char* description;
};

TEST(KeyButtonName, NumberWithCaptionOrWhetherALinkIsSetAndTheLinkAndComboAsDescription) {
    const KeyState states[] = {
        {1, "メール", "mailto:a@example.com", 0, "キー 1: メール", "キー 1: メール",
         "リンク先: mailto:a@example.com、キー: Ctrl + Alt + A"},
        {5, "", "C:\\Tools\\a.exe", 0, "キー 5: 設定済み", "キー 5: 設定済み",
         "リンク先: C:\\Tools\\a.exe、キー: Ctrl + Alt + E"},
        {5, "", "", 0, "キー 5: 未設定", "キー 5: 未設定", "キー: Ctrl + Alt + E"},
        {12, "見出し", "", 0, "キー 12: 見出し", "キー 12: 見出し", "キー: Ctrl + Alt + L"},
        {30, "A&B", "", 0x70070, "キー 30: A&B", "キー 30: A&&B", "キー: Ctrl + Alt + Shift + F1"},
    };
    for (const KeyState& state : states) {
        KeySet key;
        key.number = state.number;
        key.ReplaceCaption(state.caption);
        key.ReplaceLink(state.link);
        key.keycode = state.keycode;
        EXPECT_EQ(KeyButtonName(key), state.name);
        EXPECT_EQ(ButtonTextOf(KeyButtonName(key)), state.text);
        EXPECT_EQ(KeyButtonDescription(key), state.description) << state.name;
    }
    KeySet key;
    key.number = 5;
    key.ReplaceLink("C:\\Tools\\a.exe");
    key.moreLinks = {{"https://a.example/", {}}, {"b.exe", {}}};
    EXPECT_EQ(KeyActionText(key), "C:\\Tools\\a.exe ほか 2 件");
    EXPECT_EQ(KeyButtonDescription(key), "リンク先: C:\\Tools\\a.exe ほか 2 件、キー: Ctrl + Alt + E");
    KeySet typing;
    typing.number = 6;
    typing.text = "よろしく\nお願いします";
    EXPECT_EQ(KeyButtonName(typing), "キー 6: 設定済み");
    EXPECT_EQ(KeyButtonDescription(typing), "入力する文字: 「よろしく お願いします」、キー: Ctrl + Alt + F");
    const ScopedUiLanguage english(UiLanguage::English);
    EXPECT_EQ(KeyActionText(typing), "\"よろしく お願いします\"");
    EXPECT_EQ(KeyActionText(key), "C:\\Tools\\a.exe and 2 more");
    key.moreLinks.clear();
    EXPECT_EQ(KeyButtonName(key), "Key 5: set");
    EXPECT_EQ(KeyButtonDescription(key), "Link: C:\\Tools\\a.exe, Key: Ctrl + Alt + E");
    key.ReplaceLink("");
    key.ReplaceCaption("メール");
    EXPECT_EQ(KeyButtonName(key), "Key 5: メール") << "the user's caption as it is";
}

}  // namespace
