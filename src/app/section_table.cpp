#include "app/section_table.h"

#include "app/add_remove_section.h"
#include "app/backup_section.h"
#include "app/history_section.h"
#include "app/ie_plugins_section.h"
#include "app/ie_traces_section.h"
#include "app/ignore_list_section.h"
#include "app/more_tools_section.h"
#include "app/scan_errors_section.h"
#include "app/startup_section.h"

namespace kestrova {

namespace {

using Button = SectionEntry::Button;

const SectionEntry kSections[] = {
    {L"tabScanErrors", Button::Wide, L"Scan and Fix Errors ", Glyph::ScanErrors,
     MakeSection<ScanErrorsSection>},
    {L"tabToolbar", Button::Wide, L"IE Plugins                  ", Glyph::IePlugins,
     MakeSection<IePluginsSection>},
    {L"tabBackup", Button::Wide, L"Backup and Restore", Glyph::Backup, MakeSection<BackupSection>},
    {L"tabHistory", Button::Wide, L"Restore History         ", Glyph::History,
     MakeSection<HistorySection>},
    {L"tabIgnoreList", Button::Wide, L"Ignore List                 ", Glyph::IgnoreList,
     MakeSection<IgnoreListSection>},
    {L"tabAddRemove", Button::Icon, L"Uninstall Manager", Glyph::Uninstall,
     MakeSection<AddRemoveSection>},
    {L"tabStartup", Button::Icon, L"Startup Programs", Glyph::Startup, MakeSection<StartupSection>},
    {L"tsMoreTools", Button::Icon, L"More Tools", Glyph::MoreTools, MakeSection<MoreToolsSection>},
    {L"tabIE", Button::Icon, L"IE Traces Cleaning", Glyph::IeTraces, MakeSection<IeTracesSection>},
};

}  // namespace

std::span<const SectionEntry> MainSections() {
    return kSections;
}

}  // namespace kestrova
