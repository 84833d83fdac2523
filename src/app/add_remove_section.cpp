#include "app/add_remove_section.h"

#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void AddRemoveSection::Build(Panel& page) {
    // "Key Name" is kept out of sight: one pixel wide, and it can never be widened.
    PlaceListOverButtonRow(page, lvAddRemove, entries,
                           {{L"Display Name", kAutoWidth},
                            {L"Uninstall Path", kAutoWidth},
                            {L"Key Name", 1, LVCFMT_LEFT, true}},
                           gbControlPanel,
                           {{&btnUninstall, L"&Uninstall", false},
                            {&btnDeleteEntry, L"&Delete entries", false},
                            {&btnRefresh1, L"&Refresh"},
                            {&btnCheckAlll2, L"&Check All"}});
}

}  // namespace kestrova
