#pragma once
// Runs a command of the Linux host (xdotool, for real X input) from inside Wine. Wine cannot
// wait on such a process, so the shell writes the exit status into a file that we poll.
#include <optional>
#include <string>

// The command's exit status, or nothing when it did not finish in time. statusDir is a
// Windows directory on the Z: drive where the status file may be written.
std::optional<int> RunLinuxCommand(const std::string& command, const std::string& statusDir,
                                   unsigned timeoutMs = 15000);

// Gives the X server's keycodes FK13 to FK18 the keys F13 to F18 (Xvfb's own keymap has no
// F13 at all), and has the Wine processes already running read the keymap again. Call it
// while a Wine process is connected: the X server goes back to its own keymap when its last
// client leaves. Programs that are to receive the keys are best started afterwards, so that
// they read the new keymap when they start. True when done.
bool GiveTheXServerF13ToF18(const std::string& statusDir);
