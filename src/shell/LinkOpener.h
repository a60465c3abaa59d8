#pragma once
// The frame's way of opening links: each press's links go to the launcher on a worker
// thread, in the order of the presses and of the key's links, each exactly once; the frame's
// thread, which owns the keyboard hook, never waits for the shell. One link that fails does
// not stop the others; the links of one press that could not be opened come back to the
// frame's thread together, to tell the user about in one box.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/LinkLauncher.h"
#include "win/BackgroundWorker.h"

struct LaunchFailure {
    KeyLink link;
    LaunchResult why;
};

class LinkOpener {
public:
    using FailureHandler = std::function<void(const std::vector<LaunchFailure>& failures)>;

    // Replies arrive at the window as the message; its handler calls RunReplies().
    LinkOpener(HWND replyWindow, UINT replyMessage, FailureHandler onFailure,
               std::shared_ptr<LinkLauncher> launcher = std::make_shared<LinkLauncher>());
    ~LinkOpener();
    LinkOpener(const LinkOpener&) = delete;
    LinkOpener& operator=(const LinkOpener&) = delete;

    // switchToRunning: when the first link's program runs already, its window is brought to
    // the front instead of starting it again.
    void Open(std::vector<KeyLink> links, bool switchToRunning = false);
    // The shell was restarted.
    void ForgetShell();
    void RunReplies() { m_worker.RunReplies(); }

private:
    std::shared_ptr<LinkLauncher> m_launcher;
    FailureHandler m_onFailure;
    BackgroundWorker m_worker;
};
