// The launch probe: appends one line
// "<command line>|<working directory>|parent=<program>|created=<time>" to probe-launches.log
// beside itself and ends, where <program> is the file name of the process that started it and
// <time> its own creation time (the order of starts; two probes may write in either order). Links point at it so that a test sees a launch, and who made it,
// without anything real being opened.
#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>

#include "common/BesideModule.h"

namespace {
std::string ParentProgram() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return "?";
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == ::GetCurrentProcessId()) parent = entry.th32ParentProcessID;
    std::string name = "?";
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == parent) name = entry.szExeFile;
    ::CloseHandle(snapshot);
    return name;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string log = FileBesideModule(nullptr, "probe-launches.log");
    if (log.empty()) return 1;

    char cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    FILETIME created{}, unused{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &unused, &unused, &unused);
    const unsigned long long createdAt =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    const std::string line = std::string(::GetCommandLineA()) + "|" + cwd + "|parent=" + ParentProgram() +
                             "|created=" + std::to_string(createdAt) + "\r\n";

    // Several launches may race: append with one write each, retrying while another holds it.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = ::CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(file);
            return 0;
        }
        ::Sleep(20);
    }
    return 2;
}
