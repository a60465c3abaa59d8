// The settings dialog's browser capture (with the fake browser), its caption editing by
// message from another program, and the list of all keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "Artifacts.h"
#include "Installation.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "RemoteListView.h"
#include "ScreenCapture.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/resource.h"
#include "res/AppMessages.h"
#include "res/KeyControlIds.h"

namespace {
constexpr UINT kEditCaption = WM_APP_EDIT_CAPTION;

std::string Hex(const std::string& bytes) {
    std::string hex;
    char digits[3];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", c);
        hex += digits;
    }
    return hex + "00";
}

class SettingsOpen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileBytes(m_install.Ini(),
                                   "[KeySet1]\r\nCaption=probe\r\nLink=C:\\old.txt\r\n"
                                   "[KeySet5]\r\nkeycode=196674\r\nCaption=five\r\n"));
        m_program.emplace(m_install.Program(), m_install.Dir());
        m_frame = m_program->WaitForFrame();
        ASSERT_NE(m_frame, nullptr);
        ::PostMessageA(m_frame, WM_COMMAND, IDM_SETTINGS, 0);
        m_dialog = WaitForTitled("お気に入り設定");
        ASSERT_NE(m_dialog, nullptr);
    }
    void TearDown() override {
        if (m_browser) {
            if (HWND window = ::FindWindowA(nullptr, "FakeBrowser")) ::PostMessageA(window, WM_CLOSE, 0, 0);
            m_browser->WaitForExit(5000);
        }
    }
    DWORD Pid() const { return m_program->Pid(); }
    HWND WaitForTitled(const std::string& title, unsigned ms = 10000) {
        return m_program->WaitForDialogTitled(title, ms);
    }
    // A message box of the program other than the settings dialog.
    HWND WaitForBox(unsigned ms = 10000) {
        std::vector<HWND> boxes;
        WaitUntil([&] { return !(boxes = VisibleDialogsOf(Pid(), m_dialog)).empty(); }, ms);
        return boxes.empty() ? nullptr : boxes.front();
    }
    void StartBrowser(const std::string& arguments) {
        m_browser.emplace(m_install.FakeBrowser(), m_install.Dir(), arguments);
        ASSERT_TRUE(WaitUntil([] { return ::FindWindowA(nullptr, "FakeBrowser") != nullptr; }, 10000));
    }
    void Answer(HWND box, int id) {
        ::PostMessageA(box, WM_COMMAND, id, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));
    }
    // The list dialog's rows: number, caption, link.
    std::vector<std::vector<std::string>> ListRows() {
        ::PostMessageA(::GetDlgItem(m_dialog, IDC_LIST_BUTTON), BM_CLICK, 0, 0);
        HWND list = WaitForTitled("お気に入り設定一覧");
        std::vector<std::vector<std::string>> rows;
        if (!list) return rows;
        HWND view = ::GetDlgItem(list, IDC_KEYSET_LIST);
        WaitUntil([&] { return RemoteListViewRowCount(view) == 30; }, 5000);
        for (int row = 0; row < RemoteListViewRowCount(view); ++row)
            rows.push_back({RemoteListViewText(view, row, 0), RemoteListViewText(view, row, 1),
                            RemoteListViewText(view, row, 2), RemoteListViewText(view, row, 3)});
        SaveScreenshotIfAsked("list-dialog");
        ::PostMessageA(::GetDlgItem(list, IDCANCEL), BM_CLICK, 0, 0);
        WaitUntil([&] { return !::IsWindow(list); }, 5000);
        return rows;
    }
    std::string LinkInFile(int number) {
        char text[1100] = {};
        ::GetPrivateProfileStringA(("KeySet" + std::to_string(number)).c_str(), "Link", "", text,
                                   sizeof text, m_install.Ini().c_str());
        return text;
    }

    // Gives key 1 a caption through the caption dialog: an edit the user has not confirmed
    // with 設　定 yet.
    void EditCaptionOfKeyOne(const char* text) {
        ::PostMessageA(m_dialog, kEditCaption, 0, KeyLabelId(0));
        HWND caption = WaitForTitled("登録内容表示");
        ASSERT_NE(caption, nullptr);
        ::SendDlgItemMessageA(caption, IDC_CAPTION_EDIT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        ::PostMessageA(::GetDlgItem(caption, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(caption); }, 5000));
    }

    Installation m_install{"capture", HookChoice::Recording};
    std::optional<ProgramUnderTest> m_program;
    std::optional<ProgramUnderTest> m_browser;
    HWND m_frame = nullptr;
    HWND m_dialog = nullptr;
};

// Key 5 stores key 2's combination: both carry the warning sign, and the tooltip says why.
TEST_F(SettingsOpen, KeysSharingACombinationAreMarkedWithTheReasonInTheirTooltip) {
    HWND five = ::GetDlgItem(m_dialog, KeyButtonId(4));
    HWND three = ::GetDlgItem(m_dialog, KeyButtonId(2));
    HWND thirty = ::GetDlgItem(m_dialog, KeyButtonId(29));
    EXPECT_NE(KeyImage(five, thirty), nullptr) << "a sign even without a link";
    EXPECT_EQ(KeyImage(three, thirty), nullptr) << "no conflict, no link: no image";
    RECT rect{};
    ::GetWindowRect(five, &rect);
    RunLinuxCommand("xdotool mousemove " + std::to_string((rect.left + rect.right) / 2) + " " +
                        std::to_string((rect.top + rect.bottom) / 2) + " sleep 0.3 mousemove_relative 1 1",
                    m_install.Dir());
    std::string tip;
    WaitUntil([&] {
        for (HWND hwnd : TopLevelWindowsOf(Pid()))
            if (ClassNameOf(hwnd) == "tooltips_class32" && ::IsWindowVisible(hwnd)) tip = WindowText(hwnd);
        return !tip.empty();
    }, 5000);
    EXPECT_NE(tip.find("キー: Ctrl + Alt + B"), std::string::npos) << tip;
    EXPECT_NE(tip.find("キー2と同じ組み合わせです"), std::string::npos) << tip;
    SaveScreenshotIfAsked("settings-dialog-warning");
}

TEST_F(SettingsOpen, KeyPressAsksWithTheCaptionAndOkStoresThePageUntilCancel) {
    StartBrowser("");
    ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'A', 3);
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "リンク情報設定");
    EXPECT_EQ(MessageBoxText(box), "probeのキーにアドレス[http://fake.example/page.html]を設定しますか？");
    SaveScreenshotIfAsked("capture-question");
    Answer(box, IDOK);

    const auto rows = ListRows();
    ASSERT_EQ(rows.size(), 30u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"   1", "Ctrl + Alt + A", "probe", "http://fake.example/page.html"}));
    EXPECT_EQ(rows[4][0], "   5");
    EXPECT_EQ(rows[4][1], "Ctrl + Alt + B") << "key 5's stored combination";
    EXPECT_EQ(rows[29][0], "  30");
    ::PostMessageA(::GetDlgItem(m_dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(m_dialog); }, 5000));
    EXPECT_EQ(LinkInFile(1), "C:\\old.txt") << "cancelled: the page is gone again";

    // Opened again, the list shows the old link.
    HWND frame = FindFrameWindow(Pid());
    ::PostMessageA(frame, WM_COMMAND, IDM_SETTINGS, 0);
    m_dialog = WaitForTitled("お気に入り設定");
    ASSERT_NE(m_dialog, nullptr);
    const auto again = ListRows();
    ASSERT_EQ(again.size(), 30u);
    EXPECT_EQ(again[0][3], "C:\\old.txt");
}

TEST_F(SettingsOpen, KeyWithoutCaptionIsAskedByNumberAndCancelChangesNothing) {
    // Quotes do not survive a command line: the reply goes as bytes.
    StartBrowser("--reply-hex=" + Hex("\"https://example.jp/ソフト\",\"title\""));
    // Ctrl+Alt+B: key 2 (no caption), not key 5, which stores the same code later.
    ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'B', 3);
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "2のキーにアドレス[https://example.jp/ソフト]を設定しますか？");
    Answer(box, IDCANCEL);
    // An unmatched press asks nothing.
    ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'A', 6);
    ::Sleep(600);
    EXPECT_EQ(WaitForBox(300), nullptr);
    ::PostMessageA(::GetDlgItem(m_dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(m_dialog); }, 5000));
    EXPECT_EQ(LinkInFile(2), "");
    EXPECT_EQ(LinkInFile(5), "");
}

TEST_F(SettingsOpen, NoBrowserIsReportedOnceAndTheHookRunsAgain) {
    const std::size_t callsBefore = m_install.HookCalls().size();
    ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'A', 3);
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "InternetExplorerがみつかりませんでした。");
    Answer(box, IDOK);
    ::Sleep(600);
    EXPECT_EQ(WaitForBox(300), nullptr) << "no question follows";
    const auto calls = m_install.HookCalls();
    ASSERT_EQ(calls.size(), callsBefore + 2);
    EXPECT_EQ(calls[callsBefore], "Stop");
    EXPECT_EQ(calls[callsBefore + 1].rfind("Start ", 0), 0u);
    EXPECT_TRUE(::IsWindowVisible(m_dialog));
}

// Today's browsers answer no DDE: the address bar of the one on top is read through
// accessibility. The bare host it shows gets its scheme, and Japanese arrives intact.
TEST_F(SettingsOpen, KeyPressOffersTheAddressOfTodaysBrowser) {
    const std::string fake = Artifacts::Get().fakeBrowser;
    const std::string modern = fake.substr(0, fake.find_last_of('\\') + 1) + "FakeModernBrowser.exe";
    ProgramUnderTest browser(modern, m_install.Dir(), "--address=example.jp/ページ");
    ASSERT_TRUE(WaitUntil([] { return ::FindWindowA("Chrome_WidgetWin_1", nullptr) != nullptr; }, 10000));
    ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'A', 3);
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "probeのキーにアドレス[https://example.jp/ページ]を設定しますか？");
    Answer(box, IDOK);
    ::PostMessageA(::GetDlgItem(m_dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(m_dialog); }, 5000));
    EXPECT_EQ(LinkInFile(1), "https://example.jp/ページ");
    if (HWND window = ::FindWindowA("Chrome_WidgetWin_1", nullptr)) ::PostMessageA(window, WM_CLOSE, 0, 0);
    browser.WaitForExit(5000);
}

// The shapes of the browsers people use, each offered as the page's address (or, where no
// address can be read, told apart from no browser at all).
TEST_F(SettingsOpen, TodaysBrowserShapesAreReadAndAnUnreadableOneIsSaidSo) {
    struct Shape {
        const char* arguments;
        const char* box;
    };
    const Shape shapes[] = {
        // A picture-in-picture window on top of a Chromium window with a thousand tabs.
        {"--pip --tabs=1000 --address=example.jp/pip", "probeのキーにアドレス[https://example.jp/pip]を設定しますか？"},
        // Firefox: its newest combo box, a tree built late, an intranet host shown bare.
        {"--class=MozillaWindowClass --combo --late-ms=150 --address=intranet/wiki",
         "probeのキーにアドレス[http://intranet/wiki]を設定しますか？"},
        {"--combo-child --address=https://example.jp/combo",
         "probeのキーにアドレス[https://example.jp/combo]を設定しますか？"},
        {"--no-text", "ブラウザーは見つかりましたが、表示中のページのアドレスを読み取れませんでした。\r\n"
                      "リンク先は、キーをクリックして入力するか、ファイルをキーにドロップして設定してください。"},
    };
    const std::string fake = Artifacts::Get().fakeBrowser;
    const std::string modern = fake.substr(0, fake.find_last_of('\\') + 1) + "FakeModernBrowser.exe";
    for (const Shape& shape : shapes) {
        ProgramUnderTest browser(modern, m_install.Dir(), shape.arguments);
        ASSERT_TRUE(WaitUntil([] { return ::FindWindowA(nullptr, "FakeModernBrowser") != nullptr; }, 10000));
        ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'A', 3);
        HWND box = WaitForBox();
        ASSERT_NE(box, nullptr) << shape.arguments;
        EXPECT_EQ(MessageBoxText(box), shape.box) << shape.arguments;
        Answer(box, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));
        ::PostMessageA(::FindWindowA(nullptr, "FakeModernBrowser"), WM_CLOSE, 0, 0);
        EXPECT_TRUE(browser.WaitForExit(5000)) << shape.arguments;
    }
}

TEST_F(SettingsOpen, PressesQueuedDuringACaptureAreDropped) {
    const std::size_t callsBefore = m_install.HookCalls().size();
    ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'A', 3);
    ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'A', 3);
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    ::Sleep(500);
    EXPECT_EQ(VisibleDialogsOf(Pid(), m_dialog).size(), 1u) << "one capture at a time";
    Answer(box, IDOK);
    EXPECT_EQ(WaitForBox(1000), nullptr) << "the queued press was dropped";
    EXPECT_EQ(m_install.HookCalls().size(), callsBefore + 2) << "one Stop, one Start";
}

// Windows ends the session (or Restart Manager closes the program) while the dialog holds an
// edit the user never confirmed: the file keeps the confirmed keys, and the program ends.
TEST_F(SettingsOpen, EndOfSessionSavesOnlyConfirmedKeysAndEnds) {
    EditCaptionOfKeyOne("未確定");
    ::SendMessageTimeoutA(m_frame, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, SMTO_BLOCK, 5000, nullptr);
    EXPECT_EQ(m_program->WaitForExit(15000), std::optional<DWORD>(0));
    const std::string ini = ReadFileBytes(m_install.Ini()).value_or("");
    EXPECT_NE(ini.find("Caption=probe"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Link=C:\\old.txt"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("未確定"), std::string::npos) << ini;
}

// The frame closed under the open dialog: the dialog still stops the hook as it goes, so the
// library must still be loaded then, and the program ends cleanly.
TEST_F(SettingsOpen, ClosingTheFrameUnderTheDialogEndsCleanly) {
    EditCaptionOfKeyOne("未確定");
    EXPECT_EQ(m_program->CloseFrame(), std::optional<DWORD>(0));
    // The frame's Stop, then the dialog's: a call into an unloaded library would never log.
    const auto calls = m_install.HookCalls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "Stop");
    EXPECT_EQ(calls.back(), "Stop") << "the dialog's Stop reached the library";
    EXPECT_EQ(ReadFileBytes(m_install.Ini()).value_or("").find("未確定"), std::string::npos);
}

TEST_F(SettingsOpen, LateAnswerIsGivenUpAfterASecond) {
    StartBrowser("--late-ms=3000");
    const ULONGLONG start = ::GetTickCount64();
    ::PostMessageA(m_dialog, WM_APP_KEY_HIT, 'A', 3);
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    const ULONGLONG waited = ::GetTickCount64() - start;
    EXPECT_GE(waited, 900u);
    EXPECT_LT(waited, 2900u);
    EXPECT_EQ(MessageBoxText(box), "probeのキーにアドレス[]を設定しますか？");
    Answer(box, IDCANCEL);
}

TEST_F(SettingsOpen, CaptionMessageFromOutsideEditsTheLabelAndBadIndexesChangeNothing) {
    ::PostMessageA(m_dialog, kEditCaption, 2, KeyLabelId(2));
    HWND caption = WaitForTitled("登録内容表示");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(::SendDlgItemMessageA(caption, IDC_CAPTION_EDIT, EM_GETLIMITTEXT, 0, 0), 32);
    ::SendDlgItemMessageA(caption, IDC_CAPTION_EDIT, WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>("三番"));
    SaveScreenshotIfAsked("caption-dialog");
    ::PostMessageA(::GetDlgItem(caption, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(caption); }, 5000));
    EXPECT_EQ(WindowText(::GetDlgItem(m_dialog, KeyLabelId(2))), "三番");

    ::PostMessageA(m_dialog, kEditCaption, 2, KeyLabelId(2));
    caption = WaitForTitled("登録内容表示");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(caption, IDC_CAPTION_EDIT)), "三番");
    ::SendDlgItemMessageA(caption, IDC_CAPTION_EDIT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    ::PostMessageA(::GetDlgItem(caption, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(caption); }, 5000));
    EXPECT_EQ(WindowText(::GetDlgItem(m_dialog, KeyLabelId(2))), " 3");

    for (WPARAM index : {WPARAM{30}, WPARAM{99}}) {
        ::PostMessageA(m_dialog, kEditCaption, index, KeyLabelId(2));
        ::Sleep(500);
        EXPECT_EQ(WaitForTitled("登録内容表示", 200), nullptr) << index;
    }
    EXPECT_TRUE(m_program->IsRunning());
    EXPECT_TRUE(::IsWindowVisible(m_dialog));
    ::PostMessageA(::GetDlgItem(m_dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(m_dialog); }, 5000));
    char text[64] = {};
    ::GetPrivateProfileStringA("KeySet3", "Caption", "", text, sizeof text, m_install.Ini().c_str());
    EXPECT_STREQ(text, "");
}
}  // namespace
