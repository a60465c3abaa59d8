#pragma once
// The program in front that the user types into, for the end-to-end tests.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "Artifacts.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "common/FileText.h"
#include "common/ScratchDirectory.h"

// A copy of the launch probe in a folder of its own, in window mode: the program in front
// that the user types into, which logs the keys that reach it. Started after the X server
// has its F13 (where a test gives it one), so that its keyboard tables have it too.
class TypingTarget {
public:
    TypingTarget() {
        const bool ready = m_dir.CopyIn(Artifacts::Get().probe, "LaunchProbe.exe") &&
                           WriteFileBytes(m_dir.File("probe-window.txt"), "window");
        if (ready) m_program.emplace(m_dir.File("LaunchProbe.exe"), m_dir.Path());
    }
    // Whether its window is up, in front and taking keys. Under Wine a window that has just
    // come to the front may lose its first key-down: a Shift press goes first.
    bool InFront() const {
        const bool up = WaitUntil([&] {
            const auto lines = ReadLines(m_dir.File("probe-launches.log"));
            return !lines.empty() && lines[0].find("|foreground=1") != std::string::npos;
        }, 10000);
        if (!up) return false;
        RunLinuxCommand("xdotool key shift", m_dir.Path());
        return WaitUntil([&] { return Saw("0x10"); }, 5000);
    }
    bool Saw(const char* key) const {
        const auto keys = ReadLines(m_dir.File("probe-keys.log"));
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    }
    // The characters its window received, "U+<UTF-16 unit>" each.
    std::vector<std::string> Chars() const { return ReadLines(m_dir.File("probe-chars.log")); }

private:
    ScratchDirectory m_dir{"front", Artifacts::Get().workRoot};
    std::optional<ProgramUnderTest> m_program;
};

