#include "common/FileText.h"

#include <windows.h>

std::wstring WidePath(const std::string& path) {
    const int units = ::MultiByteToWideChar(932, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) ::MultiByteToWideChar(932, 0, path.data(), static_cast<int>(path.size()), wide.data(), units);
    return wide;
}

bool FileExists(const FilePath& path) {
    const DWORD attributes = ::GetFileAttributesW(path.wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadFileBytes(const FilePath& path) {
    HANDLE file = ::CreateFileW(path.wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    ::CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const FilePath& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

std::vector<std::string> ReadLines(const FilePath& path) {
    std::vector<std::string> lines;
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return lines;
    std::string line;
    for (char c : *bytes) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

bool PumpRepliesUntil(const std::function<bool()>& condition, unsigned reply,
                      const std::function<void()>& runReplies, unsigned timeoutMs) {
    return WaitUntil([&] {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == reply) runReplies();
        return condition();
    }, timeoutMs);
}

bool WaitUntil(const std::function<bool()>& condition, unsigned timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(20);
    }
}
