#include "keys/KeySetSection.h"

#include <string>

#include "keys/SettingsFile.h"
#include "keys/SettingsValue.h"

namespace {
std::string ReadText(const ProfileFile& file, const char* section, const std::string& key) {
    return file.ReadText(section, key.c_str(), "", SettingsFile::kTextSize);
}

// Whether the section that reads look in (the first one of that name, in any case) holds the
// key with a value. The default starts with a line break, which no stored value can hold.
bool HasValue(const ProfileFile& file, const char* section, const char* key) {
    return file.ReadText(section, key, "\n-", 4)[0] != '\n';
}

// Writes the text, or deletes the key when the text is absent. A key the section lacks is not
// deleted: the private-profile functions would go on to a later section of the same name
// ([keyset5] after [KeySet5]) and delete the key there, in a section that is not ours.
bool WriteText(const ProfileFile& file, const char* section, const std::string& key, const std::string& text) {
    if (text.empty() && !HasValue(file, section, key.c_str())) return true;
    return file.Write(section, key.c_str(), text.empty() ? nullptr : text.c_str());
}

// "Link" for the first link, "Link2" for the second, and so on.
std::string Numbered(const char* key, int linkNumber) {
    return linkNumber == 1 ? std::string(key) : key + std::to_string(linkNumber);
}

LinkStart ReadStart(const ProfileFile& file, const char* section, int linkNumber) {
    LinkStart start;
    start.arguments = ReadText(file, section, Numbered("Arguments", linkNumber));
    start.startIn = ReadText(file, section, Numbered("StartIn", linkNumber));
    start.show = ShowFromValue(ReadText(file, section, Numbered("Show", linkNumber)));
    return start;
}

bool WriteLink(const ProfileFile& file, const char* section, int linkNumber, const KeyLink& link) {
    bool written = true;
    if (linkNumber > 1) written &= WriteText(file, section, Numbered("Link", linkNumber), link.link);
    written &= WriteText(file, section, Numbered("Arguments", linkNumber), StoredValue(link.start.arguments));
    written &= WriteText(file, section, Numbered("StartIn", linkNumber), StoredValue(link.start.startIn));
    written &= WriteText(file, section, Numbered("Show", linkNumber), ShowValue(link.start.show));
    return written;
}
}  // namespace

void ReadKeySetSection(const ProfileFile& file, const char* section, KeySet& record) {
    record.keycode = static_cast<int>(file.ReadInt(section, "keycode", 0));
    record.caption = ReadText(file, section, "Caption");
    record.link = ReadText(file, section, "Link");
    record.start = ReadStart(file, section, 1);
    record.activate = file.ReadInt(section, "Activate", 0) == 1;
    for (int number = 2; number <= KeySet::kMaxLinks; ++number) {
        KeyLink more{ReadText(file, section, Numbered("Link", number)), {}};
        if (more.link.empty()) continue;
        more.start = ReadStart(file, section, number);
        if (record.HasLink()) {
            record.moreLinks.push_back(std::move(more));
        } else {
            record.link = std::move(more.link);
            record.start = std::move(more.start);
        }
    }
    record.text = TypedTextFromValue(ReadText(file, section, "Text"));
}

bool WriteKeySetSection(const ProfileFile& file, const char* section, const KeySet& record) {
    char code[16] = {};
    if (record.keycode > 0) ::wsprintfA(code, "%d", record.keycode);
    bool written = WriteText(file, section, "keycode", code);
    written &= WriteText(file, section, "Caption", record.caption);
    written &= WriteText(file, section, "Link", record.link);
    written &= WriteText(file, section, "Activate", record.activate ? "1" : "");
    written &= WriteLink(file, section, 1, {record.link, record.start});
    // Renumbered from 2 without gaps; the numbers no longer used are deleted.
    int number = 2;
    for (const KeyLink& more : record.moreLinks) {
        if (number > KeySet::kMaxLinks) break;
        written &= WriteLink(file, section, number++, more);
    }
    for (; number <= KeySet::kMaxLinks; ++number) written &= WriteLink(file, section, number, KeyLink{});
    written &= WriteText(file, section, "Text", StoredValue(ValueFromTypedText(record.text)));
    return written;
}

bool KeySetIsAscii(const KeySet& record) {
    bool ascii = IsAscii(record.caption) && IsAscii(record.link) && IsAscii(record.text) &&
                 IsAscii(record.start.arguments) && IsAscii(record.start.startIn);
    for (const KeyLink& more : record.moreLinks)
        ascii = ascii && IsAscii(more.link) && IsAscii(more.start.arguments) && IsAscii(more.start.startIn);
    return ascii;
}
