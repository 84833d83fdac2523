#include "app/main_form_pages.h"
#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void StartupPage::Build(Panel& page) {
    const Bounds area = PageArea(page);
    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 52);
    lvStartup.Create(page, entries, Bounds{area.x, area.y, area.width, panel.y - kGap - area.y},
                     {{L"Startup Items", 150}, {L"Command", 210}, {L"Location", kAutoWidth}});
    PlaceButtonRow(page, panel.x + 10, panel.y + 18,
                   {{&btnRefresh, L"&Refresh"},
                    {&btnApply, L"&Apply"},
                    {&btnEnable, L"&Check All"},
                    {&btnDisable, L"&UnCheck All"}});
}

}  // namespace kestrova
