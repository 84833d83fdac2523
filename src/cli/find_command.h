#pragma once
// "kestrova-cli find --location DIR;DIR [--masks M;M] [--exclude M]... [--min-size N]
// [--max-size N] [--modified-after D] [--modified-before D] [--contains PHRASE]
// [--case-sensitive] [--whole-word] [--json | --csv]": the file search engine with its criteria.

#include <string>
#include <vector>

#include "cli/csv_output.h"
#include "tools/search_criteria.h"

namespace kestrova::cli {

struct FindOptions {
    SearchCriteria criteria;
    OutputForm form = OutputForm::Text;
};

// Throws UsageError for anything not understood.
FindOptions ParseFindOptions(const std::vector<std::wstring>& arguments);

int RunFindCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
