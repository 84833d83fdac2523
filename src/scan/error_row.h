#pragma once
// One row of the error list: what a scan check found, as the list shows it.

#include <string>

namespace kestrova {

// Small images of the error list: rows of the device-driver group use the first one, rows
// reported through the ignore-list filter the second.
inline constexpr int kDriverRowImage = 0;
inline constexpr int kReportedRowImage = 1;

struct ErrorRow {
    std::wstring type;       // "Error Type", the row's caption: one fixed text per group
    std::wstring keyName;    // "Key Name": registry path text, root name first
    std::wstring keyValue;   // "Key Value": the data found there, or the group's own text
    std::wstring guessPath;  // "Guess Path": the file the data most likely names
    bool checked = true;     // checked rows are the ones a fix acts upon
    int image = kReportedRowImage;

    friend bool operator==(const ErrorRow&, const ErrorRow&) = default;
};

}  // namespace kestrova
