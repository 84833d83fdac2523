#include "cli/scan_report.h"

#include "cli/json_writer.h"
#include "cli/row_output.h"

namespace kestrova::cli {

namespace {

const wchar_t* CheckBox(bool checked) {
    return checked ? L"[x]" : L"[ ]";
}

}  // namespace

std::wstring ScanReportText(const CollectingSink& result) {
    const ErrorList& rows = result.Rows();
    std::wstring text = L"Error Type\tKey Name\tKey Value\tGuess Path\n";
    for (size_t i = 0; i < rows.Size(); ++i) {
        const ErrorRow& row = rows.At(i);
        text += CheckBox(row.checked);
        text += L" " + RowColumnsText(row) + L"\n";
    }
    text += L"\nScan Groups\tErrors\n";
    for (int group = 0; group < kScanGroupCount; ++group) {
        text += CheckBox(result.Checked(group));
        text += L" " + std::to_wstring(group) + L" ";
        text += kScanGroupCaptions[group];
        text += L"\t" + result.ErrorsText(group) + L"\n";
    }
    text += L"\n" + result.Status() + L"\n";
    return text;
}

std::string ScanReportJson(const CollectingSink& result) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"rows");
    json.BeginArray();
    const ErrorList& rows = result.Rows();
    for (size_t i = 0; i < rows.Size(); ++i) {
        const ErrorRow& row = rows.At(i);
        json.BeginObject();
        WriteRowColumns(json, row);
        json.Key(L"checked");
        json.Bool(row.checked);
        json.Key(L"image");
        json.Int(row.image);
        json.EndObject();
    }
    json.EndArray();
    json.Key(L"groups");
    json.BeginArray();
    for (int group = 0; group < kScanGroupCount; ++group) {
        json.BeginObject();
        json.Key(L"index");
        json.Int(group);
        json.Key(L"caption");
        json.String(kScanGroupCaptions[group]);
        json.Key(L"checked");
        json.Bool(result.Checked(group));
        json.Key(L"errors");
        json.String(result.ErrorsText(group));
        json.EndObject();
    }
    json.EndArray();
    json.Key(L"status");
    json.String(result.Status());
    json.EndObject();
    return json.Text() + "\n";
}

std::string ScanReportCsv(const CollectingSink& result) {
    std::vector<std::wstring> header = RowColumnNames();
    header.insert(header.end(), {L"checked", L"image"});
    CsvTable table(header);
    const ErrorList& rows = result.Rows();
    for (size_t i = 0; i < rows.Size(); ++i) {
        const ErrorRow& row = rows.At(i);
        std::vector<CsvField> fields = RowColumnFields(row);
        fields.insert(fields.end(), {row.checked, row.image});
        table.Add(fields);
    }
    return table.Text();
}

}  // namespace kestrova::cli
