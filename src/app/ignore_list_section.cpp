#include "app/ignore_list_section.h"

#include <tuple>

#include "app/list_rows.h"
#include "app/page_layout.h"
#include "app/store_file.h"
#include "app/store_file_saver.h"
#include "platform/dialogs.h"

namespace kestrova {

using namespace layout;

void IgnoreListSection::Build(Panel& page) {
    const Bounds area = PageArea(page);
    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 106, L"&Control Panel");
    ListViewOptions options;
    options.gridLines = false;
    options.keepSelection = false;
    lvIgnore.Create(page, entries, Bounds{area.x, area.y, area.width, panel.y - kGap - area.y},
                    {{L"Root", 130}, {L"Key Name", 280}, {L"Value", 90}}, options);
    lvIgnore.Anchor(kAnchorAll);

    // The three framed edit boxes side by side, the buttons below them.
    const int boxTop = panel.y + 16;
    const int inner = panel.width - 20;
    const int rootWidth = 140;
    const int valueWidth = 130;
    const int keyWidth = inner - rootWidth - valueWidth - 2 * kGap;
    int x = panel.x + 10;
    // The key name's box takes the width the window gains; the value's keeps to the right.
    for (auto [box, edit, caption, width, anchors] :
         {std::tuple{&gbRoot, &edRoot, L"Root", rootWidth, kAnchorBottomLeft},
          std::tuple{&gbKeyName, &edKeyName, L"Key Name", keyWidth, kAnchorBottomWide},
          std::tuple{&gbValue, &edValue, L"Value", valueWidth, kAnchorBottomRight}}) {
        box->Create(page, caption, Bounds{x, boxTop, width, 44});
        edit->Create(page, L"", Bounds{x + 8, boxTop + 16, width - 16, 21});
        box->Anchor(anchors);
        edit->Anchor(anchors);
        x += width + kGap;
    }
    PlaceButtonRow(page, panel.x + 10, boxTop + 50,
                   {{&btnAdd, L"Add            "},
                    {&btnRemove, L"Remove    "},
                    {&btnRefresh6, L"Refresh"},
                    {&btnCheckall2, L"&Check all"},
                    {&btnUncheckall, L"&Uncheck all"}});

    btnAdd.OnClick(page, [this] { btnAddClick(); });
    btnRemove.OnClick(page, [this] { btnRemoveClick(); });
    btnRefresh6.OnClick(page, [this] { btnRefresh6Click(); });
    btnCheckall2.OnClick(page, [this] { entries.SetAllChecked(true); });
    btnUncheckall.OnClick(page, [this] { entries.SetAllChecked(false); });
}

void IgnoreListSection::Created() {
    Refresh();
}

void IgnoreListSection::Selected() {
    if (entries.RowCount() == 0) {
        Refresh();
    }
}

void IgnoreListSection::StoreChanged(const StoreFile& store) {
    if (&store == &host_.IgnoreStore()) {
        Refresh();
    }
}

IgnoreList IgnoreListSection::Engine() {
    StoreFile& store = host_.IgnoreStore();
    return IgnoreList(store.Document(), SaverFor(store));
}

void IgnoreListSection::Refresh() {
    FillIgnoreRows(host_.IgnoreStore().Document(), entries);
}

void IgnoreListSection::btnAddClick() {
    const IgnoreAddResult result = Engine().Add(edRoot.Text(), edKeyName.Text(), edValue.Text());
    if (result.added) {
        Refresh();
    }
    if (result.saveError) {
        host_.Dialogs().ShowError(*result.saveError);
    }
}

void IgnoreListSection::btnRemoveClick() {
    const auto error = Engine().Remove(entries.CheckedRows());
    Refresh();
    if (error) {
        host_.Dialogs().ShowError(*error);
    }
}

void IgnoreListSection::btnRefresh6Click() {
    Refresh();
}

}  // namespace kestrova
