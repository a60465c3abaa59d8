// Key-press figures, each beside the same figure for the hot-key floor program:
//  1. the cost of handling one press in the program: matching over a loaded table and the
//     decision to launch, without the launch (median over many rounds of many presses);
//  2. the time from a real keystroke (xdotool) to the probe's start, median of repeats;
//  3. the time from the keys-at-a-glance combination to the overlay shown (no floor);
//  4. the time a typing key takes to type 1,000 characters into a window in front.
// Prints figures only; it never fails on time.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Artifacts.h"
#include "BenchSupport.h"
#include "Installation.h"
#include "LinuxCommand.h"
#include "ProgramUnderTest.h"
#include "WindowQuery.h"
#include "common/FileText.h"
#include "keys/KeyMatching.h"
#include "keys/SettingsFile.h"
#include "shell/LinkLauncher.h"
#include "shell/TextTyper.h"
#include "win/CodePage932.h"
#include "win/ComApartment.h"

namespace {
constexpr int kGlanceKeyCode = (7 << 16) | 'K';

// Nanoseconds per press, median over rounds.
double PerPressNs(const std::function<bool(int)>& press) {
    constexpr int kRounds = 51;
    constexpr int kPresses = 20000;
    std::vector<double> rounds;
    volatile int launches = 0;
    for (int round = 0; round < kRounds; ++round) {
        const double start = NowMs();
        for (int i = 0; i < kPresses; ++i) launches = launches + press(i);
        rounds.push_back((NowMs() - start) * 1e6 / kPresses);
    }
    return Median(rounds);
}

void MatchingFigures(const Installation& install) {
    // A full settings file: every key with a stored code and a link.
    std::string ini;
    for (int n = 1; n <= 30; ++n)
        ini += "[KeySet" + std::to_string(n) + "]\r\nkeycode=" +
               std::to_string((3 << 16) | (0x40 + n)) + "\r\nCaption=key\r\nLink=" +
               install.Probe() + "\r\n";
    // The keys at a glance on a combination of their own: Ctrl+Alt+Shift+K.
    ini += "[Vorlund]\r\nGlanceKey=" + std::to_string(kGlanceKeyCode) + "\r\n";
    WriteFileBytes(install.Ini(), ini);
    const std::string dir = install.Dir() + "\\";
    KeySetTable table;
    SettingsFile(dir.c_str()).Load(table);

    // Presses spread over all keys, a third of them matching nothing.
    const WPARAM keys[] = {'A', 'M', '^', 'Z', 'Q', 0x70};
    const double program = PerPressNs([&](int i) {
        const KeySet* record = FindKeySetForKey(table, keys[i % 6], 3);
        return record && record->HasLink();
    });
    const double floor = PerPressNs([&](int i) {
        volatile WPARAM id = static_cast<WPARAM>(i % 2);  // WM_HOTKEY's id test
        return id == 1;
    });
    std::printf("handling one key press (median ns/press): Vorlund %.1f   floor %.1f\n", program,
                floor);
    PrintRow("One key press handled (matching and the launch decision)",
             Format("%.1f ns", program), Format("%.1f ns", floor),
             Format("%+.1f ns", program - floor));
}

// Milliseconds from starting xdotool to the probe's start, median of repeats; negative when
// the probe never started.
double KeystrokeToLaunchMs(const Installation& install, int repeats) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const std::size_t before = install.ProbeLaunches().size();
        const double start = NowMs();
        RunLinuxCommand("xdotool key ctrl+alt+a", install.Dir());
        if (!PollFor([&] { return install.ProbeLaunches().size() > before; }, 10000)) return -1;
        times.push_back(NowMs() - start);
        ::Sleep(100);
    }
    return Median(times);
}

// Milliseconds from asking the launcher to the probe's start, median of repeats: the launch
// alone, without the key's way to the program. Negative when the probe never started.
double LaunchMs(const Installation& install, bool elevated, int repeats) {
    ComApartment com;
    LinkLauncher launcher(elevated);
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const std::size_t before = install.ProbeLaunches().size();
        const double start = NowMs();
        if (launcher.Open(install.Probe().c_str()) != LaunchResult::Opened ||
            !PollFor([&] { return install.ProbeLaunches().size() > before; }, 10000))
            return -1;
        times.push_back(NowMs() - start);
        ::Sleep(100);
    }
    return Median(times);
}

// The program's visible window that is above every other and never active: the keys at a
// glance, in whichever language the program speaks.
bool GlanceShown(DWORD pid) {
    for (HWND window : TopLevelWindowsOf(pid)) {
        const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
        if (::IsWindowVisible(window) && (style & WS_EX_TOPMOST) && (style & WS_EX_NOACTIVATE)) return true;
    }
    return false;
}

// Milliseconds from starting xdotool with the combination to the overlay shown, median of
// repeats; negative when it never showed. Esc closes it between the rounds.
double CombinationToGlanceMs(const Installation& install, DWORD pid, int repeats) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const double start = NowMs();
        RunLinuxCommand("xdotool key ctrl+alt+shift+k", install.Dir());
        if (!PollFor([&] { return GlanceShown(pid); }, 10000)) return -1;
        times.push_back(NowMs() - start);
        RunLinuxCommand("xdotool key Escape", install.Dir());
        if (!PollFor([&] { return !GlanceShown(pid); }, 10000)) return -1;
        ::Sleep(100);
    }
    return Median(times);
}

// Milliseconds from handing 1,000 characters (Japanese and ASCII, a line break every 100) to
// the typer until a window of the bench's own has received every one of them, median of
// repeats; negative when they never all arrived.
double TypingThousandMs(int repeats) {
    // Ten lines of "日本語のテキストabc" (11 characters) nine times and a line break.
    std::string text;
    for (int line = 0; line < 10; ++line) {
        for (int i = 0; i < 9; ++i) text += "日本語のテキストabc";
        text += "\n";
    }
    const std::wstring sample = WideFromCp932(text);
    HWND window = ::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                                    40, 40, 400, 300, nullptr, nullptr, nullptr, nullptr);
    if (!window) return -1;
    ::SendMessageW(window, EM_LIMITTEXT, 0, 0);
    std::vector<double> times;
    std::vector<double> sends;
    for (int i = 0; i < repeats; ++i) {
        ::SetWindowTextW(window, L"");
        ::SetForegroundWindow(window);
        ::SetFocus(window);
        TextTyper typer({[](int) { return false; }, TextTyper::System::Live().send});
        const double start = NowMs();
        double nextPoll = start;
        bool sending = true;
        typer.Queue(text, 0);
        // The edit counts a line break as two characters.
        const int expected = static_cast<int>(sample.size()) + 10;
        const bool all = PollFor([&] {
            // The frame's timer, at its pace.
            if (NowMs() >= nextPoll && sending) {
                sending = typer.Poll();
                nextPoll += TextTyper::kPollMilliseconds;
                if (!sending) sends.push_back(NowMs() - start);
            }
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            return ::GetWindowTextLengthW(window) >= expected;
        }, 10000);
        if (!all) {
            std::fprintf(stderr, "typing: %d of %d characters arrived (in front: %d)\n", ::GetWindowTextLengthW(window),
                         expected, ::GetForegroundWindow() == window);
            ::DestroyWindow(window);
            return -1;
        }
        times.push_back(NowMs() - start);
    }
    ::DestroyWindow(window);
    std::printf("typing 1,000 characters: sent within %.1f ms (median)\n", Median(sends));
    return Median(times);
}

// The cost of the measuring itself: starting xdotool through the shell with no key.
double CommandOverheadMs(const Installation& install, int repeats) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const double start = NowMs();
        RunLinuxCommand("true", install.Dir());
        times.push_back(NowMs() - start);
    }
    return Median(times);
}
}  // namespace

int main(int argc, char** argv) {
    if (!ParseBenchArtifacts(argc, argv, "KeyHitBench --floor=")) return 2;
    const std::string floorProgram = PathArgument(argc, argv, "--floor");
    if (floorProgram.empty()) {
        std::fprintf(stderr, "KeyHitBench: --floor= is missing\n");
        return 2;
    }
    constexpr int kRepeats = 11;
    try {
        Installation install("bench", HookChoice::Real);
        MatchingFigures(install);
        const double typing = TypingThousandMs(kRepeats);
        std::printf("typing 1,000 characters (median ms of %d): %.1f\n", kRepeats, typing);
        PrintRow(Format("A key's text of 1,000 characters typed into the window in front (median of %d)", kRepeats),
                 Format("%.1f ms", typing), "-", "");

        double program = -1;
        double glance = -1;
        {
            ProgramUnderTest vorlund(install.Program(), install.Dir());
            if (vorlund.WaitForFrame()) {
                ::Sleep(300);
                program = KeystrokeToLaunchMs(install, kRepeats);
                glance = CombinationToGlanceMs(install, vorlund.Pid(), kRepeats);
            }
            vorlund.CloseFrame();
        }
        double floor = -1;
        {
            ProgramUnderTest hotkey(floorProgram, install.Dir(), install.Probe());
            ::Sleep(1000);
            floor = KeystrokeToLaunchMs(install, kRepeats);
            if (HWND window = ::FindWindowA("HotkeyFloor", nullptr)) ::PostMessageA(window, WM_CLOSE, 0, 0);
            hotkey.WaitForExit(5000);
        }
        const double overhead = CommandOverheadMs(install, kRepeats);
        std::printf("real keystroke to probe start (median ms of %d): Vorlund %.1f   floor %.1f"
                    "   (of which starting xdotool: %.1f)\n",
                    kRepeats, program, floor, overhead);
        PrintRow(Format("Real keystroke to the link's start (median of %d)", kRepeats),
                 Format("%.1f ms", program), Format("%.1f ms", floor),
                 Format("%+.1f ms (xdotool's own start: %.1f ms)", program - floor, overhead));
        std::printf("keys-at-a-glance combination to the overlay shown (median ms of %d): %.1f\n", kRepeats, glance);
        PrintRow(Format("Keys-at-a-glance combination to the overlay shown (median of %d)", kRepeats),
                 Format("%.1f ms", glance), "-", Format("(xdotool's own start: %.1f ms)", overhead));
        // Where the difference lies: the elevated program's way through the desktop shell's
        // process (so that links start unelevated) beside starting the link itself.
        const double throughShell = LaunchMs(install, true, kRepeats);
        const double itself = LaunchMs(install, false, kRepeats);
        PrintRow(Format("Launch alone: through the desktop shell / by the program (median of %d)", kRepeats),
                 Format("%.1f ms", throughShell), Format("%.1f ms", itself),
                 Format("%+.1f ms", throughShell - itself));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "KeyHitBench: %s\n", error.what());
        return 1;
    }
    return 0;
}
