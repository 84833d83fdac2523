#pragma once
// Files and folders the file search tests build under a temporary folder, and a search run
// that records what the engine reports.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/find_file.h"

namespace kestrova::test {

// Creates folder and the folders above it.
void MakeFolders(const std::wstring& folder);
// Writes a file (its folders made first) with the given bytes and attributes.
void MakeFile(const std::wstring& path, const std::string& bytes = "x",
              DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// A sparse file of the given size: nothing is written, the end of file is set.
void MakeSparseFile(const std::wstring& path, uint64_t size);
// Sets a file's three times to the same local date and time.
void SetLocalFileTimes(const std::wstring& path, int year, int month, int day, int hour, int minute,
                       int second);

// The Linux path of a Windows path, through Wine's own mapping.
std::string HostPath(const std::wstring& windowsPath);
// Runs a Linux program (by its Linux path) with the given arguments and returns its exit
// status. Throws std::runtime_error when it cannot be started.
DWORD RunHostProgram(const std::string& program, const std::vector<std::string>& arguments);
// A Linux symbolic link at link (a Windows path) to target (a Windows path); removed with
// RemoveHostLink.
void MakeHostLink(const std::wstring& target, const std::wstring& link);
void RemoveHostLink(const std::wstring& link);

// One reported event: "begin", "folder <path>", "file <folder><name>", "abort", "finish".
struct SearchLog {
    std::vector<std::wstring> events;
    // Just the files, as folder + name.
    std::vector<std::wstring> Files() const;
    void Attach(FindFile& search);
};

// Runs an unthreaded search of these criteria and returns the files it reported.
std::vector<std::wstring> SearchFiles(const SearchCriteria& criteria);

}  // namespace kestrova::test
