#include "scan/path_exists.h"

#include <windows.h>

namespace kestrova {

PathKind KindOfPath(const std::wstring& path) {
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Folder : PathKind::File;
}

bool FileExists(const std::wstring& path) {
    return KindOfPath(path) == PathKind::File;
}

bool FolderExists(const std::wstring& path) {
    return KindOfPath(path) == PathKind::Folder;
}

}  // namespace kestrova
