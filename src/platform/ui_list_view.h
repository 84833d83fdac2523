#pragma once
// A report list view over a ListModel (LVS_OWNERDATA): the control holds no rows, it asks the
// model for each cell it paints, so a hundred thousand rows cost nothing. Check boxes are the
// model's check marks, drawn through the state image and toggled by click or space bar.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/list_model.h"
#include "platform/row_order.h"
#include "platform/ui_controls.h"

namespace kestrova {

// A column takes its width in pixels at 96 dots per inch (scaled with the window), or kAutoWidth:
// the auto columns share what the fixed ones leave of the list's width.
inline constexpr int kAutoWidth = -1;

struct ListColumn {
    std::wstring caption;
    int width = kAutoWidth;
    int format = LVCFMT_LEFT;
    // The column can never be made wider than its width, neither by the user nor by code.
    bool widthLocked = false;
};

struct ListViewOptions {
    bool checkBoxes = true;
    bool gridLines = true;
    bool keepSelection = true;  // the selection stays visible without the focus
    bool multiSelect = false;
    HIMAGELIST smallImages = nullptr;  // owned by the caller
};

class VirtualListView : public Control {
public:
    VirtualListView() = default;
    ~VirtualListView();
    VirtualListView(const VirtualListView&) = delete;
    VirtualListView& operator=(const VirtualListView&) = delete;

    void Create(Container& parent, ListModel& model, Bounds bounds,
                const std::vector<ListColumn>& columns, const ListViewOptions& options = {});

    ListModel& Model() const { return *model_; }
    // Selects every row (a list that allows several), or none.
    void SelectAll();
    void ClearSelection();
    // Runs after a click or key press in the list, once a check mark it changed is in the
    // model: the list's OnClick.
    void OnClick(EventTable::Handler handler) { onClick_ = std::move(handler); }
    void OnDoubleClick(EventTable::Handler handler) { onDoubleClick_ = std::move(handler); }
    // Runs on a right click or the menu key, with the point (screen coordinates) where a menu
    // should open: at the mouse, or for the key below the selected row.
    void OnContextMenu(std::function<void(POINT at)> handler) {
        onContextMenu_ = std::move(handler);
    }

    // Stops and restarts painting around a long change.
    void SetRedraw(bool redraw);
    // Rows are always model indices here, whatever the order shown: the focused row or else
    // the first selected one; -1 when nothing is selected.
    int SelectedIndex() const;
    std::vector<size_t> SelectedRows() const;
    // Selects one row, scrolled into view unless makeVisible is false; a row the filter hides
    // leaves nothing selected.
    void Select(size_t row, bool makeVisible = true);

    // --- The order shown. Until the user sorts or filters, the model's own order.
    // Lets a click on a column header sort by it: ascending, then descending, then the
    // model's order again.
    void EnableSorting();
    void SortBy(size_t column, bool descending);
    size_t SortColumn() const { return order_->SortColumn(); }
    bool SortDescending() const { return order_->Descending(); }
    // Shows only the rows holding the text in a shown column (case-insensitive).
    void SetFilter(const std::wstring& text);
    const std::wstring& Filter() const { return order_->Filter(); }
    // The model indices of the rows shown, in the order shown.
    std::vector<size_t> ShownRows() const { return order_->ShownRows(); }
    size_t ShownCount() const { return order_->Count(); }
    // The columns the user can see: all but those locked at one pixel or less.
    std::vector<size_t> ShownColumns() const;
    const std::vector<ListColumn>& Columns() const { return columns_; }
    // Runs when the rows shown may have changed: the model's rows, the sort or the filter.
    void OnShownChanged(std::function<void()> handler) { onShownChanged_ = std::move(handler); }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR id, DWORD_PTR self);
    // Check boxes are toggled here, before the control sees the click or key, so the mark
    // changes once, in the model, whatever the control itself would do with it.
    bool HandleCheckInput(UINT message, WPARAM wparam, LPARAM lparam);
    void ShowFocusedRow();
    bool HandleNotify(NMHDR& header, LRESULT& result);
    void ModelChanged();
    // Applies a change of the order, keeping the same model rows selected.
    void Reorder(const std::function<void()>& change);
    // The focused row as a model row: none or one.
    std::vector<size_t> FocusedModelRow() const;
    // Selects and focuses these model rows where they are shown now, and nothing else.
    void Reselect(const std::vector<size_t>& selected, const std::vector<size_t>& focused);
    void ShowSortArrow();
    void ColumnClick(int column);
    size_t ModelRow(int shown) const { return order_->ModelRow(static_cast<size_t>(shown)); }
    void ToggleCheck(int shown);
    void FitAutoColumns();
    // A fixed column's width at the window's dots per inch (0 for an auto column).
    int ColumnWidth(size_t column) const;
    void RunClick();
    void RunContextMenu(LPARAM lparam);

    ListModel* model_ = nullptr;
    EventTable* events_ = nullptr;
    bool checkBoxes_ = false;
    std::vector<ListColumn> columns_;
    size_t shownCount_ = 0;
    size_t modelRows_ = 0;  // the model's row count when the order was last derived
    bool sortable_ = false;
    std::optional<RowOrder> order_;
    std::function<void()> onShownChanged_;
    EventTable::Handler onClick_;
    EventTable::Handler onDoubleClick_;
    std::function<void(POINT at)> onContextMenu_;
};

}  // namespace kestrova
