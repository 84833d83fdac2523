#pragma once
// The More Tools page "UserAssist": the usage records Explorer keeps of started programs,
// listed decoded and deleted by their raw value names.

#include <functional>

#include "app/record_rows.h"
#include "app/list_tools.h"
#include "app/section.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "platform/ui_panel.h"
#include "tools/user_assist.h"

namespace kestrova {

class TfrmUserAssist final : public Section {
public:
    // Where Explorer keeps the records, asked afresh at each listing.
    using LayoutSource = std::function<UserAssistLayout()>;

    explicit TfrmUserAssist(SectionHost& host);

    void Build(Panel& page) override;
    // InitFrame: the list is filled at start.
    void Created() override;

    // Tests list and delete as another Windows version would.
    void UseLayout(LayoutSource source) { layout_ = std::move(source); }

    // lvUserAssist: "FileName", "Type"; each row keeps its value's raw name and key.
    RecordRows<UserAssistRecord> records;
    VirtualListView lvUserAssist;
    ListTools lvUserAssistTools;  // filter, count and export above the list
    Panel Panel1;
    Button btnRefresh;
    Button btnSelectAll;
    Button btnDelete;

private:
    void btnRefreshClick();
    void btnSelectAllClick();
    void btnDeleteClick();

    LayoutSource layout_;
    // btnSelectAll's tag: true while it reads "Un&Select All". Refreshes and deletions keep it.
    bool selectAllTag_ = false;
};

}  // namespace kestrova
