#pragma once
// Whole-file reads and writes, byte for byte, and waiting for a condition. Paths are in code
// page 932, as the program keeps them, and reach the system wide: a Japanese folder is found
// whatever the system's code page.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

std::wstring WidePath(const std::string& path);

// A path as the helpers take it: in code page 932, or wide for a name 932 cannot hold.
struct FilePath {
    FilePath(const std::string& path) : wide(WidePath(path)) {}     // NOLINT: implicit by design
    FilePath(const char* path) : wide(WidePath(path)) {}            // NOLINT
    FilePath(std::wstring path) : wide(std::move(path)) {}          // NOLINT
    FilePath(const wchar_t* path) : wide(path) {}                   // NOLINT
    std::wstring wide;
};

// The file's bytes, or nothing when it does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const FilePath& path);
bool WriteFileBytes(const FilePath& path, const std::string& bytes);
bool FileExists(const FilePath& path);

// The lines of a text file (CR LF or LF), without their ends; empty when there is no file.
std::vector<std::string> ReadLines(const FilePath& path);

// Polls the condition every few milliseconds until it holds or the time is up; returns
// whether it held.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs);
// The same, running this thread's messages meanwhile: each message `reply` (a worker's
// answer) calls runReplies.
bool PumpRepliesUntil(const std::function<bool()>& condition, unsigned reply,
                      const std::function<void()>& runReplies, unsigned timeoutMs);
