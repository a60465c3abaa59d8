#include "LinuxCommand.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "Artifacts.h"
#include "common/FileText.h"

std::optional<int> RunLinuxCommand(const std::string& command, const std::string& statusDir,
                                   unsigned timeoutMs) {
    static std::atomic<unsigned> counter{0};
    const std::string statusFile =
        statusDir + "\\linux-status-" + std::to_string(counter++) + ".txt";
    ::DeleteFileA(statusFile.c_str());
    const std::string script = command + "; echo $? > '" + ToUnixPath(statusFile) + "'";
    std::string commandLine = "/bin/sh -c \"" + script + "\"";
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA("Z:\\bin\\sh", writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info))
        return std::nullopt;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    std::optional<int> status;
    WaitUntil(
        [&] {
            const auto text = ReadFileBytes(statusFile);
            if (!text || text->empty() || text->back() != '\n') return false;
            status = std::atoi(text->c_str());
            return true;
        },
        timeoutMs);
    ::DeleteFileA(statusFile.c_str());
    return status;
}

bool GiveTheXServerF13ToF18(const std::string& statusDir) {
    const std::string keymap = ToUnixPath(statusDir) + "/keymap.xkb";
    std::string edits;
    for (const std::string n : {"13", "14", "15", "16", "17", "18"})
        edits += " -e 's/key <FK" + n + "> *{[^}]*}/key <FK" + n + "> { [ F" + n + " ] }/'";
    // Wine processes already running take the new keymap only with a core MappingNotify:
    // xdotool makes one when it lends a spare keycode to F24, which no keycode carries.
    const std::optional<int> status =
        RunLinuxCommand("xkbcomp -w0 -xkb $DISPLAY " + keymap + " && sed -i" + edits + " " + keymap +
                            " && xkbcomp -w0 " + keymap + " $DISPLAY && xdotool key F24",
                        statusDir);
    return status && *status == 0;
}
