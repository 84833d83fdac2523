#pragma once
// The scan's sink on the worker thread of the window: every row, status text and counter is
// handed to the window thread through its UiChannel, in the order the scan produced them.
// The calls are gathered on the worker and posted together: one channel item (and at most
// one window message) per kGatherPeriod or kGatherLimit calls instead of one per call, which
// under Wine keeps the message traffic from slowing the scan's own registry calls.

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <variant>

#include "app/scan_group_checks.h"
#include "platform/gathering_poster.h"
#include "platform/ui_channel.h"
#include "platform/worker_thread.h"
#include "scan/scan_sink.h"

namespace kestrova {

// What the window thread does with each report. Owned by the window and outliving every item
// the sink posts (items left when the channel goes are dropped).
struct ScanReceivers {
    std::function<void(ErrorRow row)> addRow;
    std::function<void(const std::wstring& status)> setStatus;
    std::function<void(int group, int count)> setGroupCount;
};

class PostingScanSink final : public ScanSink {
public:
    // Gathered calls are posted once the oldest is this old, or once there are this many.
    static constexpr std::chrono::milliseconds kGatherPeriod = GatheringPoster<int>::kGatherPeriod;
    static constexpr size_t kGatherLimit = GatheringPoster<int>::kGatherLimit;

    PostingScanSink(UiPoster poster, const ScanReceivers& receivers, const WorkerRun& run,
                    const ScanGroupChecks& checks);
    // Posts what is still gathered, so everything the run reported is queued before the run
    // returns and its terminate event is queued behind it.
    ~PostingScanSink() override = default;
    PostingScanSink(const PostingScanSink&) = delete;
    PostingScanSink& operator=(const PostingScanSink&) = delete;

    void AddRow(ErrorRow row) override;
    void SetStatus(const std::wstring& text) override;
    void SetGroupCount(int group, int count) override;
    // Also posts gathered calls that are due, so they go out in a stretch without reports.
    bool StopRequested() const override;
    bool GroupChecked(int group) const override { return checks_.Checked(group); }

    // Posts the gathered calls as one item, in the order they were made.
    void Flush() const { calls_.Flush(); }

private:
    struct StatusCall {
        std::wstring text;
    };
    struct CountCall {
        int group;
        int count;
    };
    using Call = std::variant<ErrorRow, StatusCall, CountCall>;

    const WorkerRun& run_;
    const ScanGroupChecks& checks_;
    // Only the worker touches it; mutable so the const stop poll can post what is due.
    mutable GatheringPoster<Call> calls_;
};

}  // namespace kestrova
