#include "app/ie_plugins_section.h"

#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void IePluginsSection::Build(Panel& page) {
    const Bounds area = PageArea(page);
    gbDisplay.Create(page, L"Display", Bounds{area.x, area.y, area.width, 42});
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
    PlaceButtonRow(page, panel.x + 10, panel.y + 18,
                   {{&ScanToolbar_BitBtn, L"Scan Now"}, {&Del_SpeedButton, L"&Delete"}});
}

}  // namespace kestrova
