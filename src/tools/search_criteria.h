#pragma once
// Everything a file search is asked for: where to look and what to take.

#include "tools/search_criteria_content.h"
#include "tools/search_criteria_files.h"
#include "tools/search_criteria_tests.h"

namespace kestrova {

struct SearchCriteria {
    FileCriteria files;
    AttributeCriteria attribute;
    DateTimeCriteria timeStamp;
    SizeCriteria size;
    ContentCriteria content;
};

}  // namespace kestrova
