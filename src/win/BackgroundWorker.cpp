#include "win/BackgroundWorker.h"

#include <deque>
#include <mutex>
#include <utility>

#include "win/ComApartment.h"
#include "win/CriticalSection.h"
#include "win/UniqueHandle.h"

struct BackgroundWorker::Shared {
    HWND replyWindow = nullptr;
    UINT replyMessage = 0;
    UniqueKernelHandle wake{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    CriticalSection lock;
    std::deque<Job> jobs;
    std::deque<Reply> replies;
    bool stopping = false;
    UniqueKernelHandle thread;

    // The next job, or an empty one when there is none (stopping: whether to end).
    Job Take(bool& stop) {
        std::lock_guard<CriticalSection> guard(lock);
        stop = stopping && jobs.empty();
        if (jobs.empty()) return Job();
        Job job = std::move(jobs.front());
        jobs.pop_front();
        return job;
    }
    void QueueReply(Reply reply) {
        {
            std::lock_guard<CriticalSection> guard(lock);
            if (stopping) return;
            replies.push_back(std::move(reply));
        }
        ::PostMessageW(replyWindow, replyMessage, 0, 0);
    }
};

BackgroundWorker::BackgroundWorker(HWND replyWindow, UINT replyMessage, DWORD stopWaitMs)
    : m_shared(std::make_shared<Shared>()), m_stopWaitMs(stopWaitMs) {
    m_shared->replyWindow = replyWindow;
    m_shared->replyMessage = replyMessage;
}

bool BackgroundWorker::Started() {
    if (m_shared->thread) return true;
    if (!m_shared->wake) return false;
    // The thread holds the shared state itself, so that it may outlive this object.
    auto* forThread = new std::shared_ptr<Shared>(m_shared);
    m_shared->thread.Reset(::CreateThread(nullptr, 0, &ThreadMain, forThread, 0, nullptr));
    if (m_shared->thread) return true;
    delete forThread;
    return false;
}

BackgroundWorker::~BackgroundWorker() {
    {
        std::lock_guard<CriticalSection> guard(m_shared->lock);
        m_shared->stopping = true;
        m_shared->replies.clear();
    }
    if (!m_shared->thread) return;
    ::SetEvent(m_shared->wake.Get());
    ::WaitForSingleObject(m_shared->thread.Get(), m_stopWaitMs);
}

void BackgroundWorker::Post(Job job) {
    if (!Started()) return;
    {
        std::lock_guard<CriticalSection> guard(m_shared->lock);
        m_shared->jobs.push_back(std::move(job));
    }
    ::SetEvent(m_shared->wake.Get());
}

void BackgroundWorker::RunReplies() {
    // A reply may show a box whose loop ends the owner, and this object with it: the queue
    // stays alive here, and the destructor has emptied it.
    const std::shared_ptr<Shared> shared = m_shared;
    for (;;) {
        Reply reply;
        {
            std::lock_guard<CriticalSection> guard(shared->lock);
            if (shared->replies.empty()) return;
            reply = std::move(shared->replies.front());
            shared->replies.pop_front();
        }
        reply();
    }
}

DWORD WINAPI BackgroundWorker::ThreadMain(void* parameter) {
    std::unique_ptr<std::shared_ptr<Shared>> holder(static_cast<std::shared_ptr<Shared>*>(parameter));
    Shared& shared = **holder;
    // A single-threaded apartment, as the shell asks of its callers; it is served by the
    // message pump below while the worker waits.
    ComApartment com;
    for (;;) {
        bool stop = false;
        if (Job job = shared.Take(stop)) {
            try {
                if (Reply reply = job()) shared.QueueReply(std::move(reply));
            } catch (...) {
                // A job that failed reports nothing more; the next one runs as usual.
            }
            continue;
        }
        if (stop) return 0;
        HANDLE wake = shared.wake.Get();
        ::MsgWaitForMultipleObjects(1, &wake, FALSE, INFINITE, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
}
