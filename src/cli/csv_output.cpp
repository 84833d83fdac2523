#include "cli/csv_output.h"

#include "cli/exit_codes.h"
#include "platform/csv.h"

namespace kestrova::cli {

CsvTable::CsvTable(const std::vector<std::wstring>& header) : text_(CsvRecord(header)) {}

void CsvTable::Add(const std::vector<CsvField>& row) {
    std::vector<std::wstring> fields;
    fields.reserve(row.size());
    for (const CsvField& field : row) {
        fields.push_back(field.Text());
    }
    text_ += CsvRecord(fields);
}

OutputForm OutputFormOf(bool json, bool csv) {
    if (json && csv) {
        throw UsageError(L"--csv and --json do not go together");
    }
    return json ? OutputForm::Json : csv ? OutputForm::Csv : OutputForm::Text;
}

OutputForm OutputFormOf(const std::set<std::wstring>& flags) {
    return OutputFormOf(flags.count(L"--json") > 0, flags.count(kCsvFlag) > 0);
}

}  // namespace kestrova::cli
