#include "app/ie_plugins_section.h"

#include "app/page_layout.h"
#include "app/store_file.h"
#include "app/store_file_saver.h"
#include "managers/ie_addons_delete.h"
#include "platform/dialogs.h"

namespace kestrova {

using namespace layout;

void IePluginsSection::Build(Panel& page) {
    const Bounds area = PageArea(page);
    gbDisplay.Create(page, L"Display", Bounds{area.x, area.y, area.width, 42});
    gbDisplay.Anchor(kAnchorTopWide);
    // The five boxes share the row, the space left over spread between them.
    const std::pair<CheckBox*, const wchar_t*> boxes[] = {
        {&DisplayToolbar_CheckBox, L"Toolbar"},
        {&DisplayBHO_CheckBox, L"Browser Extensions"},
        {&DisplayExpBar_CheckBox, L"Explorer Bars"},
        {&DisplayMenuExt_CheckBox, L"Menu Extensions"},
        {&DisplayDownHandle_CheckBox, L"Download Handler"}};
    int widths[std::size(boxes)] = {};
    int used = 0;
    for (size_t i = 0; i < std::size(boxes); ++i) {
        widths[i] = TextWidth(page, boxes[i].second) + 22;
        used += widths[i];
    }
    const int gap = (area.width - 20 - used) / static_cast<int>(std::size(boxes) - 1);
    int x = area.x + 10;
    for (size_t i = 0; i < std::size(boxes); ++i) {
        boxes[i].first->Create(page, boxes[i].second, Bounds{x, area.y + 17, widths[i], 17}, true);
        x += widths[i] + gap;
    }
    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 52);
    const int listTop = area.y + 42 + kGap;
    ListViewOptions options;
    options.multiSelect = true;
    lvBHO.Create(
        page, addOns, Bounds{area.x, listTop, area.width, panel.y - kGap - listTop},
        {{L"Name", kAutoWidth}, {L"Type", 80}, {L"Registry Entries", 180}, {L"Path", kAutoWidth}},
        options);
    lvBHOTools.Create(page, lvBHO, host_.Dialogs(), L"IE Add-ons");
    PlaceButtonRow(page, panel.x + 10, panel.y + 18,
                   {{&ScanToolbar_BitBtn, L"Scan Now"}, {&Del_SpeedButton, L"&Delete"}});
    for (const auto& box : boxes) {
        box.first->OnClick(page, [this] { ScanToolbar_BitBtnClick(); });
    }
    ScanToolbar_BitBtn.OnClick(page, [this] { ScanToolbar_BitBtnClick(); });
    Del_SpeedButton.OnClick(page, [this] { Del_SpeedButtonClick(); });
}

void IePluginsSection::Selected() {
    ScanToolbar_BitBtnClick();
}

AddonKinds IePluginsSection::DisplayedKinds() const {
    AddonKinds kinds;
    kinds.toolbars = DisplayToolbar_CheckBox.Checked();
    kinds.browserExtensions = DisplayBHO_CheckBox.Checked();
    kinds.explorerBars = DisplayExpBar_CheckBox.Checked();
    kinds.menuExtensions = DisplayMenuExt_CheckBox.Checked();
    kinds.downloadHandler = DisplayDownHandle_CheckBox.Checked();
    return kinds;
}

void IePluginsSection::ScanToolbar_BitBtnClick() {
    rows_ = FillAddonList(DisplayedKinds());
    ListModel::Batch batch(addOns);
    addOns.Clear();
    for (const AddonRow& row : rows_) {
        addOns.Add(TextRow{{row.name, row.type, row.entry, row.path}});
    }
}

void IePluginsSection::Del_SpeedButtonClick() {
    std::vector<AddonRow> checked;
    for (size_t row : addOns.CheckedRows()) {
        checked.push_back(rows_.at(row));
    }
    StoreFile& history = host_.RestoreStore();
    const AddonDeleteResult result =
        DeleteCheckedAddons(history.Document(), SaverFor(history), checked);
    // Protected rows are refused one message each, in the order handled (bottom up); every
    // other failure is told once, together.
    std::wstring failures;
    for (const AddonDeleteOutcome& outcome : result.outcomes) {
        const AddonRow& row = checked.at(outcome.row);
        switch (outcome.status) {
            case AddonDeleteStatus::Deleted:
                break;
            case AddonDeleteStatus::Protected:
                host_.Dialogs().ShowMessage(outcome.message);
                break;
            case AddonDeleteStatus::NotRecorded:
            case AddonDeleteStatus::NotDeleted:
                failures += L"\n" + row.name + L" (" + row.type + L"): " + outcome.message;
                break;
            case AddonDeleteStatus::NotSaved:
                break;  // told below, once
        }
    }
    if (result.saveError) {
        host_.Dialogs().ShowError(
            L"Nothing was deleted: the restore history could not be saved.\n\n" +
            *result.saveError);
    } else if (!failures.empty()) {
        host_.Dialogs().ShowError(L"Some add-ons were not deleted:\n" + failures);
    }
    if (!result.saveError && !result.outcomes.empty()) {
        host_.StoreChanged(history);
    }
    // The list shows what is left in the registry.
    ScanToolbar_BitBtnClick();
}

}  // namespace kestrova
