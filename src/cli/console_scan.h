#pragma once
// A registry scan run from the console, for the commands that scan ("scan", "fix"): Ctrl+C
// asks it to stop, as the window's "Stop &Scan" does, and what was found so far stays.

#include <array>

#include "cli/collecting_sink.h"
#include "platform/xml_document.h"
#include "scan/scan_driver.h"
#include "scan/scan_groups.h"

namespace kestrova::cli {

// The data folder's ignore list: ignore.xml, or an empty list when there is none. Throws
// XmlError when the file cannot be read.
void LoadIgnoreList(XmlDocument& ignoreList, const std::wstring& dataFolder);

class ConsoleScan {
public:
    explicit ConsoleScan(const std::array<bool, kScanGroupCount>& groups);

    // Runs the checked groups on this thread and ends the run's status line.
    ScanOutcome Run(const XmlDocument& ignoreList);
    const CollectingSink& Result() const { return sink_; }

private:
    CollectingSink sink_;
};

}  // namespace kestrova::cli
