#include "platform/worker_thread.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/message_pump.h"

namespace kestrova {
namespace {

using test::PumpMessagesFor;
using test::PumpMessagesUntil;

// Whether another thread could take the lock at this moment.
bool LockedElsewhere(std::recursive_mutex& lock) {
    bool taken = false;
    std::thread([&] {
        taken = lock.try_lock();
        if (taken) {
            lock.unlock();
        }
    }).join();
    return !taken;
}

class WorkerThreadTest : public ::testing::Test {
protected:
    // Runs every item the channel holds now, terminate items included.
    void DrainChannel() {
        bool reached = false;
        channel_.Post([&] { reached = true; });
        ASSERT_TRUE(PumpMessagesUntil([&] { return reached; }));
    }

    const DWORD windowThread_ = GetCurrentThreadId();
    UiChannel channel_;
};

TEST_F(WorkerThreadTest, EventsRunOnTheirThreadsInOrderWithTheRunsValues) {
    WorkerThread worker(channel_);
    int userValue = 0;
    std::vector<std::string> log;  // written by one thread at a time: start, task, terminate
    std::atomic<bool> taskStarted{false};
    HRESULT apartmentProbe = S_OK;

    worker.onStart = [&](WorkerThread& sender, WorkerRun& run, void* userData) {
        EXPECT_EQ(&worker, &sender);
        EXPECT_EQ(&userValue, userData);
        EXPECT_EQ(&userValue, run.UserData());
        EXPECT_EQ(windowThread_, GetCurrentThreadId());
        EXPECT_TRUE(worker.Running());
        Sleep(20);  // a thread let go before its start event ends would show up here
        EXPECT_FALSE(taskStarted.load()) << "the task began before the start event ended";
        log.push_back("start");
    };
    worker.onExecute = [&](WorkerThread& sender, WorkerRun&, void* userData) {
        taskStarted = true;
        EXPECT_EQ(&worker, &sender);
        EXPECT_EQ(&userValue, userData);
        EXPECT_NE(windowThread_, GetCurrentThreadId());
        EXPECT_EQ(THREAD_PRIORITY_NORMAL, GetThreadPriority(GetCurrentThread()));
        // Asking for a single-threaded apartment fails when the thread is already in the MTA.
        apartmentProbe = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(apartmentProbe)) {
            CoUninitialize();
        }
        log.push_back("execute");
    };
    worker.onTerminate = [&](WorkerThread& sender, WorkerRun&, void* userData) {
        EXPECT_EQ(&worker, &sender);
        EXPECT_EQ(&userValue, userData);
        EXPECT_EQ(windowThread_, GetCurrentThreadId());
        EXPECT_FALSE(worker.Running()) << "terminate could not start the next run";
        log.push_back("terminate");
    };

    ASSERT_TRUE(worker.Start(&userValue));
    ASSERT_TRUE(PumpMessagesUntil([&] { return !worker.Running(); }));
    EXPECT_EQ((std::vector<std::string>{"start", "execute", "terminate"}), log);
    EXPECT_EQ(RPC_E_CHANGED_MODE, apartmentProbe);
}

TEST_F(WorkerThreadTest, StartIsIgnoredWhileRunningAndStopEndsAPollingTask) {
    WorkerThread worker(channel_);
    int starts = 0;
    int terminates = 0;
    std::atomic<int> polls{0};
    bool stopSeenAtTerminate = false;
    worker.onStart = [&](WorkerThread&, WorkerRun&, void*) { ++starts; };
    worker.onExecute = [&](WorkerThread&, WorkerRun& run, void*) {
        while (!run.StopRequested()) {
            ++polls;
            Sleep(1);
        }
    };
    worker.onTerminate = [&](WorkerThread&, WorkerRun& run, void*) {
        ++terminates;
        stopSeenAtTerminate = run.StopRequested();
    };

    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpMessagesUntil([&] { return polls > 0; }));
    EXPECT_FALSE(worker.Start());
    EXPECT_EQ(1, starts);
    EXPECT_TRUE(worker.Running());

    worker.Stop();
    ASSERT_TRUE(PumpMessagesUntil([&] { return terminates == 1; }));
    EXPECT_TRUE(stopSeenAtTerminate);
    EXPECT_FALSE(worker.Running());

    // The stop belonged to the finished run: the next run polls again until stopped.
    polls = 0;
    ASSERT_TRUE(worker.Start());
    EXPECT_EQ(2, starts);
    ASSERT_TRUE(PumpMessagesUntil([&] { return polls > 0; }));
    EXPECT_TRUE(worker.Running());
    worker.Stop();
    ASSERT_TRUE(PumpMessagesUntil([&] { return terminates == 2; }));
}

TEST_F(WorkerThreadTest, StopFromStartEventReachesTheTask) {
    WorkerThread worker(channel_);
    bool stopSeen = false;
    worker.onStart = [&](WorkerThread& sender, WorkerRun&, void*) { sender.Stop(); };
    worker.onExecute = [&](WorkerThread&, WorkerRun& run, void*) {
        stopSeen = run.StopRequested();
    };
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpMessagesUntil([&] { return !worker.Running(); }));
    EXPECT_TRUE(stopSeen);
}

TEST_F(WorkerThreadTest, TerminateArrivesAfterEverythingTheTaskPosted) {
    WorkerThread worker(channel_);
    constexpr int kRows = 20000;
    int rowsShown = 0;
    int rowsAtTerminate = -1;
    int terminates = 0;
    worker.onExecute = [&](WorkerThread&, WorkerRun&, void*) {
        const UiPoster poster = channel_.Poster();
        for (int i = 0; i < kRows; ++i) {
            poster.Post([&] { ++rowsShown; });
        }
    };
    worker.onTerminate = [&](WorkerThread&, WorkerRun&, void*) {
        ++terminates;
        rowsAtTerminate = rowsShown;
    };
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpMessagesUntil([&] { return terminates > 0; }));
    EXPECT_EQ(kRows, rowsAtTerminate);
    DrainChannel();
    EXPECT_EQ(1, terminates);
}

TEST_F(WorkerThreadTest, FailingTaskEndsQuietlyAndTerminateFollows) {
    int reportedErrors = 0;
    channel_.SetErrorHandler([&](std::exception_ptr) { ++reportedErrors; });
    const std::function<void()> failures[] = {
        [] { throw std::runtime_error("registry error"); },
        [] { throw 42; },
    };
    for (const auto& fail : failures) {
        WorkerThread worker(channel_);
        bool rowShown = false;
        int terminates = 0;
        worker.onExecute = [&](WorkerThread&, WorkerRun&, void*) {
            channel_.Post([&] { rowShown = true; });
            fail();
        };
        worker.onTerminate = [&](WorkerThread&, WorkerRun&, void*) { ++terminates; };
        ASSERT_TRUE(worker.Start());
        ASSERT_TRUE(PumpMessagesUntil([&] { return terminates > 0; }));
        EXPECT_TRUE(rowShown);
        EXPECT_FALSE(worker.Running());
        // The component still works after a failed run.
        ASSERT_TRUE(worker.Start());
        ASSERT_TRUE(PumpMessagesUntil([&] { return terminates == 2; }));
    }
    EXPECT_EQ(0, reportedErrors) << "a failed task must not produce a message";
}

TEST_F(WorkerThreadTest, FailingStartEventLeavesNoRun) {
    WorkerThread worker(channel_);
    std::atomic<bool> executed{false};
    int terminates = 0;
    bool failStart = true;
    worker.onStart = [&](WorkerThread&, WorkerRun&, void*) {
        if (failStart) {
            throw std::runtime_error("cannot clear the list");
        }
    };
    worker.onExecute = [&](WorkerThread&, WorkerRun&, void*) { executed = true; };
    worker.onTerminate = [&](WorkerThread&, WorkerRun&, void*) { ++terminates; };

    EXPECT_THROW(worker.Start(), std::runtime_error);
    EXPECT_FALSE(worker.Running());
    PumpMessagesFor(100);
    EXPECT_FALSE(executed.load());
    EXPECT_EQ(0, terminates);

    failStart = false;
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpMessagesUntil([&] { return terminates == 1; }));
    EXPECT_TRUE(executed.load());
}

TEST_F(WorkerThreadTest, StartUpdateAndTerminateHoldTheComponentLock) {
    WorkerThread worker(channel_);
    worker.SetUpdatesEnabled(true);
    bool startLocked = false;
    bool updateLocked = false;
    bool terminateLocked = false;
    int updates = 0;
    bool terminated = false;
    worker.onStart = [&](WorkerThread& sender, WorkerRun&, void*) {
        startLocked = LockedElsewhere(sender.Lock());
    };
    worker.onUpdate = [&](WorkerThread& sender, WorkerRun&, void*) {
        if (++updates == 1) {
            updateLocked = LockedElsewhere(sender.Lock());
        }
    };
    worker.onExecute = [&](WorkerThread& sender, WorkerRun& run, void*) {
        while (!run.StopRequested()) {
            std::lock_guard<std::recursive_mutex> lock(sender.Lock());
            Sleep(1);
        }
    };
    worker.onTerminate = [&](WorkerThread& sender, WorkerRun&, void*) {
        terminateLocked = LockedElsewhere(sender.Lock());
        terminated = true;
    };
    ASSERT_TRUE(worker.Start());
    ASSERT_TRUE(PumpMessagesUntil([&] { return updates > 0; }));
    worker.Stop();
    ASSERT_TRUE(PumpMessagesUntil([&] { return terminated; }));
    EXPECT_TRUE(startLocked);
    EXPECT_TRUE(updateLocked);
    EXPECT_TRUE(terminateLocked);
    EXPECT_FALSE(LockedElsewhere(worker.Lock()));
}

TEST_F(WorkerThreadTest, UpdatesRunOnWindowThreadOnlyWhenEnabledAndDuringTheRun) {
    for (const bool enabled : {false, true}) {
        SCOPED_TRACE(enabled ? "updates on" : "updates off");
        WorkerThread worker(channel_);
        EXPECT_FALSE(worker.UpdatesEnabled()) << "updates are off by default";
        worker.SetUpdatesEnabled(enabled);
        int updates = 0;
        bool offThread = false;
        int updatesAtTerminate = -1;
        worker.onUpdate = [&](WorkerThread&, WorkerRun&, void*) {
            ++updates;
            offThread = offThread || GetCurrentThreadId() != windowThread_;
        };
        worker.onExecute = [&](WorkerThread&, WorkerRun& run, void*) {
            while (!run.StopRequested()) {
                Sleep(1);
            }
        };
        worker.onTerminate = [&](WorkerThread&, WorkerRun&, void*) {
            updatesAtTerminate = updates;
        };
        ASSERT_TRUE(worker.Start());
        if (enabled) {
            ASSERT_TRUE(PumpMessagesUntil([&] { return updates >= 3; }));
        } else {
            PumpMessagesFor(350);  // several update intervals
        }
        worker.Stop();
        ASSERT_TRUE(PumpMessagesUntil([&] { return updatesAtTerminate >= 0; }));
        PumpMessagesFor(250);
        EXPECT_EQ(updatesAtTerminate, updates) << "update after the run ended";
        EXPECT_EQ(enabled, updates > 0);
        EXPECT_FALSE(offThread);
    }
}

TEST_F(WorkerThreadTest, DestroyingMidRunWaitsForTaskWithoutDeadlockOrTerminate) {
    auto worker = std::make_unique<WorkerThread>(channel_);
    std::atomic<bool> taskRunning{false};
    std::atomic<bool> taskFinished{false};
    std::atomic<bool> windowAnswered{false};
    int rowsShown = 0;
    int terminates = 0;
    worker->onExecute = [&](WorkerThread&, WorkerRun& run, void*) {
        taskRunning = true;
        while (!run.StopRequested()) {
            channel_.Post([&] { ++rowsShown; });
            Sleep(1);
        }
        // A last row the task waits for: only a window thread still dispatching shows it.
        UniqueKernelHandle shown(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        channel_.Post([&, event = shown.Get()] { SetEvent(event); });
        windowAnswered = WaitForSingleObject(shown.Get(), 30000) == WAIT_OBJECT_0;
        Sleep(50);  // a destructor that does not wait would return before this
        taskFinished = true;
    };
    worker->onTerminate = [&](WorkerThread&, WorkerRun&, void*) { ++terminates; };
    ASSERT_TRUE(worker->Start());
    ASSERT_TRUE(PumpMessagesUntil([&] { return taskRunning.load() && rowsShown > 0; }));

    worker.reset();
    EXPECT_TRUE(taskFinished.load());
    EXPECT_TRUE(windowAnswered.load());
    DrainChannel();
    EXPECT_EQ(0, terminates);
}

TEST_F(WorkerThreadTest, TerminateQueuedForADestroyedComponentDoesNothing) {
    auto worker = std::make_unique<WorkerThread>(channel_);
    std::atomic<bool> taskDone{false};
    int terminates = 0;
    worker->onExecute = [&](WorkerThread&, WorkerRun&, void*) { taskDone = true; };
    worker->onTerminate = [&](WorkerThread&, WorkerRun&, void*) { ++terminates; };
    ASSERT_TRUE(worker->Start());
    // No pumping: the task ends and its terminate waits in the channel.
    while (!taskDone) {
        Sleep(1);
    }
    worker.reset();
    DrainChannel();
    EXPECT_EQ(0, terminates);
}

}  // namespace
}  // namespace kestrova
