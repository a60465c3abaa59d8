// Watches for a program from inside Wine, for scripts/check-package: Wine's tasklist is a stub
// that lists nothing, so the script asks this helper instead.
//
//   ProcessWatch running NAME.exe [timeoutMs]  waits until a process of that name runs and
//                                              has its hidden frame (a top-level window
//                                              titled "Vorlund" that is not a dialog)
//   ProcessWatch ended NAME.exe [timeoutMs]    waits until no process of that name runs
//   ProcessWatch title NAME.exe [timeoutMs]    waits until a process of that name shows a
//                                              window, and prints its title in UTF-8 (which
//                                              language a setup speaks)
//
// Prints what it saw; exit status 0 when the condition held within the time, 1 when not,
// 2 on a usage error.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::vector<DWORD> ProcessesNamed(const char* name) {
    std::vector<DWORD> found;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        if (::lstrcmpiA(entry.szExeFile, name) == 0) found.push_back(entry.th32ProcessID);
    ::CloseHandle(snapshot);
    return found;
}

struct FrameSearch {
    DWORD pid;
    HWND frame;
};

BOOL CALLBACK CheckWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<FrameSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char title[64] = {}, className[64] = {};
    ::GetWindowTextA(hwnd, title, sizeof title);
    ::GetClassNameA(hwnd, className, sizeof className);
    if (owner == search->pid && std::strcmp(title, "Vorlund") == 0 &&
        std::strcmp(className, "#32770") != 0) {
        search->frame = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FrameOf(DWORD pid) {
    FrameSearch search{pid, nullptr};
    ::EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
    return search.frame;
}

struct TitleSearch {
    DWORD pid;
    std::wstring title;
};

BOOL CALLBACK ReadTitle(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<TitleSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t title[256] = {};
    if (owner != search->pid || !::IsWindowVisible(hwnd) || ::GetWindowTextW(hwnd, title, 256) == 0) return TRUE;
    search->title = title;
    return FALSE;
}

std::string ShownTitleOf(DWORD pid) {
    TitleSearch search{pid, {}};
    ::EnumWindows(ReadTitle, reinterpret_cast<LPARAM>(&search));
    std::string utf8(search.title.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, search.title.c_str(),
                                                          static_cast<int>(search.title.size()), utf8.data(),
                                                          static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::string ImagePath(DWORD pid) {
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return "?";
    if (!::QueryFullProcessImageNameA(process, 0, path, &size)) path[0] = '\0';
    ::CloseHandle(process);
    return path;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || (std::strcmp(argv[1], "running") != 0 && std::strcmp(argv[1], "ended") != 0 &&
                     std::strcmp(argv[1], "title") != 0)) {
        std::fprintf(stderr, "usage: ProcessWatch running|ended|title NAME.exe [timeoutMs]\n");
        return 2;
    }
    const bool wantRunning = std::strcmp(argv[1], "running") == 0;
    const bool wantTitle = std::strcmp(argv[1], "title") == 0;
    const char* name = argv[2];
    const ULONGLONG deadline = ::GetTickCount64() + (argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 20000);
    for (;;) {
        const std::vector<DWORD> pids = ProcessesNamed(name);
        if (wantTitle) {
            for (DWORD pid : pids) {
                const std::string title = ShownTitleOf(pid);
                if (title.empty()) continue;
                std::printf("%s\n", title.c_str());
                return 0;
            }
        } else if (wantRunning) {
            for (DWORD pid : pids)
                if (HWND frame = FrameOf(pid)) {
                    std::printf("%s runs: pid %lu, %s, frame 0x%0*llX\n", name, pid, ImagePath(pid).c_str(),
                                static_cast<int>(2 * sizeof(HWND)),
                                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(frame)));
                    return 0;
                }
        } else if (pids.empty()) {
            std::printf("no %s runs\n", name);
            return 0;
        }
        if (::GetTickCount64() >= deadline) break;
        ::Sleep(100);
    }
    std::printf(wantTitle     ? "%s shows no window\n"
                : wantRunning ? "%s does not run (or has no frame window)\n"
                              : "%s still runs\n",
                name);
    return 1;
}
