#pragma once
// "Startup Programs": the programs Windows starts, enabled or disabled here.

#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class StartupSection final : public Section {
public:
    explicit StartupSection(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;

    TextRows entries;
    VirtualListView lvStartup;
    GroupBox gbControlPanel;
    Button btnRefresh;
    Button btnApply;
    Button btnEnable;
    Button btnDisable;
};

}  // namespace kestrova
