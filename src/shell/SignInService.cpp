#include "shell/SignInService.h"

#include <utility>
#include <vector>

#include "win/UiLanguage.h"

SignInService::SignInService(HWND replyWindow, UINT replyMessage, std::wstring programPath,
                             NoticeHandler onNotice, std::shared_ptr<SignInSystem> system)
    : m_programPath(std::move(programPath)),
      m_onNotice(std::move(onNotice)),
      m_system(std::move(system)),
      m_worker(replyWindow, replyMessage) {}

void SignInService::Refresh() {
    m_bAsked = true;
    Post(nullptr);
}

void SignInService::RefreshOnce() {
    if (!m_bAsked) Refresh();
}

void SignInService::Toggle() {
    if (m_bChanging) return;
    m_bChanging = true;
    Post(&ToggleSignIn);
}

void SignInService::Post(Change change) {
    const bool changing = static_cast<bool>(change);
    // Everything the worker uses is copied here, on the frame's thread: when the program ends
    // while the scheduler holds the worker past its stop wait, this object is gone before the
    // job goes on. `this` is only handed on to the reply, which runs while this object lives.
    m_worker.Post([this, change = std::move(change), changing, system = m_system, program = m_programPath,
                   alive = std::weak_ptr<int>(m_lifetime)]() -> BackgroundWorker::Reply {
        const SignInOutcome outcome = changing ? change(*system, program) : SignInOutcome{};
        const SignInStatus now = system->Query(PathsOfThisProgram(*system, program));
        // The place is checked again each time: a folder may have been opened to others since
        // the task was registered.
        unsigned refused = 0;
        const bool placeProtected =
            now == SignInStatus::ThisProgram && !CheckedSignInCommand(*system, program, &refused).empty();
        // On the frame's thread, and only while this object lives. The box comes last and
        // through a copy of the handler: its loop may end this object.
        return [this, changing, outcome, now, placeProtected, alive] {
            m_status = now;
            m_item = ItemFor(now, placeProtected);
            if (changing) m_bChanging = false;
            if (!outcome.text) return;
            const NoticeHandler onNotice = m_onNotice;
            const bool yes = onNotice(UiText(outcome.text), outcome.askToRemove);
            if (!outcome.askToRemove || !yes || alive.expired() || m_bChanging) return;
            m_bChanging = true;
            Post([](SignInSystem& system, const std::wstring&) { return RemoveSignInTask(system); });
        };
    });
}
