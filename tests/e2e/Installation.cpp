#include "Installation.h"

#include <stdexcept>

#include "Artifacts.h"
#include "common/FileText.h"
#include "common/HookLogLine.h"

Installation::Installation(const std::string& name, HookChoice hook)
    : m_dir(name, Artifacts::Get().workRoot) {
    const Artifacts& artifacts = Artifacts::Get();
    bool copied = m_dir.CopyIn(artifacts.vorlund, "Vorlund.exe") &&
                  m_dir.CopyIn(artifacts.probe, "LaunchProbe.exe") &&
                  m_dir.CopyIn(artifacts.fakeBrowser, "FakeBrowser.exe");
    if (hook == HookChoice::Real) copied = copied && m_dir.CopyIn(artifacts.hookLibrary, "VelComn.dll");
    if (hook == HookChoice::Recording)
        copied = copied && m_dir.CopyIn(artifacts.recordingHook, "VelComn.dll");
    if (hook == HookChoice::NoExports)
        copied = copied && m_dir.CopyIn(artifacts.noExportsHook, "VelComn.dll");
    if (!copied) throw std::runtime_error("cannot set up the installation in " + m_dir.Path());
}

std::vector<std::string> Installation::HookCalls() const { return ReadLines(File("hook-calls.log")); }

std::string Installation::HookStartLine(HWND target) { return ::HookStartLine(target); }

std::vector<std::string> Installation::ProbeLaunches() const {
    return ReadLines(File("probe-launches.log"));
}
