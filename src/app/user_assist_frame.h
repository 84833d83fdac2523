#pragma once
// The More Tools page "UserAssist": the usage records Explorer keeps of started programs,
// listed decoded and deleted by their raw value names.

#include "app/record_rows.h"
#include "app/section.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "platform/ui_panel.h"
#include "tools/user_assist.h"

namespace kestrova {

class TfrmUserAssist final : public Section {
public:
    explicit TfrmUserAssist(SectionHost& host);

    void Build(Panel& page) override;
    // InitFrame: the list is filled at start.
    void Created() override;

    // lvUserAssist: "FileName", "Type"; each row keeps its value's raw name.
    RecordRows<UserAssistRecord> records;
    VirtualListView lvUserAssist;
    Panel Panel1;
    Button btnRefresh;
    Button btnSelectAll;
    Button btnDelete;

private:
    void btnRefreshClick();
    void btnSelectAllClick();
    void btnDeleteClick();

    // btnSelectAll's tag: true while it reads "Un&Select All". Refreshes and deletions keep it.
    bool selectAllTag_ = false;
};

}  // namespace kestrova
