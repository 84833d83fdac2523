#include "cli/row_output.h"

namespace kestrova::cli {

std::wstring RowColumnsText(const ErrorRow& row) {
    return row.type + L"\t" + row.keyName + L"\t" + row.keyValue + L"\t" + row.guessPath;
}

void WriteRowColumns(JsonWriter& json, const ErrorRow& row) {
    json.Key(L"type");
    json.String(row.type);
    json.Key(L"key");
    json.String(row.keyName);
    json.Key(L"value");
    json.String(row.keyValue);
    json.Key(L"guess");
    json.String(row.guessPath);
}

std::vector<std::wstring> RowColumnNames() {
    return {L"type", L"key", L"value", L"guess"};
}

std::vector<CsvField> RowColumnFields(const ErrorRow& row) {
    return {row.type, row.keyName, row.keyValue, row.guessPath};
}

}  // namespace kestrova::cli
