#pragma once
// The data folder holds Backup.xml, ignore.xml and the Backup folder of restore points. It is
// the folder of the executable, whatever the current directory.

#include <stdexcept>
#include <string>

namespace kestrova {

// A folder that could not be made; the message names it and gives the system's reason.
class FolderError : public std::runtime_error {
public:
    explicit FolderError(const std::wstring& message);
    const std::wstring& message() const { return message_; }

private:
    std::wstring message_;
};

// The full path of the running program's executable.
std::wstring ExecutablePath();
// The folder part of the executable's full path, ending in "\".
std::wstring DataFolderOf(const std::wstring& executablePath);
// The folder with one "\" appended when it does not end in one.
std::wstring WithTrailingBackslash(std::wstring folder);
// dataFolder + "Backup", without a trailing "\".
std::wstring BackupFolderPath(const std::wstring& dataFolder);
// Creates the folder (one level) unless a folder of that name exists; throws FolderError.
void EnsureFolder(const std::wstring& path);

bool IsExistingFile(const std::wstring& path);
bool IsExistingFolder(const std::wstring& path);
// The system's text for an error code, without the trailing line break.
std::wstring SystemErrorText(unsigned long code);

}  // namespace kestrova
