#pragma once
// One running search's copy of its criteria: the folders to walk, each with its masks, and
// the tests an entry must pass. Later changes to the criteria do not reach it.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tools/find_file_types.h"
#include "tools/search_criteria.h"

namespace kestrova {

struct TargetFolder {
    std::wstring folderPath;  // absolute (UNC on a network drive), ending in "\"
    bool subfolders = true;
    std::vector<std::wstring> fileNames;  // masks, in the order added
    uint16_t minLevel = 0;
    uint16_t maxLevel = 0;
};

class TargetFolderList {
public:
    // The target for folder (expanded to its full form and given a trailing delimiter),
    // found without regard to case, or a new one put at the front of the list.
    TargetFolder& FindOrAdd(const std::wstring& folder);

    // Front (newest) to back (oldest).
    const std::deque<TargetFolder>& Targets() const { return targets_; }

    std::vector<std::wstring> excludedFiles;
    // Folders (with a trailing "\") whose whole subtree is left out.
    std::vector<std::wstring> excludedFolders;

private:
    std::deque<TargetFolder> targets_;
};

class TargetSearch {
public:
    explicit TargetSearch(const SearchCriteria& criteria);

    const TargetFolderList& TargetFolders() const { return targetFolders_; }
    const AttributeCriteria& Attribute() const { return attribute_; }

    // Attributes, size, time stamps, exclusion masks (last to first), content, in that order.
    bool Matches(const std::wstring& folder, const FoundFile& entry) const;
    // Whether folder (ending in "\") lies in, or is, an excluded folder.
    bool FolderExcluded(const std::wstring& folder) const;

private:
    TargetFolderList targetFolders_;
    AttributeCriteria attribute_;
    DateTimeCriteria timeStamp_;
    SizeCriteria size_;
    ContentCriteria content_;
};

}  // namespace kestrova
