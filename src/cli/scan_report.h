#pragma once
// The printed result of a scan: the error rows in list order, then the thirteen groups with
// their check boxes and "Errors" counters, then the status line.

#include <string>

#include "cli/collecting_sink.h"

namespace kestrova::cli {

// Plain text for people: one tab-separated line per row and per group.
std::wstring ScanReportText(const CollectingSink& result);

// One JSON object: {"rows": [...], "groups": [...], "status": "..."}, UTF-8.
std::string ScanReportJson(const CollectingSink& result);

// The error rows as CSV (csv_output.h): type, key, value, guess, checked, image. The groups
// and the status line are no rows of that list and are left out.
std::string ScanReportCsv(const CollectingSink& result);

}  // namespace kestrova::cli
