#pragma once
// A scan sink that keeps what a run reports, as the window's lists would show it.

#include <array>
#include <atomic>
#include <string>
#include <utility>

#include "scan/error_list.h"
#include "scan/scan_groups.h"
#include "scan/scan_sink.h"

namespace kestrova::cli {

class CollectingSink : public ScanSink {
public:
    // checked: the groups to run; stop: set (from any thread) to ask the run to stop.
    CollectingSink(const std::array<bool, kScanGroupCount>& checked, const std::atomic<bool>& stop)
        : checked_(checked), stop_(stop) {
        errors_.fill(L"0");
    }

    void AddRow(ErrorRow row) override { rows_.Add(std::move(row)); }
    void SetStatus(const std::wstring& text) override { status_ = text; }
    void SetGroupCount(int group, int count) override { errors_[group] = std::to_wstring(count); }
    bool StopRequested() const override { return stop_.load(); }
    bool GroupChecked(int group) const override { return checked_[group]; }

    // The status line as the end of a run leaves it (ScanEndStatus).
    void EndRun(std::wstring endStatus) { status_ = std::move(endStatus); }

    const ErrorList& Rows() const { return rows_; }
    bool Checked(int group) const { return checked_[group]; }
    const std::wstring& ErrorsText(int group) const { return errors_[group]; }
    const std::wstring& Status() const { return status_; }

private:
    ErrorList rows_;
    std::array<bool, kScanGroupCount> checked_;
    std::array<std::wstring, kScanGroupCount> errors_;
    std::wstring status_;
    const std::atomic<bool>& stop_;
};

}  // namespace kestrova::cli
