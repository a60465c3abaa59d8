// Start-up and shut-down of the real program: one copy per session, hidden frame, settings
// written on close.
#include <gtest/gtest.h>

#include "Artifacts.h"
#include "DisplayLanguage.h"
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
    EXPECT_EQ(WindowText(box), ShownText("お気に入り設定アプリケーション", "Vorlund Favorite Keys"));
    EXPECT_EQ(MessageBoxText(box), ShownText("お気に入り設定アプリケーションはすでに実行しています。",
                                             "Vorlund Favorite Keys is already running."));
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

// Wine's per-program library order (AppDefaults), native first for the names, while it lives.
class NativeLibrariesFirst {
public:
    NativeLibrariesFirst(const std::string& program, const std::vector<std::string>& names)
        : m_key("Software\\Wine\\AppDefaults\\" + program) {
        HKEY key = nullptr;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, (m_key + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        for (const std::string& name : names)
            ::RegSetValueExA(key, name.substr(0, name.find('.')).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>("native,builtin"), 15);
        ::RegCloseKey(key);
    }
    ~NativeLibrariesFirst() { ::RegDeleteTreeA(HKEY_CURRENT_USER, m_key.c_str()); }

private:
    std::string m_key;
};

// Libraries the program or the system load by name, planted beside the elevated program and
// in a Vorlund.exe.local folder, as a program that can write there would: none is loaded,
// through start-up, the settings dialog (the common controls, themes) and shut-down.
TEST(Startup, LibrariesPlantedBesideTheProgramAreNeverLoaded) {
    ASSERT_FALSE(Artifacts::Get().plantedLibrary.empty());
    Installation install("planted", HookChoice::Real);
    // Not version.dll: Wine's own libraries load it before the program's first instruction.
    const std::vector<std::string> names = {"comctl32.dll", "uxtheme.dll", "dwmapi.dll", "oleacc.dll", "wtsapi32.dll"};
    ASSERT_TRUE(::CreateDirectoryA(install.File("Vorlund.exe.local").c_str(), nullptr));
    std::vector<std::string> planted;
    for (const std::string& name : names)
        for (const std::string& path : {install.File(name), install.File(std::string("Vorlund.exe.local\\") + name)}) {
            ASSERT_TRUE(::CopyFileA(Artifacts::Get().plantedLibrary.c_str(), path.c_str(), FALSE)) << path;
            planted.push_back(path);
        }
    // Windows takes a library beside the program before its own built-in copy; Wine does only
    // when told to, as here for Vorlund.exe while the test runs.
    NativeLibrariesFirst nativeFirst("Vorlund.exe", names);
    ProgramUnderTest running(install.Program(), install.Dir());
    ASSERT_NE(running.WaitForFrame(), nullptr);
    HWND settings = running.OpenSettings();
    ASSERT_NE(settings, nullptr);
    ::PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 10000));
    EXPECT_TRUE(running.CloseFrame());
    for (const std::string& path : planted) EXPECT_FALSE(FileExists(path + ".loaded")) << path;
}
}  // namespace
