#include "keys/SettingsFile.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {
constexpr char kFileName[] = "Vorlund.ini";

struct SectionName {
    char text[64] = {};
    explicit SectionName(int number) { ::wsprintfA(text, "KeySet%d", number); }
};

std::string ReadText(const char* section, const char* key, const char* path) {
    char buffer[SettingsFile::kTextSize] = {};
    ::GetPrivateProfileStringA(section, key, "", buffer, SettingsFile::kTextSize, path);
    return buffer;
}

// Whether the section that reads look in (the first one of that name, in any case) holds the
// key with a value. The default starts with a line break, which no stored value can hold.
bool HasValue(const char* section, const char* key, const char* path) {
    char value[4] = {};
    ::GetPrivateProfileStringA(section, key, "\n-", value, sizeof value, path);
    return value[0] != '\n';
}

// Writes the text, or deletes the key when the text is absent. A key the section lacks is not
// deleted: the private-profile functions would go on to a later section of the same name
// ([keyset5] after [KeySet5]) and delete the key there, in a section that is not ours.
bool WriteText(const char* section, const char* key, const std::string& text, const char* path) {
    if (text.empty() && !HasValue(section, key, path)) return true;
    return ::WritePrivateProfileStringA(section, key, text.empty() ? nullptr : text.c_str(),
                                        path) != FALSE;
}

bool DeleteSection(const char* section, const char* path) {
    return ::WritePrivateProfileStringA(section, nullptr, nullptr, path) != FALSE;
}
}  // namespace

SettingsFile::SettingsFile(const char* appDir) noexcept {
    const std::size_t dirLength = appDir ? std::strlen(appDir) : 0;
    if (dirLength == 0 || dirLength + sizeof kFileName > sizeof m_szPath) return;
    std::memcpy(m_szPath, appDir, dirLength);
    std::memcpy(m_szPath + dirLength, kFileName, sizeof kFileName);
}

void SettingsFile::Load(KeySetTable& table) const {
    table.Clear();
    for (int number = 1; number <= KeySetTable::kKeyCount; ++number) {
        KeySet record;
        record.number = number;
        if (IsUsable()) {
            const SectionName section(number);
            record.keycode = static_cast<int>(
                ::GetPrivateProfileIntA(section.text, "keycode", 0, m_szPath));
            record.caption = ReadText(section.text, "Caption", m_szPath);
            record.link = ReadText(section.text, "Link", m_szPath);
            record.activate = ::GetPrivateProfileIntA(section.text, "Activate", 0, m_szPath) == 1;
        }
        table.Append(std::move(record));
    }
}

bool SettingsFile::Save(const KeySetTable& table) const {
    // A table without all thirty records (never loaded, or already released) would delete
    // the user's keys from the file.
    if (!IsUsable() || table.Count() != KeySetTable::kKeyCount) return false;
    bool allWritten = true;
    for (std::size_t position = 0; position < KeySetTable::kKeyCount; ++position) {
        // The section number comes from the position, not from the record.
        const SectionName section(static_cast<int>(position) + 1);
        const KeySet& record = table.At(position);
        if (record.keycode < 1 && !record.HasCaption() && !record.HasLink() && !record.activate) {
            allWritten &= DeleteSection(section.text, m_szPath);
            continue;
        }
        char code[16] = {};
        if (record.keycode > 0) ::wsprintfA(code, "%d", record.keycode);
        allWritten &= WriteText(section.text, "keycode", code, m_szPath);
        allWritten &= WriteText(section.text, "Caption", record.caption, m_szPath);
        allWritten &= WriteText(section.text, "Link", record.link, m_szPath);
        allWritten &= WriteText(section.text, "Activate", record.activate ? "1" : "", m_szPath);
    }
    return allWritten;
}
