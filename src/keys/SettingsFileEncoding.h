#pragma once
// Vorlund.ini as Notepad saves it on request: UTF-8 or UTF-16 ("Unicode"), each with a
// byte-order mark. The private-profile functions would take a UTF-8 file's mark for part of
// the first section's name and its bytes for the program's code page, and read a UTF-16 file as
// wide text that only a lossy conversion would bring back to code page 932; either way the next
// save would write the damage back. Such a file is converted once to code page 932 before it
// is read, the original kept beside it as Vorlund.ini.bak (or Vorlund.ini.<n>.bak, where a .bak
// is there already). A file without a mark is code page 932, as always, and untouched.
#include <string>

struct SettingsFileEncoding {
    enum class Outcome {
        Unchanged,      // no such file, or one without a mark
        Converted,      // now code page 932; the original is Vorlund.ini.bak
        Unconvertible,  // holds characters code page 932 cannot hold (in lost), or is not
                        // what its mark says, too large, or could not be replaced: left
                        // exactly as it is (or, where the swap stopped half-way, set aside
                        // for the next start to take back)
    };
    Outcome outcome = Outcome::Unchanged;
    std::wstring lost;
    const char* encoding = "";  // the name Notepad gives the file's encoding
};

// appDir: the program's directory (code page 932), ending with a backslash.
SettingsFileEncoding ConvertMarkedSettingsFile(const std::string& appDir);
