#pragma once
// What start at sign-in decides, apart from the system it asks: which path a task may start,
// what the tray item shows for the task found, and what a click on it does. The task starts
// the program elevated at every sign-in without a prompt, so it may only ever name a program
// in a place that only administrators can change, and exactly the place that was checked.
#include <string>
#include <vector>

#include "shell/SignInTask.h"

// What start at sign-in asks of Task Scheduler and of the file system. The worker uses the
// system's (SystemSignIn); tests put stand-ins in.
class SignInSystem {
public:
    virtual ~SignInSystem() = default;
    // This user's task, compared with the paths this program is known by.
    virtual SignInStatus Query(const std::vector<std::wstring>& thisProgram) = 0;
    virtual bool Register(const std::wstring& command) = 0;
    virtual bool Remove() = 0;
    // The folder as the file system really has it (links and junctions followed); empty when
    // it cannot be opened.
    virtual std::wstring FinalPath(const std::wstring& folder) = 0;
    // Whether only administrators can change the folder (a final path), the files in it and
    // every folder above it.
    virtual bool IsProtected(const std::wstring& finalFolder, const std::vector<std::wstring>& files) = 0;
};

// Task Scheduler and the file system, for real. Calls into other processes: on a worker.
class SystemSignIn : public SignInSystem {
public:
    SignInStatus Query(const std::vector<std::wstring>& thisProgram) override;
    bool Register(const std::wstring& command) override;
    bool Remove() override;
    std::wstring FinalPath(const std::wstring& folder) override;
    bool IsProtected(const std::wstring& finalFolder, const std::vector<std::wstring>& files) override;
};

// The command a task may start for the program at programPath: the program's final path (its
// folder's links and junctions followed), so that the place checked is the place the task
// names; a folder the user could turn into a junction elsewhere after the check is never
// written into the task. Empty when the place is not protected, cannot be resolved, or the
// path holds a '%' (the scheduler would expand the user's environment variables in it).
// *why receives the id of the user's text for a refusal.
std::wstring CheckedSignInCommand(SignInSystem& system, const std::wstring& programPath, unsigned* why);

// The paths this program may appear under in its task: as started, and its final path.
std::vector<std::wstring> PathsOfThisProgram(SignInSystem& system, const std::wstring& programPath);

// What the tray item shows.
enum class SignInItem {
    Unavailable,   // the scheduler has not answered: greyed
    Off,           // no task for this copy: a click registers one
    On,            // this copy's task, in a protected place: checked; a click removes it
    OfferRemoval,  // this copy's task, but its place is no longer protected: unchecked; a
                   // click offers to remove it and says why
};
SignInItem ItemFor(SignInStatus status, bool placeProtected) noexcept;

// What a click ended with: the id of a text for the user (0 when all went well), and whether
// that text is a question whether to remove this copy's task. An id, not the text: the worker
// that decides may outlive the program, and the texts are read on the frame's thread alone.
struct SignInOutcome {
    unsigned text = 0;
    bool askToRemove = false;
};

// A click on the item, decided on the scheduler's state at that moment: removes this copy's
// task, or registers one (replacing another path's). This copy's task in a place that is no
// longer protected is not removed unasked: the outcome asks, and RemoveSignInTask follows
// when the user agrees.
SignInOutcome ToggleSignIn(SignInSystem& system, const std::wstring& programPath);
SignInOutcome RemoveSignInTask(SignInSystem& system);
