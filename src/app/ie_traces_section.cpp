#include "app/ie_traces_section.h"

#include "app/page_layout.h"
#include "app/list_rows.h"

namespace kestrova {

using namespace layout;

void IeTracesSection::Build(Panel& page) {
    const Bounds area = PageArea(page);
    FillIeActionRows(actions);
    lvIE.Create(
        page, actions, Bounds{area.x, area.y, area.width, 160},
        {{L"Action", 230}, {L"Restart IE", 70, LVCFMT_CENTER}, {L"Description", kAutoWidth}});
    const Bounds panel = PlaceControlPanel(page, gbControlPanel, 68);
    const int filesTop = area.y + 160 + kMargin;
    lvDeletedFiles.Create(page, deletedFiles,
                          Bounds{area.x, filesTop, area.width, panel.y - kGap - filesTop},
                          {{L"Section", 120}, {L"File Name", 150}, {L"Full Path", kAutoWidth}});
    lblDeleting.Create(page, L"", Bounds{panel.x + 10, panel.y + 17, panel.width - 20, 14});
    PlaceButtonRow(page, panel.x + 10, panel.y + 35,
                   {{&btnTempScan, L"&Start Scan"},
                    {&btnCleanIE, L"&Cleanup"},
                    {&btnCheckIE, L"&Check All"},
                    {&btnUncheckIE, L"&Uncheck All"}});
}

}  // namespace kestrova
