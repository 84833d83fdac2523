#include "app/startup_section.h"

#include "app/page_layout.h"

namespace kestrova {

using namespace layout;

void StartupSection::Build(Panel& page) {
    PlaceListOverButtonRow(page, lvStartup, entries,
                           {{L"Startup Items", 150}, {L"Command", 210}, {L"Location", kAutoWidth}},
                           gbControlPanel,
                           {{&btnRefresh, L"&Refresh"},
                            {&btnApply, L"&Apply"},
                            {&btnEnable, L"&Check All"},
                            {&btnDisable, L"&UnCheck All"}});
}

}  // namespace kestrova
