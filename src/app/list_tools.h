#pragma once
// The strip above a result list: a filter box that narrows the rows as the user types, the
// count of rows shown while it does, and "Export..." writing the rows shown to a CSV file.
// Creating it also lets the list sort by a click on a column header. A section adds one with
// one call after creating its list; the list gives up the strip's height at its top.

#include <string>

#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"

namespace kestrova {

class IDialogs;

class ListTools {
public:
    static constexpr int kStripHeight = 23;
    // What the list gives up: the strip and the gap below it. A page whose list above has room
    // to spare takes it from there instead, so the result list keeps its designed height.
    static constexpr int kStripSpace = kStripHeight + 3;

    ListTools() = default;
    ~ListTools();
    ListTools(const ListTools&) = delete;
    ListTools& operator=(const ListTools&) = delete;

    // exportName: the file name the save dialog proposes, without ".csv".
    void Create(Panel& page, VirtualListView& list, IDialogs& dialogs, std::wstring exportName);
    // Places the strip at the top of area and the list below it; for a page that changes size.
    void Place(Bounds area);

    AccessLabel lblFilter;  // "Fil&ter:"
    Edit edtFilter;
    Label lblShown;  // "12 of 340 shown" while a filter hides rows
    Button btnExport;

private:
    void edtFilterChange();
    void btnExportClick();
    void ShowCount();

    Panel* page_ = nullptr;
    VirtualListView* list_ = nullptr;
    IDialogs* dialogs_ = nullptr;
    std::wstring exportName_;
};

}  // namespace kestrova
