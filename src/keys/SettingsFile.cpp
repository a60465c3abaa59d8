#include "keys/SettingsFile.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "keys/KeySetSection.h"
#include "win/CodePage932.h"
#include "win/FileSwap.h"
#include "win/ProfileFile.h"
#include "win/WholeFile.h"

// The file is code page 932 on every system and goes through the private-profile functions as
// ever, its path wide (a Japanese folder is found anywhere) and its values through the
// system's code page: byte for byte where that code page keeps every byte (932, and the
// single-byte ones such as 1252), and not written at all where it would lose some (see
// ProfileFile).
namespace {
constexpr char kFileName[] = "Vorlund.ini";
// The program's own section, beside the keys': the interface language (only ever read) and
// the combination that shows the keys at a glance.
constexpr char kProgramSection[] = "Vorlund";
constexpr char kGlanceKey[] = "GlanceKey";

struct SectionName {
    char text[64] = {};
    explicit SectionName(int number) { ::wsprintfA(text, "KeySet%d", number); }
};
}  // namespace

SettingsFile::SettingsFile(const char* appDir) noexcept {
    const std::size_t dirLength = appDir ? std::strlen(appDir) : 0;
    if (dirLength == 0 || dirLength + sizeof kFileName > sizeof m_szPath) return;
    std::memcpy(m_szPath, appDir, dirLength);
    std::memcpy(m_szPath + dirLength, kFileName, sizeof kFileName);
}

void SettingsFile::RecoverHalfDoneSave() const {
    if (IsUsable()) RecoverHalfDoneSwap(WideFromCp932(m_szPath));
}

bool SettingsFile::IsSetAside() const {
    return IsUsable() && ::IsSetAside(WideFromCp932(m_szPath));
}

void SettingsFile::Load(KeySetTable& table) const {
    table.Clear();
    const ProfileFile file(m_szPath);
    for (int number = 1; number <= KeySetTable::kKeyCount; ++number) {
        KeySet record;
        record.number = number;
        if (IsUsable()) {
            const SectionName section(number);
            ReadKeySetSection(file, section.text, record);
        }
        table.Append(std::move(record));
    }
    if (IsUsable()) table.SetGlanceKeyCode(static_cast<int>(file.ReadInt(kProgramSection, kGlanceKey, 0)));
}

bool SettingsFile::Save(const KeySetTable& table) const {
    // A table without all thirty records (never loaded, or already released) would delete
    // the user's keys from the file.
    if (!IsUsable() || table.Count() != KeySetTable::kKeyCount) return false;
    bool textsAreAscii = true;
    for (const KeySet& record : table) textsAreAscii = textsAreAscii && KeySetIsAscii(record);
    if (!ProfileFile(m_szPath).WriteKeepsBytes(textsAreAscii)) return false;

    // The private-profile functions rewrite the whole file at every call: written in place, the
    // file would hold only some of the keys at most moments of a save. The new file is written
    // whole beside the old one, from a copy of it (so that everything else in it stays), and
    // put in its place in one step once it is on the disk. The copy's name is this process's
    // own, so that a copy of the program in another session never writes into it.
    const std::wstring path = WideFromCp932(m_szPath);
    const SwapNames names = SwapNamesFor(path);
    const std::wstring& stagedPath = names.staged;
    const WholeFile current = ReadWholeFile(path, kMaxFileBytes);
    // Without the file, a swap cut off may have left the keys under another name: the next
    // start puts them back, and a file made now would hide them.
    if (current.result == FileRead::Missing && ::IsSetAside(path)) return false;
    if (current.result == FileRead::Failed || !WriteWholeFile(stagedPath, current.bytes)) {
        ::DeleteFileW(stagedPath.c_str());
        return false;
    }
    const ProfileFile staged(Cp932FromWide(stagedPath).text);
    bool allWritten = true;
    for (std::size_t position = 0; position < KeySetTable::kKeyCount; ++position) {
        // The section number comes from the position, not from the record.
        const SectionName section(static_cast<int>(position) + 1);
        const KeySet& record = table.At(position);
        if (record.IsBlank()) {
            allWritten &= staged.Write(section.text, nullptr, nullptr);
            continue;
        }
        allWritten &= WriteKeySetSection(staged, section.text, record);
    }
    // Written only once chosen: the file of a user who never chose one stays as it was.
    char glance[16] = {};
    if (table.GlanceKeyCode() > 0) ::wsprintfA(glance, "%d", table.GlanceKeyCode());
    allWritten &= WriteValue(staged, kProgramSection, kGlanceKey, glance);
    // Without a file and without a key to keep, no file is made.
    const bool nothingToWrite =
        current.result == FileRead::Missing && ReadWholeFile(stagedPath, kMaxFileBytes).bytes.empty();
    if (!allWritten || nothingToWrite || !FlushFileToDisk(stagedPath)) {
        ::DeleteFileW(stagedPath.c_str());
        return allWritten && nothingToWrite;
    }
    return PutFileInPlace(names, path) == Placement::Placed;
}
