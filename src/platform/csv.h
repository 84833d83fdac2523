#pragma once
// Comma-separated values as spreadsheets read them: UTF-8, fields holding a comma, quote or
// line break quoted with inner quotes doubled, records ended by CR LF.

#include <string>
#include <vector>

namespace kestrova {

// The byte order mark that tells a spreadsheet a file is UTF-8; written first in a CSV file.
inline constexpr char kCsvUtf8Mark[] = "\xEF\xBB\xBF";

// One record with its line end, in UTF-8.
std::string CsvRecord(const std::vector<std::wstring>& fields);

// The whole file: the mark, the header record, then the rows.
std::string CsvDocument(const std::vector<std::wstring>& header,
                        const std::vector<std::vector<std::wstring>>& rows);

}  // namespace kestrova
