// Dedicated keys (F13, the mail key, ...) as favourite keys on their own, with real X keys:
// pressed, kept from the program in front, and chosen in the link dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "Artifacts.h"
#include "Installation.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "ScreenCapture.h"
#include "TypingTarget.h"
#include "common/FileText.h"
#include "common/ScratchDirectory.h"
#include "res/KeyControlIds.h"
#include "res/resource.h"

namespace {
constexpr unsigned kSettle = 600;

// Key 1 is F13 alone and key 2 the mail key alone (X's XF86Mail); F14 belongs to no key.
// The assigned ones open their links and never reach the program in front; F14 does.
TEST(DedicatedKey, LoneF13AndMailOpenTheirLinksAndOnlyTheyAreKeptFromTheProgramInFront) {
    Installation install("dedicated", HookChoice::Real);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nkeycode=124\r\nLink=" + install.Probe() + "\r\n"
                                              "[KeySet2]\r\nkeycode=180\r\nLink=" + install.Probe() + "\r\n"));
    ASSERT_TRUE(GiveTheXServerF13ToF18(install.Dir()));
    ProgramUnderTest running(install.Program(), install.Dir());
    ASSERT_NE(running.WaitForFrame(), nullptr);
    TypingTarget front;
    ASSERT_TRUE(front.InFront());

    RunLinuxCommand("xdotool key F13", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000)) << "F13 opened nothing";
    RunLinuxCommand("xdotool key F14", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return front.Saw("0x7D"); }, 5000)) << "an unassigned key is passed on";
    EXPECT_EQ(install.ProbeLaunches().size(), 1u);
    RunLinuxCommand("xdotool key XF86Mail", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 2; }, 10000)) << "Mail opened nothing";
    // Held for a while: when Xvfb repeats the key, the repeats open nothing more. Wine now and
    // then loses a release before the hook sees it, and a press that follows a lost release
    // within the repeat time counts as a repeat: this one comes later.
    ::Sleep(1600);
    RunLinuxCommand("xdotool keydown F13 sleep 1.5 keyup F13", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 3; }, 10000));
    ::Sleep(kSettle);
    EXPECT_EQ(install.ProbeLaunches().size(), 3u) << "a held key opens its link once";
    EXPECT_FALSE(front.Saw("0x7C")) << "F13 reached the program in front";
    EXPECT_FALSE(front.Saw("0xB4")) << "Mail reached the program in front";
    EXPECT_TRUE(running.CloseFrame());
}

// F13 chosen by pressing it in the link dialog; a letter alone is refused there. The hook
// library hears of the new claim once the settings dialog has saved.
TEST(DedicatedKey, ChosenByPressingF13InTheLinkDialogIsStoredAndClaimed) {
    Installation install("choosef13", HookChoice::Recording);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() + "\r\n"));
    ASSERT_TRUE(GiveTheXServerF13ToF18(install.Dir()));
    ProgramUnderTest program(install.Program(), install.Dir());
    ASSERT_NE(program.WaitForFrame(), nullptr);
    HWND settings = program.OpenSettings();
    ASSERT_NE(settings, nullptr);
    ::PostMessageA(::GetDlgItem(settings, KeyButtonId(0)), BM_CLICK, 0, 0);
    HWND link = program.WaitForDialogTitled("リンク情報設定");
    ASSERT_NE(link, nullptr);
    const auto text = [&](int id) {
        char buffer[512] = {};
        ::GetDlgItemTextA(link, id, buffer, sizeof buffer);
        return std::string(buffer);
    };
    ::SendMessageA(::GetDlgItem(link, IDC_KEY_SET), BM_CLICK, 0, 0);
    RunLinuxCommand("xdotool key a", install.Dir());
    ::Sleep(kSettle);
    EXPECT_EQ(text(IDC_KEY_NOTE), "Ctrl、Alt、Shift、Win のうち 2 つ以上と一緒にキーを押してください（F13 から F24 やメール、ブラウザー用などの専用キーは単独でも設定できます）。");
    RunLinuxCommand("xdotool key F13", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return text(IDC_KEY_COMBO) == "F13"; }, 5000)) << text(IDC_KEY_COMBO);
    EXPECT_EQ(text(IDC_KEY_NOTE), "");
    SaveScreenshotIfAsked("link-dialog-f13");
    ::PostMessageA(::GetDlgItem(link, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(link); }, 5000));
    ::PostMessageA(::GetDlgItem(settings, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));
    EXPECT_EQ(ReadLines(install.Ini()), (std::vector<std::string>{"[KeySet1]", "Link=" + install.Probe(), "keycode=124"}));
    const std::vector<std::string> claims{"", "0x0000007C"};  // nothing at start-up, F13 after the save
    EXPECT_TRUE(WaitUntil([&] { return ReadLines(install.File("hook-claims.log")) == claims; }, 5000));
    EXPECT_TRUE(program.CloseFrame());
}
}  // namespace
