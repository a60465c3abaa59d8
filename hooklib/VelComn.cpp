// The keyboard hook behind VelStartHook / VelStopHook. A low-level hook runs on the thread
// that installed it, inside that thread's message loop, so all state here is touched by one
// thread only.
#include "VelComn.h"

#include "ChordTracker.h"
#include "ClaimedKeySet.h"
#include "HookMessage.h"

namespace {
struct HookState {
    HINSTANCE module = nullptr;
    HHOOK hook = nullptr;
    HWND target = nullptr;
    DWORD hookThread = 0;  // the thread that installed the hook
    ClaimedKeySet claimed;
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
    if (code == HC_ACTION && lParam != 0 && state.target) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        // What the program types for a key goes to the window in front as it is.
        if (event->dwExtraInfo == kTypedInputMark) return ::CallNextHookEx(state.hook, code, wParam, lParam);
        const bool keyUp = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        // A claimed dedicated key is the program's alone: its key-down and key-up go no
        // further. Every other key, chords included, still reaches the window that has the
        // focus.
        if (keyUp) {
            if (state.claimed.OnKeyUp(event->vkCode)) return 1;
        } else {
            SystemKeyState system = KeyStateBeforeEvent(event->vkCode);
            const ClaimedKeySet::KeyDown down =
                state.claimed.OnKeyDown(event->vkCode, system.modifiersHeld, system.keyAlreadyDown, event->time);
            system.keyAlreadyDown = system.keyAlreadyDown || down.repeat;
            if (auto chord = ChordTracker::OnKeyEvent(event->vkCode, keyUp, system))
                ::PostMessageA(state.target, WM_APP_KEY_HIT, chord->virtualKey, chord->modifiers);
            if (down.keep) return 1;
        }
    }
    return ::CallNextHookEx(state.hook, code, wParam, lParam);
}
}  // namespace

extern "C" void __cdecl VelStartHook(HWND target) {
    HookState& state = State();
    state.target = target;
    if (state.hook) return;
    state.hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProc, state.module, 0);
    if (state.hook) state.hookThread = ::GetCurrentThreadId();
}

extern "C" void __cdecl VelStopHook() {
    HookState& state = State();
    if (state.hook) ::UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    state.target = nullptr;
    state.hookThread = 0;
    state.claimed.ForgetPresses();
}

extern "C" BOOL __cdecl VelSetClaimedKeys(const VelClaimedKeys* claimed) {
    HookState& state = State();
    // The hook procedure reads the set on the hook's thread; from any other thread a
    // replacement could meet a key event half way.
    if (state.hook && ::GetCurrentThreadId() != state.hookThread) return FALSE;
    return state.claimed.Replace(claimed) ? TRUE : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        State().module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
