#pragma once
// A fresh, empty folder under the system's temporary folder, removed with all it holds.

#include <string>
#include <vector>

namespace kestrova::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path with a trailing backslash.
    const std::wstring& Path() const { return path_; }
    // Path() + name.
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Test helpers for files: write and read whole files, create folders.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// The names of a folder's entries (folder ends in "\"), without "." and "..", in the order the
// file system lists them.
std::vector<std::wstring> EntryNames(const std::wstring& folder);
void RemoveTree(const std::wstring& path);

}  // namespace kestrova::test
