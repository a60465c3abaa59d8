#pragma once
// The tray menu's start at sign-in, kept off the thread of the keyboard hook: Task Scheduler
// is another process, which may take seconds to answer (or not answer at all while the
// session starts). The menu shows the state last learnt; the worker asks the scheduler and
// makes the changes, and its answers come back to the frame's thread.
//
// The task is registered only where only administrators can change the program's files and
// folders (SignInRules): the task starts the program elevated without asking, so a program
// anyone else could replace must never be its command.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "shell/SignInRules.h"
#include "win/BackgroundWorker.h"

class SignInService {
public:
    // A text to tell the user (a refusal, a failure), or a yes/no question whose answer it
    // returns; on the frame's thread.
    using NoticeHandler = std::function<bool(const char* text, bool question)>;

    // programPath: the program as it was started, which the task is to start.
    SignInService(HWND replyWindow, UINT replyMessage, std::wstring programPath, NoticeHandler onNotice,
                  std::shared_ptr<SignInSystem> system = std::make_shared<SystemSignIn>());

    SignInStatus Status() const noexcept { return m_status; }
    SignInItem Item() const noexcept { return m_bChanging ? SignInItem::Unavailable : m_item; }
    // Whether the menu can offer the item: the scheduler answered, and no change is under way.
    bool CanToggle() const noexcept { return Item() != SignInItem::Unavailable; }
    // Asks the scheduler again in the background.
    void Refresh();
    // Asks the first time only. Not at start-up: the scheduler's COM objects would stay in
    // memory all day for a menu item; the pointer over the tray icon asks before the menu.
    void RefreshOnce();
    // The menu item was chosen: deletes this program's task, or registers one (replacing one
    // for another path), deciding on the scheduler's state at that moment; offers to delete
    // this program's task when its place is no longer protected.
    void Toggle();
    void RunReplies() { m_worker.RunReplies(); }

private:
    using Change = std::function<SignInOutcome(SignInSystem&, const std::wstring&)>;
    void Post(Change change);

    std::wstring m_programPath;
    NoticeHandler m_onNotice;
    std::shared_ptr<SignInSystem> m_system;
    SignInStatus m_status = SignInStatus::Unknown;
    SignInItem m_item = SignInItem::Unavailable;
    bool m_bChanging = false;
    bool m_bAsked = false;
    // Expires with this object: a reply whose box outlived it touches nothing afterwards.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
    BackgroundWorker m_worker;
};
