// Names code page 932 cannot hold, end to end: the program's own folder, and a settings file
// saved as UTF-8.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "Artifacts.h"
#include "Installation.h"
#include "ProgramUnderTest.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "win/CodePage932.h"

namespace {
// A folder holding a copy of the program with the recording hook library (which logs beside
// itself when it is loaded) and a settings file with the given bytes.
std::wstring MakeCopy(const std::wstring& folder, const std::string& ini) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const Artifacts& artifacts = Artifacts::Get();
    EXPECT_TRUE(::CopyFileW(WideFromCp932(artifacts.vorlund).c_str(), (folder + L"\\Vorlund.exe").c_str(), FALSE));
    EXPECT_TRUE(::CopyFileW(WideFromCp932(artifacts.recordingHook).c_str(), (folder + L"\\VelComn.dll").c_str(), FALSE));
    EXPECT_TRUE(WriteFileBytes(folder + L"\\Vorlund.ini", ini));
    return folder + L"\\Vorlund.exe";
}

// The program in a folder whose name code page 932 cannot hold runs from that very folder
// through its short name; it never reads, writes or loads from the look-alike folder beside
// it ("Jose" for "José"), which another user may have made.
TEST(Names, TheProgramsFolderIsItsOwnNeverALookAlike) {
    Installation base("folders", HookChoice::None);
    const std::wstring root = WideFromCp932(base.Dir());
    const std::string decoyIni = "[KeySet1]\r\nCaption=decoy\r\n";
    MakeCopy(root + L"\\Jose", decoyIni);
    for (const std::wstring name : {L"Jos\u00E9", L"\uD55C\uAD6D\uC5B4"}) {
        const std::wstring folder = root + L"\\" + name;
        ProgramUnderTest running(MakeCopy(folder, "[KeySet1]\r\nCaption=mine\r\n[KeySet2]\r\nLink=C:\\x.txt\r\n"), folder);
        ASSERT_NE(running.WaitForFrame(), nullptr);
        EXPECT_TRUE(running.CloseFrame());
        EXPECT_FALSE(ReadLines(folder + L"\\hook-calls.log").empty()) << "its own hook library";
        EXPECT_EQ(ReadLines(folder + L"\\Vorlund.ini"),
                  (std::vector<std::string>{"[KeySet1]", "Caption=mine", "[KeySet2]", "Link=C:\\x.txt"}));
    }
    EXPECT_EQ(ReadFileBytes(root + L"\\Jose\\Vorlund.ini"), decoyIni);
    EXPECT_FALSE(FileExists(root + L"\\Jose\\hook-calls.log")) << "the look-alike's library loaded";
}

// Notepad's UTF-8 with a byte-order mark: read as the text it holds, converted once to the
// program's code page with the original kept (beside a .bak that was there); one with
// characters code page 932 lacks is
// left exactly as it is and never written.
TEST(Names, ASettingsFileSavedAsUtf8IsReadAndKeptOrLeftAlone) {
    const std::string mark = "\xEF\xBB\xBF";
    const std::string utf8 = mark + "[KeySet1]\r\nCaption=\xE3\x83\xA1\xE3\x83\xA2\r\nLink=C:\\\xE8\xA1\xA8.txt\r\n";
    Installation install("utf8", HookChoice::None);
    ASSERT_TRUE(WriteFileBytes(install.Ini(), utf8));
    // Older settings the setup kept are kept too: the original goes beside them.
    const std::string older = "[KeySet1]\r\nCaption=older\r\n";
    ASSERT_TRUE(WriteFileBytes(install.Ini() + ".bak", older));
    {
        ProgramUnderTest running(install.Program(), install.Dir());
        ASSERT_NE(running.WaitForFrame(), nullptr);
        HWND settings = running.OpenSettings();
        ASSERT_NE(settings, nullptr);
        EXPECT_EQ(WindowText(::GetDlgItem(settings, 1069)), "メモ") << "key 1's caption";
        ::PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }, 10000));
        EXPECT_TRUE(running.CloseFrame());
    }
    EXPECT_EQ(ReadFileBytes(install.Ini() + ".bak"), older);
    EXPECT_EQ(ReadFileBytes(install.Ini() + ".2.bak"), utf8);
    EXPECT_EQ(ReadLines(install.Ini()), (std::vector<std::string>{"[KeySet1]", "Caption=メモ", "Link=C:\\表.txt"}));

    const std::string hangul = mark + "[KeySet1]\r\nCaption=\xED\x95\x9C\r\n";
    Installation other("utf8-hangul", HookChoice::None);
    ASSERT_TRUE(WriteFileBytes(other.Ini(), hangul));
    ProgramUnderTest running(other.Program(), other.Dir());
    HWND box = running.WaitForDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(MessageBoxText(box).find("UTF-8"), std::string::npos);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_NE(running.WaitForFrame(), nullptr);
    EXPECT_TRUE(running.CloseFrame());
    EXPECT_EQ(ReadFileBytes(other.Ini()), hangul) << "the user's file as it was";
    EXPECT_FALSE(FileExists(other.Ini() + ".bak"));
}
}  // namespace
