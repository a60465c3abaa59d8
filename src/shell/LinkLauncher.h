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

#include "keys/KeySet.h"

enum class LaunchResult {
    Opened,
    // No desktop shell answers (Explorer ended or restarting): nothing was started.
    ShellUnavailable,
    // The shell answered but could not open the link (a missing file, say).
    NotOpened,
    // The folder to start in does not exist: the link was not handed to the shell.
    FolderMissing,
};

class LinkLauncher {
public:
    // The desktop shell's ShellExecute(file, arguments, folder, "open", show), found once; and
    // the way to find it, which gives an empty route when there is no shell. Arguments and
    // folder are null when absent. Tests stand in for the shell.
    using ShellRoute = std::function<HRESULT(BSTR file, BSTR arguments, BSTR folder, int show)>;
    using ShellFinder = std::function<ShellRoute()>;

    LinkLauncher();
    explicit LinkLauncher(bool elevated, ShellFinder findShell = &FindDesktopShell);

    LaunchResult Open(const char* link) { return Open(KeyLink{link ? link : "", {}}); }
    // With its arguments (as they stand, never through a command interpreter; only for a
    // program or a shortcut), its start folder (checked first) and its window state.
    LaunchResult Open(const KeyLink& link);
    // The ShowWindow command of a window state: a minimised window does not take the focus.
    static int ShowCommandOf(WindowShow show) noexcept;
    // The shell was restarted (TaskbarCreated): the route found earlier leads nowhere now.
    // Also before the worker's COM apartment ends.
    void ForgetShell() noexcept { m_shell = nullptr; }

    static ShellRoute FindDesktopShell();

private:
    // Resolving the route costs about as much as a launch, so it is found once and kept.
    LaunchResult OpenThroughShell(const KeyLink& link);

    bool m_bElevated;
    ShellFinder m_findShell;
    ShellRoute m_shell;
};
