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

}  // namespace kestrova::cli
