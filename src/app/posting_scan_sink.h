#pragma once
// The scan's sink on the worker thread of the window: every row, status text and counter is
// handed to the window thread through its UiChannel, in the order the scan produced them.

#include <functional>
#include <string>

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

class PostingScanSink final : public ScanSink {
public:
    PostingScanSink(UiPoster poster, const ScanReceivers& receivers, const WorkerRun& run,
                    const ScanGroupChecks& checks)
        : poster_(std::move(poster)), receivers_(receivers), run_(run), checks_(checks) {}

    void AddRow(ErrorRow row) override;
    void SetStatus(const std::wstring& text) override;
    void SetGroupCount(int group, int count) override;
    bool StopRequested() const override { return run_.StopRequested(); }
    bool GroupChecked(int group) const override { return checks_.Checked(group); }

private:
    UiPoster poster_;
    const ScanReceivers& receivers_;
    const WorkerRun& run_;
    const ScanGroupChecks& checks_;
};

}  // namespace kestrova
