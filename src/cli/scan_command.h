#pragma once
// "kestrova-cli scan [--groups 0,1,...] [--json | --csv] [--data-folder DIR]": runs the registry
// scan on the given groups (all thirteen by default) with the ignore list of the data folder and
// prints what it found.

#include <array>
#include <string>
#include <vector>

#include "cli/csv_output.h"
#include "scan/scan_groups.h"

namespace kestrova::cli {

struct ScanOptions {
    std::array<bool, kScanGroupCount> groups{};  // the groups to run
    OutputForm form = OutputForm::Text;
    std::wstring dataFolder;  // with a trailing "\"
};

// Throws UsageError for anything not understood.
ScanOptions ParseScanOptions(const std::vector<std::wstring>& arguments);

int RunScanCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
