#include "app/list_tools.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "app/page_layout.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "platform/list_csv.h"

namespace kestrova {

namespace {

constexpr wchar_t kFilterCaption[] = L"Fil&ter:";
constexpr wchar_t kFilterCue[] = L"Type to narrow the list";
constexpr wchar_t kExportCaption[] = L"E&xport...";
constexpr int kFilterWidth = 170;
constexpr int kEditHeight = 21;

Bounds BoundsInParent(HWND control) {
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

ListTools::~ListTools() {
    // The list is its section's member before this one, so it is still there.
    if (list_) {
        list_->OnShownChanged(nullptr);
    }
}

void ListTools::Create(Panel& page, VirtualListView& list, IDialogs& dialogs,
                       std::wstring exportName) {
    page_ = &page;
    list_ = &list;
    dialogs_ = &dialogs;
    exportName_ = std::move(exportName);
    const Bounds area = BoundsInParent(list.Handle());
    // The label first: its access key moves the focus to the edit created next.
    lblFilter.Create(page, kFilterCaption, Bounds{area.x, area.y, 1, 1});
    edtFilter.Create(page, L"", Bounds{area.x, area.y, kFilterWidth, kEditHeight});
    SendMessageW(edtFilter.Handle(), EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(kFilterCue));
    lblShown.Create(page, L"", Bounds{area.x, area.y, 1, 1});
    btnExport.Create(page, kExportCaption, Bounds{area.x, area.y, 1, 1});
    Place(area);
    // The strip keeps to the top of its list and stretches with it; Export keeps to the right,
    // and the list below takes the space the page gains.
    lblFilter.Anchor(kAnchorTopLeft);
    edtFilter.Anchor(kAnchorTopLeft);
    lblShown.Anchor(kAnchorTopWide);
    btnExport.Anchor(kAnchorTopRight);
    list.Anchor(kAnchorAll);
    // The strip comes before its list in the tab order, as it does on the page.
    for (HWND control :
         {lblFilter.Handle(), edtFilter.Handle(), lblShown.Handle(), btnExport.Handle()}) {
        const HWND before = GetWindow(list.Handle(), GW_HWNDPREV);
        SetWindowPos(control, before ? before : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    list.EnableSorting();
    page.Events().OnCommand(edtFilter.Handle(), EN_CHANGE, [this] { edtFilterChange(); });
    btnExport.OnClick(page, [this] { btnExportClick(); });
    list.OnShownChanged([this] { ShowCount(); });
}

void ListTools::Place(Bounds area) {
    const int exportWidth = layout::ButtonWidth(*page_, kExportCaption);
    const int captionWidth = layout::TextWidth(*page_, kFilterCaption) + 4;
    const int editX = area.x + captionWidth;
    const int labelX = editX + kFilterWidth + layout::kGap;
    MoveWindow(lblFilter.Handle(), area.x, area.y + 4, captionWidth, kStripHeight - 4, TRUE);
    MoveWindow(edtFilter.Handle(), editX, area.y + (kStripHeight - kEditHeight) / 2, kFilterWidth,
               kEditHeight, TRUE);
    MoveWindow(lblShown.Handle(), labelX, area.y + 4,
               std::max(area.Right() - exportWidth - layout::kGap - labelX, 0), kStripHeight - 4,
               TRUE);
    MoveWindow(btnExport.Handle(), area.Right() - exportWidth, area.y, exportWidth, kStripHeight,
               TRUE);
    const int listTop = area.y + kStripSpace;
    MoveWindow(list_->Handle(), area.x, listTop, area.width, area.Bottom() - listTop, TRUE);
}

void ListTools::edtFilterChange() {
    list_->SetFilter(edtFilter.Text());
}

void ListTools::ShowCount() {
    const std::wstring text = list_->Filter().empty()
                                  ? std::wstring()
                                  : std::to_wstring(list_->ShownCount()) + L" of " +
                                        std::to_wstring(list_->Model().RowCount()) + L" shown";
    // Every check mark clicked comes here too: the label is only touched when it changes.
    if (text != lblShown.Text()) {
        lblShown.SetText(text);
    }
}

void ListTools::btnExportClick() {
    FileDialogOptions options;
    options.title = L"Export";
    options.filter = L"CSV files (*.csv)|*.csv|All files (*.*)|*.*";
    options.defaultExt = L"csv";
    options.fileName = exportName_ + L".csv";
    const std::optional<std::wstring> path = dialogs_->SaveFile(options);
    if (!path) {
        return;
    }
    std::vector<CsvColumn> columns;
    for (size_t column : list_->ShownColumns()) {
        columns.push_back({column, list_->Columns()[column].caption});
    }
    try {
        WriteCsvFile(*path, ListCsv(list_->Model(), columns, list_->ShownRows()));
    } catch (...) {
        dialogs_->ShowError(ErrorText(std::current_exception()));
    }
}

}  // namespace kestrova
