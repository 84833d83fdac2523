#pragma once
// The check boxes of the scan-group list as the scan's worker reads them. The list itself
// belongs to the window thread; the window copies each box here whenever it may have changed,
// and the worker reads the copy, so a box ticked during a scan still counts for a later group.

#include <array>
#include <atomic>

#include "platform/list_model.h"
#include "scan/scan_groups.h"

namespace kestrova {

class ScanGroupChecks {
public:
    ScanGroupChecks() {
        for (auto& check : checks_) {
            check.store(true);
        }
    }
    ScanGroupChecks(const ScanGroupChecks&) = delete;
    ScanGroupChecks& operator=(const ScanGroupChecks&) = delete;

    // Window thread: copies the boxes of the rows the list has (rows it lacks read unchecked).
    void CopyFrom(const ListModel& groups) {
        for (size_t i = 0; i < checks_.size(); ++i) {
            checks_[i].store(i < groups.RowCount() && groups.Checked(i));
        }
    }
    // Any thread.
    bool Checked(int group) const {
        return group >= 0 && group < kScanGroupCount && checks_[static_cast<size_t>(group)].load();
    }

private:
    std::array<std::atomic<bool>, kScanGroupCount> checks_;
};

}  // namespace kestrova
