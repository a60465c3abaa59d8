#pragma once
// A thread of its own, with a COM apartment of its own, for calls into other processes: the
// desktop shell, Task Scheduler. Started with the first job: a resident program that is not
// used keeps neither the thread nor COM's libraries. The program's main thread owns the
// low-level keyboard hook, and Windows skips, and then silently removes, a hook whose thread
// does not answer in time; so that thread never waits for another process, it hands such
// calls to a worker.
//
// Jobs run one at a time, in the order they were posted, each exactly once. A job hands back
// what is to happen with its result on the owner's thread: the worker posts the reply message
// to the owner's window, whose handler calls RunReplies(). A message that does not come from
// the worker finds no reply to run, and replies still waiting when the worker is destroyed
// never run. A job itself must hold what it uses (it may outlive its owner).
#include <windows.h>

#include <functional>
#include <memory>

class BackgroundWorker {
public:
    // Runs on the owner's thread; may be empty.
    using Reply = std::function<void()>;
    // Runs on the worker.
    using Job = std::function<Reply()>;

    static constexpr DWORD kStopWaitMs = 2000;

    BackgroundWorker(HWND replyWindow, UINT replyMessage, DWORD stopWaitMs = kStopWaitMs);
    // Lets the job at hand finish for stopWaitMs; a worker still held by another process
    // after that is left to end by itself (it keeps what it needs alive by itself).
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    // From the owner's thread. Dropped when the worker could not be started (it is tried
    // again with the next job).
    void Post(Job job);
    // On the owner's thread, when the reply message arrives.
    void RunReplies();

private:
    struct Shared;
    static DWORD WINAPI ThreadMain(void* parameter);
    // Starts the thread unless it runs; false when it cannot.
    bool Started();

    std::shared_ptr<Shared> m_shared;
    DWORD m_stopWaitMs;
};
