#pragma once
// Opens a key's link. The program runs elevated, and whatever it starts itself would run
// elevated too: the browser, documents, programs, and so any link in the settings file would
// be a way around the elevation prompt. So an elevated program hands the link to the desktop
// shell (the shell's own desktop view, its ShellExecute), which starts it as the user's
// normal, unelevated program. Where that route is unavailable the link is still opened,
// directly: a press is never lost.
#include <windows.h>
#include <shldisp.h>

#include "win/ComApartment.h"
#include "win/ComPtr.h"

class LinkLauncher {
public:
    LinkLauncher() noexcept;

    void Open(const char* link);
    // The shell was restarted (TaskbarCreated): the route found earlier leads nowhere now.
    void ForgetShell() noexcept { m_shell.Reset(); }

private:
    // Resolving the route costs about as much as a launch, so it is found once and kept.
    bool OpenThroughShell(const char* link);
    bool FindShell();

    // Before the shell's object, which must be released while COM is still up.
    ComApartment m_com;
    bool m_bElevated;
    ComPtr<IShellDispatch2> m_shell;
};
