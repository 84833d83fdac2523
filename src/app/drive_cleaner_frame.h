#pragma once
// The More Tools page "Drive Cleaner": junk files found on chosen drives by name masks, and
// deleted.

#include "app/section.h"

namespace kestrova {

class TDriveCleanerFrame final : public Section {
public:
    explicit TDriveCleanerFrame(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;
};

}  // namespace kestrova
