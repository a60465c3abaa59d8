#pragma once
// Runs a command of the Linux host (xdotool, for real X input) from inside Wine. Wine cannot
// wait on such a process, so the shell writes the exit status into a file that we poll.
#include <optional>
#include <string>

// The command's exit status, or nothing when it did not finish in time. statusDir is a
// Windows directory on the Z: drive where the status file may be written.
std::optional<int> RunLinuxCommand(const std::string& command, const std::string& statusDir,
                                   unsigned timeoutMs = 15000);
