#include "app/data_folder.h"

namespace kestrova {

std::wstring BackupFolderPath(const std::wstring& dataFolder) {
    return dataFolder + L"Backup";
}

}  // namespace kestrova
