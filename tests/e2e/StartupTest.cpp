// Start-up and shut-down of the real program: one copy per session, hidden frame, settings
// written on close.
#include <gtest/gtest.h>

#include "Installation.h"
#include "ProgramUnderTest.h"
#include "WindowQuery.h"
#include "common/FileText.h"

namespace {
TEST(Startup, RunsHiddenAndSecondCopyShowsTheBoxAndLeavesNoSettings) {
    Installation first("first", HookChoice::None);
    Installation second("second", HookChoice::None);
    ProgramUnderTest running(first.Program(), first.Dir());
    HWND frame = running.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(::IsWindowVisible(frame));
    EXPECT_EQ(FindDialogWindow(running.Pid()), nullptr);

    ProgramUnderTest copy(second.Program(), second.Dir());
    HWND box = copy.WaitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "お気に入り設定アプリケーション");
    EXPECT_EQ(MessageBoxText(box), "お気に入り設定アプリケーションはすでに実行しています。");
    EXPECT_EQ(FindFrameWindow(copy.Pid()), nullptr);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(copy.WaitForExit(10000));
    EXPECT_FALSE(FileExists(second.Ini()));

    EXPECT_TRUE(running.IsRunning());
    EXPECT_EQ(FindFrameWindow(running.Pid()), frame);
    EXPECT_TRUE(running.CloseFrame());
}

// Copies started at the same moment, as at sign-in or by a double double-click: however the
// race goes, one copy runs and every other one shows the box and ends.
TEST(Startup, SimultaneousStartsLeaveOneCopy) {
    Installation install("simultaneous", HookChoice::None);
    for (int round = 0; round < 10; ++round) {
        ProgramUnderTest a(install.Program(), install.Dir());
        ProgramUnderTest b(install.Program(), install.Dir());
        HWND frameA = nullptr, frameB = nullptr, box = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            frameA = FindFrameWindow(a.Pid());
            frameB = FindFrameWindow(b.Pid());
            box = FindDialogWindow(frameA ? b.Pid() : a.Pid());
            return (frameA || frameB) && box;
        }, 20000)) << "round " << round;
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        ProgramUnderTest& refused = frameA ? b : a;
        ProgramUnderTest& running = frameA ? a : b;
        EXPECT_TRUE(refused.WaitForExit(10000)) << "round " << round;
        EXPECT_EQ(FindFrameWindow(refused.Pid()), nullptr) << "round " << round;
        EXPECT_EQ(running.CloseFrame(), std::optional<DWORD>(0)) << "round " << round;
    }
}

TEST(Startup, ClosingWritesTheSettingsFile) {
    Installation install("close", HookChoice::None);
    ASSERT_TRUE(WriteFileBytes(install.Ini(),
                               "[Other]\r\nname=keep\r\n"
                               "[KeySet1]\r\nkeycode=0\r\nCaption=メモ\r\nLink=C:\\memo.txt\r\nNote=kept\r\n"
                               "[KeySet2]\r\nkeycode=0\r\n"
                               "[KeySet3]\r\nkeycode=-1\r\nLink=\r\n"
                               "[KeySet4]\r\nkeycode=112\r\nCaption=\r\n"
                               "[KeySet31]\r\nLink=C:\\beyond.txt\r\n"));
    ProgramUnderTest running(install.Program(), install.Dir());
    ASSERT_NE(running.WaitForFrame(), nullptr);
    // Meanwhile the settings change on disk; the program's copy is written back on close.
    ::WritePrivateProfileStringA("KeySet5", "Link", "C:\\late.txt", install.Ini().c_str());
    const auto code = running.CloseFrame();
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0u);

    EXPECT_EQ(ReadLines(install.Ini()),
              (std::vector<std::string>{"[Other]", "name=keep", "[KeySet1]", "Caption=メモ",
                                        "Link=C:\\memo.txt", "Note=kept", "[KeySet4]",
                                        "keycode=112", "[KeySet31]", "Link=C:\\beyond.txt"}));
}

TEST(Startup, RunsAndClosesWithoutAnySettingsFile) {
    Installation install("fresh", HookChoice::None);
    ProgramUnderTest running(install.Program(), install.Dir());
    ASSERT_NE(running.WaitForFrame(), nullptr);
    EXPECT_TRUE(running.CloseFrame());
    // Thirty empty keys: every section deleted, so nothing (or an empty file) is left.
    EXPECT_TRUE(ReadLines(install.Ini()).empty());
}
}  // namespace
