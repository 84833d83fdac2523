#include "app/main_form_pages.h"
#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void HistoryPage::Build(Panel& page) {
    PlaceListOverButtonRow(page, lvHistory, entries,
                           {{L"Name", 223}, {L"Type", 200}, {L"Path", kAutoWidth}}, gbControlPanel,
                           {{&btnRestore, L"&Restore"},
                            {&btnClearUndo, L"&Clear"},
                            {&btnRefresh2, L"&Refresh"},
                            {&btnCheckAll1, L"Ch&eck All"}});
}

}  // namespace kestrova
