#pragma once
// Closes the keys-at-a-glance overlay on a key or a click anywhere. The overlay never has the
// focus, so no key or click of the user's reaches it as a message: low-level keyboard and
// mouse hooks watch instead, installed only while the overlay shows. Each procedure only
// posts WM_CLOSE to the overlay and returns at once; every key and click goes on to where it
// was going.
//
// A chord that the hook library reports (two or more modifiers with a key, or a dedicated
// key) is left to the frame: it closes the overlay as it handles the press, so that the
// overlay's own combination closes it rather than closing and opening it again.
// One watch at a time, on the thread that owns the overlay.
#include <windows.h>

class GlanceDismissHooks {
public:
    explicit GlanceDismissHooks(HWND overlay) noexcept;
    ~GlanceDismissHooks();
    GlanceDismissHooks(const GlanceDismissHooks&) = delete;
    GlanceDismissHooks& operator=(const GlanceDismissHooks&) = delete;

    // Whether a key-down closes the overlay: every key but a modifier and a reported chord.
    static bool KeyDownCloses(WORD virtualKey, WORD modifiersHeld) noexcept;

private:
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);

    HWND m_hOverlay;
    HHOOK m_hKeyboard = nullptr;
    HHOOK m_hMouse = nullptr;
};
