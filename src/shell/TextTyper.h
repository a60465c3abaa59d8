#pragma once
// Types a key's text into the window in front. The text waits until the combination that
// asked for it has been let go (every modifier and the key itself): typed while Ctrl+Alt are
// down, its letters would reach the program as shortcuts. The waiting is polled from a timer
// of the frame, whose thread owns the keyboard hook and must never block.
//
// Characters go as Unicode key events (KEYEVENTF_UNICODE), so no keyboard layout or input
// method changes them; a line break is the Enter key and a tab the Tab key, as the user would
// type them. Every event carries kTypedInputMark, which the hook library lets pass untouched.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The key events that type the text (CP932), in order: for each UTF-16 unit a key-down and a
// key-up (a character outside the basic plane is its two surrogate units), for "\n" and "\t"
// the Enter and Tab keys down and up; "\r" is nothing of its own.
std::vector<INPUT> TypingInputOf(const std::string& cp932Text);

class TextTyper {
public:
    static constexpr UINT kPollMilliseconds = 15;
    // Key events per poll: a hundred characters. Each send holds the frame's thread, which
    // owns the keyboard hook, for as long as the system takes to queue them (microseconds per
    // event on Windows, under Wine about a millisecond).
    static constexpr std::size_t kEventsPerPoll = 200;

    // What the system is asked and told; tests record instead.
    struct System {
        std::function<bool(int virtualKey)> isDown;
        std::function<void(std::vector<INPUT>& events)> send;
        static System Live();
    };

    explicit TextTyper(System system = System::Live()) : m_system(std::move(system)) {}

    // The text of a key pressed with this virtual key; one that still waits is replaced.
    void Queue(const std::string& cp932Text, WORD virtualKey);
    // Types the text, or its next part, while every key of the combination is up. Returns
    // whether some of it still waits.
    bool Poll();

private:
    System m_system;
    std::vector<INPUT> m_events;  // what is still to be sent
    std::size_t m_nSent = 0;
    WORD m_key = 0;
};
