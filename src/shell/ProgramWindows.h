#pragma once
// Switching to a program that already runs, for keys whose option says so: the program a link
// starts and that program's windows are found on the launcher's worker (a shortcut is read
// through the shell's COM objects); the window is brought to the front on the frame's thread.
#include <windows.h>

#include <string>
#include <vector>

// The program a link starts: the link itself when it names an .exe, the target of a shortcut
// (.lnk) that names one; empty for documents, web addresses and anything else.
std::wstring ProgramOfLink(const std::string& link);

// The visible, unowned top-level windows of the processes running that program (compared by
// full path, case-insensitively), nearest the top of the z-order first.
std::vector<HWND> WindowsOfProgram(const std::wstring& programPath);

// The window to switch to: the most recently active one, or, when one of them is in front
// already (a second press), the one that has waited longest, so that presses cycle through.
HWND WindowToSwitchTo(const std::vector<HWND>& windows, HWND foreground) noexcept;

// The window calls BringToFront makes, so that tests can see them. Only calls that never
// wait for the window's thread belong here: the frame's thread owns the keyboard hook, and
// another program's window may not answer at all.
class WindowCalls {
public:
    virtual ~WindowCalls() = default;
    virtual bool IsWindow(HWND window) = 0;
    virtual bool IsIconic(HWND window) = 0;
    virtual void ShowWindowAsync(HWND window, int command) = 0;
    virtual bool SetForegroundWindow(HWND window) = 0;
    virtual HWND GetForegroundWindow() = 0;
    virtual DWORD GetWindowThreadId(HWND window) = 0;
    virtual bool AttachThreadInput(DWORD from, DWORD to, bool attach) = 0;
    // Moves and sizes nothing: only the place in the z-order and the flags are given.
    virtual void SetWindowPos(HWND window, HWND after, UINT flags) = 0;
};
// The system's.
WindowCalls& SystemWindowCalls() noexcept;

// Restores a minimised window (without waiting for its program) and brings it to the front.
// On the thread that received the key press: Windows gives the foreground only to the
// process that had the last input; where it refuses, the call is made once more with the
// input state of the thread in front attached, for that call only.
void BringToFront(HWND window, WindowCalls& calls = SystemWindowCalls()) noexcept;
