#include "managers/startup_manager.h"

#include <stdexcept>

namespace kestrova {

void StartupManager::Fill(const StartupPlaces& places) {
    entries_ = ListStartupEntries(places);
    baseline_.clear();
    for (const StartupEntry& entry : entries_) {
        baseline_.push_back(entry.enabled);
    }
}

void StartupManager::CheckMarks(const std::vector<bool>& marks) const {
    if (marks.size() != entries_.size()) {
        throw std::invalid_argument("one check mark per startup entry expected");
    }
}

bool StartupManager::HasChanges(const std::vector<bool>& marks) const {
    CheckMarks(marks);
    return marks != baseline_;
}

std::vector<StartupApplied> StartupManager::Apply(const std::vector<bool>& marks,
                                                  const StartupPlaces& places) {
    CheckMarks(marks);
    std::vector<StartupApplied> applied;
    for (size_t row = 0; row < marks.size(); ++row) {
        if (marks[row] != baseline_[row]) {
            const StartupEntry& entry = entries_[row];
            applied.push_back(
                {row, entry, marks[row], ApplyStartupChange(entry, places, marks[row])});
        }
    }
    Fill(places);
    return applied;
}

}  // namespace kestrova
