#pragma once
// The tray menu's start at sign-in, kept off the thread of the keyboard hook: Task Scheduler
// is another process, which may take seconds to answer (or not answer at all while the
// session starts). The menu shows the state last learnt; the worker asks the scheduler and
// makes the changes, and its answers come back to the frame's thread.
//
// The task is registered only where only administrators can change the program's files and
// folders: the task starts the program elevated without asking, so a program anyone else
// could replace must never be its command.
#include <windows.h>

#include <functional>

#include "shell/SignInTask.h"
#include "win/BackgroundWorker.h"

class SignInService {
public:
    // A text to tell the user (a refusal, a failure); on the frame's thread.
    using NoticeHandler = std::function<void(const char* text)>;

    SignInService(HWND replyWindow, UINT replyMessage, NoticeHandler onNotice);

    SignInStatus Status() const noexcept { return m_status; }
    // Whether the menu can offer the item: the scheduler answered, and no change is under way.
    bool CanToggle() const noexcept;
    // Asks the scheduler again in the background.
    void Refresh();
    // Asks the first time only. Not at start-up: the scheduler's COM objects would stay in
    // memory all day for a menu item; the pointer over the tray icon asks before the menu.
    void RefreshOnce();
    // The menu item was chosen: deletes this program's task, or registers one (replacing one
    // for another path), deciding on the scheduler's state at that moment.
    void Toggle();
    void RunReplies() { m_worker.RunReplies(); }

private:
    BackgroundWorker::Job Asking(bool toggle);

    NoticeHandler m_onNotice;
    SignInStatus m_status = SignInStatus::Unknown;
    bool m_bChanging = false;
    bool m_bAsked = false;
    BackgroundWorker m_worker;
};
