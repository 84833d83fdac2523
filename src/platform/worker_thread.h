#pragma once
// A component that runs one task at a time on a thread of its own and reports the task's
// end on the window thread, through the same UiChannel that carries the task's rows, so
// the end is always seen after everything the task posted.

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/ui_channel.h"
#include "platform/unique_handles.h"

namespace kestrova {

class WorkerThread;

// One run of a WorkerThread: from Start to the terminate event.
class WorkerRun {
public:
    WorkerRun(const WorkerRun&) = delete;
    WorkerRun& operator=(const WorkerRun&) = delete;

    // The task polls this and returns soon after it turns true.
    bool StopRequested() const { return stop_.load(); }
    void* UserData() const { return userData_; }

private:
    friend class WorkerThread;
    WorkerRun() = default;

    std::atomic<bool> stop_{false};
    // Set when the start event failed: the thread then returns without running the task.
    std::atomic<bool> abandoned_{false};
    void* userData_ = nullptr;
    UniqueKernelHandle thread_;
    UINT_PTR updateTimer_ = 0;
};

// Every event gets the component, the run and the user data value given to Start.
using WorkerEvent = std::function<void(WorkerThread& sender, WorkerRun& run, void* userData)>;

// Created, started and destroyed on the window thread of channel, which must outlive it.
class WorkerThread {
public:
    static constexpr UINT kUpdateIntervalMs = 100;

    explicit WorkerThread(UiChannel& channel);
    // Stops a run in progress and waits for its task to return, processing window messages
    // meanwhile; the run's terminate event is then not raised.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Set before Start. start runs on the thread calling Start before the task begins;
    // execute is the task, on the worker thread (COM initialised for the multithreaded
    // apartment); terminate runs on the window thread after the task has returned, also
    // when it threw; update runs on the window thread every kUpdateIntervalMs during a run
    // when updates are enabled. start, update and terminate hold Lock() while they run.
    WorkerEvent onStart;
    WorkerEvent onExecute;
    WorkerEvent onTerminate;
    WorkerEvent onUpdate;

    // Off by default; read by Start for the run it begins.
    void SetUpdatesEnabled(bool enabled) { updatesEnabled_ = enabled; }
    bool UpdatesEnabled() const { return updatesEnabled_; }

    // Does nothing and returns false while a run is in progress. Otherwise creates the
    // thread suspended, raises start, and lets the thread run. What start throws goes to
    // the caller and the task does not run.
    bool Start(void* userData = nullptr);
    // Asks the task of the run in progress to end; does not wait.
    void Stop();
    // From Start until just before the run's terminate event.
    bool Running() const;

    // Held by the start, update and terminate events; the task takes it to keep clear of them.
    std::recursive_mutex& Lock() { return shared_->lock; }

private:
    // What queued terminate items and timer ticks reach: it outlives the component.
    struct Shared {
        std::recursive_mutex lock;
        std::atomic<bool> destroyed{false};
        WorkerThread* owner = nullptr;
        std::mutex runMutex;
        std::shared_ptr<WorkerRun> current;
    };
    struct ThreadContext;

    static unsigned __stdcall ThreadEntry(void* context);
    static void Finish(const std::shared_ptr<Shared>& shared,
                       const std::shared_ptr<WorkerRun>& run);
    static void Update(const std::shared_ptr<Shared>& shared,
                       const std::shared_ptr<WorkerRun>& run);

    UiChannel& channel_;
    std::shared_ptr<Shared> shared_;
    bool updatesEnabled_ = false;
};

}  // namespace kestrova
