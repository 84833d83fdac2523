#pragma once
// "IE Plugins": the add-ons Internet Explorer loads, by kind.

#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class IePluginsSection final : public Section {
public:
    explicit IePluginsSection(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;

    GroupBox gbDisplay;
    CheckBox DisplayToolbar_CheckBox;
    CheckBox DisplayBHO_CheckBox;
    CheckBox DisplayExpBar_CheckBox;
    CheckBox DisplayMenuExt_CheckBox;
    CheckBox DisplayDownHandle_CheckBox;
    TextRows addOns{LocaleLess};  // sorted by caption
    VirtualListView lvBHO;
    GroupBox gbControlPanel;
    Button ScanToolbar_BitBtn;
    Button Del_SpeedButton;
};

}  // namespace kestrova
