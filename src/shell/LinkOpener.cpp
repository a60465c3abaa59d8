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

void LinkOpener::Open(std::string link, bool switchToRunning) {
    m_worker.Post([onFailure = m_onFailure, launcher = m_launcher, link = std::move(link),
                   switchToRunning]() -> BackgroundWorker::Reply {
        if (switchToRunning) {
            const std::vector<HWND> windows = WindowsOfProgram(ProgramOfLink(link));
            // Brought forward by the thread that received the key: Windows lets only the
            // process with the last input take the foreground, and a worker's call would
            // only make the taskbar button flash.
            if (HWND window = WindowToSwitchTo(windows, ::GetForegroundWindow()))
                return [window] { BringToFront(window); };
        }
        const LaunchResult result = launcher->Open(link.c_str());
        if (result == LaunchResult::Opened) return nullptr;
        // Runs on the frame's thread, and only while this object lives; it holds its own copy
        // of the handler, whose box may outlast this object.
        return [onFailure, link, result] { onFailure(link, result); };
    });
}

void LinkOpener::ForgetShell() {
    m_worker.Post([launcher = m_launcher]() -> BackgroundWorker::Reply {
        launcher->ForgetShell();
        return nullptr;
    });
}
