#include "keys/KeySetSection.h"

#include <windows.h>

#include <string>
#include <vector>

#include "keys/SettingsFile.h"
#include "keys/SettingsValue.h"

namespace {
// The keys a section holds, asked once: the keys a key may have beyond the first four are read,
// and deleted, only where the section has them, so that a load or save of thirty sections
// asks the file a few hundred times, not a thousand.
class PresentKeys {
public:
    PresentKeys(const ProfileFile& file, const char* section) : m_names(file.KeyNames(section)) {}
    bool Has(const std::string& key) const {
        for (const std::string& name : m_names)
            if (::lstrcmpiA(name.c_str(), key.c_str()) == 0) return true;
        return false;
    }

private:
    std::vector<std::string> m_names;
};

std::string ReadText(const ProfileFile& file, const char* section, const std::string& key) {
    return file.ReadText(section, key.c_str(), "", SettingsFile::kTextSize);
}

std::string ReadPresent(const ProfileFile& file, const char* section, const std::string& key,
                        const PresentKeys& present) {
    return present.Has(key) ? ReadText(file, section, key) : std::string();
}

// Whether the section that reads look in (the first one of that name, in any case) holds the
// key with a value. The default starts with a line break, which no stored value can hold.
bool HasValue(const ProfileFile& file, const char* section, const char* key) {
    return file.ReadText(section, key, "\n-", 4)[0] != '\n';
}

bool WritePresent(const ProfileFile& file, const char* section, const std::string& key, const std::string& text,
                  const PresentKeys& present) {
    if (text.empty() && !present.Has(key)) return true;
    return file.Write(section, key.c_str(), text.empty() ? nullptr : text.c_str());
}

// "Link" for the first link, "Link2" for the second, and so on.
std::string Numbered(const char* key, int linkNumber) {
    return linkNumber == 1 ? std::string(key) : key + std::to_string(linkNumber);
}

LinkStart ReadStart(const ProfileFile& file, const char* section, int linkNumber, const PresentKeys& present) {
    LinkStart start;
    start.arguments = ReadPresent(file, section, Numbered("Arguments", linkNumber), present);
    start.startIn = ReadPresent(file, section, Numbered("StartIn", linkNumber), present);
    start.show = ShowFromValue(ReadPresent(file, section, Numbered("Show", linkNumber), present));
    return start;
}

bool WriteLink(const ProfileFile& file, const char* section, int linkNumber, const KeyLink& link,
               const PresentKeys& present) {
    bool written = true;
    if (linkNumber > 1) written &= WritePresent(file, section, Numbered("Link", linkNumber), link.link, present);
    written &= WritePresent(file, section, Numbered("Arguments", linkNumber), StoredValue(link.start.arguments), present);
    written &= WritePresent(file, section, Numbered("StartIn", linkNumber), StoredValue(link.start.startIn), present);
    written &= WritePresent(file, section, Numbered("Show", linkNumber), ShowValue(link.start.show), present);
    return written;
}
}  // namespace

// Writes the text, or deletes the key when the text is absent. A key the section lacks is not
// deleted: the private-profile functions would go on to a later section of the same name
// ([keyset5] after [KeySet5]) and delete the key there, in a section that is not ours.
bool WriteValue(const ProfileFile& file, const char* section, const std::string& key, const std::string& text) {
    if (text.empty() && !HasValue(file, section, key.c_str())) return true;
    return file.Write(section, key.c_str(), text.empty() ? nullptr : text.c_str());
}

void ReadKeySetSection(const ProfileFile& file, const char* section, KeySet& record) {
    record.keycode = static_cast<int>(file.ReadInt(section, "keycode", 0));
    record.caption = ReadText(file, section, "Caption");
    record.link = ReadText(file, section, "Link");
    record.activate = file.ReadInt(section, "Activate", 0) == 1;
    const PresentKeys present(file, section);
    record.start = ReadStart(file, section, 1, present);
    for (int number = 2; number <= KeySet::kMaxLinks; ++number) {
        KeyLink more{ReadPresent(file, section, Numbered("Link", number), present), {}};
        if (more.link.empty()) continue;
        more.start = ReadStart(file, section, number, present);
        if (record.HasLink()) {
            record.moreLinks.push_back(std::move(more));
        } else {
            record.link = std::move(more.link);
            record.start = std::move(more.start);
        }
    }
    record.text = TypedTextFromValue(ReadPresent(file, section, "Text", present));
}

bool WriteKeySetSection(const ProfileFile& file, const char* section, const KeySet& record) {
    char code[16] = {};
    if (record.keycode > 0) ::wsprintfA(code, "%d", record.keycode);
    bool written = WriteValue(file, section, "keycode", code);
    written &= WriteValue(file, section, "Caption", record.caption);
    written &= WriteValue(file, section, "Link", record.link);
    written &= WriteValue(file, section, "Activate", record.activate ? "1" : "");
    // Asked after the first keys are written: a new section exists from then on.
    const PresentKeys present(file, section);
    written &= WriteLink(file, section, 1, {record.link, record.start}, present);
    // Renumbered from 2 without gaps; the numbers no longer used are deleted.
    int number = 2;
    for (const KeyLink& more : record.moreLinks) {
        if (number > KeySet::kMaxLinks) break;
        written &= WriteLink(file, section, number++, more, present);
    }
    for (; number <= KeySet::kMaxLinks; ++number) written &= WriteLink(file, section, number, KeyLink{}, present);
    written &= WritePresent(file, section, "Text", StoredValue(ValueFromTypedText(record.text)), present);
    return written;
}

bool KeySetIsAscii(const KeySet& record) {
    bool ascii = IsAscii(record.caption) && IsAscii(record.link) && IsAscii(record.text) &&
                 IsAscii(record.start.arguments) && IsAscii(record.start.startIn);
    for (const KeyLink& more : record.moreLinks)
        ascii = ascii && IsAscii(more.link) && IsAscii(more.start.arguments) && IsAscii(more.start.startIn);
    return ascii;
}
