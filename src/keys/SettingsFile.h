#pragma once
// The settings file Vorlund.ini beside the program: sections KeySet1 to KeySet30 with the
// keys "keycode", "Caption" and "Link", read and written only through the private-profile
// functions so that everything else in the file stays as it is.
#include "keys/KeySetTable.h"

class SettingsFile {
public:
    static constexpr int kPathSize = 256;   // the path buffer, terminator included
    static constexpr int kTextSize = 1025;  // at most 1024 bytes of caption or link are read
    // A larger file is neither converted from another encoding nor saved over.
    static constexpr unsigned long kMaxFileBytes = 16UL * 1024 * 1024;

    // appDir ends with a backslash. A directory whose settings path would not fit the path
    // buffer (or an empty one) leaves the file unusable: nothing is read or written.
    explicit SettingsFile(const char* appDir) noexcept;

    bool IsUsable() const noexcept { return m_szPath[0] != '\0'; }
    const char* Path() const noexcept { return m_szPath; }

    // Rebuilds the table: thirty records numbered 1 to 30, whatever the file holds (or
    // when it cannot be read).
    void Load(KeySetTable& table) const;
    // Writes the thirty sections the table owns: into Vorlund.ini.<process id>.new, a copy of
    // the file, which then replaces the file in one step (the old one passing through
    // Vorlund.ini.<process id>.old), so that a save cut off at any moment leaves the old file
    // or the new one whole. Returns false when any write failed or the file is unusable, so
    // that a caller can tell the user the settings were not kept: the old file is then
    // unchanged, or set aside (IsSetAside). A table that does not hold all thirty records is
    // refused and nothing is written; so is any save while the file is set aside.
    bool Save(const KeySetTable& table) const;

    // At start-up, before anything reads the file: where Vorlund.ini is missing, puts back
    // what a save stopped half-way left beside it.
    void RecoverHalfDoneSave() const;
    // Vorlund.ini is missing, its keys kept under another name until the next start.
    bool IsSetAside() const;

private:
    char m_szPath[kPathSize] = {};
};
