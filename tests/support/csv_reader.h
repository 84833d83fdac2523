#pragma once
// A strict reader of comma-separated values for tests of the console front end's "--csv":
// every record must end in CR LF, a quoted field may hold commas, doubled quotes and line
// breaks, and a quote anywhere else is an error.

#include <stdexcept>
#include <string>
#include <vector>

namespace kestrova::test {

using CsvRecords = std::vector<std::vector<std::string>>;

class CsvParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The records of text (UTF-8 bytes, kept as they are). Throws CsvParseError for a bare CR or
// LF outside quotes, a last record without its CR LF, an unclosed quote, or text between a
// closing quote and the next comma or line end.
CsvRecords ParseCsv(const std::string& text);

}  // namespace kestrova::test
