// The keyboard hook behind VelStartHook / VelStopHook. A low-level hook runs on the thread
// that installed it, inside that thread's message loop, so all state here is touched by one
// thread only.
#include "VelComn.h"

#include "ChordTracker.h"

namespace {
constexpr UINT kKeyHitMessage = WM_APP + 109;

struct HookState {
    HINSTANCE module = nullptr;
    HHOOK hook = nullptr;
    HWND target = nullptr;
    ChordTracker tracker;
};

HookState& State() noexcept {
    static HookState state;
    return state;
}

WORD ModifiersHeldBySystem() noexcept {
    WORD held = 0;
    if (::GetAsyncKeyState(VK_MENU) & 0x8000) held |= 1;
    if (::GetAsyncKeyState(VK_CONTROL) & 0x8000) held |= 2;
    if (::GetAsyncKeyState(VK_SHIFT) & 0x8000) held |= 4;
    return held;
}

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    HookState& state = State();
    if (code == HC_ACTION && lParam != 0) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool keyUp = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        if (auto chord = state.tracker.OnKeyEvent(event->vkCode, keyUp, ModifiersHeldBySystem())) {
            if (state.target) {
                ::PostMessageA(state.target, kKeyHitMessage, chord->virtualKey, chord->modifiers);
            }
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
    state.tracker.Reset();
    state.hook = ::SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProc, state.module, 0);
}

extern "C" void __cdecl VelStopHook() {
    HookState& state = State();
    if (state.hook) ::UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    state.target = nullptr;
    state.tracker.Reset();
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        State().module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
