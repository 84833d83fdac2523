#pragma once
// The printed result of "kestrova-cli fix": the checked rows of the scan, each in one of three
// outcomes, and the size of the restore history afterwards. Rows keep the error list's order.

#include <string>
#include <vector>

#include "scan/error_row.h"

namespace kestrova::cli {

struct FixReport {
    std::vector<ErrorRow> fixed;        // recorded in the history, then deleted
    std::vector<ErrorRow> notDeleted;   // recorded, but still there (or already gone)
    std::vector<ErrorRow> notRecorded;  // could not be recorded exactly: left alone
    std::vector<ErrorRow> refused;      // a root or a top-level key, or no known root: left alone
    size_t historyEntries = 0;          // entries in the restore history after the fix
};

// Plain text for people: one tab-separated line per row ("fixed", "not deleted" or
// "not recorded" or "refused", then Error Type, Key Name, Key Value, Guess Path), then a summary
// line.
std::wstring FixReportText(const FixReport& report);

// One JSON object, UTF-8: {"fixed": [...], "notDeleted": [...], "notRecorded": [...],
// "refused": [...], "history": N}; each row as {"type", "key", "value", "guess"}.
std::string FixReportJson(const FixReport& report);

// The rows as CSV (csv_output.h): outcome (the JSON's array name: "fixed", "notDeleted",
// "notRecorded" or "refused"), type, key, value, guess; fixed rows first, as in the JSON.
std::string FixReportCsv(const FixReport& report);

}  // namespace kestrova::cli
