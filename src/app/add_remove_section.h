#pragma once
// "Uninstall Manager": the programs registered for uninstalling.

#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class AddRemoveSection final : public Section {
public:
    explicit AddRemoveSection(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;

    TextRows entries{LocaleLess};  // sorted by caption
    VirtualListView lvAddRemove;
    GroupBox gbControlPanel;
    Button btnUninstall;
    Button btnDeleteEntry;
    Button btnRefresh1;
    Button btnCheckAlll2;
};

}  // namespace kestrova
