// The keyboard hook behind VelStartHook / VelStopHook. A low-level hook runs on the thread
// that installed it, inside that thread's message loop, so all state here is touched by one
// thread only.
#include "VelComn.h"

#include "ChordTracker.h"
#include "HookMessage.h"

namespace {
struct HookState {
    HINSTANCE module = nullptr;
    HHOOK hook = nullptr;
    HWND target = nullptr;
};

// Constant-initialised: the library runs without the C runtime's start-up code.
HookState g_state;

HookState& State() noexcept { return g_state; }

bool IsDown(int virtualKey) noexcept { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

// A low-level hook runs before the system counts the event, so the event's own key reads as
// down only when it already was: an auto-repeat.
SystemKeyState KeyStateBeforeEvent(DWORD virtualKey) noexcept {
    WORD held = 0;
    if (IsDown(VK_MENU)) held |= kHookModAlt;
    if (IsDown(VK_CONTROL)) held |= kHookModControl;
    if (IsDown(VK_SHIFT)) held |= kHookModShift;
    if (IsDown(VK_LWIN) || IsDown(VK_RWIN)) held |= kHookModWin;
    return SystemKeyState{held, virtualKey <= 0xFF && IsDown(static_cast<int>(virtualKey))};
}

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    HookState& state = State();
    if (code == HC_ACTION && lParam != 0) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool keyUp = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        if (!keyUp && state.target) {
            if (auto chord = ChordTracker::OnKeyEvent(event->vkCode, keyUp,
                                                      KeyStateBeforeEvent(event->vkCode)))
                ::PostMessageA(state.target, WM_APP_KEY_HIT, chord->virtualKey, chord->modifiers);
        }
    }
    // Never swallow a key: the chord still reaches the window that has the focus.
    return ::CallNextHookEx(state.hook, code, wParam, lParam);
}
}  // namespace

extern "C" void __cdecl VelStartHook(HWND target) {
    HookState& state = State();
    state.target = target;
    if (state.hook) return;
    state.hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProc, state.module, 0);
}

extern "C" void __cdecl VelStopHook() {
    HookState& state = State();
    if (state.hook) ::UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    state.target = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        State().module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
