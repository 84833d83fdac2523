#pragma once
// "IE Traces Cleaning": the fixed cleaning actions and the files they find.

#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class IeTracesSection final : public Section {
public:
    explicit IeTracesSection(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;

    TextRows actions;  // the seven fixed actions
    TextRows deletedFiles;
    VirtualListView lvIE;
    VirtualListView lvDeletedFiles;
    GroupBox gbControlPanel;
    Label lblDeleting;
    Button btnTempScan;
    Button btnCleanIE;
    Button btnCheckIE;
    Button btnUncheckIE;
};

}  // namespace kestrova
