#include "tools/find_file_targets.h"

#include <windows.h>

#include "tools/find_file_masks.h"

namespace kestrova {

namespace {

void SetTargetOptions(TargetFolder& target, bool subfolders, const FileCriteria& files) {
    target.subfolders = subfolders;
    target.minLevel = files.minLevel;
    target.maxLevel = files.maxLevel;
}

}  // namespace

TargetFolder& TargetFolderList::FindOrAdd(const std::wstring& folder) {
    const std::wstring path = IncludeTrailingDelimiter(ExpandUncFileName(folder));
    for (TargetFolder& target : targets_) {
        if (EqualIgnoringCase(target.folderPath, path)) {
            return target;
        }
    }
    targets_.push_front(TargetFolder{path});
    return targets_.front();
}

TargetSearch::TargetSearch(const SearchCriteria& criteria)
    : attribute_(criteria.attribute),
      timeStamp_(criteria.timeStamp),
      size_(criteria.size),
      content_(criteria.content) {
    const FileCriteria& files = criteria.files;
    targetFolders_.excludedFiles = files.excluded;
    for (const std::wstring& folder : files.excludedFolders) {
        if (!folder.empty()) {
            targetFolders_.excludedFolders.push_back(
                IncludeTrailingDelimiter(ExpandUncFileName(folder)));
        }
    }
    for (std::wstring entry : files.included) {
        const bool subfolders = TakeSubfolderFlag(entry, files.subfolders);
        TargetFolder& target = targetFolders_.FindOrAdd(PathPart(entry));
        target.fileNames.push_back(NamePart(entry));
        SetTargetOptions(target, subfolders, files);
    }
    const std::vector<std::wstring> masks = SplitList(files.fileName);
    for (std::wstring entry : SplitList(files.location)) {
        const bool subfolders = TakeSubfolderFlag(entry, files.subfolders);
        TargetFolder& target = targetFolders_.FindOrAdd(entry);
        target.fileNames.insert(target.fileNames.end(), masks.begin(), masks.end());
        SetTargetOptions(target, subfolders, files);
    }
    if (!content_.Phrase().empty()) {
        FileAttributes attributes = attribute_.Attributes();
        attributes.Remove(FileAttribute::Directory);
        attribute_.SetAttributes(attributes);
    }
}

bool TargetSearch::Matches(const std::wstring& folder, const FoundFile& entry) const {
    if (!attribute_.Matches(entry.attributes) || !size_.Matches(entry.size) ||
        !timeStamp_.Matches(entry)) {
        return false;
    }
    const std::vector<std::wstring>& excluded = targetFolders_.excludedFiles;
    for (auto mask = excluded.rbegin(); mask != excluded.rend(); ++mask) {
        if (ExcludeMaskMatches(folder, entry.name, *mask)) {
            return false;
        }
    }
    return content_.Matches(folder + entry.name);
}

bool TargetSearch::FolderExcluded(const std::wstring& folder) const {
    for (const std::wstring& excluded : targetFolders_.excludedFolders) {
        if (folder.size() >= excluded.size() &&
            EqualIgnoringCase(std::wstring_view(folder).substr(0, excluded.size()), excluded)) {
            return true;
        }
    }
    return false;
}

}  // namespace kestrova
