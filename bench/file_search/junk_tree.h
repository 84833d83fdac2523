#pragma once
// A large generated tree of empty files below the temporary folder, for the benchmarks of the
// file search and the drive cleaner: up to 100 top folders, each with an even share of
// subfolders, and the files spread evenly over all of them.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kestrova::bench {

// The tree's root in the temporary folder, named for its kind and size, ending in "\".
std::wstring JunkTreeRoot(const std::wstring& kind, size_t folders, size_t files);
// The tree's folders below root, the top folders first, each ending in "\".
std::vector<std::wstring> JunkTreeFolders(const std::wstring& root, size_t folders);
// Makes the tree unless a complete one from an earlier run is there; file i is named
// "<number>-" + nameOf(i). Prints what it did. Throws std::runtime_error when a file cannot be
// made.
void MakeJunkTree(const std::wstring& root, size_t folders, size_t files,
                  const std::function<const wchar_t*(size_t index)>& nameOf);
// Removes the folder (ending in "\") with everything in it.
void RemoveJunkTree(const std::wstring& folder);

}  // namespace kestrova::bench
