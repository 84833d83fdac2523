#pragma once
// "Ignore List": the entries of ignore.xml, typed in or sent from the error list, and removed
// again. Every change is saved at once.

#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "repair/ignore_list.h"

namespace kestrova {

class IgnoreListSection final : public Section {
public:
    explicit IgnoreListSection(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;
    void Created() override;
    void Selected() override;
    void StoreChanged(const StoreFile& store) override;

    TextRows entries;
    VirtualListView lvIgnore;
    GroupBox gbControlPanel;
    GroupBox gbRoot;
    GroupBox gbKeyName;
    GroupBox gbValue;
    Edit edRoot;
    Edit edKeyName;
    Edit edValue;
    Button btnAdd;
    Button btnRemove;
    Button btnRefresh6;
    Button btnCheckall2;
    Button btnUncheckall;

private:
    IgnoreList Engine();
    // Rebuilds the rows from ignore.xml.
    void Refresh();
    void btnAddClick();
    void btnRemoveClick();
    void btnRefresh6Click();
};

}  // namespace kestrova
