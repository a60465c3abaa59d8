// The interface's language, seen from outside: every dialog and box in Japanese or English as
// the settings file's [Vorlund] Language chooses, else as the display language (this file runs
// under the Japanese locale and once more under an English one), the user's own Japanese texts
// shown and saved as they are in either.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "DisplayLanguage.h"
#include "Installation.h"
#include "ProgramUnderTest.h"
#include "ScreenCapture.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/AppMessages.h"
#include "res/KeyControlIds.h"
#include "res/resource.h"
#include "shell/TrayIconWnd.h"

namespace {
// What one language shows, by window: title, then control texts by id.
struct ExpectedTexts {
    const char* appName;
    const char* alreadyRunning;
    const char* settings;
    std::vector<std::pair<int, const char*>> settingsControls;
    const char* link;
    std::vector<std::pair<int, const char*>> linkControls;
    const char* linkInstruction;
    const char* caption;
    std::vector<std::pair<int, const char*>> captionControls;
    const char* list;
    const char* listClose;
    const char* about;
    const char* aboutLine;
    const char* captureQuestion;  // for key 1 and the fake browser's page
    const char* glance;           // the keys at a glance
};

const ExpectedTexts kJapanese{
    "お気に入り設定アプリケーション",
    "お気に入り設定アプリケーションはすでに実行しています。",
    "お気に入り設定",
    {{IDOK, "設　定"}, {IDCANCEL, "中　止"}, {IDC_LIST_BUTTON, "一覧表示"}, {IDC_GLANCE_LABEL, "キーの早見表:"},
     {IDC_GLANCE_COMBO, "なし"}},
    "リンク情報設定",
    {{IDC_LINK_BROWSE, "参照..."}, {IDC_KEY_SET, "押して設定"}, {IDC_KEY_DEFAULT, "既定に戻す"},
     {IDC_KEY_ACTIVATE, "起動中ならそのウィンドウに切り替える"}, {IDOK, "設　定"}, {IDCANCEL, "中　止"},
     {IDC_KEY_COMBO, "Ctrl + Alt + B（既定）"}},
    "設定するＵＲＬまたはショートカットを指定してください。",
    "登録内容表示",
    {{IDOK, "設　定"}, {IDCANCEL, "中　止"}},
    "お気に入り設定一覧",
    "閉じる",
    "バージョン情報",
    "お気に入りキーの設定",
    "メモ帳のキーにアドレス[http://fake.example/page.html]を設定しますか？",
    "キーの早見表",
};

const ExpectedTexts kEnglish{
    "Vorlund Favorite Keys",
    "Vorlund Favorite Keys is already running.",
    "Favorite Keys",
    {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDC_LIST_BUTTON, "&List"}, {IDC_GLANCE_LABEL, "&Glance key:"},
     {IDC_GLANCE_COMBO, "None"}},
    "Key Link",
    {{IDC_LINK_BROWSE, "&Browse..."}, {IDC_KEY_SET, "&Press keys"}, {IDC_KEY_DEFAULT, "&Default"},
     {IDC_KEY_ACTIVATE, "&Switch to its window if it is running"}, {IDOK, "OK"}, {IDCANCEL, "Cancel"},
     {IDC_KEY_COMBO, "Ctrl + Alt + B (default)"}},
    "Enter a web address, or the file, program or shortcut to open:",
    "Caption",
    {{IDOK, "OK"}, {IDCANCEL, "Cancel"}},
    "Favorite Keys List",
    "Close",
    "About Vorlund",
    "Favorite key settings",
    "Set key メモ帳 to the address [http://fake.example/page.html]?",
    "Favorite keys at a glance",
};

constexpr char kUserCaption[] = "メモ帳";

bool IsAscii(const std::string& text) {
    for (const unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

class Language : public ::testing::Test {
protected:
    // Starts the program on a settings file with a Japanese caption, and the [Vorlund] section
    // when a language is given.
    void Start(const std::string& setting) {
        m_ini = "[KeySet1]\r\nCaption=" + std::string(kUserCaption) + "\r\nLink=C:\\memo.txt\r\n" +
                "[KeySet2]\r\nLink=C:\\Tools\\editor.exe\r\nArguments=\"C:\\Docs\\notes.txt\" /n\r\n"
                "StartIn=C:\\Docs\r\nShow=max\r\nLink2=https://example.com/\r\nLink3=C:\\Docs\\plan.ods\r\n"
                "Show3=min\r\n";
        if (!setting.empty()) m_ini += "[Vorlund]\r\nLanguage=" + setting + "\r\n";
        ASSERT_TRUE(WriteFileBytes(m_install.Ini(), m_ini));
        m_program.emplace(m_install.Program(), m_install.Dir());
        m_frame = m_program->WaitForFrame();
        ASSERT_NE(m_frame, nullptr);
    }
    HWND WaitForTitled(const std::string& title) { return m_program->WaitForDialogTitled(title); }
    HWND WaitForBox(HWND except) {
        std::vector<HWND> boxes;
        WaitUntil([&] { return !(boxes = VisibleDialogsOf(m_program->Pid(), except)).empty(); }, 10000);
        return boxes.empty() ? nullptr : boxes.front();
    }
    static void Click(HWND dialog, int id) { ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    static bool Closes(HWND window) { return WaitUntil([&] { return !::IsWindow(window); }, 5000); }
    // Every text of the window and its controls, for the check that English shows no Japanese.
    void Collect(HWND window) {
        m_shown.push_back(WindowText(window));
        for (HWND child : ChildWindowsOf(window)) {
            const bool icon = (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                              _stricmp(ClassNameOf(child).c_str(), "Static") == 0;
            // The user's caption is theirs, on key 1's label and in its button's name; an icon's
            // text is its resource number.
            const int id = ::GetDlgCtrlID(child);
            if (id != KeyLabelId(0) && id != KeyButtonId(0) && !icon) m_shown.push_back(WindowText(child));
        }
    }
    void ExpectControls(HWND dialog, const std::vector<std::pair<int, const char*>>& controls) {
        for (const auto& [id, text] : controls) EXPECT_EQ(WindowText(::GetDlgItem(dialog, id)), text) << id;
        Collect(dialog);
    }

    void ExpectEveryWindowIn(const ExpectedTexts& texts, bool english);

    Installation m_install{"language", HookChoice::None};
    std::string m_ini;
    std::optional<ProgramUnderTest> m_program;
    HWND m_frame = nullptr;
    std::vector<std::string> m_shown;
};

void Language::ExpectEveryWindowIn(const ExpectedTexts& texts, bool english) {
    // A second copy's box.
    {
        Installation other("language-second", HookChoice::None);
        ASSERT_TRUE(WriteFileBytes(other.Ini(), m_ini));
        ProgramUnderTest copy(other.Program(), other.Dir());
        HWND box = copy.WaitForDialog();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), texts.appName);
        EXPECT_EQ(MessageBoxText(box), texts.alreadyRunning);
        m_shown.push_back(WindowText(box));
        m_shown.push_back(MessageBoxText(box));
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(copy.WaitForExit(10000));
    }

    ::PostMessageA(m_frame, WM_APP_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    HWND settings = WaitForTitled(texts.settings);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(settings, KeyLabelId(0))), kUserCaption) << "the user's own, in any language";
    ExpectControls(settings, texts.settingsControls);
    if (english) SaveScreenshotIfAsked("settings-dialog-en");

    Click(settings, KeyButtonId(1));
    HWND link = WaitForTitled(texts.link);
    ASSERT_NE(link, nullptr);
    ExpectControls(link, texts.linkControls);
    bool instructionShown = false;
    for (HWND child : ChildWindowsOf(link)) instructionShown |= WindowText(child) == texts.linkInstruction;
    EXPECT_TRUE(instructionShown);
    if (english) SaveScreenshotIfAsked("link-dialog-en");
    // Key 2 opens a program with its arguments, folder and window state, and two links more.
    SaveScreenshotIfAsked(english ? "link-dialog-links-en" : "link-dialog-links");
    Click(link, IDCANCEL);
    ASSERT_TRUE(Closes(link));

    ::PostMessageA(settings, WM_APP_EDIT_CAPTION, 0, KeyLabelId(0));
    HWND caption = WaitForTitled(texts.caption);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(caption, IDC_CAPTION_EDIT)), kUserCaption);
    m_shown.push_back(WindowText(caption));
    for (const auto& [id, text] : texts.captionControls) EXPECT_EQ(WindowText(::GetDlgItem(caption, id)), text);
    if (english) SaveScreenshotIfAsked("caption-dialog-en");
    Click(caption, IDCANCEL);
    ASSERT_TRUE(Closes(caption));

    Click(settings, IDC_LIST_BUTTON);
    HWND list = WaitForTitled(texts.list);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(list, IDCANCEL)), texts.listClose);
    m_shown.push_back(WindowText(list));
    if (english) SaveScreenshotIfAsked("list-dialog-en");
    Click(list, IDCANCEL);
    ASSERT_TRUE(Closes(list));

    // A favourite key pressed while the browser shows a page: the question names the key by
    // the user's caption. (A drop cannot be handed between processes; the drop question is
    // proven in-process, SettingsDialogTest.)
    ProgramUnderTest browser(m_install.FakeBrowser(), m_install.Dir());
    ASSERT_TRUE(WaitUntil([] { return ::FindWindowA(nullptr, "FakeBrowser") != nullptr; }, 10000));
    ::PostMessageA(settings, WM_APP_KEY_HIT, 'A', 3);
    HWND question = WaitForBox(settings);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(WindowText(question), texts.link);
    EXPECT_EQ(MessageBoxText(question), texts.captureQuestion);
    ::PostMessageA(question, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(Closes(question));
    if (HWND window = ::FindWindowA(nullptr, "FakeBrowser")) ::PostMessageA(window, WM_CLOSE, 0, 0);
    browser.WaitForExit(5000);

    Click(settings, IDOK);
    ASSERT_TRUE(Closes(settings));
    EXPECT_EQ(ReadFileBytes(m_install.Ini()), m_ini) << "saved in either language, the file stays as it was";

    ::PostMessageA(m_frame, WM_COMMAND, ID_APP_ABOUT, 0);
    HWND about = WaitForTitled(texts.about);
    ASSERT_NE(about, nullptr);
    bool lineShown = false;
    for (HWND child : ChildWindowsOf(about)) lineShown |= WindowText(child) == texts.aboutLine;
    EXPECT_TRUE(lineShown);
    Collect(about);
    if (english) SaveScreenshotIfAsked("about-box-en");
    ::PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Closes(about));

    ::PostMessageA(m_frame, WM_COMMAND, IDM_SHOW_KEYS, 0);
    HWND glance = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (glance = FindVisibleWindowTitled(m_program->Pid(), texts.glance)) != nullptr; },
                          5000));
    m_shown.push_back(WindowText(glance));
    if (english) SaveScreenshotIfAsked("glance-overlay-en");
    ::PostMessageA(glance, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Closes(glance));

    if (english) {
        for (const std::string& text : m_shown) EXPECT_TRUE(IsAscii(text)) << text;
    }
    EXPECT_TRUE(m_program->CloseFrame());
}

// No setting follows the display language; ja and en are honoured on either system; anything
// else counts as no setting.
class LanguageSetting : public Language, public ::testing::WithParamInterface<const char*> {};

TEST_P(LanguageSetting, ChoosesTheTextsOfEveryWindow) {
    const std::string setting = GetParam();
    const bool english = setting == "en" || (setting != "ja" && !DisplayLanguageIsJapanese());
    Start(setting);
    ExpectEveryWindowIn(english ? kEnglish : kJapanese, english);
}

INSTANTIATE_TEST_SUITE_P(Language, LanguageSetting, ::testing::Values("", "ja", "en", "fr"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return *info.param ? std::string(info.param) : std::string("none");
                         });
}  // namespace
