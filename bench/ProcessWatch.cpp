// Watches for a program from inside Wine, for the scripts: Wine's tasklist is a stub that lists
// nothing, so they ask this helper instead.
//
//   ProcessWatch running NAME.exe|PID [timeoutMs]  waits until a process of that name (or that
//                                                  process) runs and has its hidden frame (a
//                                                  top-level window titled "Vorlund" that is
//                                                  not a dialog)
//   ProcessWatch ended NAME.exe|PID [timeoutMs]    waits until no process of that name (or
//                                                  that process no longer) runs
//   ProcessWatch title NAME.exe [timeoutMs]        waits until a process of that name shows a
//                                                  window, and prints its title in UTF-8 (which
//                                                  language a setup speaks)
//   ProcessWatch start PROGRAM.exe [timeoutMs]     starts the program in its own folder and
//                                                  waits as `running` does for it alone; it
//                                                  keeps running when this helper returns
//
// A script that started a program ends exactly that one by the process id `start` printed
// (taskkill /pid): a name would also match another run's copy in the same prefix.
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
// A process name, or a process id alone (name empty).
struct Target {
    std::string name;
    DWORD pid;
};

Target TargetOf(const char* argument) {
    char* end = nullptr;
    const unsigned long pid = std::strtoul(argument, &end, 10);
    if (*argument != '\0' && *end == '\0') return {std::string(), static_cast<DWORD>(pid)};
    return {argument, 0};
}

std::vector<DWORD> ProcessesOf(const Target& target) {
    std::vector<DWORD> found;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        if (target.name.empty() ? entry.th32ProcessID == target.pid
                                : ::lstrcmpiA(entry.szExeFile, target.name.c_str()) == 0)
            found.push_back(entry.th32ProcessID);
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

std::string ImagePath(DWORD pid) {
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return "?";
    if (!::QueryFullProcessImageNameA(process, 0, path, &size)) path[0] = '\0';
    ::CloseHandle(process);
    return path;
}

// Starts PROGRAM with its folder as the working directory; returns its process handle (or
// null) and its id. The handle is kept so that the id cannot pass to another process while
// we wait.
HANDLE StartProgram(const char* program, DWORD& pid) {
    std::string folder(program);
    const std::string::size_type slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    std::string commandLine = std::string("\"") + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        pid = 0;
        return nullptr;
    }
    ::CloseHandle(info.hThread);
    pid = info.dwProcessId;
    return info.hProcess;
}

bool PrintRunning(const char* label, DWORD pid) {
    HWND frame = FrameOf(pid);
    if (!frame) return false;
    std::printf("%s runs: pid %lu, %s, frame 0x%0*llX\n", label, pid, ImagePath(pid).c_str(),
                static_cast<int>(2 * sizeof(HWND)),
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(frame)));
    return true;
}

int Start(const char* program, ULONGLONG deadline) {
    DWORD pid = 0;
    HANDLE process = StartProgram(program, pid);
    if (!process) {
        std::printf("%s could not be started (error %lu)\n", program, ::GetLastError());
        return 1;
    }
    const char* name = std::strrchr(program, '\\');
    name = name ? name + 1 : program;
    int status = 1;
    for (;;) {
        if (PrintRunning(name, pid)) {
            status = 0;
            break;
        }
        DWORD exitCode = 0;
        if (::WaitForSingleObject(process, 0) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process, &exitCode)) {
            std::printf("%s (pid %lu) ended with exit code %lu before it had its frame window\n", name, pid,
                        exitCode);
            break;
        }
        if (::GetTickCount64() >= deadline) {
            std::printf("%s (pid %lu) runs but has no frame window\n", name, pid);
            break;
        }
        ::Sleep(100);
    }
    ::CloseHandle(process);
    return status;
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
}  // namespace

int main(int argc, char** argv) {
    const bool known = argc >= 3 && (std::strcmp(argv[1], "running") == 0 || std::strcmp(argv[1], "ended") == 0 ||
                                     std::strcmp(argv[1], "start") == 0 || std::strcmp(argv[1], "title") == 0);
    if (!known) {
        std::fprintf(stderr, "usage: ProcessWatch running|ended|title NAME.exe|PID [timeoutMs]\n"
                             "       ProcessWatch start PROGRAM.exe [timeoutMs]\n");
        return 2;
    }
    const ULONGLONG deadline = ::GetTickCount64() + (argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 20000);
    if (std::strcmp(argv[1], "start") == 0) return Start(argv[2], deadline);
    const bool wantRunning = std::strcmp(argv[1], "running") == 0;
    const bool wantTitle = std::strcmp(argv[1], "title") == 0;
    const Target target = TargetOf(argv[2]);
    const std::string label = target.name.empty() ? "process " + std::to_string(target.pid) : target.name;
    for (;;) {
        const std::vector<DWORD> pids = ProcessesOf(target);
        if (wantTitle) {
            for (DWORD pid : pids) {
                const std::string title = ShownTitleOf(pid);
                if (title.empty()) continue;
                std::printf("%s\n", title.c_str());
                return 0;
            }
        } else if (wantRunning) {
            for (DWORD pid : pids)
                if (PrintRunning(label.c_str(), pid)) return 0;
        } else if (pids.empty()) {
            std::printf("no %s runs\n", label.c_str());
            return 0;
        }
        if (::GetTickCount64() >= deadline) break;
        ::Sleep(100);
    }
    std::printf(wantTitle     ? "%s shows no window\n"
                : wantRunning ? "%s does not run (or has no frame window)\n"
                              : "%s still runs\n",
                label.c_str());
    return 1;
}
