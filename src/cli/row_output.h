#pragma once
// The four columns of an error row, as every command prints them.

#include <string>
#include <vector>

#include "cli/csv_output.h"
#include "cli/json_writer.h"
#include "scan/error_row.h"

namespace kestrova::cli {

// "type\tkey\tvalue\tguess", without a line end.
std::wstring RowColumnsText(const ErrorRow& row);
// The members "type", "key", "value" and "guess" of the object being written.
void WriteRowColumns(JsonWriter& json, const ErrorRow& row);
// The same four for a CSV record: the header's names and a row's fields.
std::vector<std::wstring> RowColumnNames();
std::vector<CsvField> RowColumnFields(const ErrorRow& row);

}  // namespace kestrova::cli
