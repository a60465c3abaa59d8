#pragma once
// The frame's way of opening links: each press's link goes to the launcher on a worker
// thread, in the order of the presses, exactly once; the frame's thread, which owns the
// keyboard hook, never waits for the shell. A link that could not be opened comes back to
// the frame's thread as a failure to tell the user about.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "shell/LinkLauncher.h"
#include "win/BackgroundWorker.h"

class LinkOpener {
public:
    using FailureHandler = std::function<void(const std::string& link, LaunchResult why)>;

    // Replies arrive at the window as the message; its handler calls RunReplies().
    LinkOpener(HWND replyWindow, UINT replyMessage, FailureHandler onFailure,
               std::shared_ptr<LinkLauncher> launcher = std::make_shared<LinkLauncher>());
    ~LinkOpener();
    LinkOpener(const LinkOpener&) = delete;
    LinkOpener& operator=(const LinkOpener&) = delete;

    // switchToRunning: a program that runs already is brought to the front instead.
    void Open(std::string link, bool switchToRunning = false);
    // The shell was restarted.
    void ForgetShell();
    void RunReplies() { m_worker.RunReplies(); }

private:
    std::shared_ptr<LinkLauncher> m_launcher;
    FailureHandler m_onFailure;
    BackgroundWorker m_worker;
};
