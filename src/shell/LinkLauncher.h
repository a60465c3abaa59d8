#pragma once
// Opens a key's link. The program runs elevated, and whatever it starts itself would run
// elevated too: the browser, documents, programs, and so any link in the settings file would
// be a way around the elevation prompt. So an elevated program hands the link to the desktop
// shell (the shell's own desktop view, its ShellExecute), which starts it as the user's
// normal, unelevated program. When the shell cannot be reached, the link is not opened at
// all: the caller tells the user. Only a program that is not elevated opens links itself.
//
// Its calls go into the shell's process: it lives on a worker thread (BackgroundWorker),
// never on the thread of the keyboard hook.
#include <windows.h>
#include <oleauto.h>

#include <functional>

enum class LaunchResult {
    Opened,
    // No desktop shell answers (Explorer ended or restarting): nothing was started.
    ShellUnavailable,
    // The shell answered but could not open the link (a missing file, say).
    NotOpened,
};

class LinkLauncher {
public:
    // The desktop shell's ShellExecute(file, "open"), found once; and the way to find it,
    // which gives an empty route when there is no shell. Tests stand in for the shell.
    using ShellRoute = std::function<HRESULT(BSTR file)>;
    using ShellFinder = std::function<ShellRoute()>;

    LinkLauncher();
    explicit LinkLauncher(bool elevated, ShellFinder findShell = &FindDesktopShell);

    LaunchResult Open(const char* link);
    // The shell was restarted (TaskbarCreated): the route found earlier leads nowhere now.
    // Also before the worker's COM apartment ends.
    void ForgetShell() noexcept { m_shell = nullptr; }

    static ShellRoute FindDesktopShell();

private:
    // Resolving the route costs about as much as a launch, so it is found once and kept.
    LaunchResult OpenThroughShell(const char* link);

    bool m_bElevated;
    ShellFinder m_findShell;
    ShellRoute m_shell;
};
