// Calls into other processes leave the thread of the keyboard hook: the worker that takes
// them, and the launcher that never starts a link itself when the shell is not there.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/FileText.h"
#include "common/ScratchDirectory.h"
#include "common/SupportProgram.h"
#include "shell/LinkLauncher.h"
#include "shell/ProgramWindows.h"
#include "win/BackgroundWorker.h"
#include "win/ComApartment.h"
#include "win/UniqueHandle.h"

namespace {
constexpr UINT kReply = WM_APP + 7;

// A message-only window whose replies run from the test's own message loop.
UniqueWindow ReplyWindow() {
    return UniqueWindow(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
}

void PumpUntil(const std::function<bool()>& done, BackgroundWorker& worker, unsigned ms) {
    PumpRepliesUntil(done, kReply, [&] { worker.RunReplies(); }, ms);
}

TEST(BackgroundWorker, JobsRunInOrderOnceEachWithoutHoldingThePoster) {
    UniqueWindow window = ReplyWindow();
    std::vector<int> replies;
    auto started = std::make_shared<std::atomic<int>>(0);
    // The first job is a call into another process that has not answered yet.
    auto answer = std::shared_ptr<void>(::CreateEventA(nullptr, TRUE, FALSE, nullptr), ::CloseHandle);
    {
        BackgroundWorker worker(window.Get(), kReply);
        for (int i = 0; i < 5; ++i)
            worker.Post([i, started, answer, &replies]() -> BackgroundWorker::Reply {
                started->fetch_add(1);
                if (i == 0) ::WaitForSingleObject(answer.get(), 5000);
                if (i == 3) throw std::runtime_error("a failing job");
                return [i, &replies] { replies.push_back(i); };
            });
        EXPECT_LE(started->load(), 1) << "posting waits for no job";
        ::SetEvent(answer.get());
        PumpUntil([&] { return replies.size() == 4; }, worker, 5000);
        EXPECT_EQ(replies, (std::vector<int>{0, 1, 2, 4})) << "in order, the failing one without a reply";
        EXPECT_EQ(started->load(), 5);
        // A spoofed reply message finds nothing to run.
        ::PostMessageA(window.Get(), kReply, 0, 0);
        PumpUntil([] { return false; }, worker, 100);
        EXPECT_EQ(replies.size(), 4u);

        // A job still held by another process when the owner goes: the owner does not wait for it.
        worker.Post([started]() -> BackgroundWorker::Reply {
            ::Sleep(5000);
            started->fetch_add(1);
            return nullptr;
        });
        ::Sleep(50);
    }
    EXPECT_EQ(started->load(), 5) << "left running, it ends with the process";
}

// The elevated route: only the desktop shell starts links. Without it (here: a thread that
// has no COM apartment cannot reach it) nothing is started by this process; with it, a link
// the shell cannot open is told apart from one it opened.
TEST(LinkLauncher, TheElevatedProgramStartsNothingItselfAndHearsWhatTheShellCouldNotOpen) {
    ScratchDirectory dir("launch");
    ASSERT_TRUE(dir.CopyIn(SupportProgramPath("LaunchProbe.exe"), "LaunchProbe.exe"));
    const std::string probe = dir.File("LaunchProbe.exe");
    LaunchResult withoutShell = LaunchResult::Opened;
    std::thread([&] { withoutShell = LinkLauncher(true).Open(probe.c_str()); }).join();
    EXPECT_EQ(withoutShell, LaunchResult::ShellUnavailable);
    ::Sleep(500);
    EXPECT_FALSE(FileExists(dir.File("probe-launches.log"))) << "started by the elevated process";

    std::vector<LaunchResult> results;
    std::thread([&] {
        ComApartment com;
        LinkLauncher launcher(true);
        results = {launcher.Open(dir.File("missing.exe").c_str()), launcher.Open(probe.c_str())};
    }).join();
    EXPECT_EQ(results, (std::vector<LaunchResult>{LaunchResult::NotOpened, LaunchResult::Opened}));
    EXPECT_TRUE(WaitUntil([&] { return ReadLines(dir.File("probe-launches.log")).size() == 1; }, 10000));
}

// A shell found earlier whose process has ended since: the call fails as a lost connection,
// the shell is looked up once more and the link opened there, exactly once; with no second
// shell the link is not opened at all. A live shell's refusal is never retried.
TEST(LinkLauncher, AShellThatEndedIsLookedUpOnceMoreAndNothingRunsTwice) {
    struct Case {
        std::vector<HRESULT> shells;  // each shell found answers this; none left: no shell
        LaunchResult result;
        int lookUps;
        int calls;
    };
    const Case cases[] = {
        {{RPC_E_DISCONNECTED, S_OK}, LaunchResult::Opened, 2, 2},
        {{HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)}, LaunchResult::ShellUnavailable, 2, 1},
        {{S_FALSE, S_OK}, LaunchResult::NotOpened, 1, 1},
        {{}, LaunchResult::ShellUnavailable, 2, 0},
    };
    for (const Case& c : cases) {
        int lookUps = 0;
        int calls = 0;
        LinkLauncher launcher(true, [&]() -> LinkLauncher::ShellRoute {
            const std::size_t shell = static_cast<std::size_t>(lookUps++);
            if (shell >= c.shells.size()) return nullptr;
            return [&calls, answer = c.shells[shell]](BSTR, BSTR, BSTR, int) { return ++calls, answer; };
        });
        EXPECT_EQ(launcher.Open("C:\\Tools\\Edit.exe"), c.result) << c.shells.size();
        EXPECT_EQ(lookUps, c.lookUps);
        EXPECT_EQ(calls, c.calls);
    }
}

// What goes to the shell with a link: the arguments only for a program or a shortcut, the
// folder only when it exists (else nothing starts), the window state as its show command.
TEST(LinkLauncher, ArgumentsFolderAndWindowStateGoToTheShellAsTheyStand) {
    ScratchDirectory dir("start-in");
    struct Case {
        KeyLink link;
        LaunchResult result;
        std::wstring call;  // file|arguments|folder|show, "" for no call
    };
    const std::string folder = dir.WithSlash() + ".";
    const std::wstring wideFolder(folder.begin(), folder.end());
    const Case cases[] = {
        {{"C:\\a.exe", {"\"C:\\x y\\b.txt\" -n & del", folder, WindowShow::Maximized}}, LaunchResult::Opened,
         L"C:\\a.exe|\"C:\\x y\\b.txt\" -n & del|" + wideFolder + L"|3"},
        {{"C:\\memo.txt", {"-n", "", WindowShow::Minimized}}, LaunchResult::Opened, L"C:\\memo.txt|||7"},
        {{"https://example.com/", {"-n", "", WindowShow::Normal}}, LaunchResult::Opened, L"https://example.com/|||1"},
        {{"C:\\a.exe", {"", dir.File("missing"), WindowShow::Normal}}, LaunchResult::FolderMissing, L""},
    };
    for (const Case& c : cases) {
        std::wstring call;
        LinkLauncher launcher(true, [&]() -> LinkLauncher::ShellRoute {
            return [&call](BSTR file, BSTR arguments, BSTR folderName, int show) {
                const auto text = [](BSTR value) { return value ? std::wstring(value) : std::wstring(); };
                call = text(file) + L"|" + text(arguments) + L"|" + text(folderName) + L"|" + std::to_wstring(show);
                return S_OK;
            };
        });
        EXPECT_EQ(launcher.Open(c.link), c.result) << c.link.link;
        EXPECT_EQ(call, c.call) << c.link.link;
    }
}

// Which program a link starts, and which of its windows a press brings back: the most
// recent, and on further presses the one that waited longest, so that presses cycle.
TEST(ProgramWindows, ProgramsOfLinksAndPressesCyclingThroughTheirWindows) {
    EXPECT_EQ(ProgramOfLink("C:\\Tools\\Edit.EXE"), L"C:\\Tools\\Edit.EXE");
    EXPECT_EQ(ProgramOfLink("C:\\Docs\\memo.txt"), L"");
    EXPECT_EQ(ProgramOfLink("https://example.jp/a.exe?x"), L"");
    const auto a = reinterpret_cast<HWND>(1), b = reinterpret_cast<HWND>(2), c = reinterpret_cast<HWND>(3);
    EXPECT_EQ(WindowToSwitchTo({a, b, c}, nullptr), a);
    EXPECT_EQ(WindowToSwitchTo({a, b, c}, a), c);
    EXPECT_EQ(WindowToSwitchTo({c, a, b}, c), b);
    EXPECT_EQ(WindowToSwitchTo({}, a), nullptr);
}

// Another program's windows are asked only what never waits for their thread: a program that
// hangs leaves the frame's thread free, even where Windows refuses the foreground at first.
class RecordedWindowCalls : public WindowCalls {
public:
    std::vector<std::string> made;

    bool IsWindow(HWND) override { return true; }
    bool IsIconic(HWND) override { return true; }
    void ShowWindowAsync(HWND, int command) override {
        made.push_back(command == SW_RESTORE ? "ShowWindowAsync restore" : "ShowWindowAsync");
    }
    bool SetForegroundWindow(HWND) override { return made.push_back("SetForegroundWindow"), false; }
    HWND GetForegroundWindow() override { return reinterpret_cast<HWND>(2); }
    DWORD GetWindowThreadId(HWND) override { return ::GetCurrentThreadId() + 4; }
    bool AttachThreadInput(DWORD, DWORD, bool attach) override {
        return made.push_back(attach ? "AttachThreadInput" : "DetachThreadInput"), true;
    }
    void SetWindowPos(HWND, HWND after, UINT flags) override {
        made.push_back(std::string("SetWindowPos") + (after == HWND_TOP ? " top" : "") +
                       ((flags & SWP_ASYNCWINDOWPOS) ? " async" : " waits"));
    }
};

TEST(ProgramWindows, SwitchingToAMinimisedWindowWaitsForNoOtherThread) {
    RecordedWindowCalls calls;
    BringToFront(reinterpret_cast<HWND>(1), calls);
    EXPECT_EQ(calls.made, (std::vector<std::string>{"ShowWindowAsync restore", "SetForegroundWindow", "AttachThreadInput",
                                                    "SetForegroundWindow", "SetWindowPos top async",
                                                    "DetachThreadInput"}));
}
}  // namespace
