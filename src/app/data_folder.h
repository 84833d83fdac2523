#pragma once
// The data folder holds Backup.xml, ignore.xml and the Backup folder of restore points. It is
// the folder of the executable, whatever the current directory.

#include <string>

#include "platform/file_paths.h"

namespace kestrova {

// dataFolder + "Backup", without a trailing "\".
std::wstring BackupFolderPath(const std::wstring& dataFolder);

}  // namespace kestrova
