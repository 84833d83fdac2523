#include "support/csv_reader.h"

namespace kestrova::test {

CsvRecords ParseCsv(const std::string& text) {
    CsvRecords records;
    std::vector<std::string> record;
    size_t i = 0;
    while (i < text.size()) {
        std::string field;
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    throw CsvParseError("a quoted field is not closed");
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                if (text[i] == '"') {
                    throw CsvParseError("a quote inside an unquoted field at byte " +
                                        std::to_string(i));
                }
                field += text[i++];
            }
        }
        record.push_back(std::move(field));
        if (i < text.size() && text[i] == ',') {
            ++i;
            continue;
        }
        if (text.compare(i, 2, "\r\n") != 0) {
            throw CsvParseError("a record does not end in CR LF at byte " + std::to_string(i));
        }
        i += 2;
        records.push_back(std::move(record));
        record.clear();
    }
    if (!record.empty()) {
        throw CsvParseError("the last record does not end in CR LF");
    }
    return records;
}

}  // namespace kestrova::test
