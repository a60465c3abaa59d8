// The launch probe: appends one line
// "<command line>|<working directory>|parent=<program>|created=<time>|show=<n>" to probe-launches.log
// beside itself and ends (the paths in code page 932, read wide, so that a probe in a folder
// with a Japanese name reports it on any system), where <program> is the file name of the process that started it and
// <time> its own creation time (the order of starts; two probes may write in either order),
// <n> the window state it was started with (STARTUPINFO's wShowWindow, -1 when none was given).
// With probe-window.txt beside it, it shows a window titled "LaunchProbe" as a started
// program does, adds "|foreground=1" (or 0) to its line once the window is up, and stays until
// the window is closed (30 s at most): a program to switch back to. Links point at it so that a test sees a launch, and who made it,
// without anything real being opened. In window mode it also stands for the program the user
// types into: each key-down its window receives is appended to probe-keys.log as "0x<key>",
// each character to probe-chars.log as "U+<UTF-16 unit>".
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/BesideModule.h"

namespace {
std::string Cp932Of(const wchar_t* wide) {
    const int size = ::WideCharToMultiByte(932, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    if (size > 0) ::WideCharToMultiByte(932, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}

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

namespace {
// Appends the line with one write, retrying while another probe holds the file.
bool AppendToLog(const wchar_t* name, const std::string& line) {
    const std::wstring log = WideFileBesideModule(nullptr, name);
    for (int attempt = 0; !log.empty() && attempt < 50; ++attempt) {
        HANDLE file = ::CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(file);
            return true;
        }
        ::Sleep(20);
    }
    return false;
}

// Named stdcall functions: the 32-bit build takes no lambda for these.
LRESULT CALLBACK ProbeWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
        char line[16];
        std::snprintf(line, sizeof line, "0x%02X\r\n", static_cast<unsigned>(wParam & 0xFFFF));
        AppendToLog(L"probe-keys.log", line);
    }
    if (msg == WM_CHAR) {
        char line[16];
        std::snprintf(line, sizeof line, "U+%04X\r\n", static_cast<unsigned>(wParam & 0xFFFF));
        AppendToLog(L"probe-chars.log", line);
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void CALLBACK EndOfLife(HWND hwnd, UINT, UINT_PTR, DWORD) { ::DestroyWindow(hwnd); }

// The window of the window mode; shown as the program was asked to show itself. Whether it
// came to the front.
HWND ShowProbeWindow(HINSTANCE instance, int show, bool& inFront) {
    // Unicode, so that a typed character arrives as itself.
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ProbeWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"LaunchProbeWindow";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"LaunchProbe", WS_OVERLAPPEDWINDOW, 60, 60, 200, 100,
                                    nullptr, nullptr, instance, nullptr);
    ::ShowWindow(window, show);
    for (int i = 0; i < 30; ++i) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
    inFront = window && ::GetForegroundWindow() == window;
    return window;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const bool windowMode = ::GetFileAttributesW(WideFileBesideModule(nullptr, L"probe-window.txt").c_str()) !=
                            INVALID_FILE_ATTRIBUTES;
    bool inFront = false;
    HWND window = windowMode ? ShowProbeWindow(instance, show, inFront) : nullptr;

    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    FILETIME created{}, unused{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &unused, &unused, &unused);
    const unsigned long long createdAt =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const int shownAs = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::string line = Cp932Of(::GetCommandLineW()) + "|" + Cp932Of(cwd) + "|parent=" + ParentProgram() +
                             "|created=" + std::to_string(createdAt) + "|show=" + std::to_string(shownAs) +
                             (windowMode ? std::string("|foreground=") + (inFront ? "1" : "0") : "") + "\r\n";

    // Several launches may race: one write each.
    if (!AppendToLog(L"probe-launches.log", line)) return 2;
    if (window) {
        ::SetTimer(window, 1, 30000, &EndOfLife);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return 0;
}
