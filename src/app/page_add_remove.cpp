#include "app/main_form_pages.h"
#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void AddRemovePage::Build(Panel& page) {
    const Bounds area = PageArea(page);
    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 52);
    // "Key Name" is kept out of sight: one pixel wide, and it can never be widened.
    lvAddRemove.Create(page, entries, Bounds{area.x, area.y, area.width, panel.y - kGap - area.y},
                       {{L"Display Name", kAutoWidth},
                        {L"Uninstall Path", kAutoWidth},
                        {L"Key Name", 1, LVCFMT_LEFT, true}});
    PlaceButtonRow(page, panel.x + 10, panel.y + 18,
                   {{&btnUninstall, L"&Uninstall", false},
                    {&btnDeleteEntry, L"&Delete entries", false},
                    {&btnRefresh1, L"&Refresh"},
                    {&btnCheckAlll2, L"&Check All"}});
}

}  // namespace kestrova
