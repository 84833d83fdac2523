#include "platform/worker_thread.h"

#include <objbase.h>
#include <process.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace kestrova {

namespace {

// Waits for handle while dispatching this thread's messages, so a task that needs the
// window thread (a sent message, an item it waits for) can still finish.
void WaitPumpingMessages(HANDLE handle) {
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
        if (result != WAIT_OBJECT_0 + 1) {
            break;  // the handle is signalled (or the wait failed: nothing left to wait for)
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = message.wParam;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));  // leave it for the message loop
    }
}

}  // namespace

struct WorkerThread::ThreadContext {
    WorkerThread* owner;
    std::shared_ptr<Shared> shared;
    std::shared_ptr<WorkerRun> run;
    WorkerEvent execute;
    UiPoster poster;
};

WorkerThread::WorkerThread(UiChannel& channel)
    : channel_(channel), shared_(std::make_shared<Shared>()) {
    shared_->owner = this;
}

WorkerThread::~WorkerThread() {
    // First, so a terminate item or a tick that is already queued finds nothing to call.
    shared_->destroyed = true;
    std::shared_ptr<WorkerRun> run;
    {
        std::lock_guard<std::mutex> lock(shared_->runMutex);
        run = shared_->current;
    }
    if (!run) {
        return;
    }
    if (run->updateTimer_) {
        channel_.StopTimer(run->updateTimer_);
    }
    run->stop_ = true;
    WaitPumpingMessages(run->thread_.Get());
}

bool WorkerThread::Start(void* userData) {
    std::shared_ptr<WorkerRun> run(new WorkerRun());
    {
        std::lock_guard<std::mutex> lock(shared_->runMutex);
        if (shared_->current) {
            return false;
        }
        shared_->current = run;
    }
    run->userData_ = userData;

    auto context = std::make_unique<ThreadContext>(
        ThreadContext{this, shared_, run, onExecute, channel_.Poster()});
    const uintptr_t thread =
        _beginthreadex(nullptr, 0, &ThreadEntry, context.get(), CREATE_SUSPENDED, nullptr);
    if (!thread) {
        const int error = errno;
        std::lock_guard<std::mutex> lock(shared_->runMutex);
        shared_->current = nullptr;
        throw std::system_error(error, std::generic_category(), "cannot create a worker thread");
    }
    context.release();  // the thread owns it now
    run->thread_.Reset(reinterpret_cast<HANDLE>(thread));
    SetThreadPriority(run->thread_.Get(), THREAD_PRIORITY_NORMAL);

    try {
        std::lock_guard<std::recursive_mutex> lock(shared_->lock);
        if (onStart) {
            onStart(*this, *run, userData);
        }
    } catch (...) {
        run->abandoned_ = true;
        ResumeThread(run->thread_.Get());
        std::lock_guard<std::mutex> lock(shared_->runMutex);
        shared_->current = nullptr;
        throw;
    }
    if (updatesEnabled_) {
        run->updateTimer_ = channel_.StartTimer(kUpdateIntervalMs,
                                                [shared = shared_, run] { Update(shared, run); });
    }
    // A Stop made by the start event is seen by the task through the flag.
    ResumeThread(run->thread_.Get());
    return true;
}

void WorkerThread::Stop() {
    std::lock_guard<std::mutex> lock(shared_->runMutex);
    if (shared_->current) {
        shared_->current->stop_ = true;
    }
}

bool WorkerThread::Running() const {
    std::lock_guard<std::mutex> lock(shared_->runMutex);
    return shared_->current != nullptr;
}

unsigned __stdcall WorkerThread::ThreadEntry(void* argument) {
    std::unique_ptr<ThreadContext> context(static_cast<ThreadContext*>(argument));
    if (context->run->abandoned_) {
        return 0;
    }
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    try {
        if (context->execute) {
            context->execute(*context->owner, *context->run, context->run->userData_);
        }
    } catch (...) {
        // A failed task ends its run quietly; terminate still follows.
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    // Behind every item the task posted, on the same channel.
    context->poster.Post([shared = context->shared, run = context->run] { Finish(shared, run); });
    return 0;
}

void WorkerThread::Finish(const std::shared_ptr<Shared>& shared,
                          const std::shared_ptr<WorkerRun>& run) {
    if (shared->destroyed) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(shared->lock);
    {
        std::lock_guard<std::mutex> runLock(shared->runMutex);
        if (shared->current != run) {
            return;
        }
        shared->current = nullptr;  // so the terminate event may start the next run
    }
    WorkerThread& owner = *shared->owner;
    if (run->updateTimer_) {
        owner.channel_.StopTimer(run->updateTimer_);
    }
    if (owner.onTerminate) {
        owner.onTerminate(owner, *run, run->userData_);
    }
}

void WorkerThread::Update(const std::shared_ptr<Shared>& shared,
                          const std::shared_ptr<WorkerRun>& run) {
    if (shared->destroyed) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(shared->lock);
    {
        std::lock_guard<std::mutex> runLock(shared->runMutex);
        if (shared->current != run) {
            return;
        }
    }
    WorkerThread& owner = *shared->owner;
    if (owner.onUpdate) {
        owner.onUpdate(owner, *run, run->userData_);
    }
}

}  // namespace kestrova
