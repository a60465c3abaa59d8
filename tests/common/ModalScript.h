#pragma once
// Drives modal windows of the test's own thread: the steps run one after another from a
// thread timer, which every modal loop (dialogs, message boxes) dispatches. A step returns
// true when it is done; false to be tried again at the next tick (waiting for a window).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class ModalScript {
public:
    using Step = std::function<bool()>;

    ModalScript& Then(Step step) {
        m_steps.push_back(std::move(step));
        return *this;
    }
    // Starts ticking; the steps run while the caller's modal call runs. Stops by itself at
    // the end, or after timeoutMs (then Finished() is false).
    void Start(unsigned timeoutMs = 10000);
    void Stop();
    ~ModalScript() { Stop(); }
    bool Finished() const noexcept { return m_next >= m_steps.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    UINT_PTR m_timer = 0;
    ULONGLONG m_deadline = 0;
};

// The visible top-level window of this thread with this title (any class when empty), or null.
HWND FindThreadWindow(const std::string& title, const std::string& className = {});
// A visible dialog or message box of this thread owned by the window, or null.
HWND FindOwnedBox(HWND owner);
// Clicks a dialog button the way the user does; the click is posted, handled by the loop.
void ClickButton(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);
