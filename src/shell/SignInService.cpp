#include "shell/SignInService.h"

#include <string>
#include <vector>

#include "res/texts.h"
#include "win/WriteProtection.h"

namespace {
// What a change ended with: the text for the user, or none.
const char* Change(SignInStatus before) {
    if (before == SignInStatus::Unreachable) return texts::kSignInSchedulerUnreachable;
    if (before == SignInStatus::ThisProgram)
        return SignInTask::Remove() ? nullptr : texts::kSignInTaskNotDeleted;
    const std::wstring program = SignInTask::ProgramPath();
    const std::size_t slash = program.rfind(L'\\');
    if (slash == std::wstring::npos) return texts::kSignInNeedsProtectedFolder;
    const std::vector<std::wstring> files = {program.substr(slash + 1), L"VelComn.dll"};
    if (!IsPlaceProtected(program.substr(0, slash), files)) return texts::kSignInNeedsProtectedFolder;
    return SignInTask::Register() ? nullptr : texts::kSignInTaskNotRegistered;
}
}  // namespace

SignInService::SignInService(HWND replyWindow, UINT replyMessage, NoticeHandler onNotice)
    : m_onNotice(std::move(onNotice)), m_worker(replyWindow, replyMessage) {}

bool SignInService::CanToggle() const noexcept {
    return !m_bChanging && m_status != SignInStatus::Unknown && m_status != SignInStatus::Unreachable;
}

void SignInService::Refresh() {
    m_bAsked = true;
    m_worker.Post(Asking(false));
}

void SignInService::RefreshOnce() {
    if (!m_bAsked) Refresh();
}

void SignInService::Toggle() {
    if (m_bChanging) return;
    m_bChanging = true;
    m_worker.Post(Asking(true));
}

BackgroundWorker::Job SignInService::Asking(bool toggle) {
    return [this, toggle]() -> BackgroundWorker::Reply {
        const char* notice = toggle ? Change(SignInTask::Query()) : nullptr;
        const SignInStatus now = SignInTask::Query();
        // On the frame's thread, and only while this object lives.
        // The box comes last and through a copy of the handler: its loop may end this object.
        return [this, toggle, notice, now] {
            m_status = now;
            if (toggle) m_bChanging = false;
            if (!notice) return;
            const NoticeHandler onNotice = m_onNotice;
            onNotice(notice);
        };
    };
}
