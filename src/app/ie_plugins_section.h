#pragma once
// "IE Plugins": the add-ons Internet Explorer loads, by kind, listed afresh from the registry
// at every showing, Scan Now and Display click, and removed with a history entry each.

#include <vector>

#include "app/list_tools.h"
#include "app/section.h"
#include "managers/ie_addons.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class IePluginsSection final : public Section {
public:
    explicit IePluginsSection(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;
    void Selected() override;

    GroupBox gbDisplay;
    CheckBox DisplayToolbar_CheckBox;
    CheckBox DisplayBHO_CheckBox;
    CheckBox DisplayExpBar_CheckBox;
    CheckBox DisplayMenuExt_CheckBox;
    CheckBox DisplayDownHandle_CheckBox;
    TextRows addOns;  // in the order listed, which is sorted by name
    VirtualListView lvBHO;
    ListTools lvBHOTools;  // filter, count and export above the list
    GroupBox gbControlPanel;
    Button ScanToolbar_BitBtn;
    Button Del_SpeedButton;

private:
    AddonKinds DisplayedKinds() const;
    // Rebuilds the rows, all unchecked, with the kinds the Display boxes show.
    void ScanToolbar_BitBtnClick();
    void Del_SpeedButtonClick();

    // The add-ons listed, one per row of addOns and in the same order.
    std::vector<AddonRow> rows_;
};

}  // namespace kestrova
