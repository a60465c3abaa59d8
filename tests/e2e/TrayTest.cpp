// The tray icon, its menu and the About box, observed through Wine's notification area and
// the program's windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Installation.h"
#include "shell/SignInTask.h"
#include "win/ComApartment.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "ScreenCapture.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/resource.h"
#include "HookMessage.h"
#include "shell/TrayIconWnd.h"

namespace {
constexpr unsigned kSettle = 600;  // long enough for a message to have been handled

HWND FindMenuWindow(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid))
        if (ClassNameOf(hwnd) == "#32768" && ::IsWindowVisible(hwnd)) return hwnd;
    return nullptr;
}

bool IconShown() { return TrayStarPixels() > 5; }

class Tray : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteFileBytes(m_install.Ini(), "[KeySet1]\r\nLink=" + m_install.Probe() +
                                                        "\r\nCaption=probe\r\n"));
        m_frame = m_program.WaitForFrame();
        ASSERT_NE(m_frame, nullptr);
        ASSERT_TRUE(WaitUntil(IconShown, 10000)) << "the icon never appeared";
    }
    void TearDown() override {
        if (HWND menu = FindMenuWindow(m_program.Pid())) {
            RECT rect{};
            ::GetWindowRect(menu, &rect);
            Click(rect.left - 50, rect.bottom + 50);
            WaitUntil([&] { return !::IsWindow(menu); }, 3000);
        }
    }
    void Notify(UINT id, UINT mouse) { ::PostMessageA(m_frame, WM_APP_TRAY_NOTIFY, id, mouse); }
    // A right click on the icon as the shell tells of it at version 3.
    void RightClick() {
        for (const UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}) Notify(kTrayIconId, message);
    }
    HWND WaitForMenu(unsigned ms = 5000) {
        HWND menu = nullptr;
        WaitUntil([&] { return (menu = FindMenuWindow(m_program.Pid())) != nullptr; }, ms);
        return menu;
    }
    // A real click at screen coordinates (the Wine desktop starts at the X screen's origin).
    void Click(int x, int y) {
        ASSERT_EQ(RunLinuxCommand("xdotool mousemove " + std::to_string(x) + " " +
                                      std::to_string(y) + " click 1",
                                  m_install.Dir()),
                  0);
    }
    // Chooses the menu's last item, "終了(&X)", with the mouse.
    void ClickLastItem(HWND menu) {
        RECT rect{};
        ::GetWindowRect(menu, &rect);
        Click((rect.left + rect.right) / 2, rect.bottom - 8);
    }

    Installation m_install{"tray", HookChoice::Recording};
    ProgramUnderTest m_program{m_install.Program(), m_install.Dir()};
    HWND m_frame = nullptr;
};

TEST_F(Tray, RightButtonPressOpensTheMenuAtTheCursorOtherNotificationsDoNothing) {
    Notify(kTrayIconId, WM_RBUTTONUP);
    Notify(kTrayIconId, WM_LBUTTONDOWN);
    Notify(kTrayIconId + 1, WM_RBUTTONDOWN);
    Notify(kTrayIconId + 1, WM_LBUTTONDBLCLK);
    ::Sleep(kSettle);
    EXPECT_EQ(FindMenuWindow(m_program.Pid()), nullptr);
    EXPECT_EQ(FindDialogWindow(m_program.Pid()), nullptr);

    POINT cursor{};
    ::GetCursorPos(&cursor);
    RightClick();
    HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr);
    RECT rect{};
    ::GetWindowRect(menu, &rect);
    EXPECT_EQ(rect.right, cursor.x) << "right-aligned at the cursor";
    EXPECT_EQ(rect.top, cursor.y);
    // Three items and a separator make a menu clearly taller than one item and not huge.
    EXPECT_GT(rect.bottom - rect.top, 40);
    EXPECT_LT(rect.bottom - rect.top, 150);
    SaveScreenshotIfAsked("tray-menu");

    // A click outside closes the menu without choosing anything.
    Click(rect.left - 50, rect.bottom + 50);
    EXPECT_TRUE(WaitUntil([&] { return FindMenuWindow(m_program.Pid()) == nullptr; }, 3000));
    EXPECT_TRUE(m_program.IsRunning());
}

TEST_F(Tray, ExitFromTheMenuStopsTheHookDeletesTheIconAndSaves) {
    RightClick();
    HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr);
    ClickLastItem(menu);
    const auto code = m_program.WaitForExit(10000);
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0u);
    const auto calls = m_install.HookCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], "Stop");
    EXPECT_TRUE(WaitUntil([] { return !IconShown(); }, 3000));
    EXPECT_EQ(ReadLines(m_install.Ini()),
              (std::vector<std::string>{"[KeySet1]", "Link=" + m_install.Probe(), "Caption=probe"}));
}

TEST_F(Tray, AboutBoxRemovesTheIconKeepsKeysWorkingAndAllowsNoSecondDialog) {
    ::PostMessageA(m_frame, WM_COMMAND, ID_APP_ABOUT, 0);
    HWND about = m_program.WaitForDialog();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(WindowText(about), "バージョン情報");
    std::vector<std::string> texts;
    for (HWND child : ChildWindowsOf(about)) texts.push_back(WindowText(child));
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Vorlund Version S-1.10"), texts.end());
    EXPECT_EQ(WindowText(::GetDlgItem(about, IDOK)), "O K");
    EXPECT_TRUE(WaitUntil([] { return !IconShown(); }, 3000)) << "icon removed while open";
    SaveScreenshotIfAsked("about-box");

    // No second About box, no menu, and a favourite key still opens its link.
    ::PostMessageA(m_frame, WM_COMMAND, ID_APP_ABOUT, 0);
    RightClick();
    ::PostMessageA(m_frame, WM_APP_KEY_HIT, 'A', 3);
    EXPECT_TRUE(WaitUntil([&] { return m_install.ProbeLaunches().size() == 1; }, 10000));
    ::Sleep(kSettle);
    EXPECT_EQ(FindMenuWindow(m_program.Pid()), nullptr);
    EXPECT_EQ(VisibleDialogsOf(m_program.Pid()).size(), 1u);

    ::PostMessageA(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }, 5000));
    EXPECT_TRUE(WaitUntil(IconShown, 5000)) << "icon back after OK";

    // With the box gone the menu opens again.
    RightClick();
    EXPECT_NE(WaitForMenu(), nullptr);
}

// With the icon focused from the keyboard the shell sends NIN_KEYSELECT (Enter, Space) and
// WM_CONTEXTMENU (the menu key, Shift+F10); after a click it sends NIN_SELECT, which opens
// nothing. A real right click on the icon opens the menu once.
TEST_F(Tray, KeyboardOpensSettingsAndTheMenuARightClickOpensTheMenuOnce) {
    Notify(kTrayIconId, WM_LBUTTONUP);
    Notify(kTrayIconId, NIN_SELECT);
    ::Sleep(kSettle);
    EXPECT_EQ(FindDialogWindow(m_program.Pid()), nullptr) << "a click's own NIN_SELECT";
    for (const UINT select : {NIN_KEYSELECT, NIN_SELECT}) {
        ::Sleep(::GetDoubleClickTime());
        Notify(kTrayIconId, select);
        HWND settings = m_program.WaitForDialogTitled("お気に入り設定", 5000);
        ASSERT_NE(settings, nullptr) << select;
        ::PostMessageA(::GetDlgItem(settings, IDCANCEL), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));
        ASSERT_TRUE(WaitUntil(IconShown, 5000));
    }
    Notify(kTrayIconId, WM_CONTEXTMENU);
    HWND menu = WaitForMenu();
    ASSERT_NE(menu, nullptr);
    ::PostMessageA(m_frame, WM_CANCELMODE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindMenuWindow(m_program.Pid()) == nullptr; }, 3000));

    const POINT star = TrayStarCentre();
    ASSERT_GT(star.x, 0);
    ASSERT_EQ(RunLinuxCommand("xdotool mousemove " + std::to_string(star.x) + " " + std::to_string(star.y) +
                                  " click 3",
                              m_install.Dir()),
              0);
    menu = WaitForMenu();
    ASSERT_NE(menu, nullptr);
    ::Sleep(kSettle);
    ::PostMessageA(m_frame, WM_CANCELMODE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(menu); }, 3000));
    ::Sleep(kSettle);
    EXPECT_EQ(FindMenuWindow(m_program.Pid()), nullptr) << "a second menu after the first";
}

TEST_F(Tray, TaskbarCreatedBringsALostIconBack) {
    NOTIFYICONDATAW record = TrayIconWnd::MakeRecord(m_frame, nullptr, false);
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &record));
    ASSERT_TRUE(WaitUntil([] { return !IconShown(); }, 3000));
    ::PostMessageA(m_frame, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil(IconShown, 5000));
}
// Start at sign-in runs the program elevated without a prompt, so the item refuses wherever
// anyone but administrators could change the program's files: under Wine that is every
// folder. It says why and registers nothing. (Registration itself: the unit tests.)
TEST_F(Tray, StartAtSignInIsRefusedWhereOthersCouldChangeTheProgram) {
    ComApartment com;
    const SignInStatus before = SignInTask::Query({});
    std::string text;
    // Until the scheduler's first answer the item only explains that it cannot tell yet.
    WaitUntil([&] {
        ::PostMessageA(m_frame, WM_COMMAND, IDM_START_AT_SIGNIN, 0);
        HWND box = m_program.WaitForDialog(10000);
        text = box ? MessageBoxText(box) : "";
        if (box) ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        WaitUntil([&] { return !::IsWindow(box); }, 3000);
        return text.find("タスク スケジューラに接続できない") == std::string::npos;
    }, 20000);
    EXPECT_NE(text.find("管理者だけが変更できるフォルダー"), std::string::npos) << text;
    EXPECT_EQ(SignInTask::Query({}), before) << "nothing registered or deleted";
}

// Stops (or lets go on) this prefix's processes whose command line matches the pattern: a
// desktop shell or a scheduler service that does not answer, as at a slow sign-in.
// The pattern puts a letter of the name in brackets: "[e]xplorer.exe" finds explorer.exe
// but not the shell that runs the search (whose own command line holds the pattern).
void Freeze(const std::string& pattern, bool frozen, const std::string& statusDir) {
    char prefix[MAX_PATH] = {};
    ::GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
    RunLinuxCommand(std::string("for p in $(pgrep -f '") + pattern + "'); do grep -qxz 'WINEPREFIX=" + prefix +
                        "' /proc/$p/environ && kill -" + (frozen ? "STOP" : "CONT") + " $p; done",
                    statusDir);
}

// The thread that owns the keyboard hook never waits for another process: with Task
// Scheduler not answering, the menu still opens and a press still opens its link at once;
// with the desktop shell not answering, the menu still opens, and the presses made meanwhile
// open their links afterwards, in order, once each.
TEST(TrayUnanswered, NeitherTheSchedulerNorTheShellHoldsTheMenuOrThePresses) {
    Installation install("unanswered", HookChoice::Recording);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() + "\r\n[KeySet3]\r\nLink=" +
                                                  install.File("SecondProbe.exe") + "\r\n"));
    ASSERT_TRUE(::CopyFileA(install.Probe().c_str(), install.File("SecondProbe.exe").c_str(), FALSE));
    // Task Scheduler stopped from the start: its first answer does not come.
    Freeze("[s]vchost.exe", true, install.Dir());
    ProgramUnderTest program(install.Program(), install.Dir());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);

    const auto menuAppears = [&](const char* while_, bool close) {
        const DWORD start = ::GetTickCount();
        for (const UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU})
            ::PostMessageA(frame, WM_APP_TRAY_NOTIFY, kTrayIconId, message);
        HWND menu = nullptr;
        const bool shown = WaitUntil([&] { return (menu = FindMenuWindow(program.Pid())) != nullptr; }, 3000);
        std::printf("tray menu with %s not answering: %lu ms\n", while_,
                    static_cast<unsigned long>(::GetTickCount() - start));
        if (!close) return shown;
        if (menu) ::PostMessageA(frame, WM_CANCELMODE, 0, 0);
        WaitUntil([&] { return !FindMenuWindow(program.Pid()); }, 3000);
        return shown;
    };

    // Until the scheduler answers, the sign-in item is greyed, and choosing it says why.
    ASSERT_TRUE(menuAppears("the scheduler", false));
    RECT rect{};
    ::GetWindowRect(FindMenuWindow(program.Pid()), &rect);
    // The fourth of five items above a thin separator and the last item.
    RunLinuxCommand("xdotool mousemove " + std::to_string((rect.left + rect.right) / 2) + " " +
                        std::to_string(rect.top + (rect.bottom - rect.top) * 62 / 100) + " click 1",
                    install.Dir());
    HWND why = program.WaitForDialog(5000);
    ASSERT_NE(why, nullptr);
    EXPECT_NE(MessageBoxText(why).find("タスク スケジューラに接続できない"), std::string::npos) << MessageBoxText(why);
    ::PostMessageA(::GetDlgItem(why, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(why); }, 5000));
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);  // the shell's object is found and kept
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 5000)) << "the press waited";
    Freeze("[s]vchost.exe", false, install.Dir());
    ::Sleep(1500);  // the scheduler's first answer

    Freeze("[s]vchost.exe", true, install.Dir());
    ::PostMessageA(frame, WM_COMMAND, IDM_START_AT_SIGNIN, 0);  // the scheduler's worker waits now
    ::Sleep(300);
    EXPECT_TRUE(menuAppears("the scheduler", true));
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 2; }, 3000)) << "the press waited";
    EXPECT_EQ(FindDialogWindow(program.Pid()), nullptr) << "the scheduler answered while stopped";
    Freeze("[s]vchost.exe", false, install.Dir());
    HWND refusal = program.WaitForDialog(15000);  // the change, once the scheduler answers
    ASSERT_NE(refusal, nullptr);
    ::PostMessageA(::GetDlgItem(refusal, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(refusal); }, 5000));

    Freeze("[e]xplorer.exe", true, install.Dir());
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'C', 3);
    EXPECT_TRUE(menuAppears("the shell", true));
    ::Sleep(2000);
    const size_t whileFrozen = install.ProbeLaunches().size();
    Freeze("[e]xplorer.exe", false, install.Dir());
    EXPECT_EQ(whileFrozen, 2u) << "nothing opens without the shell";
    ASSERT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() >= 4; }, 15000));
    ::Sleep(1000);
    auto launches = install.ProbeLaunches();
    ASSERT_EQ(launches.size(), 4u) << "each press once";
    const auto created = [](const std::string& line) { return std::stoull(line.substr(line.rfind("=") + 1)); };
    if (created(launches[3]) < created(launches[2])) std::swap(launches[2], launches[3]);
    EXPECT_NE(launches[2].find("LaunchProbe.exe"), std::string::npos) << launches[2];
    EXPECT_NE(launches[3].find("SecondProbe.exe"), std::string::npos) << launches[3];
    EXPECT_TRUE(program.CloseFrame());
}
}  // namespace
