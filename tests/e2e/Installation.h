#pragma once
// A fresh directory holding a copy of the program, optionally a hook library, the launch
// probe and the fake browser: what a user's installation looks like, one per test.
#include <windows.h>

#include <string>
#include <vector>

#include "common/ScratchDirectory.h"

enum class HookChoice { None, Real, Recording, NoExports };

class Installation {
public:
    Installation(const std::string& name, HookChoice hook);

    const std::string& Dir() const noexcept { return m_dir.Path(); }
    std::string File(const std::string& name) const { return m_dir.File(name); }
    std::string Program() const { return File("Vorlund.exe"); }
    std::string Ini() const { return File("Vorlund.ini"); }
    std::string Probe() const { return File("LaunchProbe.exe"); }
    std::string FakeBrowser() const { return File("FakeBrowser.exe"); }

    // The recording hook library's calls, one line each ("Start 0x...", "Stop").
    std::vector<std::string> HookCalls() const;
    // The line the recording library writes for a Start toward the window.
    static std::string HookStartLine(HWND target);
    // The launch probe's starts, one line each ("<command line>|<working directory>").
    std::vector<std::string> ProbeLaunches() const;

private:
    ScratchDirectory m_dir;
};
