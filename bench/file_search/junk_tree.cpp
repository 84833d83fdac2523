#include "file_search/junk_tree.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "platform/unique_handles.h"

namespace kestrova::bench {

namespace {

void WriteEmptyFile(const std::wstring& path) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("cannot create a file of the tree");
    }
}

}  // namespace

std::wstring JunkTreeRoot(const std::wstring& kind, size_t folders, size_t files) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"kestrova-" + kind + L"-bench-" + std::to_wstring(folders) + L"-" +
           std::to_wstring(files) + L"\\";
}

std::vector<std::wstring> JunkTreeFolders(const std::wstring& root, size_t folders) {
    const size_t top = std::min<size_t>(100, folders);
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < top; ++i) {
        paths.push_back(root + L"top" + std::to_wstring(i) + L"\\");
    }
    for (size_t i = top; i < folders; ++i) {
        paths.push_back(paths[i % top] + L"sub" + std::to_wstring(i) + L"\\");
    }
    return paths;
}

void MakeJunkTree(const std::wstring& root, size_t folders, size_t files,
                  const std::function<const wchar_t*(size_t index)>& nameOf) {
    const std::wstring marker = root + L"complete.marker";
    if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::printf("Using the tree kept from an earlier run\n");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    CreateDirectoryW(root.c_str(), nullptr);
    const std::vector<std::wstring> paths = JunkTreeFolders(root, folders);
    for (const std::wstring& path : paths) {
        CreateDirectoryW(path.c_str(), nullptr);
    }
    for (size_t i = 0; i < files; ++i) {
        const std::wstring& folder = paths[i % paths.size()];
        WriteEmptyFile(folder + std::to_wstring(i / paths.size()) + L"-" + nameOf(i));
    }
    WriteEmptyFile(marker);
    std::printf("Made %zu files in %zu folders in %.1f s\n", files, folders + 1,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

void RemoveJunkTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveJunkTree(folder + name + L"\\");
            } else {
                DeleteFileW((folder + name).c_str());
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    RemoveDirectoryW(folder.c_str());
}

}  // namespace kestrova::bench
