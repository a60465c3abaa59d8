// The settings dialog of the real program, opened from the tray and driven from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <cstdlib>

#include "DisplayLanguage.h"
#include "Installation.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "RemoteListView.h"
#include "ScreenCapture.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/resource.h"
#include "HookMessage.h"
#include "shell/TrayIconWnd.h"
#include "res/KeyControlIds.h"

namespace {
constexpr unsigned kSettle = 600;

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string probe = m_install.Probe();
        ASSERT_TRUE(WriteFileBytes(m_install.Ini(),
                                   "[KeySet1]\r\nLink=" + probe + "\r\nCaption=probe\r\n"
                                   "[KeySet2]\r\nLink=http://example.com/a&b\r\n"
                                   "[KeySet3]\r\nLink=mailto:someone@example.com\r\nCaption=メール\r\n"));
        m_program.emplace(m_install.Program(), m_install.Dir());
        m_frame = m_program->WaitForFrame();
        ASSERT_NE(m_frame, nullptr);
    }
    DWORD Pid() const { return m_program->Pid(); }
    HWND WaitForTitled(const std::string& title, unsigned ms = 10000) {
        return m_program->WaitForDialogTitled(title, ms);
    }
    HWND OpenSettings() {
        ::PostMessageA(m_frame, WM_APP_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
        return WaitForTitled(ShownText("お気に入り設定", "Favorite Keys"));
    }
    static void Click(HWND dialog, int id) {
        ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    }
    // Opens the link dialog of a key, types the text and confirms.
    void SetLinkByDialog(HWND settings, int index, const std::string& text) {
        Click(settings, KeyButtonId(index));
        HWND link = WaitForTitled("リンク情報設定");
        ASSERT_NE(link, nullptr);
        ::SendMessageA(::GetDlgItem(link, IDC_LINK_EDIT), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(text.c_str()));
        SaveScreenshotIfAsked("link-dialog");
        Click(link, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(link); }, 5000));
    }

    Installation m_install{"settings", HookChoice::Recording};
    std::optional<ProgramUnderTest> m_program;
    HWND m_frame = nullptr;
};

TEST_F(Settings, OpensFromDoubleClickWithThirtyKeysOnTheGrid) {
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    // Labels: captions, or the number in two characters.
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, KeyLabelId(0))), "probe");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, KeyLabelId(1))), " 2");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, KeyLabelId(2))), "メール");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, KeyLabelId(6))), " 7");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, KeyLabelId(11))), "12");
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDOK)), ShownText("設　定", "OK"));
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDCANCEL)), ShownText("中　止", "Cancel"));
    EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_LIST_BUTTON)), ShownText("一覧表示", "&List"));

    // Positions in dialog units, scaled by the width of one key button (34 units).
    auto rectOf = [&](int id) {
        RECT rect{};
        ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    // Distances from key 1 in dialog units, scaled by the span from key 1 to key 30.
    const RECT first = rectOf(KeyButtonId(0));
    const RECT last = rectOf(KeyButtonId(29));
    const double scaleX = (last.left - first.left) / 192.0;
    const double scaleY = (last.top - first.top) / 144.0;
    const int xs[] = {11, 49, 87, 125, 164, 203};
    const int ys[] = {7, 43, 79, 115, 151};
    for (int i = 0; i < 30; ++i) {
        const RECT rect = rectOf(KeyButtonId(0) + i);
        const int x = i == 11 ? 201 : xs[i % 6];
        EXPECT_NEAR(rect.left - first.left, (x - 11) * scaleX, 1.5) << "key " << i + 1;
        EXPECT_NEAR(rect.top - first.top, (ys[i / 6] - 7) * scaleY, 1.5) << "key " << i + 1;
        // One key button is a tab stop: key 1 until another key takes the focus.
        EXPECT_EQ(::GetWindowLongA(::GetDlgItem(dialog, KeyButtonId(0) + i), GWL_STYLE) & 0xFFFF0FFF,
                  i == 0 ? 0x50030040 : 0x50000040);
    }
    EXPECT_LT(rectOf(KeyButtonId(11)).left, rectOf(KeyButtonId(5)).left) << "key 12 sits two units left";

    // Top edge at half the maximized height, centred across; where the dialog would reach
    // below the work area (this 1024x768 desktop), moved up just enough.
    RECT window{};
    ::GetWindowRect(dialog, &window);
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(window.top, std::min<LONG>(::GetSystemMetrics(SM_CYMAXIMIZED) / 2,
                                         work.bottom - (window.bottom - window.top)));
    EXPECT_LE(window.bottom, work.bottom);
    EXPECT_EQ(window.left,
              ::GetSystemMetrics(SM_CXMAXIMIZED) / 2 - (window.right - window.left) / 2);
    // A key linking to a program shows its icon once the shell has given it; key 7 has no
    // link and no image.
    EXPECT_TRUE(WaitUntil([&] { return KeyImage(::GetDlgItem(dialog, KeyButtonId(0)), ::GetDlgItem(dialog, KeyButtonId(7))) != nullptr; }, 5000));
    EXPECT_EQ(::SendMessageA(::GetDlgItem(dialog, KeyButtonId(6)), BM_GETIMAGE, IMAGE_ICON, 0),
              ::SendMessageA(::GetDlgItem(dialog, KeyButtonId(7)), BM_GETIMAGE, IMAGE_ICON, 0))
        << "keys 7 and 8 show the same blank image";
    SaveScreenshotIfAsked("settings-dialog");

    // A second Settings command while it is open does nothing.
    ::PostMessageA(m_frame, WM_COMMAND, IDM_SETTINGS, 0);
    ::Sleep(kSettle);
    EXPECT_EQ(VisibleDialogsOf(Pid()).size(), 1u);
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
}

TEST_F(Settings, LinkTypedAndKeptWithOkHookCallsInOrder) {
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    SetLinkByDialog(dialog, 6, "C:\\Tools\\new.txt");
    Click(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
    ::Sleep(kSettle);

    EXPECT_EQ(ReadLines(m_install.Ini()),
              (std::vector<std::string>{"[KeySet1]", "Link=" + m_install.Probe(), "Caption=probe",
                                        "[KeySet2]", "Link=http://example.com/a&b", "[KeySet3]",
                                        "Link=mailto:someone@example.com", "Caption=メール",
                                        "[KeySet7]", "Link=C:\\Tools\\new.txt"}));
    // Frame start; at Settings: frame stop, dialog start; around the key click and around
    // OK a stop and a start; the dialog's stop when it goes; the frame's start.
    const std::string dialogStart = Installation::HookStartLine(dialog);
    EXPECT_EQ(m_install.HookCalls(),
              (std::vector<std::string>{Installation::HookStartLine(m_frame), "Stop", dialogStart, "Stop",
                                        dialogStart, "Stop", dialogStart, "Stop",
                                        Installation::HookStartLine(m_frame)}));
}

TEST_F(Settings, CancelDiscardsAndTheOldLinkStillOpens) {
    const auto before = ReadFileBytes(m_install.Ini());
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    SetLinkByDialog(dialog, 0, "C:\\Tools\\other.txt");
    SaveScreenshotIfAsked("settings-dialog-edited");
    Click(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
    EXPECT_EQ(ReadFileBytes(m_install.Ini()), before);
    ::PostMessageA(m_frame, WM_APP_KEY_HIT, 'A', 3);
    EXPECT_TRUE(WaitUntil([&] { return m_install.ProbeLaunches().size() == 1; }, 10000));
}

TEST_F(Settings, FailedSaveIsReportedAndTheDialogStaysOpen) {
    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr);
    SetLinkByDialog(dialog, 4, "C:\\kept.txt");
    HANDLE holder = ::CreateFileA(m_install.Ini().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Click(dialog, IDOK);
    std::vector<HWND> boxes;
    ASSERT_TRUE(WaitUntil([&] { return !(boxes = VisibleDialogsOf(Pid(), dialog)).empty(); }, 5000));
    HWND box = boxes.front();
    EXPECT_EQ(WindowText(box), "リンク情報設定");
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));
    ::CloseHandle(holder);
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "the edits are still there";

    Click(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
    const auto lines = ReadLines(m_install.Ini());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Link=C:\\kept.txt"), lines.end());
}

// Japanese texts of the settings file on a system of any code page (this test runs once more
// in a prefix whose code page is 1252): read from outside as the same Unicode text, a link to
// a folder with a Japanese name shows its icon and opens, and 設　定 leaves the file's bytes.
TEST(JapaneseTexts, ShownOpenedAndSavedByteForByte) {
    Installation install("japanese", HookChoice::None);
    const std::string folder = install.File("リンク先");
    const std::string probe = folder + "\\LaunchProbe.exe";
    ASSERT_TRUE(::CreateDirectoryW(WidePath(folder).c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(WidePath(install.Probe()).c_str(), WidePath(probe).c_str(), FALSE));
    const std::string ini = "[Other]\r\nname=値\r\n[KeySet1]\r\nCaption=メモあ\r\nLink=" + probe +
                            "\r\n[KeySet2]\r\nkeycode=196674\r\nCaption=ｱｲ x\r\n";
    ASSERT_TRUE(WriteFileBytes(install.Ini(), ini));
    ProgramUnderTest program(install.Program(), install.Dir());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND settings = program.OpenSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(WindowText(::GetDlgItem(settings, KeyLabelId(0))), "メモあ");
    EXPECT_EQ(WindowText(::GetDlgItem(settings, KeyLabelId(1))), "ｱｲ x");
    EXPECT_EQ(WindowText(::GetDlgItem(settings, IDOK)), ShownText("設　定", "OK"));
    EXPECT_TRUE(WaitUntil([&] { return KeyImage(::GetDlgItem(settings, KeyButtonId(0)), ::GetDlgItem(settings, KeyButtonId(29))) != nullptr; }, 5000));

    ::PostMessageW(::GetDlgItem(settings, IDC_LIST_BUTTON), BM_CLICK, 0, 0);
    HWND list = program.WaitForDialogTitled(ShownText("お気に入り設定一覧", "Favorite Keys List"));
    ASSERT_NE(list, nullptr);
    HWND view = ::GetDlgItem(list, IDC_KEYSET_LIST);
    ASSERT_TRUE(WaitUntil([&] { return RemoteListViewRowCount(view) == 30; }, 5000));
    EXPECT_EQ(RemoteListViewText(view, 0, 2), "メモあ");
    EXPECT_EQ(RemoteListViewText(view, 0, 3), probe);
    ::PostMessageW(::GetDlgItem(list, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(list); }, 5000));

    ::PostMessageW(::GetDlgItem(settings, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));
    EXPECT_EQ(ReadFileBytes(install.Ini()), ini);

    ::PostMessageW(frame, WM_APP_KEY_HIT, 'A', 3);
    std::vector<std::string> launches;
    EXPECT_TRUE(WaitUntil([&] { return !(launches = ReadLines(folder + "\\probe-launches.log")).empty(); }, 10000));
    EXPECT_NE(launches.empty() ? std::string::npos : launches[0].find(probe), std::string::npos);
    EXPECT_TRUE(program.CloseFrame());
    EXPECT_EQ(ReadFileBytes(install.Ini()), ini);
}

TEST(SettingsStartup, LeavesNoBrowserProbeFileBehind) {
    Installation install("probefile", HookChoice::None);
    ASSERT_TRUE(WriteFileBytes(install.File("tmpminie.html"), "<html>old</html>"));
    ProgramUnderTest program(install.Program(), install.Dir());
    ASSERT_NE(program.WaitForFrame(), nullptr);
    EXPECT_FALSE(FileExists(install.File("tmpminie.html")));
    EXPECT_TRUE(program.CloseFrame());
}

// A key's combination chosen with real keys in its link dialog: a duplicate is warned about,
// Cancel stores nothing, OK and 設　定 store the code; the real chord then opens the key's
// link and its old default no longer does.
TEST(Combination, ChosenWithRealKeysIsStoredAndOpensTheLink) {
    Installation install("combo", HookChoice::Real);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() + "\r\n"));
    ProgramUnderTest program(install.Program(), install.Dir());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND settings = program.OpenSettings();
    ASSERT_NE(settings, nullptr);
    const auto press = [&](HWND link, const char* chord) {
        ::SendMessageA(::GetDlgItem(link, IDC_KEY_SET), BM_CLICK, 0, 0);
        RunLinuxCommand(std::string("xdotool key ") + chord, install.Dir());
        ::Sleep(kSettle);
        char text[512] = {};
        ::GetDlgItemTextA(link, IDC_KEY_COMBO, text, sizeof text);
        return std::string(text);
    };
    const auto openLink = [&] {
        ::PostMessageA(::GetDlgItem(settings, KeyButtonId(0)), BM_CLICK, 0, 0);
        return program.WaitForDialogTitled("リンク情報設定");
    };

    HWND link = openLink();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(press(link, "ctrl+alt+b"), "Ctrl + Alt + B");
    char note[512] = {};
    ::GetDlgItemTextA(link, IDC_KEY_NOTE, note, sizeof note);
    EXPECT_EQ(std::string(note).rfind("キー2と同じ組み合わせです", 0), 0u) << note;
    ::PostMessageA(::GetDlgItem(link, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(link); }, 5000));

    link = openLink();
    ASSERT_NE(link, nullptr);
    char combo[512] = {};
    ::GetDlgItemTextA(link, IDC_KEY_COMBO, combo, sizeof combo);
    EXPECT_STREQ(combo, "Ctrl + Alt + A（既定）") << "Cancel stored nothing";
    EXPECT_EQ(press(link, "ctrl+shift+1"), "Ctrl + Shift + 1");
    SaveScreenshotIfAsked("link-dialog-combination");
    ::PostMessageA(::GetDlgItem(link, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(link); }, 5000));
    ::PostMessageA(::GetDlgItem(settings, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));
    EXPECT_EQ(ReadLines(install.Ini()),
              (std::vector<std::string>{"[KeySet1]", "Link=" + install.Probe(), "keycode=393265"}));

    ::Sleep(kSettle);
    RunLinuxCommand("xdotool key ctrl+alt+a", install.Dir());
    ::Sleep(kSettle);
    EXPECT_TRUE(install.ProbeLaunches().empty()) << "the old default opened the link";
    RunLinuxCommand("xdotool key ctrl+shift+1", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000));
    EXPECT_TRUE(program.CloseFrame());
}
}  // namespace

namespace {
// The program ended at many moments of a save, as a crash, a forced shutdown or a power cut
// would end it: the file always holds every key, with its old link or its new one.
TEST(SettingsSave, EndedAtAnyMomentOfASaveLeavesEveryKey) {
    std::string seeded;
    for (int n = 1; n <= 30; ++n)
        seeded += "[KeySet" + std::to_string(n) + "]\r\nLink=C:\\old\\" + std::to_string(n) + ".txt\r\n";
    for (unsigned afterMs = 0; afterMs <= 25; ++afterMs) {
        Installation install("cut-save", HookChoice::Recording);
        ASSERT_TRUE(WriteFileBytes(install.Ini(), seeded));
        std::optional<ProgramUnderTest> program(std::in_place, install.Program(), install.Dir());
        ASSERT_NE(program->WaitForFrame(), nullptr);
        HWND settings = program->OpenSettings();
        ASSERT_NE(settings, nullptr);
        ::PostMessageA(::GetDlgItem(settings, KeyButtonId(4)), BM_CLICK, 0, 0);
        HWND link = program->WaitForDialogTitled("リンク情報設定");
        ASSERT_NE(link, nullptr);
        ::SendMessageA(::GetDlgItem(link, IDC_LINK_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\new\\5.txt"));
        ::PostMessageA(::GetDlgItem(link, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(link); }, 5000));

        ::PostMessageA(::GetDlgItem(settings, IDOK), BM_CLICK, 0, 0);
        ::Sleep(afterMs);
        program.reset();  // ended where it stands

        const std::vector<std::string> lines = ReadLines(install.Ini());
        auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
        for (int n = 1; n <= 30; ++n) {
            const std::string old = "Link=C:\\old\\" + std::to_string(n) + ".txt";
            EXPECT_TRUE(has(old) || (n == 5 && has("Link=C:\\new\\5.txt")))
                << "key " << n << " lost when ended " << afterMs << " ms after OK";
        }
    }
}
}  // namespace
