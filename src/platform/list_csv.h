#pragma once
// A list as the user sees it, written as CSV: the columns shown with their captions, the rows
// shown in the order shown.

#include <string>
#include <vector>

#include "platform/list_model.h"

namespace kestrova {

struct CsvColumn {
    size_t index;          // the model's column
    std::wstring caption;  // as the header shows it; "&" marks are left out
};

// The whole CSV file (mark, header, one record per row); rows are model indices.
std::string ListCsv(const ListModel& model, const std::vector<CsvColumn>& columns,
                    const std::vector<size_t>& rows);

// A caption as shown: "&" marks out, "&&" as one "&".
std::wstring CaptionWithoutMarks(const std::wstring& caption);

// Writes the bytes as the whole file, replacing one that is there; throws Error telling why
// it could not.
void WriteCsvFile(const std::wstring& path, const std::string& bytes);

}  // namespace kestrova
