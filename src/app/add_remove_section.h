#pragma once
// "Uninstall Manager": the programs registered for uninstalling.

#include <functional>
#include <string>
#include <vector>

#include "app/list_tools.h"
#include "app/section.h"
#include "managers/uninstall_entries.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class AddRemoveSection final : public Section {
public:
    explicit AddRemoveSection(SectionHost& host);

    void Build(Panel& page) override;
    void Selected() override;

    // Which registrations are listed, asked afresh at each listing.
    using ScopeSource = std::function<UninstallScope()>;

    // Tests see the uninstallers that would start instead of starting them.
    void UseLauncher(CommandLauncher launcher) { launch_ = std::move(launcher); }
    // Tests list the registrations as another Windows version would.
    void UseUninstallScope(ScopeSource source) { scope_ = std::move(source); }

    TextRows entries{LocaleLess};  // sorted by caption
    VirtualListView lvAddRemove;
    ListTools lvAddRemoveTools;  // filter, count and export above the list
    GroupBox gbControlPanel;
    Button btnUninstall;
    Button btnDeleteEntry;
    Button btnRefresh1;
    Button btnCheckAlll2;

private:
    // Rebuilds the rows, all unchecked, from the registry; keeps them when the Uninstall key
    // does not open. Leaves the buttons as they are.
    void ListEntries();
    // The cells of column of the checked rows, in list order.
    std::vector<std::wstring> CheckedCells(size_t column) const;
    void SetActionsEnabled(bool enabled);
    void lvAddRemoveClick();
    void btnUninstallClick();
    void btnDeleteEntryClick();
    void btnCheckAlll2Click();

    CommandLauncher launch_;
    ScopeSource scope_;
};

}  // namespace kestrova
