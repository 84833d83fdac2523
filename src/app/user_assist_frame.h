#pragma once
// The More Tools page "UserAssist": the usage records Explorer keeps of started programs.

#include "app/section.h"

namespace kestrova {

class TfrmUserAssist final : public Section {
public:
    explicit TfrmUserAssist(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;
};

}  // namespace kestrova
