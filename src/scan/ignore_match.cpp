#include "scan/ignore_match.h"

#include "scan/ignore_list_index.h"

namespace kestrova {

bool IgnoreListMatches(const XmlDocument& ignoreList, const std::wstring& keyName) {
    return IgnoreListIndex(ignoreList).Matches(keyName);
}

}  // namespace kestrova
