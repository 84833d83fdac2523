#include "app/main_form_pages.h"
#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void ScanErrorsPage::Build(Panel& page, HIMAGELIST smallImages) {
    const Bounds area = PageArea(page);
    ListViewOptions options;
    options.smallImages = smallImages;
    lvScanGroups.Create(page, scanGroups, Bounds{area.x, area.y, area.width, 193},
                        {{L"Scan Groups", 300}, {L"Errors", kAutoWidth}}, options);

    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 52);
    PlaceButtonRow(page, panel.x + 10, panel.y + 18,
                   {{&btnStartScan, L"Start &Scan"},
                    {&btnFixSelected, L"Fix &Errors     ", false},
                    {&btnAdd2Ignore, L"&Add to Ignore List"}});

    const int labelTop = panel.y - 18;
    lblScanLabel.Create(page, L"", Bounds{area.x + 2, labelTop, area.width - 4, 15});
    const int errorsTop = area.y + 193 + kMargin;
    lvErrors.Create(page, errors, Bounds{area.x, errorsTop, area.width, labelTop - 3 - errorsTop},
                    {{L"Error Type", 130},
                     {L"Key Name", 150},
                     {L"Key Value", 140},
                     {L"Guess Path", kAutoWidth}},
                    options);
}

}  // namespace kestrova
