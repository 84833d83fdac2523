#pragma once
// "Restore History": the entries of Backup.xml, one per fixed key or value, written back on
// request.

#include <string>

#include "app/check_all_toggle.h"
#include "app/list_tools.h"
#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "repair/restore_history.h"

namespace kestrova {

class HistorySection final : public Section {
public:
    explicit HistorySection(SectionHost& host) : Section(host) {}

    void Build(Panel& page) override;
    void Selected() override;
    void StoreChanged(const StoreFile& store) override;

    TextRows entries;
    VirtualListView lvHistory;
    ListTools lvHistoryTools;  // filter, count and export above the list
    GroupBox gbControlPanel;
    Button btnRestore;
    Button btnClearUndo;
    Button btnRefresh2;
    Button btnCheckAll1;

private:
    RestoreHistory Engine();
    // Rebuilds the rows from the history: one unchecked row per entry, in document order.
    void Refresh();
    void btnRestoreClick();
    void btnClearUndoClick();
    void btnRefresh2Click();
    void btnCheckAll1Click();

    CheckAllToggle checkAll_{L"Ch&eck All", L"Unch&eck All"};
};

}  // namespace kestrova
