#pragma once
// The "--csv" form of a listing command: a header record named as the members of the command's
// "--json" rows (so a script may read either), then one record per row; UTF-8, CR LF line ends,
// no byte order mark (a script reads the first field's name as it stands). Numbers are written
// in decimal, booleans as true or false.

#include <concepts>
#include <set>
#include <string>
#include <vector>

namespace kestrova::cli {

inline constexpr wchar_t kCsvFlag[] = L"--csv";

// One field of a record.
class CsvField {
public:
    CsvField(std::wstring text) : text_(std::move(text)) {}
    CsvField(const wchar_t* text) : text_(text) {}
    CsvField(bool value) : text_(value ? L"true" : L"false") {}
    // A bool takes the overload above, which is an exact match.
    template <std::integral Number>
    CsvField(Number value) : text_(std::to_wstring(value)) {}

    const std::wstring& Text() const { return text_; }

private:
    std::wstring text_;
};

class CsvTable {
public:
    explicit CsvTable(const std::vector<std::wstring>& header);

    void Add(const std::vector<CsvField>& row);
    // The header record and the rows added so far.
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// How a listing command prints its rows.
enum class OutputForm { Text, Json, Csv };

// From "--json" and "--csv"; throws UsageError when both are given.
OutputForm OutputFormOf(bool json, bool csv);
OutputForm OutputFormOf(const std::set<std::wstring>& flags);

}  // namespace kestrova::cli
