// The launch probe: appends one line "<command line>|<working directory>" to
// probe-launches.log beside itself and ends. Links point at it so that a test sees a launch
// without anything real being opened.
#include <windows.h>

#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* slash = std::strrchr(path, '\\');
    if (!slash) return 1;
    const std::string log = std::string(path, slash + 1) + "probe-launches.log";

    char cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    const std::string line = std::string(::GetCommandLineA()) + "|" + cwd + "\r\n";

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
