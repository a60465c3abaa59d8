#include "common/ModalScript.h"

#include <utility>

namespace {
thread_local ModalScript* t_running = nullptr;

struct Search {
    const std::string* title;
    const std::string* className;
    HWND found;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (!::IsWindowVisible(hwnd)) return TRUE;
    char text[512] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    char cls[128] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (*search->title == text && (search->className->empty() || *search->className == cls)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

void ModalScript::Start(unsigned timeoutMs) {
    Stop();
    m_next = 0;
    m_deadline = ::GetTickCount64() + timeoutMs;
    t_running = this;
    m_timer = ::SetTimer(nullptr, 0, 40, &Tick);
}

void ModalScript::Stop() {
    if (m_timer) ::KillTimer(nullptr, m_timer);
    m_timer = 0;
    if (t_running == this) t_running = nullptr;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* script = t_running;
    if (!script) return;
    if (script->Finished() || ::GetTickCount64() > script->m_deadline) {
        script->Stop();
        return;
    }
    // A step may run a modal loop of its own; ticks meanwhile must not re-enter it.
    static thread_local bool busy = false;
    if (busy) return;
    busy = true;
    const bool done = script->m_steps[script->m_next]();
    busy = false;
    if (done) ++script->m_next;
}

HWND FindThreadWindow(const std::string& title, const std::string& className) {
    Search search{&title, &className, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void ClickButton(HWND dialog, int id) {
    // Posted: a click that opens a modal window must not run inside the script's step.
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string ControlText(HWND dialog, int id) {
    char text[2048] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

namespace {
BOOL CALLBACK MatchOwnedBox(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<HWND, HWND>*>(param);
    char cls[16] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (::IsWindowVisible(hwnd) && std::string(cls) == "#32770" &&
        ::GetWindow(hwnd, GW_OWNER) == search->first) {
        search->second = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindOwnedBox(HWND owner) {
    std::pair<HWND, HWND> search{owner, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &MatchOwnedBox, reinterpret_cast<LPARAM>(&search));
    return search.second;
}
