// What other processes and a hostile environment throw at the running program: random
// messages, a hook library without entries, a settings file held open at exit.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "Installation.h"
#include "ProgramUnderTest.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/resource.h"
#include "res/AppMessages.h"
#include "shell/TrayIconWnd.h"

namespace {
constexpr UINT kEditCaption = WM_APP_EDIT_CAPTION;

// Every visible dialog of the program except keep: closed as the user would cancel it.
int CancelOtherDialogs(DWORD pid, HWND keep) {
    int closed = 0;
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (hwnd == keep || ClassNameOf(hwnd) != "#32770" || !::IsWindowVisible(hwnd)) continue;
        // A message box with only OK answers IDCANCEL as well (Esc closes it).
        ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        ++closed;
    }
    return closed;
}

HWND FindSettings(DWORD pid) { return FindDialogTitled(pid, "お気に入り設定"); }

// Random parameters, never the two tray notifications that open the menu or the dialog
// (those are tested for what they do) nor a press of a key that has a link.
void PostRandomMessages(HWND target, UINT count, std::mt19937& random, bool includeTray) {
    std::uniform_int_distribution<unsigned> any;
    std::uniform_int_distribution<int> kind(0, includeTray ? 2 : 1);
    for (UINT i = 0; i < count; ++i) {
        WPARAM wParam = any(random);
        LPARAM lParam = static_cast<LPARAM>(any(random));
        switch (kind(random)) {
            case 0:
                // Small virtual keys and modifier sets now and then, so some presses match.
                if (i % 4 == 0) wParam = any(random) % 0x100, lParam = any(random) % 8;
                if (wParam == 'A' && (lParam & 0xFFFF) == 3) wParam = 'Q';
                ::PostMessageA(target, WM_APP_KEY_HIT, wParam, lParam);
                break;
            case 1:
                if (i % 8 == 0) wParam = any(random) % 40;  // now and then a real key index
                ::PostMessageA(target, kEditCaption, wParam, lParam);
                break;
            default:
                if (i % 4 == 0) wParam = kTrayIconId;
                if (wParam == kTrayIconId &&
                    (lParam == WM_RBUTTONDOWN || lParam == WM_LBUTTONDBLCLK || lParam == WM_CONTEXTMENU ||
                     lParam == NIN_SELECT || lParam == NIN_KEYSELECT))
                    lParam = WM_MOUSEMOVE;
                ::PostMessageA(target, WM_APP_TRAY_NOTIFY, wParam, lParam);
                break;
        }
    }
}

TEST(Hostile, RandomMessagesIdleAndInTheSettingsDialogChangeNothing) {
    Installation install("hostile", HookChoice::Recording);
    const std::string ini = "[Other]\r\nx=1\r\n[KeySet1]\r\nLink=" + install.Probe() +
                            "\r\nCaption=one\r\n[KeySet4]\r\nkeycode=112\r\nCaption=four\r\n";
    ASSERT_TRUE(WriteFileBytes(install.Ini(), ini));
    ProgramUnderTest program(install.Program(), install.Dir());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    std::mt19937 random(20261208);

    for (int round = 0; round < 4; ++round) {
        PostRandomMessages(frame, 500, random, true);
        ::Sleep(300);
        CancelOtherDialogs(program.Pid(), nullptr);
    }
    ASSERT_TRUE(program.IsRunning());

    ::PostMessageA(frame, WM_COMMAND, IDM_SETTINGS, 0);
    HWND settings = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (settings = FindSettings(program.Pid())) != nullptr; }, 10000));
    for (int round = 0; round < 20; ++round) {
        // A handful at a time: a message that opens a dialog stops the others until it is
        // closed, as with a user.
        PostRandomMessages(settings, 25, random, false);
        for (int settle = 0; settle < 10; ++settle) {
            ::Sleep(60);
            CancelOtherDialogs(program.Pid(), settings);
        }
        ASSERT_TRUE(program.IsRunning()) << "round " << round;
    }
    ASSERT_TRUE(::IsWindow(settings));
    ::PostMessageA(::GetDlgItem(settings, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));
    ASSERT_TRUE(program.CloseFrame());
    EXPECT_EQ(ReadFileBytes(install.Ini()), ini) << "nothing was confirmed, nothing changed";
    EXPECT_EQ(install.HookCalls().back(), "Stop");
}

TEST(Hostile, HookLibraryWithoutEntriesStillGivesAWorkingProgram) {
    Installation install("noexports", HookChoice::NoExports);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() + "\r\n"));
    ProgramUnderTest program(install.Program(), install.Dir());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000));
    ::PostMessageA(frame, WM_COMMAND, IDM_SETTINGS, 0);
    HWND settings = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (settings = FindSettings(program.Pid())) != nullptr; }, 10000));
    ::PostMessageA(::GetDlgItem(settings, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));
    const auto code = program.CloseFrame();
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0u);
}

TEST(Hostile, SettingsFileHeldOpenAtExitIsLeftAsItWas) {
    Installation install("heldopen", HookChoice::None);
    const std::string ini = "[KeySet2]\r\nLink=C:\\two.txt\r\n";
    ASSERT_TRUE(WriteFileBytes(install.Ini(), ini));
    ProgramUnderTest program(install.Program(), install.Dir());
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HANDLE holder = ::CreateFileA(install.Ini().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const auto code = program.CloseFrame();
    ::CloseHandle(holder);
    ASSERT_TRUE(code) << "exit must not hang on the file";
    EXPECT_EQ(ReadFileBytes(install.Ini()), ini);
}
}  // namespace
