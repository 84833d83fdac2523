#include "app/startup_section.h"

#include "app/page_layout.h"
#include "platform/dialogs.h"

namespace kestrova {

using namespace layout;

StartupSection::StartupSection(SectionHost& host) : Section(host), places_(SystemStartupPlaces) {}

void StartupSection::Build(Panel& page) {
    PlaceListOverButtonRow(page, lvStartup, entries,
                           {{L"Startup Items", 150}, {L"Command", 210}, {L"Location", kAutoWidth}},
                           gbControlPanel,
                           {{&btnRefresh, L"&Refresh"},
                            {&btnApply, L"&Apply"},
                            {&btnEnable, L"&Check All"},
                            {&btnDisable, L"&UnCheck All"}});
    lvStartupTools.Create(page, lvStartup, host_.Dialogs(), L"Startup Programs");
    btnRefresh.OnClick(page, [this] { btnRefreshClick(); });
    btnApply.OnClick(page, [this] { btnApplyClick(); });
    // Check All and UnCheck All leave the baseline and the Apply button as they are.
    btnEnable.OnClick(page, [this] { entries.SetAllChecked(true); });
    btnDisable.OnClick(page, [this] { entries.SetAllChecked(false); });
    lvStartup.OnClick([this] { lvStartupClick(); });
}

void StartupSection::Selected() {
    if (entries.RowCount() == 0) {
        Fill();
    }
}

void StartupSection::Fill() {
    manager_.Fill(places_());
    ShowEntries();
}

void StartupSection::ShowEntries() {
    ListModel::Batch batch(entries);
    entries.Clear();
    for (const StartupEntry& entry : manager_.Entries()) {
        entries.Add(TextRow{{entry.name, entry.command, entry.location}, entry.enabled});
    }
}

std::vector<bool> StartupSection::Marks() const {
    std::vector<bool> marks(entries.RowCount());
    for (size_t row = 0; row < marks.size(); ++row) {
        marks[row] = entries.Checked(row);
    }
    return marks;
}

void StartupSection::btnRefreshClick() {
    Fill();
}

void StartupSection::btnApplyClick() {
    // The moves that failed are told once, so a refused change never reads as done; the list
    // rebuilt below shows where each entry is.
    const StartupPlaces places = places_();
    std::wstring failed;
    for (const StartupApplied& applied : manager_.Apply(Marks(), places)) {
        // A system whose startup programs are not managed here moves nothing, by design.
        if (!applied.result.done && places.scheme != StartupScheme::None) {
            failed += L"\n" + applied.entry.name + L" (" + applied.entry.location + L"): " +
                      applied.result.reason;
        }
    }
    btnApply.SetEnabled(false);
    if (!failed.empty()) {
        host_.Dialogs().ShowError(L"These programs could not be changed:" + failed);
    }
    host_.Dialogs().ShowInformation(L"You must restart the computer to apply the changes.",
                                    L"Kestrova");
    // Apply has listed the entries afresh and taken the new baseline.
    ShowEntries();
}

void StartupSection::lvStartupClick() {
    btnApply.SetEnabled(manager_.HasChanges(Marks()));
}

}  // namespace kestrova
