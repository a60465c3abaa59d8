#include "shell/LinkOpener.h"

#include <utility>
#include <vector>

#include "shell/ProgramWindows.h"

LinkOpener::LinkOpener(HWND replyWindow, UINT replyMessage, FailureHandler onFailure,
                       std::shared_ptr<LinkLauncher> launcher)
    : m_launcher(std::move(launcher)), m_onFailure(std::move(onFailure)), m_worker(replyWindow, replyMessage) {}

LinkOpener::~LinkOpener() {
    // The shell's object belongs to the worker's apartment: released there, before it ends.
    ForgetShell();
}

void LinkOpener::Open(std::vector<KeyLink> links, bool switchToRunning) {
    m_worker.Post([onFailure = m_onFailure, launcher = m_launcher, links = std::move(links),
                   switchToRunning]() -> BackgroundWorker::Reply {
        HWND switchTo = nullptr;
        std::vector<LaunchFailure> failures;
        for (std::size_t at = 0; at < links.size(); ++at) {
            if (at == 0 && switchToRunning) {
                const std::vector<HWND> windows = WindowsOfProgram(ProgramOfLink(links[at].link));
                switchTo = WindowToSwitchTo(windows, ::GetForegroundWindow());
                if (switchTo) continue;
            }
            const LaunchResult result = launcher->Open(links[at]);
            if (result != LaunchResult::Opened) failures.push_back({links[at], result});
        }
        if (!switchTo && failures.empty()) return nullptr;
        // Runs on the frame's thread, and only while this object lives; it holds its own copy
        // of the handler, whose box may outlast this object. The window is brought forward by
        // the thread that received the key: Windows lets only the process with the last input
        // take the foreground, and a worker's call would only make the taskbar button flash.
        return [onFailure, switchTo, failures = std::move(failures)] {
            if (switchTo) BringToFront(switchTo);
            if (!failures.empty()) onFailure(failures);
        };
    });
}

void LinkOpener::ForgetShell() {
    m_worker.Post([launcher = m_launcher]() -> BackgroundWorker::Reply {
        launcher->ForgetShell();
        return nullptr;
    });
}
