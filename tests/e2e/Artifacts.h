#pragma once
// Where the built program, its hook libraries and the test doubles are, as given on the
// test program's command line (Unix paths under Wine become Z: paths).
#include <string>

struct Artifacts {
    std::string vorlund;           // Vorlund.exe
    std::string hookLibrary;       // our VelComn.dll
    std::string recordingHook;     // the recording VelComn.dll
    std::string noExportsHook;     // a VelComn.dll without entries
    std::string plantedLibrary;  // PlantedLibrary.dll, planted under system names
    std::string probe;             // LaunchProbe.exe
    std::string fakeBrowser;       // FakeBrowser.exe
    std::string workRoot;          // where the tests make their directories

    // Takes the --name=value arguments it knows; returns false when one is missing.
    bool Parse(int argc, char** argv);
    static const Artifacts& Get();
    static Artifacts& Mutable();
};

// "/a/b" → "Z:\a\b", "C:/a/b" → "C:\a\b".
std::string ToWindowsPath(const std::string& path);
// "Z:\a\b" → "/a/b"; other drives are left as they are.
std::string ToUnixPath(const std::string& path);
