// Load and leaks: a burst of key presses, and the settings dialog opened and closed many
// times with thirty links. The process's handle counts and private bytes must come back to
// where they started; the figures are printed.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "Installation.h"
#include "ProgramUnderTest.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "res/resource.h"
#include "HookMessage.h"

namespace {
struct Usage {
    DWORD gdi = 0;
    DWORD user = 0;
    DWORD kernel = 0;
    SIZE_T privateBytes = 0;
};

Usage UsageOf(DWORD pid) {
    Usage usage;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return usage;
    usage.gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
    usage.user = ::GetGuiResources(process, GR_USEROBJECTS);
    ::GetProcessHandleCount(process, &usage.kernel);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        // Wine leaves PrivateUsage at zero; the commit charge is the same figure there.
        usage.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    ::CloseHandle(process);
    return usage;
}

void Print(const char* label, const Usage& before, const Usage& after) {
    std::printf("%s: GDI %lu -> %lu, USER %lu -> %lu, handles %lu -> %lu, private KB %lu -> %lu\n",
                label, before.gdi, after.gdi, before.user, after.user, before.kernel, after.kernel,
                static_cast<unsigned long>(before.privateBytes / 1024),
                static_cast<unsigned long>(after.privateBytes / 1024));
}

// Handles may wobble by a few (the system's own caches); memory by a little heap growth.
// Wine reports no handle counts (zero); there the private bytes carry the check: thirty
// icons leaked per dialog would add megabytes over a hundred dialogs.
void ExpectReturned(const Usage& before, const Usage& after) {
    EXPECT_GT(before.privateBytes, 0u) << "no memory figures";
    EXPECT_LE(after.gdi, before.gdi + 8);
    EXPECT_LE(after.user, before.user + 8);
    EXPECT_LE(after.kernel, before.kernel + 8);
    EXPECT_LE(after.privateBytes, before.privateBytes + 2 * 1024 * 1024);
}

HWND FindSettings(DWORD pid) { return FindDialogTitled(pid, "お気に入り設定"); }

bool OpenAndCancelSettings(HWND frame, DWORD pid) {
    ::PostMessageA(frame, WM_COMMAND, IDM_SETTINGS, 0);
    HWND settings = nullptr;
    if (!WaitUntil([&] { return (settings = FindSettings(pid)) != nullptr; }, 10000)) return false;
    ::PostMessageA(::GetDlgItem(settings, IDCANCEL), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !::IsWindow(settings); }, 5000);
}

TEST(Load, BurstOfKeyPressesAndHundredSettingsCyclesLeakNothing) {
    Installation install("load", HookChoice::None);
    std::string ini;
    for (int n = 1; n <= 30; ++n) {
        // Links to a program (with an icon), to web pages and to documents.
        const std::string link = n % 3 == 0   ? install.Probe()
                                 : n % 3 == 1 ? "http://example.com/" + std::to_string(n)
                                              : install.File("doc" + std::to_string(n) + ".txt");
        // Key 1 keeps no link, so that the burst below (Ctrl+Alt+A) launches nothing.
        if (n != 1) ini += "[KeySet" + std::to_string(n) + "]\r\nLink=" + link + "\r\n";
    }
    ASSERT_TRUE(WriteFileBytes(install.Ini(), ini));
    ProgramUnderTest program(install.Program(), install.Dir());
    HWND frame = program.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    // One cycle first, so that one-time allocations (classes, fonts, icons) are not counted.
    ASSERT_TRUE(OpenAndCancelSettings(frame, program.Pid()));
    ::Sleep(300);

    const Usage start = UsageOf(program.Pid());
    for (int i = 0; i < 10000; ++i) {
        // Matched key without a link, unmatched keys: the program decides but opens nothing.
        ::PostMessageA(frame, WM_APP_KEY_HIT, i % 2 ? 'A' : 'A' + (i % 7), i % 2 ? 3 : 6);
    }
    // A message sent after the burst returns once the burst is handled.
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored));
    EXPECT_TRUE(install.ProbeLaunches().empty());
    const Usage afterBurst = UsageOf(program.Pid());
    Print("10000 key presses", start, afterBurst);
    ExpectReturned(start, afterBurst);

    for (int cycle = 0; cycle < 100; ++cycle)
        ASSERT_TRUE(OpenAndCancelSettings(frame, program.Pid())) << "cycle " << cycle;
    ::Sleep(300);
    const Usage afterCycles = UsageOf(program.Pid());
    Print("100 settings dialogs", start, afterCycles);
    ExpectReturned(start, afterCycles);
    EXPECT_TRUE(program.CloseFrame());
}
}  // namespace
