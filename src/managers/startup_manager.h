#pragma once
// The startup programs as a list with check marks (checked = enabled): the rows, and the
// baseline of marks taken when the rows were listed. Apply moves only the rows whose mark
// differs from the baseline, so marks set and set back again change nothing. Window thread
// only; the marks themselves stay with the caller (the list's model).

#include <cstddef>
#include <vector>

#include "managers/change_result.h"
#include "managers/startup_entries.h"

namespace kestrova {

// One row moved by Apply.
struct StartupApplied {
    size_t row = 0;  // in the list as it was before Apply
    StartupEntry entry;
    bool enable = false;
    ChangeResult result;
};

class StartupManager {
public:
    // Lists the entries afresh from the places (or those of a version class) and takes their
    // states as the baseline.
    void Fill(const StartupPlaces& places);
    void Fill(int versionClass) { Fill(StartupPlacesOf(versionClass)); }

    const std::vector<StartupEntry>& Entries() const { return entries_; }
    // One mark per row: each entry's state when listed, or the mark it was last applied with.
    const std::vector<bool>& Baseline() const { return baseline_; }

    // True when any mark differs from the baseline: Apply would move something.
    bool HasChanges(const std::vector<bool>& marks) const;

    // Moves every row whose mark differs from its baseline, in row order, in the places (or
    // those of a version class), then lists the entries afresh (rows and baseline), so the list
    // shows the registry as it now is whatever came of each move. One result per row moved.
    // The marks must be one per row; throws std::invalid_argument otherwise.
    std::vector<StartupApplied> Apply(const std::vector<bool>& marks, const StartupPlaces& places);
    std::vector<StartupApplied> Apply(const std::vector<bool>& marks, int versionClass) {
        return Apply(marks, StartupPlacesOf(versionClass));
    }

private:
    void CheckMarks(const std::vector<bool>& marks) const;

    std::vector<StartupEntry> entries_;
    std::vector<bool> baseline_;
};

}  // namespace kestrova
