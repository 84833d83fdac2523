// The scan's sink of the window gathers its calls on the worker and posts them in groups: the
// window thread must still see every call in the order made, all of them before the run's
// terminate event, and a report followed by a quiet stretch must not wait for the run's end.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/posting_scan_sink.h"
#include "support/message_pump.h"

namespace kestrova {
namespace {

using namespace test;

class PostingScanSinkTest : public ::testing::Test {
protected:
    PostingScanSinkTest() {
        receivers_.addRow = [this](ErrorRow row) {
            seen_.push_back(L"row " + row.keyName);
            ++rowsSeen_;
        };
        receivers_.setStatus = [this](const std::wstring& status) {
            seen_.push_back(L"status " + status);
        };
        receivers_.setGroupCount = [this](int group, int count) {
            seen_.push_back(L"count " + std::to_wstring(group) + L"=" + std::to_wstring(count));
        };
        worker_.onTerminate = [this](WorkerThread&, WorkerRun&, void*) {
            seen_.push_back(L"terminate");
        };
    }
    // Runs task on the worker with a sink and pumps until the terminate event.
    void Run(std::function<void(PostingScanSink&)> task) {
        worker_.onExecute = [this, task](WorkerThread&, WorkerRun& run, void*) {
            PostingScanSink sink(channel_.Poster(), receivers_, run, checks_);
            task(sink);
        };
        ASSERT_TRUE(worker_.Start());
        ASSERT_TRUE(PumpMessagesUntil([this] { return !worker_.Running(); }));
        PumpMessagesFor(30);
    }
    static ErrorRow Row(int i) {
        ErrorRow row;
        row.keyName = std::to_wstring(i);
        return row;
    }

    UiChannel channel_;
    WorkerThread worker_{channel_};
    ScanReceivers receivers_;
    ScanGroupChecks checks_;
    std::vector<std::wstring> seen_;
    std::atomic<int> rowsSeen_{0};
};

TEST_F(PostingScanSinkTest, EveryCallArrivesInOrderBeforeTheTerminateEvent) {
    // More calls than one group holds, and a last group smaller than the limit.
    const int rows = static_cast<int>(PostingScanSink::kGatherLimit) * 3 + 7;
    std::vector<std::wstring> expected;
    Run([rows](PostingScanSink& sink) {
        for (int i = 0; i < rows; ++i) {
            sink.SetStatus(L"key " + std::to_wstring(i));
            sink.AddRow(Row(i));
            sink.SetGroupCount(i % kScanGroupCount, i);
        }
    });
    for (int i = 0; i < rows; ++i) {
        expected.push_back(L"status key " + std::to_wstring(i));
        expected.push_back(L"row " + std::to_wstring(i));
        expected.push_back(L"count " + std::to_wstring(i % kScanGroupCount) + L"=" +
                           std::to_wstring(i));
    }
    expected.push_back(L"terminate");
    EXPECT_EQ(seen_, expected);
}

TEST_F(PostingScanSinkTest, ARowBeforeAQuietStretchReachesTheWindowDuringTheRun) {
    bool arrivedDuringRun = false;
    Run([this, &arrivedDuringRun](PostingScanSink& sink) {
        sink.AddRow(Row(1));
        // A check that walks keys without reporting anything only polls for a stop.
        for (int i = 0; i < 500 && rowsSeen_ == 0; ++i) {
            EXPECT_FALSE(sink.StopRequested());
            Sleep(10);
        }
        arrivedDuringRun = rowsSeen_ == 1;
    });
    EXPECT_TRUE(arrivedDuringRun);
    EXPECT_EQ(seen_, (std::vector<std::wstring>{L"row 1", L"terminate"}));
}

}  // namespace
}  // namespace kestrova
