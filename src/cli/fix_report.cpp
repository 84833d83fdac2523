#include "cli/fix_report.h"

#include "cli/json_writer.h"
#include "cli/row_output.h"

namespace kestrova::cli {

namespace {

void AppendLines(std::wstring& text, const wchar_t* outcome, const std::vector<ErrorRow>& rows) {
    for (const ErrorRow& row : rows) {
        text += outcome;
        text += L"\t" + RowColumnsText(row) + L"\n";
    }
}

void WriteRows(JsonWriter& json, const wchar_t* name, const std::vector<ErrorRow>& rows) {
    json.Key(name);
    json.BeginArray();
    for (const ErrorRow& row : rows) {
        json.BeginObject();
        WriteRowColumns(json, row);
        json.EndObject();
    }
    json.EndArray();
}

}  // namespace

std::wstring FixReportText(const FixReport& report) {
    std::wstring text;
    AppendLines(text, L"fixed", report.fixed);
    AppendLines(text, L"not deleted", report.notDeleted);
    AppendLines(text, L"not recorded", report.notRecorded);
    AppendLines(text, L"refused", report.refused);
    if (!text.empty()) {
        text += L"\n";
    }
    text += std::to_wstring(report.fixed.size()) + L" fixed, " +
            std::to_wstring(report.notDeleted.size()) + L" not deleted, " +
            std::to_wstring(report.notRecorded.size()) + L" not recorded, " +
            std::to_wstring(report.refused.size()) + L" refused; " +
            std::to_wstring(report.historyEntries) + L" entries in the restore history\n";
    return text;
}

std::string FixReportJson(const FixReport& report) {
    JsonWriter json;
    json.BeginObject();
    WriteRows(json, L"fixed", report.fixed);
    WriteRows(json, L"notDeleted", report.notDeleted);
    WriteRows(json, L"notRecorded", report.notRecorded);
    WriteRows(json, L"refused", report.refused);
    json.Key(L"history");
    json.Int(static_cast<long long>(report.historyEntries));
    json.EndObject();
    return json.Text() + "\n";
}

std::string FixReportCsv(const FixReport& report) {
    std::vector<std::wstring> header = RowColumnNames();
    header.insert(header.begin(), L"outcome");
    CsvTable table(header);
    for (const auto& [outcome, rows] :
         {std::pair{L"fixed", &report.fixed}, std::pair{L"notDeleted", &report.notDeleted},
          std::pair{L"notRecorded", &report.notRecorded}, std::pair{L"refused", &report.refused}}) {
        for (const ErrorRow& row : *rows) {
            std::vector<CsvField> fields = RowColumnFields(row);
            fields.insert(fields.begin(), outcome);
            table.Add(fields);
        }
    }
    return table.Text();
}

}  // namespace kestrova::cli
