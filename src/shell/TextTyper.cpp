#include "shell/TextTyper.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "HookMessage.h"
#include "win/CodePage932.h"

namespace {
// Set-1 scan codes of the keys, for programs that look at them.
constexpr WORD kEnterScan = 0x1C;
constexpr WORD kTabScan = 0x0F;

void AddKey(std::vector<INPUT>& events, WORD virtualKey, WORD scan, DWORD flags) {
    for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT event{};
        event.type = INPUT_KEYBOARD;
        event.ki.wVk = virtualKey;
        event.ki.wScan = scan;
        event.ki.dwFlags = flags | up;
        event.ki.dwExtraInfo = kTypedInputMark;
        events.push_back(event);
    }
}
}  // namespace

std::vector<INPUT> TypingInputOf(const std::string& cp932Text) {
    std::vector<INPUT> events;
    const std::wstring wide = WideFromCp932(cp932Text);
    events.reserve(wide.size() * 2);
    for (const wchar_t unit : wide) {
        if (unit == L'\n') {
            AddKey(events, VK_RETURN, kEnterScan, 0);
        } else if (unit == L'\t') {
            AddKey(events, VK_TAB, kTabScan, 0);
        } else if (unit != L'\r') {
            AddKey(events, 0, static_cast<WORD>(unit), KEYEVENTF_UNICODE);
        }
    }
    return events;
}

TextTyper::System TextTyper::System::Live() {
    return System{[](int virtualKey) { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; },
                  [](std::vector<INPUT>& events) {
                      if (!events.empty())
                          ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
                  }};
}

void TextTyper::Queue(const std::string& cp932Text, WORD virtualKey) {
    m_events = TypingInputOf(cp932Text);
    m_nSent = 0;
    m_key = virtualKey;
}

bool TextTyper::Poll() {
    if (m_nSent >= m_events.size()) return false;
    for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN, static_cast<int>(m_key)})
        if (key != 0 && m_system.isDown && m_system.isDown(key)) return true;
    // A part ends after a key-up, so that no key stays down between polls.
    const std::size_t count = std::min(kEventsPerPoll, m_events.size() - m_nSent);
    std::vector<INPUT> part(m_events.begin() + static_cast<std::ptrdiff_t>(m_nSent),
                            m_events.begin() + static_cast<std::ptrdiff_t>(m_nSent + count));
    m_nSent += count;
    if (m_system.send) m_system.send(part);
    if (m_nSent < m_events.size()) return true;
    m_events.clear();
    m_nSent = 0;
    return false;
}
