#pragma once
// Emptying a folder of files, as the deletion of a restore point does.

#include <string>
#include <vector>

namespace kestrova {

// Deletes every file in folder and, recursively, in its sub-folders; the sub-folders
// themselves stay. An entry is a sub-folder only when its attributes are exactly the directory
// attribute: any other entry (a read-only or linked folder among them) is deleted as a file,
// so a link is never followed. Returns the names (without their folder) of the entries that
// could not be deleted, in the order met (a sub-folder's files where the sub-folder is met).
std::vector<std::wstring> DeleteFolderFiles(const std::wstring& folder);

// The message shown for each of them: " Delete error: " + name.
std::wstring DeleteErrorMessage(const std::wstring& fileName);

}  // namespace kestrova
