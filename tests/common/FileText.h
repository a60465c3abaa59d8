#pragma once
// Whole-file reads and writes, byte for byte, and waiting for a condition. Paths are in code
// page 932, as the program keeps them, and reach the system wide: a Japanese folder is found
// whatever the system's code page.
#include <functional>
#include <optional>
#include <string>
#include <vector>

std::wstring WidePath(const std::string& path);

// The file's bytes, or nothing when it does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

// The lines of a text file (CR LF or LF), without their ends; empty when there is no file.
std::vector<std::string> ReadLines(const std::string& path);

// Polls the condition every few milliseconds until it holds or the time is up; returns
// whether it held.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs);
// The same, running this thread's messages meanwhile: each message `reply` (a worker's
// answer) calls runReplies.
bool PumpRepliesUntil(const std::function<bool()>& condition, unsigned reply,
                      const std::function<void()>& runReplies, unsigned timeoutMs);

// A path of any name as this program's narrow helpers take it: its short form, in code page
// 932 (a file that does not exist yet keeps its own last name).
std::string AnsiPath(const std::wstring& path);
