// What it costs to have Vorlund resident, each figure beside the same figure for TrayFloor
// (one hidden window, one tray icon, a message loop):
//  1. start-up to ready, median of 20 starts: for Vorlund until the recording hook library
//     logs "Start 0x..." (the hook started toward the frame, the last step of start-up), for
//     the floor until its icon is added;
//  2. private bytes and working set once idle, and the CPU time used while idle for 10 s;
//  3. the size of the files.
// Prints figures only; it never fails on time.
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Artifacts.h"
#include "BenchSupport.h"
#include "Installation.h"
#include "ProgramUnderTest.h"
#include "common/FileText.h"
#include "win/ProcAddress.h"

namespace {
constexpr int kStarts = 20;
constexpr DWORD kSettleMs = 2000;
constexpr DWORD kIdleMs = 10000;

bool HookStarted(const Installation& install) {
    if (!FileExists(install.File("hook-calls.log"))) return false;
    for (const std::string& line : install.HookCalls())
        if (line.rfind("Start 0x", 0) == 0) return true;
    return false;
}

HWND ReadyFloorWindow(DWORD pid) {
    HWND window = ::FindWindowA("TrayFloor", "TrayFloor ready");
    DWORD owner = 0;
    if (window) ::GetWindowThreadProcessId(window, &owner);
    return owner == pid ? window : nullptr;
}

// Milliseconds from CreateProcess to the hook's start; -1 when it never came.
double VorlundStart(const Installation& install) {
    ::DeleteFileA(install.File("hook-calls.log").c_str());
    const double start = NowMs();
    ProgramUnderTest vorlund(install.Program(), install.Dir());
    const bool ready = PollFor([&] { return HookStarted(install) || !vorlund.IsRunning(); }, 15000) &&
                       HookStarted(install);
    const double elapsed = NowMs() - start;
    vorlund.WaitForFrame();
    vorlund.CloseFrame();
    return ready ? elapsed : -1;
}

// Milliseconds from CreateProcess to the floor's icon being added; -1 when it never was.
double FloorStart(const std::string& floorProgram, const std::string& dir) {
    const double start = NowMs();
    ProgramUnderTest floor(floorProgram, dir);
    HWND window = nullptr;
    const bool ready = PollFor([&] { return (window = ReadyFloorWindow(floor.Pid())) != nullptr ||
                                            !floor.IsRunning(); }, 15000) && window;
    const double elapsed = NowMs() - start;
    if (window) ::PostMessageA(window, WM_CLOSE, 0, 0);
    floor.WaitForExit(5000);
    return ready ? elapsed : -1;
}

struct Usage {
    double privateMb = -1;
    double workingSetMb = -1;
    double cpuMs = -1;
};

double Ms(LONGLONG hundredNs) { return static_cast<double>(hundredNs) / 10000.0; }

// The leading fields of SYSTEM_PROCESS_INFORMATION, as far as the times.
struct ProcessListEntry {
    ULONG nextEntryOffset;
    ULONG numberOfThreads;
    LARGE_INTEGER reserved[3];
    LARGE_INTEGER createTime;
    LARGE_INTEGER userTime;
    LARGE_INTEGER kernelTime;
    UNICODE_STRING imageName;
    LONG basePriority;
    HANDLE uniqueProcessId;
};

// User plus kernel time of a process from the system's process list; -1 when not listed.
double ListedCpuMs(DWORD pid) {
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG kSystemProcessInformation = 5;
    static const auto query = GetProcAs<QuerySystemInformation>(::GetModuleHandleA("ntdll.dll"),
                                                                "NtQuerySystemInformation");
    if (!query) return -1;
    std::vector<char> buffer(1 << 20);
    ULONG length = 0;
    if (query(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length) < 0)
        return -1;
    for (std::size_t offset = 0;;) {
        const auto* entry = reinterpret_cast<const ProcessListEntry*>(buffer.data() + offset);
        if (reinterpret_cast<ULONG_PTR>(entry->uniqueProcessId) == pid)
            return Ms(entry->userTime.QuadPart + entry->kernelTime.QuadPart);
        if (entry->nextEntryOffset == 0) return -1;
        offset += entry->nextEntryOffset;
    }
}

double ProcessTimesCpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    auto ticks = [](const FILETIME& time) {
        return static_cast<LONGLONG>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return Ms(ticks(kernel) + ticks(user));
}

// Wine 8 fills in less for another process than Windows does: GetProcessTimes gives the
// caller's own times and PrivateUsage stays zero. There the process list has the real
// times, and PagefileUsage, which Windows defines as the same commit charge as
// PrivateUsage, has the private memory.
Usage UsageOf(HANDLE process, DWORD pid) {
    Usage usage;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory)) {
        const SIZE_T privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
        usage.privateMb = static_cast<double>(privateBytes) / (1024.0 * 1024.0);
        usage.workingSetMb = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
    }
    usage.cpuMs = UnderWine() ? ListedCpuMs(pid) : ProcessTimesCpuMs(process);
    return usage;
}

double SizeKb(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) /
           1024.0;
}

void StartupFigures(const std::string& floorProgram) {
    Installation install("bench-start", HookChoice::Recording);
    std::vector<double> program, floor;
    // Alternating, so that a slow phase of the machine weighs on both alike.
    for (int i = 0; i < kStarts; ++i) {
        const double programMs = VorlundStart(install);
        const double floorMs = FloorStart(floorProgram, install.Dir());
        if (programMs < 0 || floorMs < 0) {
            std::printf("start %d: a program did not get ready; left out\n", i + 1);
            continue;
        }
        program.push_back(programMs);
        floor.push_back(floorMs);
    }
    if (program.empty()) return;
    std::printf("start-up to ready (ms): Vorlund");
    for (double ms : program) std::printf(" %.0f", ms);
    std::printf("\n                        floor  ");
    for (double ms : floor) std::printf(" %.0f", ms);
    std::printf("\n");
    // The fastest start beside the median: other work on the machine only ever adds time.
    const double p = Median(program), f = Median(floor);
    const double pFastest = *std::min_element(program.begin(), program.end());
    const double fFastest = *std::min_element(floor.begin(), floor.end());
    PrintRow(Format("Start-up to ready (median of %u starts)", static_cast<unsigned>(program.size())), Format("%.0f ms", p),
             Format("%.0f ms", f),
             f > 0 ? Format("%.2f x (fastest: %.0f / %.0f ms)", p / f, pFastest, fFastest) : "");
}

void IdleFigures(const std::string& floorProgram) {
    // A full table, as a user has it: every key with a link, and the real hook.
    Installation install("bench-idle", HookChoice::Real);
    std::string ini;
    for (int n = 1; n <= 30; ++n)
        ini += "[KeySet" + std::to_string(n) + "]\r\nCaption=key " + std::to_string(n) +
               "\r\nLink=" + install.Probe() + "\r\n";
    WriteFileBytes(install.Ini(), ini);

    ProgramUnderTest vorlund(install.Program(), install.Dir());
    ProgramUnderTest floor(floorProgram, install.Dir());
    const bool ready = vorlund.WaitForFrame() != nullptr &&
                       PollFor([&] { return ReadyFloorWindow(floor.Pid()) != nullptr; }, 15000);
    if (!ready) {
        std::printf("idle: a program did not get ready\n");
        return;
    }
    const QueryHandle program(vorlund.Pid()), baseline(floor.Pid());
    ::Sleep(kSettleMs);
    const Usage programBefore = UsageOf(program.Get(), vorlund.Pid()), floorBefore = UsageOf(baseline.Get(), floor.Pid());
    ::Sleep(kIdleMs);
    const Usage programAfter = UsageOf(program.Get(), vorlund.Pid()), floorAfter = UsageOf(baseline.Get(), floor.Pid());
    std::printf("idle: CPU times from %s\n", UnderWine() ? "the system process list (Wine)" : "GetProcessTimes");
    std::printf("idle: Vorlund private %.2f MB, working set %.2f MB, CPU %.0f ms then %.0f ms\n"
                "      floor   private %.2f MB, working set %.2f MB, CPU %.0f ms then %.0f ms\n",
                programAfter.privateMb, programAfter.workingSetMb, programBefore.cpuMs,
                programAfter.cpuMs, floorAfter.privateMb, floorAfter.workingSetMb, floorBefore.cpuMs,
                floorAfter.cpuMs);

    PrintRow("Private bytes, idle", Format("%.2f MB", programAfter.privateMb),
             Format("%.2f MB", floorAfter.privateMb),
             Format("%+.2f MB", programAfter.privateMb - floorAfter.privateMb));
    PrintRow("Working set, idle", Format("%.2f MB", programAfter.workingSetMb),
             Format("%.2f MB", floorAfter.workingSetMb),
             Format("%+.2f MB", programAfter.workingSetMb - floorAfter.workingSetMb));
    const double programIdle = programAfter.cpuMs - programBefore.cpuMs;
    const double floorIdle = floorAfter.cpuMs - floorBefore.cpuMs;
    PrintRow(Format("CPU time while idle for %lu s", kIdleMs / 1000), Format("%.0f ms", programIdle),
             Format("%.0f ms", floorIdle), Format("%+.0f ms", programIdle - floorIdle));
    // Shows that the counters count: start-up does use the processor.
    PrintRow(Format("CPU time of start-up and %lu s settling", kSettleMs / 1000),
             Format("%.0f ms", programBefore.cpuMs), Format("%.0f ms", floorBefore.cpuMs),
             Format("%+.0f ms", programBefore.cpuMs - floorBefore.cpuMs));

    if (HWND window = ReadyFloorWindow(floor.Pid())) ::PostMessageA(window, WM_CLOSE, 0, 0);
    floor.WaitForExit(5000);
    vorlund.CloseFrame();
}

void SizeFigures(const std::string& floorProgram) {
    const Artifacts& artifacts = Artifacts::Get();
    const double exe = SizeKb(artifacts.vorlund), dll = SizeKb(artifacts.hookLibrary);
    const double floor = SizeKb(floorProgram);
    PrintRow("Size of Vorlund.exe (as built)", Format("%.1f KB", exe), Format("%.1f KB", floor),
             Format("%+.1f KB", exe - floor));
    PrintRow("Size of VelComn.dll (as built)", Format("%.1f KB", dll), "-", "");
}
}  // namespace

int main(int argc, char** argv) {
    if (!ParseBenchArtifacts(argc, argv, "ResidentBench --tray-floor="))
        return 2;
    const std::string floorProgram = PathArgument(argc, argv, "--tray-floor");
    if (floorProgram.empty()) {
        std::fprintf(stderr, "ResidentBench: --tray-floor= is missing\n");
        return 2;
    }
    try {
        StartupFigures(floorProgram);
        IdleFigures(floorProgram);
        SizeFigures(floorProgram);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ResidentBench: %s\n", error.what());
        return 1;
    }
    return 0;
}
