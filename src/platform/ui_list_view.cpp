#include "platform/ui_list_view.h"

#include <algorithm>

#include "platform/ui_layout.h"

namespace kestrova {

VirtualListView::~VirtualListView() {
    // Normally the parent has taken the control with it; a view that goes first takes its
    // control along, so no notification reaches it afterwards.
    if (hwnd_) {
        RemoveWindowSubclass(hwnd_, SubclassProc, 1);
        DestroyWindow(hwnd_);
    }
    if (model_) {
        model_->SetChangeListener(nullptr);
    }
}

void VirtualListView::Create(Container& parent, ListModel& model, Bounds bounds,
                             const std::vector<ListColumn>& columns,
                             const ListViewOptions& options) {
    model_ = &model;
    events_ = &parent.Events();
    checkBoxes_ = options.checkBoxes;
    columns_ = columns;
    DWORD style = WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_NOSORTHEADER;
    style |= options.keepSelection ? LVS_SHOWSELALWAYS : 0;
    style |= options.multiSelect ? 0 : LVS_SINGLESEL;
    CreateChild(parent, WC_LISTVIEWW, L"", style, WS_EX_CLIENTEDGE, bounds);

    DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP;
    extended |= options.checkBoxes ? LVS_EX_CHECKBOXES : 0;
    extended |= options.gridLines ? LVS_EX_GRIDLINES : 0;
    ListView_SetExtendedListViewStyle(hwnd_, extended);
    if (options.checkBoxes) {
        ListView_SetCallbackMask(hwnd_, LVIS_STATEIMAGEMASK);
    }
    if (options.smallImages) {
        ListView_SetImageList(hwnd_, options.smallImages, LVSIL_SMALL);
    }

    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = columns_[i].format;
        column.pszText = const_cast<wchar_t*>(columns_[i].caption.c_str());
        column.cx = ColumnWidth(i);
        column.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(hwnd_, static_cast<int>(i), &column);
    }
    FitAutoColumns();
    order_.emplace(model, ShownColumns());

    parent.Events().OnNotify(
        hwnd_, [this](NMHDR& header, LRESULT& result) { return HandleNotify(header, result); });
    model_->SetChangeListener([this] { ModelChanged(); });
    ModelChanged();
    SetWindowSubclass(hwnd_, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK VirtualListView::SubclassProc(HWND hwnd, UINT message, WPARAM wparam,
                                               LPARAM lparam, UINT_PTR id, DWORD_PTR self) {
    auto* view = reinterpret_cast<VirtualListView*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, SubclassProc, id);
        view->hwnd_ = nullptr;
    } else if (message == LVM_SETCOLUMNWIDTH || message == LVM_SETCOLUMNW ||
               message == LVM_SETCOLUMNA) {
        // Whoever asks, a locked column gets no wider than its width.
        const size_t column = static_cast<size_t>(wparam);
        if (column < view->columns_.size() && view->columns_[column].widthLocked) {
            const int limit = view->ColumnWidth(column);
            if (message == LVM_SETCOLUMNWIDTH) {
                const int asked = static_cast<short>(LOWORD(lparam));
                return DefSubclassProc(hwnd, message, wparam,
                                       MAKELPARAM(asked < 0 || asked > limit ? limit : asked, 0));
            }
            // LVCOLUMNA and LVCOLUMNW share the layout up to the width.
            auto* changed = reinterpret_cast<LVCOLUMNW*>(lparam);
            if ((changed->mask & LVCF_WIDTH) && (changed->cx < 0 || changed->cx > limit)) {
                changed->cx = limit;
            }
        }
    } else if (message == WM_SETFOCUS) {
        view->ShowFocusedRow();
    } else if (message == WM_SIZE) {
        // Auto columns keep filling the width as the list grows or shrinks.
        const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
        view->FitAutoColumns();
        return result;
    } else if (message == RelayoutMessage()) {
        // The window's dots per inch changed: the fixed columns take their width at the new one.
        for (size_t i = 0; i < view->columns_.size(); ++i) {
            if (view->columns_[i].width != kAutoWidth) {
                ListView_SetColumnWidth(hwnd, static_cast<int>(i), view->ColumnWidth(i));
            }
        }
        view->FitAutoColumns();
        return 0;
    } else if (message == WM_CONTEXTMENU && view->onContextMenu_) {
        view->RunContextMenu(lparam);
        return 0;
    } else if (view->HandleCheckInput(message, wparam, lparam)) {
        return 0;
    }
    return DefSubclassProc(hwnd, message, wparam, lparam);
}

// A list reached with Tab shows where the keys act: the first row unless one has the focus.
void VirtualListView::ShowFocusedRow() {
    if (model_->RowCount() > 0 && ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED) < 0) {
        ListView_SetItemState(hwnd_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

bool VirtualListView::HandleCheckInput(UINT message, WPARAM wparam, LPARAM lparam) {
    if (!checkBoxes_) {
        return false;
    }
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        LVHITTESTINFO hit = {};
        hit.pt = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        const int row = ListView_SubItemHitTest(hwnd_, &hit);
        if (row < 0 || !(hit.flags & LVHT_ONITEMSTATEICON) || hit.iSubItem != 0) {
            return false;
        }
        SetFocus(hwnd_);
        ToggleCheck(row);
        RunClick();
        return true;
    }
    if (message == WM_KEYDOWN && wparam == VK_SPACE) {
        const int focused = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED);
        if (focused < 0 || static_cast<size_t>(focused) >= order_->Count()) {
            return true;
        }
        // Every selected row takes the new mark of the focused one.
        const bool mark = !model_->Checked(ModelRow(focused));
        std::vector<size_t> rows = SelectedRows();
        if (rows.empty()) {
            rows.push_back(ModelRow(focused));
        }
        {
            ListModel::Batch batch(*model_);
            for (size_t row : rows) {
                model_->SetChecked(row, mark);
            }
        }
        RunClick();
        return true;
    }
    return message == WM_CHAR && wparam == L' ';
}

void VirtualListView::RunClick() {
    if (onClick_) {
        events_->Run(onClick_);
    }
}

void VirtualListView::RunContextMenu(LPARAM lparam) {
    POINT at = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    if (lparam == -1) {
        // From the keyboard: below the selected row, or at the list's corner.
        RECT row = {};
        const int selected = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
        at = {0, 0};
        if (selected >= 0 && ListView_GetItemRect(hwnd_, selected, &row, LVIR_LABEL)) {
            at = {row.left, row.bottom};
        }
        ClientToScreen(hwnd_, &at);
    }
    events_->Run([this, at] { onContextMenu_(at); });
}

int VirtualListView::ColumnWidth(size_t column) const {
    const int width = columns_.at(column).width;
    return width == kAutoWidth ? 0 : ScaleToDpi(width, WindowDpi(hwnd_));
}

void VirtualListView::FitAutoColumns() {
    RECT client = {};
    GetClientRect(hwnd_, &client);
    // Room for the vertical scroll bar, so filling the list never needs a horizontal one.
    int free = client.right - GetSystemMetrics(SM_CXVSCROLL);
    int autoColumns = 0;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].width == kAutoWidth) {
            ++autoColumns;
        } else {
            // As wide as it is now: the user may have widened it.
            free -= ListView_GetColumnWidth(hwnd_, static_cast<int>(i));
        }
    }
    if (autoColumns == 0) {
        return;
    }
    const int share = std::max(free / autoColumns, ScaleToDpi(40, WindowDpi(hwnd_)));
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].width == kAutoWidth) {
            ListView_SetColumnWidth(hwnd_, static_cast<int>(i), share);
        }
    }
}

void VirtualListView::ModelChanged() {
    // Sorted or filtered, changed rows move to other places: the selection stays on its rows,
    // or an action on "the selected row" would take the row that moved into its place.
    const bool follow = order_->Active() && !order_->UpToDate();
    std::vector<size_t> selected;
    std::vector<size_t> focused;
    if (follow) {
        selected = SelectedRows();
        focused = FocusedModelRow();
    }
    if (!order_->UpToDate()) {
        order_->Refresh();
    }
    const size_t count = order_->Count();
    if (count != shownCount_) {
        shownCount_ = count;
        ListView_SetItemCountEx(hwnd_, static_cast<int>(count),
                                LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    }
    if (follow) {
        // Rows added keep the indices of the rows before them; after a removal an index may
        // name another row, so nothing stays selected.
        if (model_->RowCount() < modelRows_) {
            selected.clear();
            focused.clear();
        }
        Reselect(selected, focused);
    }
    modelRows_ = model_->RowCount();
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (onShownChanged_) {
        onShownChanged_();
    }
}

std::vector<size_t> VirtualListView::ShownColumns() const {
    std::vector<size_t> shown;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!(columns_[i].widthLocked && columns_[i].width <= 1)) {
            shown.push_back(i);
        }
    }
    return shown;
}

void VirtualListView::EnableSorting() {
    sortable_ = true;
    SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~LVS_NOSORTHEADER);
    const HWND header = ListView_GetHeader(hwnd_);
    SetWindowLongPtrW(header, GWL_STYLE, GetWindowLongPtrW(header, GWL_STYLE) | HDS_BUTTONS);
}

void VirtualListView::SortBy(size_t column, bool descending) {
    Reorder([&] {
        order_->SortBy(column < columns_.size() ? column : RowOrder::kNoColumn, descending);
    });
    ShowSortArrow();
}

void VirtualListView::SetFilter(const std::wstring& text) {
    if (text != order_->Filter()) {
        Reorder([&] { order_->SetFilter(text); });
    }
}

void VirtualListView::ColumnClick(int column) {
    const size_t clicked = static_cast<size_t>(column);
    if (order_->SortColumn() != clicked) {
        SortBy(clicked, false);
    } else if (!order_->Descending()) {
        SortBy(clicked, true);
    } else {
        SortBy(RowOrder::kNoColumn, false);
    }
}

void VirtualListView::Reorder(const std::function<void()>& change) {
    const std::vector<size_t> selected = SelectedRows();
    const std::vector<size_t> focused = FocusedModelRow();
    change();
    shownCount_ = order_->Count();
    modelRows_ = model_->RowCount();
    ListView_SetItemCountEx(hwnd_, static_cast<int>(shownCount_), 0);
    Reselect(selected, focused);
    for (size_t row : focused) {
        if (const std::optional<size_t> shown = order_->ShownIndex(row)) {
            ListView_EnsureVisible(hwnd_, static_cast<int>(*shown), FALSE);
        }
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (onShownChanged_) {
        onShownChanged_();
    }
}

std::vector<size_t> VirtualListView::FocusedModelRow() const {
    const int focused = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED);
    return focused >= 0 && static_cast<size_t>(focused) < order_->Count()
               ? std::vector<size_t>{ModelRow(focused)}
               : std::vector<size_t>{};
}

void VirtualListView::Reselect(const std::vector<size_t>& selected,
                               const std::vector<size_t>& focused) {
    ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (size_t row : selected) {
        if (const std::optional<size_t> shown = order_->ShownIndex(row)) {
            ListView_SetItemState(hwnd_, static_cast<int>(*shown), LVIS_SELECTED, LVIS_SELECTED);
        }
    }
    for (size_t row : focused) {
        if (const std::optional<size_t> shown = order_->ShownIndex(row)) {
            ListView_SetItemState(hwnd_, static_cast<int>(*shown), LVIS_FOCUSED, LVIS_FOCUSED);
        }
    }
}

void VirtualListView::ShowSortArrow() {
    const HWND header = ListView_GetHeader(hwnd_);
    for (int i = 0; i < Header_GetItemCount(header); ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (static_cast<size_t>(i) == order_->SortColumn()) {
            item.fmt |= order_->Descending() ? HDF_SORTDOWN : HDF_SORTUP;
        }
        Header_SetItem(header, i, &item);
    }
}

void VirtualListView::SetRedraw(bool redraw) {
    SendMessageW(hwnd_, WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    if (redraw) {
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void VirtualListView::SelectAll() {
    ListView_SetItemState(hwnd_, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void VirtualListView::ClearSelection() {
    ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED);
}

int VirtualListView::SelectedIndex() const {
    int shown = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED | LVNI_SELECTED);
    if (shown < 0) {
        shown = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
    }
    return shown >= 0 && static_cast<size_t>(shown) < order_->Count()
               ? static_cast<int>(ModelRow(shown))
               : -1;
}

std::vector<size_t> VirtualListView::SelectedRows() const {
    std::vector<size_t> rows;
    for (int i = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
         i >= 0 && static_cast<size_t>(i) < order_->Count();
         i = ListView_GetNextItem(hwnd_, i, LVNI_SELECTED)) {
        rows.push_back(ModelRow(i));
    }
    return rows;
}

void VirtualListView::Select(size_t row, bool makeVisible) {
    ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED);
    const std::optional<size_t> shown = order_->ShownIndex(row);
    if (!shown) {
        return;
    }
    const int index = static_cast<int>(*shown);
    ListView_SetItemState(hwnd_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (makeVisible) {
        ListView_EnsureVisible(hwnd_, index, FALSE);
    }
}

void VirtualListView::ToggleCheck(int shown) {
    if (static_cast<size_t>(shown) < order_->Count()) {
        const size_t row = ModelRow(shown);
        model_->SetChecked(row, !model_->Checked(row));
        ListView_RedrawItems(hwnd_, shown, shown);
    }
}

bool VirtualListView::HandleNotify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != hwnd_) {
        // From the header control: hold locked columns at their width.
        if (header.code == HDN_BEGINTRACKW || header.code == HDN_BEGINTRACKA ||
            header.code == HDN_DIVIDERDBLCLICKW || header.code == HDN_DIVIDERDBLCLICKA ||
            header.code == HDN_ITEMCHANGINGW || header.code == HDN_ITEMCHANGINGA) {
            const auto& change = reinterpret_cast<const NMHEADERW&>(header);
            if (change.iItem >= 0 && static_cast<size_t>(change.iItem) < columns_.size() &&
                columns_[static_cast<size_t>(change.iItem)].widthLocked) {
                const bool widening =
                    (header.code != HDN_ITEMCHANGINGW && header.code != HDN_ITEMCHANGINGA) ||
                    (change.pitem && (change.pitem->mask & HDI_WIDTH) &&
                     change.pitem->cxy > ColumnWidth(static_cast<size_t>(change.iItem)));
                if (widening) {
                    result = TRUE;
                    return true;
                }
            }
        }
        if (header.code == HDN_ITEMCHANGEDW || header.code == HDN_ITEMCHANGEDA) {
            // A change the control made on its own (auto-sizing) is undone at once.
            const auto& change = reinterpret_cast<const NMHEADERW&>(header);
            if (change.iItem >= 0 && static_cast<size_t>(change.iItem) < columns_.size() &&
                columns_[static_cast<size_t>(change.iItem)].widthLocked &&
                ListView_GetColumnWidth(hwnd_, change.iItem) >
                    ColumnWidth(static_cast<size_t>(change.iItem))) {
                ListView_SetColumnWidth(hwnd_, change.iItem,
                                        ColumnWidth(static_cast<size_t>(change.iItem)));
            }
        }
        return false;
    }

    switch (header.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
            if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= order_->Count()) {
                return true;
            }
            const size_t row = ModelRow(item.iItem);
            if (item.mask & LVIF_TEXT) {
                item.pszText = const_cast<wchar_t*>(
                    model_->CellText(row, static_cast<size_t>(item.iSubItem)).c_str());
            }
            if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
                item.iImage = model_->Image(row);
            }
            if (item.mask & LVIF_STATE) {
                item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                             INDEXTOSTATEIMAGEMASK(model_->Checked(row) ? 2 : 1);
                item.stateMask |= LVIS_STATEIMAGEMASK;
            }
            return true;
        }
        case LVN_ODFINDITEMW: {
            // Typing a row's first letters selects it.
            const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
            result = -1;
            if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) {
                return true;
            }
            const std::wstring prefix = find.lvfi.psz;
            const size_t count = order_->Count();
            for (size_t step = 0; step < count; ++step) {
                const size_t row = (static_cast<size_t>(std::max(find.iStart, 0)) + step) % count;
                const std::wstring& caption = model_->CellText(ModelRow(static_cast<int>(row)), 0);
                if (caption.size() >= prefix.size() &&
                    CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, caption.c_str(),
                                   static_cast<int>(prefix.size()), prefix.c_str(),
                                   static_cast<int>(prefix.size())) == CSTR_EQUAL) {
                    result = static_cast<LRESULT>(row);
                    break;
                }
            }
            return true;
        }
        case LVN_COLUMNCLICK:
            if (sortable_) {
                ColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
            }
            return true;
        case NM_CLICK:
            RunClick();
            return true;
        case NM_DBLCLK:
            if (onDoubleClick_) {
                events_->Run(onDoubleClick_);
            }
            return true;
    }
    return false;
}

}  // namespace kestrova
