#pragma once
// Start at sign-in. Windows skips an elevated program in the Run key and the Startup folder,
// so the program is started by a Task Scheduler task of the signed-in user: a logon trigger,
// the highest run level available, this program's full path, no time limit, started when
// available and on battery power too. The definition is the XML of resource IDR_SIGNIN_TASK
// (src/res/SignInTask.xml), which the installer writes as well.
#include <windows.h>

#include <string>
#include <vector>

enum class SignInStatus {
    Unknown,       // not asked yet
    Unreachable,   // the scheduler did not answer
    Absent,        // no task of this user
    OtherProgram,  // this user's task starts another path (a moved or second copy)
    ThisProgram,   // this user's task starts this very program
};

class SignInTask {
public:
    // "Vorlund (<user name>@<domain or computer>)": one task per account, in the scheduler's
    // root folder, so that two accounts of the same name never see each other's task.
    static std::wstring Name();
    static std::wstring NameFor(const std::wstring& userId);
    // The task definition for this user and program, from the template; empty when the
    // template resource is missing. Values are escaped for XML.
    static std::wstring BuildXml(const std::wstring& userId, const std::wstring& command);

    // Through Task Scheduler 2.0 (COM must be initialised on the calling thread). These call
    // into the scheduler's service and may wait for it: never on the keyboard hook's thread.
    // thisProgram: the paths this program is known by; a task starting any of them is this
    // program's.
    static SignInStatus Query(const std::vector<std::wstring>& thisProgram);
    // Registers (or replaces) the task for the current user, starting command. Does not ask
    // whether the program's place is safe for it: the caller does, before (SignInRules).
    static bool Register(const std::wstring& command);
    static bool Remove();

    // The signed-in user as the scheduler names users: DOMAIN\user where there is a domain.
    static std::wstring CurrentUserId();
    // The full path of this program.
    static std::wstring ProgramPath();
};
