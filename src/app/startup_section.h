#pragma once
// "Startup Programs": the programs Windows starts, enabled or disabled here.

#include <functional>
#include <vector>

#include "app/list_tools.h"
#include "app/section.h"
#include "managers/startup_manager.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class StartupSection final : public Section {
public:
    // The Windows version class, or the places of the running system, asked afresh at each
    // listing and each Apply.
    using VersionClassSource = std::function<int()>;
    using PlacesSource = std::function<StartupPlaces()>;

    explicit StartupSection(SectionHost& host);

    void Build(Panel& page) override;
    void Selected() override;

    // Tests list and move entries as another Windows version would.
    void UseVersionClass(VersionClassSource source) {
        places_ = [source = std::move(source)] { return StartupPlacesOf(source()); };
    }
    void UseStartupPlaces(PlacesSource source) { places_ = std::move(source); }

    TextRows entries;  // checked = enabled
    VirtualListView lvStartup;
    ListTools lvStartupTools;  // filter, count and export above the list
    GroupBox gbControlPanel;
    Button btnRefresh;
    Button btnApply;
    Button btnEnable;
    Button btnDisable;

private:
    // Lists the entries afresh and takes their states as the baseline.
    void Fill();
    // The rows shown from the manager's entries, each marked as its entry's state.
    void ShowEntries();
    std::vector<bool> Marks() const;
    void btnRefreshClick();
    void btnApplyClick();
    void lvStartupClick();

    StartupManager manager_;
    PlacesSource places_;
};

}  // namespace kestrova
