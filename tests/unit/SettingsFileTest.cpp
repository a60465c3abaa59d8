// The settings file against the real private-profile functions.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>

#include "common/FileText.h"
#include "common/ScratchDirectory.h"
#include "keys/SettingsFile.h"
#include "keys/SettingsFileEncoding.h"
#include "win/CodePage932.h"
#include "win/FileSwap.h"
#include "keys/SettingsValue.h"
#include "win/ProfileFile.h"
#include "win/UniqueHandle.h"
#include "win/WholeFile.h"

namespace {
using Section = std::map<std::string, std::string>;

// Every key of a section as the private-profile functions see it.
Section ReadSection(const std::string& path, const char* name) {
    std::vector<char> buffer(32768);
    const DWORD length = ::GetPrivateProfileSectionA(name, buffer.data(),
                                                     static_cast<DWORD>(buffer.size()), path.c_str());
    Section keys;
    for (DWORD i = 0; i < length;) {
        const std::string line(&buffer[i]);
        i += static_cast<DWORD>(line.size()) + 1;
        const auto equals = line.find('=');
        keys[line.substr(0, equals)] = equals == std::string::npos ? "" : line.substr(equals + 1);
    }
    return keys;
}

std::set<std::string> SectionNames(const std::string& path) {
    std::vector<char> buffer(32768);
    const DWORD length = ::GetPrivateProfileSectionNamesA(
        buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
    std::set<std::string> names;
    for (DWORD i = 0; i < length;) {
        const std::string name(&buffer[i]);
        i += static_cast<DWORD>(name.size()) + 1;
        if (!name.empty()) names.insert(name);
    }
    return names;
}

KeySetTable LoadedTable(const SettingsFile& file) {
    KeySetTable table;
    file.Load(table);
    return table;
}

class SettingsFileTest : public ::testing::Test {
protected:
    ScratchDirectory m_dir{"settings"};
    std::string m_dirPath = m_dir.WithSlash();
    SettingsFile m_file{m_dirPath.c_str()};
    std::string m_ini = m_dir.File("Vorlund.ini");

    void Seed(const std::string& text) { ASSERT_TRUE(WriteFileBytes(m_ini, text)); }
};

TEST_F(SettingsFileTest, WorkedExampleSavesExactlyTheseKeysAndLoadsBack) {
    // Stale keys that the save must remove.
    Seed("[KeySet1]\r\nkeycode=5\r\n[KeySet2]\r\nLink=old\r\n[KeySet3]\r\nCaption=x\r\nLink=y\r\n"
         "[KeySet6]\r\nkeycode=9\r\nCaption=z\r\n[KeySet30]\r\nkeycode=1\r\n");
    KeySetTable table = LoadedTable(m_file);
    for (KeySet& record : table) record = KeySet{record.number};
    table.At(0).ReplaceCaption("メモ");
    table.At(0).ReplaceLink("C:\\Users\\Public\\memo.txt");
    table.At(2).keycode = 112;
    table.At(5).ReplaceLink("C:\\Tools\\calc.lnk");

    EXPECT_TRUE(m_file.Save(table));

    EXPECT_EQ(SectionNames(m_ini), (std::set<std::string>{"KeySet1", "KeySet3", "KeySet6"}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet1"),
              (Section{{"Caption", "メモ"}, {"Link", "C:\\Users\\Public\\memo.txt"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet3"), (Section{{"keycode", "112"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet6"), (Section{{"Link", "C:\\Tools\\calc.lnk"}}));

    const KeySetTable loaded = LoadedTable(m_file);
    ASSERT_EQ(loaded.Count(), 30u);
    for (std::size_t p = 0; p < loaded.Count(); ++p) {
        const KeySet& record = loaded.At(p);
        EXPECT_EQ(record.number, static_cast<int>(p) + 1);
        EXPECT_EQ(record.keycode, p == 2 ? 112 : 0) << p;
        EXPECT_EQ(record.caption, p == 0 ? "メモ" : "") << p;
        const char* link = p == 0 ? "C:\\Users\\Public\\memo.txt" : p == 5 ? "C:\\Tools\\calc.lnk" : "";
        EXPECT_EQ(record.link, link) << p;
    }
}

// The switch option: Activate=1 when on, no key at all when off (so files of users who never
// turn it on stay as they are); other values are off.
TEST_F(SettingsFileTest, SwitchOptionIsActivateOneAndAbsentWhenOff) {
    Seed("[KeySet1]\r\nLink=a.exe\r\nActivate=1\r\n[KeySet2]\r\nLink=b.exe\r\nActivate=yes\r\n"
         "[KeySet3]\r\nActivate=1\r\n");
    KeySetTable table = LoadedTable(m_file);
    EXPECT_TRUE(table.At(0).activate);
    EXPECT_FALSE(table.At(1).activate);
    EXPECT_TRUE(table.At(2).activate) << "a section with only the option is kept";
    table.At(0).activate = false;
    table.At(1).activate = true;
    EXPECT_TRUE(m_file.Save(table));
    EXPECT_EQ(ReadSection(m_ini, "KeySet1"), (Section{{"Link", "a.exe"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet2"), (Section{{"Link", "b.exe"}, {"Activate", "1"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet3"), (Section{{"Activate", "1"}}));
}

// The combination that shows the keys at a glance: [Vorlund] GlanceKey= once chosen, gone
// again when none is; a file whose user never chose one keeps every byte.
TEST_F(SettingsFileTest, GlanceKeyIsWrittenOnlyOnceChosen) {
    const std::string untouched = "[Vorlund]\r\nLanguage=en\r\n[KeySet1]\r\nLink=a.exe\r\n";
    Seed(untouched);
    KeySetTable table = LoadedTable(m_file);
    EXPECT_EQ(table.GlanceKeyCode(), 0);
    EXPECT_TRUE(m_file.Save(table));
    EXPECT_EQ(ReadFileBytes(m_ini).value_or(""), untouched);
    table.SetGlanceKeyCode(0x3004B);
    EXPECT_TRUE(m_file.Save(table));
    EXPECT_EQ(ReadSection(m_ini, "Vorlund"), (Section{{"Language", "en"}, {"GlanceKey", "196683"}}));
    table = LoadedTable(m_file);
    EXPECT_EQ(table.GlanceKeyCode(), 0x3004B);
    table.SetGlanceKeyCode(0);
    EXPECT_TRUE(m_file.Save(table));
    EXPECT_EQ(ReadSection(m_ini, "Vorlund"), (Section{{"Language", "en"}}));
}

TEST_F(SettingsFileTest, NoFileGivesThirtyEmptyRecordsAndSaveCreatesNoSections) {
    const KeySetTable table = LoadedTable(m_file);
    ASSERT_EQ(table.Count(), 30u);
    for (std::size_t p = 0; p < 30; ++p) {
        EXPECT_EQ(table.At(p).number, static_cast<int>(p) + 1);
        EXPECT_EQ(table.At(p).keycode, 0);
        EXPECT_FALSE(table.At(p).HasCaption());
        EXPECT_FALSE(table.At(p).HasLink());
    }
    m_file.Save(table);
    EXPECT_TRUE(SectionNames(m_ini).empty());
}

TEST_F(SettingsFileTest, KeyCodesZeroNegativeAndPositiveOnly) {
    Seed("[KeySet1]\r\nkeycode=0\r\n"
         "[KeySet2]\r\nkeycode=-5\r\n"
         "[KeySet3]\r\nkeycode=-7\r\nLink=C:\\a.txt\r\n"
         "[KeySet4]\r\nkeycode=196673\r\n");
    const KeySetTable table = LoadedTable(m_file);
    EXPECT_EQ(table.At(0).keycode, 0);
    EXPECT_LT(table.At(1).keycode, 1);
    EXPECT_EQ(table.At(3).keycode, 196673);

    m_file.Save(table);
    EXPECT_EQ(SectionNames(m_ini), (std::set<std::string>{"KeySet3", "KeySet4"}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet3"), (Section{{"Link", "C:\\a.txt"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet4"), (Section{{"keycode", "196673"}}));
}

TEST_F(SettingsFileTest, EmptyValuesLoadAsAbsentAndAreDeleted) {
    Seed("[KeySet1]\r\nkeycode=112\r\nCaption=\r\nLink=\r\n[KeySet2]\r\nCaption=\r\n");
    const KeySetTable table = LoadedTable(m_file);
    EXPECT_FALSE(table.At(0).HasCaption());
    EXPECT_FALSE(table.At(0).HasLink());
    m_file.Save(table);
    EXPECT_EQ(SectionNames(m_ini), (std::set<std::string>{"KeySet1"}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet1"), (Section{{"keycode", "112"}}));
}

TEST_F(SettingsFileTest, ForeignKeysAndSectionsSurvive) {
    Seed("[General]\r\nwho=me\r\n"
         "[KeySet1]\r\nColor=red\r\nLink=C:\\x.txt\r\n"
         "[KeySet2]\r\nColor=blue\r\n"
         "[KeySet31]\r\nkeycode=3\r\nLink=C:\\y.txt\r\n"
         "[keyset5x]\r\nLink=z\r\n");
    const KeySetTable table = LoadedTable(m_file);
    EXPECT_FALSE(table.FindByNumber(31));
    m_file.Save(table);
    const auto names = SectionNames(m_ini);
    EXPECT_EQ(names, (std::set<std::string>{"General", "KeySet1", "KeySet31", "keyset5x"}));
    EXPECT_EQ(ReadSection(m_ini, "General"), (Section{{"who", "me"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet1"), (Section{{"Color", "red"}, {"Link", "C:\\x.txt"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet31"), (Section{{"keycode", "3"}, {"Link", "C:\\y.txt"}}));
    EXPECT_EQ(ReadSection(m_ini, "keyset5x"), (Section{{"Link", "z"}}));
}

TEST_F(SettingsFileTest, LongValueIsCutTo1024Bytes) {
    const std::string longLink = "C:\\" + std::string(1097, 'a');
    ASSERT_EQ(longLink.size(), 1100u);
    Seed("[KeySet7]\r\nLink=" + longLink + "\r\n");
    const KeySetTable table = LoadedTable(m_file);
    EXPECT_EQ(table.At(6).link, longLink.substr(0, 1024));
    m_file.Save(table);
    EXPECT_EQ(ReadSection(m_ini, "KeySet7").at("Link"), longLink.substr(0, 1024));
    // Never half a double-byte character, whatever the system's code page counts.
    Seed("[KeySet7]\r\nLink=" + std::string(1023, 'a') + "あ\r\n");
    EXPECT_EQ(LoadedTable(m_file).At(6).link, std::string(1023, 'a'));
}

TEST_F(SettingsFileTest, Cp932TrailBytes5CSurviveByteForByte) {
    // ソ (83 5C), 表 (95 5C) and 能 (94 5C) end in the byte of a backslash.
    const std::string caption = "\x83\x5C\x95\x5C\x94\x5C";
    ASSERT_EQ(caption, "ソ表能");
    const std::string link = "C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.txt";
    KeySetTable table = LoadedTable(m_file);
    table.At(9).ReplaceCaption(caption.c_str());
    table.At(9).ReplaceLink(link.c_str());
    ASSERT_TRUE(m_file.Save(table));
    const KeySetTable loaded = LoadedTable(m_file);
    EXPECT_EQ(loaded.At(9).caption, caption);
    EXPECT_EQ(loaded.At(9).link, link);
    const auto bytes = ReadFileBytes(m_ini);
    ASSERT_TRUE(bytes);
    EXPECT_NE(bytes->find("Caption=" + caption), std::string::npos);
}

// A folder with a Japanese name, and values with every kind of CP932 byte: the trail byte A0
// of "あ" (a no-break space to code page 1252), a trail byte 5C, half-width kana. Loaded and
// saved unchanged, the file keeps every byte on a Japanese and on an English system.
TEST(SettingsFileCodePage, JapaneseFolderAndValuesGoRoundByteForByte) {
    ScratchDirectory root("codepage");
    const std::string dir = root.File("設定フォルダ") + "\\";
    ASSERT_TRUE(::CreateDirectoryW(WidePath(dir).c_str(), nullptr));
    const std::string bytes = "[Other]\r\nname=値\r\n[KeySet1]\r\nCaption=メモあ\r\nLink=C:\\表\\あ.exe\r\n"
                              "[KeySet2]\r\nkeycode=196674\r\nCaption=ｱｲ x あ\r\n";
    ASSERT_TRUE(WriteFileBytes(dir + "Vorlund.ini", bytes));
    const SettingsFile file(dir.c_str());
    const KeySetTable table = LoadedTable(file);
    EXPECT_EQ(table.At(0).caption, "メモあ");
    EXPECT_EQ(table.At(0).link, "C:\\表\\あ.exe");
    EXPECT_EQ(table.At(1).caption, "ｱｲ x あ");
    ASSERT_TRUE(file.Save(table));
    EXPECT_EQ(ReadFileBytes(dir + "Vorlund.ini"), bytes);
}

TEST(ProfileFile, CodePagesThatKeepEveryByte) {
    const std::pair<UINT, bool> cases[] = {{932, true}, {1252, true}, {936, false}, {65001, false}};
    for (const auto& [codePage, keeps] : cases) EXPECT_EQ(ProfileFile::CodePageKeepsBytes(codePage), keeps) << codePage;
}

// Where the code page would lose bytes, a write (which rewrites the whole file) is allowed only
// while nothing in the file or the new texts is outside ASCII.
TEST(ProfileFile, ElsewhereOnlyPlainAsciiIsWritten) {
    ScratchDirectory dir("ascii");
    const std::string ascii = dir.File("ascii.ini");
    const std::string japanese = dir.File("japanese.ini");
    ASSERT_TRUE(WriteFileBytes(ascii, "[KeySet1]\r\nLink=C:\\a.txt\r\n"));
    ASSERT_TRUE(WriteFileBytes(japanese, "[Other]\r\nname=値\r\n"));
    EXPECT_TRUE(ProfileFile(ascii).WriteKeepsBytes(true, 65001));
    EXPECT_TRUE(ProfileFile(dir.File("none.ini")).WriteKeepsBytes(true, 65001)) << "no file yet";
    EXPECT_FALSE(ProfileFile(ascii).WriteKeepsBytes(false, 65001)) << "new Japanese text";
    EXPECT_FALSE(ProfileFile(japanese).WriteKeepsBytes(true, 936));
    EXPECT_TRUE(ProfileFile(japanese).WriteKeepsBytes(false, 1252));
}

TEST_F(SettingsFileTest, TableWithoutAllThirtyRecordsIsNeverSaved) {
    Seed("[KeySet29]\r\nLink=a\r\n[KeySet30]\r\nLink=b\r\n");
    KeySetTable table = LoadedTable(m_file);
    KeySetTable shortTable;
    for (std::size_t p = 0; p < 29; ++p) shortTable.Append(table.At(p));
    EXPECT_FALSE(m_file.Save(shortTable));
    EXPECT_FALSE(m_file.Save(KeySetTable{})) << "a released table";
    EXPECT_EQ(SectionNames(m_ini), (std::set<std::string>{"KeySet29", "KeySet30"}));
}

TEST(SettingsFilePath, DirectoryThatDoesNotFitIsNeitherReadNorWritten) {
    // 245 + "Vorlund.ini" + terminator = 257 bytes: one more than the buffer.
    const std::string longDir = "C:\\" + std::string(241, 'd') + "\\";
    ASSERT_EQ(longDir.size(), 245u);
    SettingsFile tooLong(longDir.c_str());
    EXPECT_FALSE(tooLong.IsUsable());
    KeySetTable table;
    tooLong.Load(table);
    EXPECT_EQ(table.Count(), 30u);
    EXPECT_FALSE(tooLong.Save(table));

    const std::string fitting = longDir.substr(1);  // 244 + 11 + 1 = 256
    EXPECT_TRUE(SettingsFile(fitting.c_str()).IsUsable());
    EXPECT_FALSE(SettingsFile("").IsUsable());
    EXPECT_FALSE(SettingsFile(nullptr).IsUsable());
}

TEST(SettingsFilePath, FailedWriteIsReported) {
    ScratchDirectory dir("locked");
    const std::string path = dir.File("Vorlund.ini");
    ASSERT_TRUE(WriteFileBytes(path, ""));
    // Held open without sharing: the private-profile functions cannot write it.
    HANDLE holder = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::string dirPath = dir.WithSlash();
    SettingsFile file(dirPath.c_str());
    KeySetTable table;
    file.Load(table);
    table.At(0).ReplaceLink("C:\\x.txt");
    EXPECT_FALSE(file.Save(table));
    ::CloseHandle(holder);
    EXPECT_TRUE(file.Save(table));
}
// The save writes a copy beside the file and swaps it in: a copy left by a save cut off is
// never read; where the copy cannot be written the file stays exactly as it was and the save
// says it failed; a save that succeeds leaves nothing beside the file.
TEST_F(SettingsFileTest, SaveGoesThroughACopyBesideTheFile) {
    const std::string original = "; mine\r\n[KeySet1]\r\nLink=C:\\old.txt\r\n";
    Seed(original);
    const std::string cutOff = m_dir.File("Vorlund.ini.new");
    ASSERT_TRUE(WriteFileBytes(cutOff, "[KeySet1]\r\nLink=C:\\half\r\n"));
    KeySetTable table = LoadedTable(m_file);
    EXPECT_EQ(table.At(0).link, "C:\\old.txt");

    const SwapNames ours = SwapNamesFor(WidePath(m_ini));
    ASSERT_TRUE(WriteFileBytes(ours.staged, ""));
    HANDLE holder = ::CreateFileW(ours.staged.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    table.At(0).ReplaceLink("C:\\new.txt");
    EXPECT_FALSE(m_file.Save(table));
    EXPECT_EQ(ReadFileBytes(m_ini), original);
    ::CloseHandle(holder);

    ASSERT_TRUE(m_file.Save(table));
    EXPECT_FALSE(FileExists(ours.staged));
    EXPECT_FALSE(FileExists(ours.backup));
    const std::optional<std::string> saved = ReadFileBytes(m_ini);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->rfind("; mine\r\n", 0), 0u) << "everything else in the file stays";
    EXPECT_EQ(LoadedTable(m_file).At(0).link, "C:\\new.txt");
}

// Notepad's encodings: converted once to code page 932 with the original kept beside it
// (never over a .bak already there), or left exactly as they are and reported.
TEST(SettingsFileEncoding, MarkedFilesAreConvertedOnceOrLeftAlone) {
    using Outcome = SettingsFileEncoding::Outcome;
    const std::string utf16Japanese("\xFF\xFE[\0K\0e\0y\0S\0e\0t\0" "1\0]\0\r\0\n\0C\0a\0p\0t\0i\0o\0n\0=\0\xE1\x30\xFC\x30\xEB\x30", 46);
    const std::string utf16Accent("\xFF\xFE[\0K\0]\0\r\0\n\0L\0=\0J\0o\0s\0\xE9\0", 24);
    const std::string utf16BigEndian("\xFE\xFF\0[\0K\0]\0\r\0\n\0L\0=\x30\xE1", 18);
    std::string utf16LookAlikes("\xFF\xFE");
    for (const wchar_t unit : std::wstring(L"[KeySet1]\r\nLink=\u00C5\u00E9"))
        utf16LookAlikes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    struct Case {
        const char* label;
        std::string file;
        Outcome outcome;
        const char* converted;  // Vorlund.ini afterwards when converted
        const wchar_t* lost;
        const char* lookAlike = nullptr;  // what key 1's link must never be read as
    };
    const Case cases[] = {
        {"UTF-8", "\xEF\xBB\xBF[KeySet1]\r\nCaption=\xE3\x83\xA1\r\n", Outcome::Converted, "[KeySet1]\r\nCaption=メ\r\n", L""},
        {"UTF-16", utf16Japanese, Outcome::Converted, "[KeySet1]\r\nCaption=メール", L""},
        {"UTF-16 BE", utf16BigEndian, Outcome::Converted, "[K]\r\nL=メ", L""},
        {"UTF-16, not in 932", utf16Accent, Outcome::Unconvertible, nullptr, L"\u00E9"},
        {"UTF-16, best-fit look-alikes", utf16LookAlikes, Outcome::Unconvertible, nullptr, L"\u00C5\u00E9", "Ae"},
        {"UTF-8, invalid", "\xEF\xBB\xBF\xC3(", Outcome::Unconvertible, nullptr, L"\uFFFD"},
        {"UTF-16, odd", std::string("\xFF\xFE[", 3), Outcome::Unconvertible, nullptr, L"\uFFFD"},
        {"UTF-8, too large", "\xEF\xBB\xBF" + std::string(SettingsFile::kMaxFileBytes, 'a'), Outcome::Unconvertible,
         nullptr, L""},
        {"no mark", "[KeySet1]\r\nCaption=\xE3\x83\xA1\r\n", Outcome::Unchanged, nullptr, L""},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir("encoding");
        const std::string ini = dir.File("Vorlund.ini");
        ASSERT_TRUE(WriteFileBytes(ini, c.file));
        ASSERT_TRUE(WriteFileBytes(dir.File("Vorlund.ini.bak"), "setup's"));
        const SettingsFileEncoding result = ConvertMarkedSettingsFile(dir.WithSlash());
        EXPECT_EQ(result.outcome, c.outcome) << c.label;
        EXPECT_EQ(result.lost, c.lost) << c.label;
        EXPECT_EQ(ReadFileBytes(dir.File("Vorlund.ini.bak")), "setup's") << c.label;
        EXPECT_FALSE(FileExists(dir.File("Vorlund.ini.new"))) << c.label;
        if (c.converted) {
            EXPECT_EQ(ReadFileBytes(ini), c.converted) << c.label;
            EXPECT_EQ(ReadFileBytes(dir.File("Vorlund.ini.2.bak")), c.file) << c.label;
        } else {
            EXPECT_EQ(ReadFileBytes(ini), c.file) << c.label;
            EXPECT_FALSE(FileExists(dir.File("Vorlund.ini.2.bak"))) << c.label;
        }
        // Read as it is, by the private-profile functions: refused or kept, never changed.
        if (c.lookAlike) { EXPECT_NE(LoadedTable(SettingsFile(dir.WithSlash().c_str())).At(0).link, c.lookAlike); }
    }
}

// What a save stopped half-way left, laid out by hand. While Vorlund.ini is missing nothing is
// saved over it; the start then puts back the backup, else the new file. Beside a Vorlund.ini
// (a save cut off while writing), and under names that are not a save's, nothing is taken.
TEST(SettingsFileRecovery, HalfDoneSwapIsPutBack) {
    const char* older = "[KeySet1]\r\nLink=older\r\n";
    const char* newer = "[KeySet1]\r\nLink=newer\r\n";
    struct Case {
        const char* label;
        std::vector<std::pair<const char*, const char*>> files;  // name, bytes
        const char* recovered;                                   // Vorlund.ini afterwards
    };
    const Case cases[] = {
        {"earlier version, no backup", {{"Vorlund.ini.new", newer}}, newer},
        {"backup beside the new file", {{"Vorlund.ini.7.old", older}, {"Vorlund.ini.7.new", newer}}, older},
        {"cut off while writing", {{"Vorlund.ini", older}, {"Vorlund.ini.new", newer}}, nullptr},
        {"not a save's", {{"Vorlund.ini.bak", newer}, {"Vorlund.ini.x.old", newer}}, nullptr},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir("recovery");
        for (const auto& [name, bytes] : c.files) ASSERT_TRUE(WriteFileBytes(dir.File(name), bytes));
        const std::string ini = dir.File("Vorlund.ini");
        const std::string dirPath = dir.WithSlash();
        const SettingsFile file(dirPath.c_str());
        KeySetTable table = LoadedTable(file);
        EXPECT_EQ(table.At(0).link, FileExists(ini) ? "older" : "") << c.label;
        table.At(0).ReplaceLink("C:\\mine.txt");
        EXPECT_EQ(file.IsSetAside(), c.recovered != nullptr) << c.label;
        EXPECT_EQ(file.Save(table), c.recovered == nullptr) << c.label;
        file.RecoverHalfDoneSave();
        if (c.recovered) { EXPECT_EQ(ReadFileBytes(ini), c.recovered) << c.label; }
    }
}

// Where the swap stopped half-way with the old file moved away: the new file is put in place
// when it can be, else the old one back; where neither is there, the new one stays, the only
// copy.
TEST(SettingsFileRecovery, SwapStoppedHalfWayLosesNothing) {
    struct Case {
        const char* label;
        bool backupThere;
        bool stagedHeld;     // shared for reading and writing, not for moving (a virus scanner)
        const char* target;  // where the new file is to go
        Placement placement;
        const char* after;   // the target afterwards
    };
    const Case cases[] = {
        {"new file free", true, false, "Vorlund.ini", Placement::Placed, "new"},
        {"new file held", true, true, "Vorlund.ini", Placement::Unchanged, "old"},
        {"no way in, no backup", false, false, "gone\\Vorlund.ini", Placement::SetAside, nullptr},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir("swap");
        const std::wstring target = WidePath(dir.File(c.target));
        const SwapNames names = SwapNamesFor(WidePath(dir.File("Vorlund.ini")));
        ASSERT_TRUE(WriteFileBytes(names.staged, "new"));
        if (c.backupThere) { ASSERT_TRUE(WriteFileBytes(names.backup, "old")); }
        UniqueKernelHandle holder(c.stagedHeld ? ::CreateFileW(names.staged.c_str(), GENERIC_READ,
                                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                               OPEN_EXISTING, 0, nullptr)
                                               : nullptr);
        EXPECT_EQ(PutFileInPlace(names, target), c.placement) << c.label;
        holder.Reset();
        EXPECT_EQ(ReadFileBytes(target), c.after ? std::optional<std::string>(c.after) : std::nullopt) << c.label;
        EXPECT_FALSE(FileExists(names.backup)) << c.label;
        if (!c.after) { EXPECT_EQ(ReadFileBytes(names.staged), "new") << c.label; }
    }
}

// A copy of the program in another session saving at the same moment: a whole save of ours in
// the middle of its writing takes nothing of its file, and its swap after ours keeps every key
// neither of them touched.
TEST_F(SettingsFileTest, TwoCopiesSavingAtOnceLoseNothing) {
    Seed("[KeySet1]\r\nLink=C:\\one.txt\r\n[KeySet2]\r\nLink=C:\\two.txt\r\n[KeySet30]\r\nLink=C:\\kept.txt\r\n");
    const SwapNames other = SwapNamesFor(WidePath(m_ini), ::GetCurrentProcessId() + 4);
    ASSERT_TRUE(WriteWholeFile(other.staged, *ReadFileBytes(m_ini)));
    const ProfileFile otherStaged(Cp932FromWide(other.staged).text);
    ASSERT_TRUE(otherStaged.Write("KeySet1", "Link", "C:\\other.txt"));

    KeySetTable table = LoadedTable(m_file);
    table.At(1).ReplaceLink("C:\\ours.txt");
    ASSERT_TRUE(m_file.Save(table));

    ASSERT_TRUE(otherStaged.Write("KeySet2", "Caption", "other"));
    ASSERT_EQ(PutFileInPlace(other, WidePath(m_ini)), Placement::Placed);
    const KeySetTable saved = LoadedTable(m_file);
    EXPECT_EQ(saved.At(0).link, "C:\\other.txt");
    EXPECT_EQ(saved.At(1).caption, "other");
    EXPECT_EQ(saved.At(29).link, "C:\\kept.txt");
}
}  // namespace

TEST(SettingsValue, TypedTextEscapesGoBothWaysAndUnknownOnesStayLiterally) {
    struct Case {
        const char* value;  // in the file
        const char* text;   // in the record
        const char* rewritten;
    };
    const Case cases[] = {
        {"a\\nb\\tc\\\\d", "a\nb\tc\\d", "a\\nb\\tc\\\\d"},
        {"表\\n能", "表\n能", "表\\n能"},  // 95 5C and 94 5C are whole characters
        {"C:\\x", "C:\\x", "C:\\\\x"},
        {"end\\", "end\\", "end\\\\"},
        {"こんにちは", "こんにちは", "こんにちは"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TypedTextFromValue(c.value), c.text) << c.value;
        EXPECT_EQ(ValueFromTypedText(c.text), c.rewritten) << c.value;
        EXPECT_EQ(TypedTextFromValue(ValueFromTypedText(c.text)), c.text) << c.value;
    }
    EXPECT_EQ(ValueFromTypedText("a\r\nb"), "a\\nb");
    EXPECT_EQ(StoredValue("\"C:\\a b\\x.txt\""), "\"\"C:\\a b\\x.txt\"\"");
    EXPECT_EQ(StoredValue(" lead"), "\" lead\"");
    EXPECT_EQ(StoredValue("-x \"a b\""), "-x \"a b\"");
}

// A key of every new kind, read from a file edited by hand, written and read back.
TEST_F(SettingsFileTest, ArgumentsFolderWindowFurtherLinksAndTextGoRound) {
    Seed("[KeySet1]\r\nLink=C:\\a.exe\r\nArguments=\"\"C:\\My Files\\b.txt\" \"-x\"\"\r\nStartIn=C:\\Work\r\n"
         "Show=max\r\nLink3=https://example.com/\r\nShow3=MIN\r\nLink2=\r\nArguments2=lost\r\n"
         "[KeySet2]\r\nLink4=second.exe\r\nArguments4=-y\r\n"
         "[KeySet3]\r\nText=表 \\\\ ok\\nbye\\t\\x\r\n[KeySet4]\r\nShow=sideways\r\n");
    KeySetTable table = LoadedTable(m_file);
    const KeySet& first = table.At(0);
    EXPECT_EQ(first.start.arguments, "\"C:\\My Files\\b.txt\" \"-x\"") << "the quotes a read would take off are kept";
    EXPECT_EQ(first.start.startIn, "C:\\Work");
    EXPECT_EQ(first.start.show, WindowShow::Maximized);
    ASSERT_EQ(first.moreLinks.size(), 1u) << "an empty Link2 is skipped";
    EXPECT_EQ(first.moreLinks[0].link, "https://example.com/");
    EXPECT_EQ(first.moreLinks[0].start.show, WindowShow::Minimized);
    EXPECT_EQ(table.At(1).link, "second.exe") << "the first link found is the first link";
    EXPECT_EQ(table.At(1).start.arguments, "-y");
    EXPECT_EQ(table.At(2).text, "表 \\ ok\nbye\t\\x");
    EXPECT_TRUE(table.At(2).TypesText());
    EXPECT_TRUE(table.At(3).IsBlank()) << "an unknown window state is normal";

    ASSERT_TRUE(m_file.Save(table));
    EXPECT_EQ(ReadSection(m_ini, "KeySet1"),
              (Section{{"Link", "C:\\a.exe"}, {"Arguments", "\"\"C:\\My Files\\b.txt\" \"-x\"\""},
                       {"StartIn", "C:\\Work"}, {"Show", "max"}, {"Link2", "https://example.com/"},
                       {"Show2", "min"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet2"), (Section{{"Link", "second.exe"}, {"Arguments", "-y"}}));
    EXPECT_EQ(ReadSection(m_ini, "KeySet3"), (Section{{"Text", "表 \\\\ ok\\nbye\\t\\\\x"}}));
    EXPECT_EQ(SectionNames(m_ini).count("KeySet4"), 0u);
    const KeySetTable again = LoadedTable(m_file);
    for (std::size_t at = 0; at < 3; ++at) {
        EXPECT_EQ(again.At(at).Links(), table.At(at).Links()) << at;
        EXPECT_EQ(again.At(at).text, table.At(at).text) << at;
    }
}

TEST_F(SettingsFileTest, KeysThatUseNothingNewAreWrittenByteForByte) {
    const std::string file =
        "[Vorlund]\r\nLanguage=en\r\n[KeySet1]\r\nkeycode=131137\r\nCaption=メモ\r\nLink=C:\\memo.txt\r\n"
        "Activate=1\r\nOther=kept\r\n[KeySet2]\r\nLink=https://example.com/\r\n[KeySet5]\r\nCaption=x\r\n";
    Seed(file);
    ASSERT_TRUE(m_file.Save(LoadedTable(m_file)));
    EXPECT_EQ(ReadFileBytes(m_ini), file);
}
