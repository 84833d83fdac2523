#pragma once
// The scan's sink on the worker thread of the window: every row, status text and counter is
// handed to the window thread through its UiChannel, in the order the scan produced them.
// The calls are gathered on the worker and posted together (CallGatherer).

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <variant>

#include "app/call_gatherer.h"
#include "app/scan_group_checks.h"
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

// The calls the sink gathers besides the rows.
namespace scan_calls {
struct Status {
    std::wstring text;
};
struct Count {
    int group;
    int count;
};
using Call = std::variant<ErrorRow, Status, Count>;
}  // namespace scan_calls

class PostingScanSink final : public ScanSink {
    using Gatherer = CallGatherer<scan_calls::Call>;

public:
    static constexpr std::chrono::milliseconds kGatherPeriod = Gatherer::kGatherPeriod;
    static constexpr size_t kGatherLimit = Gatherer::kGatherLimit;

    PostingScanSink(UiPoster poster, const ScanReceivers& receivers, const WorkerRun& run,
                    const ScanGroupChecks& checks);
    PostingScanSink(const PostingScanSink&) = delete;
    PostingScanSink& operator=(const PostingScanSink&) = delete;

    void AddRow(ErrorRow row) override;
    void SetStatus(const std::wstring& text) override;
    void SetGroupCount(int group, int count) override;
    // Also posts gathered calls that are due, so they go out in a stretch without reports.
    bool StopRequested() const override;
    bool GroupChecked(int group) const override { return checks_.Checked(group); }

    // Posts the gathered calls as one item, in the order they were made.
    void Flush() const { gathered_.Flush(); }

private:
    const WorkerRun& run_;
    const ScanGroupChecks& checks_;
    // Only the worker touches it; mutable so the const stop poll can post what is due. Posts
    // what it still holds when the sink goes.
    mutable Gatherer gathered_;
};

}  // namespace kestrova
