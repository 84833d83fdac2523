#include "platform/csv.h"

#include "platform/text.h"

namespace kestrova {

namespace {

bool NeedsQuotes(const std::wstring& field) {
    // A leading or trailing blank is quoted too, so readers that trim unquoted fields keep it.
    return field.find_first_of(L",\"\r\n") != std::wstring::npos ||
           (!field.empty() && (field.front() == L' ' || field.back() == L' '));
}

}  // namespace

std::string CsvRecord(const std::vector<std::wstring>& fields) {
    std::wstring line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += L',';
        }
        const std::wstring& field = fields[i];
        if (!NeedsQuotes(field)) {
            line += field;
            continue;
        }
        line += L'"';
        for (const wchar_t c : field) {
            if (c == L'"') {
                line += L'"';
            }
            line += c;
        }
        line += L'"';
    }
    line += L"\r\n";
    return ToUtf8(line);
}

std::string CsvDocument(const std::vector<std::wstring>& header,
                        const std::vector<std::vector<std::wstring>>& rows) {
    std::string document = kCsvUtf8Mark;
    document += CsvRecord(header);
    for (const auto& row : rows) {
        document += CsvRecord(row);
    }
    return document;
}

}  // namespace kestrova
