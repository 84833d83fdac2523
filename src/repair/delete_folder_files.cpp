#include "repair/delete_folder_files.h"

#include <windows.h>

#include "platform/file_paths.h"
#include "platform/unique_handles.h"

namespace kestrova {

namespace {

void DeleteFilesBelow(const std::wstring& folder, std::vector<std::wstring>& notDeleted) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (!find) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (data.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY) {
            DeleteFilesBelow(folder + name + L"\\", notDeleted);
        } else if (!DeleteFileW((folder + name).c_str())) {
            notDeleted.push_back(name);
        }
    } while (FindNextFileW(find.Get(), &data));
}

}  // namespace

std::vector<std::wstring> DeleteFolderFiles(const std::wstring& folder) {
    std::vector<std::wstring> notDeleted;
    DeleteFilesBelow(WithTrailingBackslash(folder), notDeleted);
    return notDeleted;
}

std::wstring DeleteErrorMessage(const std::wstring& fileName) {
    return L" Delete error: " + fileName;
}

}  // namespace kestrova
