#pragma once
// Vorlund.ini as Notepad saves it on request: UTF-8 with a byte-order mark. The
// private-profile functions would take the mark for part of the first section's name and the
// UTF-8 bytes for the program's code page, and the next save would write that mojibake back.
// Such a file is converted once to code page 932 before it is read, the original kept beside
// it as Vorlund.ini.bak (or Vorlund.ini.<n>.bak, where a .bak is there already). A file without the mark is code page 932, as always, and untouched.
#include <string>

struct SettingsFileEncoding {
    enum class Outcome {
        Unchanged,      // no such file, or one without the mark
        Converted,      // now code page 932; the original is Vorlund.ini.bak
        Unconvertible,  // holds characters code page 932 cannot hold (in lost), or is not
                        // UTF-8 after all, or could not be replaced: left exactly as it is
    };
    Outcome outcome = Outcome::Unchanged;
    std::wstring lost;
};

// appDir: the program's directory (code page 932), ending with a backslash.
SettingsFileEncoding ConvertUtf8SettingsFile(const std::string& appDir);
