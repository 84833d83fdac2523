#pragma once
// The More Tools page "File Extensions Manager": the file associations of HKEY_CLASSES_ROOT,
// edited, backed up and restored.

#include "app/section.h"

namespace kestrova {

class TfrmFileAssociator final : public Section {
public:
    explicit TfrmFileAssociator(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;
};

}  // namespace kestrova
