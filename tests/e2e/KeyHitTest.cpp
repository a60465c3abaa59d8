// Favourite-key presses reaching the program: through the recording hook library by
// messages, and through our real hook library by a real X keystroke.
#include <gtest/gtest.h>

#include <cstdio>

#include "Artifacts.h"
#include "Installation.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "TypingTarget.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/AppMessages.h"
#include "common/ScratchDirectory.h"
#include "res/resource.h"
#include "res/KeyControlIds.h"

namespace {
// A settings file whose key 1 and key 3 open the probe; key 2 has no link but key 5, which
// stores key 2's code, has one.
void SeedLinks(const Installation& install) {
    const std::string probe = install.Probe();
    ASSERT_TRUE(WriteFileBytes(install.Ini(),
                               "[KeySet1]\r\nLink=" + probe + "\r\n"
                               "[KeySet3]\r\nLink=" + probe + "\r\n"
                               "[KeySet5]\r\nkeycode=196674\r\nLink=" + probe + "\r\n"));
}

TEST(KeyHit, RecordingHookSeesOneStartTowardTheFrameAndOneStop) {
    Installation install("hookcalls", HookChoice::Recording);
    SeedLinks(install);
    ProgramUnderTest running(install.Program(), install.Dir());
    HWND frame = running.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !install.HookCalls().empty(); }, 5000));
    EXPECT_EQ(install.HookCalls(), (std::vector<std::string>{Installation::HookStartLine(frame)}));
    // The window handle travels whole: 8 hex digits in the 32-bit build, 16 in the 64-bit one.
    EXPECT_EQ(install.HookCalls()[0].size(), sizeof "Start 0x" - 1 + 2 * sizeof(HWND));

    // Key 1 (Ctrl+Alt+A) has a link: the probe starts.
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    ASSERT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000));
    const std::string launch = install.ProbeLaunches()[0];
    EXPECT_NE(launch.find("LaunchProbe.exe"), std::string::npos) << launch;
    // The program runs elevated: the desktop shell starts the link as the user's own
    // program, so the link is not a child of Vorlund.
    EXPECT_NE(launch.find("|parent=explorer.exe"), std::string::npos) << launch;

    // Key 2 has no link; key 5 answers to the same code but key 2 comes first. Ctrl+Shift+A
    // belongs to no key. Key 3 afterwards proves the earlier presses were handled.
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'B', 3);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 6);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 0x10041, 3);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'C', 3);
    ASSERT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() >= 2; }, 10000));
    ::Sleep(500);
    EXPECT_EQ(install.ProbeLaunches().size(), 2u);

    EXPECT_TRUE(running.CloseFrame());
    EXPECT_EQ(install.HookCalls(), (std::vector<std::string>{Installation::HookStartLine(frame), "Stop"}));
}

TEST(KeyHit, WithoutHookLibraryTheProgramStillRunsAndCloses) {
    Installation install("nohook", HookChoice::None);
    SeedLinks(install);
    ProgramUnderTest running(install.Program(), install.Dir());
    HWND frame = running.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000));
    const auto code = running.CloseFrame();
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0u);
}

TEST(KeyHit, RealKeystrokeCtrlAltAOpensKeyOnesLink) {
    Installation install("keystroke", HookChoice::Real);
    SeedLinks(install);
    ProgramUnderTest running(install.Program(), install.Dir());
    ASSERT_NE(running.WaitForFrame(), nullptr);
    ::Sleep(300);  // the hook is installed during creation; let the loop settle
    const auto status = RunLinuxCommand("xdotool key ctrl+alt+a", install.Dir());
    ASSERT_TRUE(status);
    ASSERT_EQ(*status, 0);
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000));
    // A chord without a link, a plain letter, and key 3's chord with a Windows key held
    // (another combination than Ctrl+Alt+C) open nothing.
    RunLinuxCommand("xdotool key ctrl+alt+b a super+ctrl+alt+c", install.Dir());
    ::Sleep(700);
    EXPECT_EQ(install.ProbeLaunches().size(), 1u);
    RunLinuxCommand("xdotool key ctrl+alt+c", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 2; }, 10000));
    EXPECT_TRUE(running.CloseFrame());
}
// Modifiers released while the hook was stopped (here around a nested dialog; on Windows
// also on the secure desktop) must not stay held: plain typing opens nothing afterwards.
TEST(KeyHit, ModifiersReleasedWhileTheHookWasStoppedAreNotStuck) {
    Installation install("stuck", HookChoice::Real);
    SeedLinks(install);
    ProgramUnderTest running(install.Program(), install.Dir());
    HWND frame = running.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND settings = running.OpenSettings();
    ASSERT_NE(settings, nullptr);
    RunLinuxCommand("xdotool keydown ctrl alt", install.Dir());
    ::PostMessageA(settings, WM_APP_EDIT_CAPTION, 0, KeyLabelId(0));  // the caption dialog stops the hook
    HWND caption = running.WaitForDialogTitled("登録内容表示");
    RunLinuxCommand("xdotool keyup ctrl alt", install.Dir());
    if (caption) ::PostMessageA(::GetDlgItem(caption, IDCANCEL), BM_CLICK, 0, 0);
    ::PostMessageA(::GetDlgItem(settings, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 5000));
    ::Sleep(300);
    RunLinuxCommand("xdotool key h e l l o a", install.Dir());
    ::Sleep(700);
    EXPECT_TRUE(install.ProbeLaunches().empty());
    RunLinuxCommand("xdotool key ctrl+alt+a", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000)) << "hook alive";
    EXPECT_TRUE(running.CloseFrame());
}

// The elevated program loads its hook library only from its own directory: a VelComn.dll
// planted in the current directory or on PATH is never loaded.
TEST(KeyHit, HookLibraryPlantedInTheCurrentDirectoryOrPathIsNotLoaded) {
    Installation install("planted", HookChoice::None);
    ScratchDirectory plant("plant", Artifacts::Get().workRoot);
    ASSERT_TRUE(plant.CopyIn(Artifacts::Get().recordingHook, "VelComn.dll"));
    char path[32767] = {};
    ::GetEnvironmentVariableA("PATH", path, sizeof path);
    const std::string oldPath = path;
    ::SetEnvironmentVariableA("PATH", (plant.Path() + ";" + oldPath).c_str());
    ProgramUnderTest running(install.Program(), plant.Path());
    ::SetEnvironmentVariableA("PATH", oldPath.c_str());
    ASSERT_NE(running.WaitForFrame(), nullptr);
    ::Sleep(1000);
    EXPECT_FALSE(ReadFileBytes(plant.File("hook-calls.log"))) << "the planted library ran";
    EXPECT_EQ(running.CloseFrame(), std::optional<DWORD>(0));
}

// A link the shell cannot open is reported, once at a time, and the elevated program never
// starts it itself.
TEST(KeyHit, ALinkTheShellCannotOpenIsReportedOnce) {
    Installation install("unopened", HookChoice::Recording);
    const std::string missing = install.File("missing.exe");
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + missing + "\r\n"));
    ProgramUnderTest running(install.Program(), install.Dir());
    HWND frame = running.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    HWND box = running.WaitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "お気に入り設定アプリケーション");
    const std::string text = MessageBoxText(box);
    EXPECT_NE(text.find("リンクを開けませんでした"), std::string::npos) << text;
    EXPECT_NE(text.find(missing), std::string::npos) << "names the link: " << text;
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    ::Sleep(1500);
    EXPECT_EQ(VisibleDialogsOf(running.Pid()).size(), 1u);
    ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));
    EXPECT_EQ(running.CloseFrame(), std::optional<DWORD>(0));
}

// After a resume from sleep, an unlock or a reconnect of the session, the hook is installed
// afresh toward its target (the frame, or the settings dialog while it is open); a lock
// changes nothing, and presses still arrive.
TEST(KeyHit, HookIsInstalledAfreshAfterResumeUnlockAndReconnect) {
    Installation install("health", HookChoice::Recording);
    SeedLinks(install);
    ProgramUnderTest running(install.Program(), install.Dir());
    HWND frame = running.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    const std::string toFrame = Installation::HookStartLine(frame);
    ASSERT_TRUE(WaitUntil([&] { return install.HookCalls().size() == 1; }, 5000));
    ::PostMessageA(frame, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    ::PostMessageA(frame, WM_WTSSESSION_CHANGE, 7 /* WTS_SESSION_LOCK */, 0);
    ::PostMessageA(frame, WM_WTSSESSION_CHANGE, 8 /* WTS_SESSION_UNLOCK */, 0);
    ::PostMessageA(frame, WM_WTSSESSION_CHANGE, 3 /* WTS_REMOTE_CONNECT */, 0);
    ASSERT_TRUE(WaitUntil([&] { return install.HookCalls().size() == 7; }, 5000));
    EXPECT_EQ(install.HookCalls(),
              (std::vector<std::string>{toFrame, "Stop", toFrame, "Stop", toFrame, "Stop", toFrame}));
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000));

    HWND settings = running.OpenSettings();
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return install.HookCalls().size() == 9; }, 5000));
    ::PostMessageA(frame, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    ASSERT_TRUE(WaitUntil([&] { return install.HookCalls().size() == 11; }, 5000));
    const auto calls = install.HookCalls();
    EXPECT_EQ(calls[9], "Stop");
    EXPECT_EQ(calls[10], Installation::HookStartLine(settings)) << "toward the open dialog";
    EXPECT_TRUE(running.CloseFrame());
}

// A started program comes to the front. With the switch option a second press brings the
// running program back (restored when minimised) instead of starting it again; without it,
// every press starts one more.
TEST(KeyHit, SwitchOptionBringsTheRunningProgramBackInsteadOfASecondCopy) {
    Installation install("switch", HookChoice::Recording);
    ASSERT_TRUE(WriteFileBytes(install.File("probe-window.txt"), "window"));
    ASSERT_TRUE(::CopyFileA(install.Probe().c_str(), install.File("OtherProbe.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() + "\r\nActivate=1\r\n"
                                              "[KeySet2]\r\nLink=" + install.File("OtherProbe.exe") + "\r\n"));
    ProgramUnderTest running(install.Program(), install.Dir());
    HWND frame = running.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    ASSERT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 1; }, 10000));
    EXPECT_NE(install.ProbeLaunches()[0].find("|foreground=1"), std::string::npos) << install.ProbeLaunches()[0];
    HWND probe = ::FindWindowA("LaunchProbeWindow", "LaunchProbe");
    ASSERT_NE(probe, nullptr);

    ::ShowWindow(probe, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(probe) != FALSE; }, 3000));
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(probe) && ::GetForegroundWindow() == probe; }, 5000))
        << "restored and in front";
    ::Sleep(1000);
    EXPECT_EQ(install.ProbeLaunches().size(), 1u) << "no second copy";

    ::PostMessageA(frame, WM_APP_KEY_HIT, 'B', 3);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'B', 3);
    EXPECT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 3; }, 10000)) << "without the option, two";
    for (int i = 0; i < 3; ++i)
        if (HWND window = ::FindWindowA("LaunchProbeWindow", "LaunchProbe")) {
            ::SendMessageA(window, WM_CLOSE, 0, 0);
            WaitUntil([&] { return !::IsWindow(window); }, 3000);
        }
    EXPECT_TRUE(running.CloseFrame());
}
}  // namespace

// One press of a key with three links: the first with arguments as they stand (quotes, an
// ampersand no command interpreter ever sees), a start folder and maximised; the second
// minimised; the third's start folder is missing, so it alone is not started and the one box
// names its folder.
TEST(KeyHit, OnePressOpensEveryLinkWithItsStartAndNamesTheLinkThatFailed) {
    Installation install("links", HookChoice::Recording);
    const std::string work = install.File("work");
    const std::string missing = install.File("gone");
    ASSERT_TRUE(::CreateDirectoryA(work.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nLink=" + install.Probe() +
                                                  "\r\nArguments=\"a b\" -x & echo\r\nStartIn=" + work +
                                                  "\r\nShow=max\r\nLink2=" + install.Probe() +
                                                  "\r\nArguments2=second\r\nShow2=min\r\nLink4=" + install.Probe() +
                                                  "\r\nStartIn4=" + missing + "\r\n"));
    ProgramUnderTest running(install.Program(), install.Dir());
    HWND frame = running.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_APP_KEY_HIT, 'A', 3);
    HWND box = running.WaitForDialog();
    ASSERT_NE(box, nullptr);
    const std::string text = MessageBoxText(box);
    EXPECT_NE(text.find(missing), std::string::npos) << text;
    ASSERT_TRUE(WaitUntil([&] { return install.ProbeLaunches().size() == 2; }, 10000));
    std::vector<std::string> launches = install.ProbeLaunches();
    if (launches[0].find("second") != std::string::npos) std::swap(launches[0], launches[1]);
    EXPECT_NE(launches[0].find("\"a b\" -x & echo|" + work), std::string::npos) << launches[0];
    EXPECT_NE(launches[0].find("|show=3"), std::string::npos) << launches[0];
    EXPECT_NE(launches[1].find("second|"), std::string::npos) << launches[1];
    EXPECT_NE(launches[1].find("|show=7"), std::string::npos) << launches[1];
    ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5000));
    ::Sleep(500);
    EXPECT_EQ(install.ProbeLaunches().size(), 2u);
    EXPECT_TRUE(running.CloseFrame());
}

// A real Ctrl+Alt+A on a typing key: the text reaches the window in front as its characters,
// the line break as Enter.
TEST(KeyHit, ATypingKeyTypesItsTextIntoTheWindowInFront) {
    Installation install("typing", HookChoice::Real);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), "[KeySet1]\r\nText=日本\\nA\\tB\r\n"));
    ProgramUnderTest running(install.Program(), install.Dir());
    ASSERT_NE(running.WaitForFrame(), nullptr);
    TypingTarget front;
    ASSERT_TRUE(front.InFront());
    RunLinuxCommand("xdotool key ctrl+alt+a", install.Dir());
    EXPECT_TRUE(WaitUntil([&] { return front.Chars().size() >= 6; }, 10000));
    EXPECT_EQ(front.Chars(), (std::vector<std::string>{"U+65E5", "U+672C", "U+000D", "U+0041", "U+0009", "U+0042"}));
    EXPECT_TRUE(front.Saw("0x0D"));
    EXPECT_TRUE(running.CloseFrame());
}
