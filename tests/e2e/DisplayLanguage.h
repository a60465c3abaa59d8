#pragma once
// The language the program speaks on this system when its settings file does not choose one:
// Japanese under a Japanese display language, English under any other (the end-to-end tests
// run under both, see CMakeLists.txt). Tests that read the program's own texts expect these.
#include <windows.h>

#include <string>

inline bool DisplayLanguageIsJapanese() { return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE; }

// The text as the program shows it on this system.
inline std::string ShownText(const char* japanese, const char* english) {
    return DisplayLanguageIsJapanese() ? japanese : english;
}
