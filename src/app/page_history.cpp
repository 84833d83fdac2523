#include "app/main_form_pages.h"
#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void HistoryPage::Build(Panel& page) {
    const Bounds area = PageArea(page);
    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 52);
    lvHistory.Create(page, entries, Bounds{area.x, area.y, area.width, panel.y - kGap - area.y},
                     {{L"Name", 223}, {L"Type", 200}, {L"Path", kAutoWidth}});
    PlaceButtonRow(page, panel.x + 10, panel.y + 18,
                   {{&btnRestore, L"&Restore"},
                    {&btnClearUndo, L"&Clear"},
                    {&btnRefresh2, L"&Refresh"},
                    {&btnCheckAll1, L"Ch&eck All"}});
}

}  // namespace kestrova
