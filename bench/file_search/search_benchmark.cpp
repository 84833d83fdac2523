// The file search engine over a large generated tree with the drive cleaner's seven default
// file types, next to a floor program that makes the same directory passes (one per mask per
// folder, and one for the subfolders) with raw FindFirstFileExW / FindNextFileW calls and no
// criteria, events, targets or strings of its own beyond the path. Needs no display.
//
// Usage: search_benchmark [--folders N] [--files N] [--runs N] [--keep]
//   --folders N  folders in the tree (default 5,000)
//   --files N    files in the tree, spread evenly (default 100,000)
//   --runs N     timed rounds, their sums compared (default 3)
//   --keep       keep the tree in the temporary folder and use it again next time
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/unique_handles.h"
#include "tools/drive_cleaner.h"
#include "tools/find_file.h"
#include "tools/find_file_masks.h"

namespace kestrova::bench {

namespace {

using Clock = std::chrono::steady_clock;

// Names of the generated files: one in eight is junk of some type.
constexpr const wchar_t* kJunkNames[] = {L"setup.tmp", L"old.bak",   L"report.log",
                                         L"page.~mp",  L"index.GID", L"FILE0001.CHK",
                                         L"doc.do~",   L"notes.old"};
constexpr const wchar_t* kPlainNames[] = {L"readme.txt",  L"data.dat",    L"library.dll",
                                          L"picture.png", L"program.exe", L"style.css",
                                          L"sheet.xls"};

std::wstring TreeRoot(size_t folders, size_t files) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"kestrova-search-bench-" + std::to_wstring(folders) + L"-" +
           std::to_wstring(files) + L"\\";
}

void WriteEmptyFile(const std::wstring& path) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("cannot create a file of the tree");
    }
}

// The tree's folders: up to 100 top folders, each with an even share of subfolders.
std::vector<std::wstring> FolderPaths(const std::wstring& root, size_t folders) {
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

void MakeTree(const std::wstring& root, size_t folders, size_t files) {
    const std::wstring marker = root + L"complete.marker";
    if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::printf("Using the tree kept from an earlier run\n");
        return;
    }
    const auto start = Clock::now();
    CreateDirectoryW(root.c_str(), nullptr);
    const std::vector<std::wstring> paths = FolderPaths(root, folders);
    for (const std::wstring& path : paths) {
        CreateDirectoryW(path.c_str(), nullptr);
    }
    for (size_t i = 0; i < files; ++i) {
        const std::wstring& folder = paths[i % paths.size()];
        const std::wstring number = std::to_wstring(i / paths.size());
        const std::wstring name = i % 8 == 0 ? kJunkNames[(i / 8) % std::size(kJunkNames)]
                                             : kPlainNames[i % std::size(kPlainNames)];
        WriteEmptyFile(folder + number + L"-" + name);
    }
    WriteEmptyFile(marker);
    std::printf("Made %zu files in %zu folders in %.1f s\n", files, folders + 1,
                std::chrono::duration<double>(Clock::now() - start).count());
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + name + L"\\");
            } else {
                DeleteFileW((folder + name).c_str());
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    RemoveDirectoryW(folder.c_str());
}

struct Counts {
    size_t files = 0;
    size_t folders = 0;
    size_t passes = 0;
    uint64_t nameHash = 0;  // over every reported path, order included
};

void HashPath(Counts& counts, const std::wstring& folder, const wchar_t* name) {
    uint64_t hash = counts.nameHash ^ 1469598103934665603ull;
    for (const wchar_t c : folder) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    for (const wchar_t* c = name; *c; ++c) {
        hash = (hash ^ *c) * 1099511628211ull;
    }
    counts.nameHash = hash;
}

// The engine as the drive cleaner runs it, unthreaded, keeping a count and a hash of paths.
Counts RunEngine(const std::wstring& root, const std::vector<std::wstring>& extensions) {
    Counts counts;
    FindFile search;
    CleanerSelection selection;
    selection.locations = {root};
    selection.extensions = extensions;
    search.Criteria().files = CleanerFileCriteria(selection);
    search.onFolderChange = [&](FindFile&, const std::wstring&, FolderIgnore&) {
        ++counts.folders;
    };
    search.onFileMatch = [&](FindFile&, const std::wstring& folder, const FoundFile& entry) {
        ++counts.files;
        HashPath(counts, folder, entry.name.c_str());
    };
    search.Execute();
    return counts;
}

// The floor: the same passes, masks from the last to the first, files before subfolders.
void FloorFolder(const std::wstring& path, const std::vector<std::wstring>& masks, Counts& counts) {
    ++counts.folders;
    WIN32_FIND_DATAW data;
    for (auto mask = masks.rbegin(); mask != masks.rend(); ++mask) {
        ++counts.passes;
        HANDLE find = FindFirstFileExW((path + *mask).c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE) {
            continue;
        }
        do {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                ++counts.files;
                HashPath(counts, path, data.cFileName);
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    ++counts.passes;
    HANDLE find = FindFirstFileExW((path + L"*.*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const wchar_t* name = data.cFileName;
        const bool dots = name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]));
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !dots) {
            FloorFolder(path + name + L"\\", masks, counts);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Time this thread has spent running (user and kernel), which other programs on a busy
// machine disturb less than the wall clock.
double ThreadSeconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

int Run(size_t folders, size_t files, int runs, bool keep) {
    const std::wstring root = TreeRoot(folders, files);
    MakeTree(root, folders, files);

    std::vector<std::wstring> extensions;
    for (const FileType& type : DefaultFileTypes()) {
        extensions.push_back(type.extensions);
    }
    std::wstring fileName;
    for (const std::wstring& text : extensions) {
        fileName += text + L"; ";
    }
    const std::vector<std::wstring> masks = SplitList(fileName);

    // One untimed pass of each brings the tree into the system's caches.
    Counts engine = RunEngine(root, extensions);
    Counts floor;
    FloorFolder(root, masks, floor);
    std::printf(
        "Masks: %zu; folders searched: %zu (engine) / %zu (floor); directory passes "
        "(floor): %zu\n",
        masks.size(), engine.folders, floor.folders, floor.passes);
    std::printf("Files reported: %zu (engine) / %zu (floor); same paths in the same order: %s\n",
                engine.files, floor.files, engine.nameHash == floor.nameHash ? "yes" : "NO");

    // The machine is shared: the two take turns folder by folder (each top folder is a slice,
    // the one going first alternating), so a change of load meets both alike.
    const std::vector<std::wstring> slices = FolderPaths(root, std::min<size_t>(100, folders));
    double engineTotal = 0;
    double floorTotal = 0;
    double engineCpuTotal = 0;
    double floorCpuTotal = 0;
    std::printf("%6s %12s %12s %7s %14s %14s\n", "round", "engine ms", "floor ms", "ratio",
                "engine cpu ms", "floor cpu ms");
    for (int round = 0; round < runs; ++round) {
        double engineSeconds = 0;
        double floorSeconds = 0;
        double engineCpu = 0;
        double floorCpu = 0;
        for (size_t slice = 0; slice < slices.size(); ++slice) {
            for (int part = 0; part < 2; ++part) {
                const bool engineNow = (part == 0) == ((slice + round) % 2 == 0);
                const auto start = Clock::now();
                const double cpuStart = ThreadSeconds();
                if (engineNow) {
                    RunEngine(slices[slice], extensions);
                    engineSeconds += Seconds(start);
                    engineCpu += ThreadSeconds() - cpuStart;
                } else {
                    Counts counts;
                    FloorFolder(slices[slice], masks, counts);
                    floorSeconds += Seconds(start);
                    floorCpu += ThreadSeconds() - cpuStart;
                }
            }
        }
        engineTotal += engineSeconds;
        floorTotal += floorSeconds;
        engineCpuTotal += engineCpu;
        floorCpuTotal += floorCpu;
        std::printf("%6d %12.0f %12.0f %7.2f %14.0f %14.0f\n", round + 1, engineSeconds * 1000,
                    floorSeconds * 1000, engineSeconds / floorSeconds, engineCpu * 1000,
                    floorCpu * 1000);
    }
    std::printf(
        "all rounds: engine %.0f ms (cpu %.0f ms), floor %.0f ms (cpu %.0f ms); "
        "cpu ratio %.2f\n",
        engineTotal * 1000, engineCpuTotal * 1000, floorTotal * 1000, floorCpuTotal * 1000,
        engineCpuTotal / floorCpuTotal);
    if (!keep) {
        RemoveTree(root);
    }
    std::printf("ratio %.2f\n", engineTotal / floorTotal);
    return engine.nameHash == floor.nameHash ? 0 : 1;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    size_t folders = 5000;
    size_t files = 100000;
    int runs = 3;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--folders" && i + 1 < argc) {
            folders = static_cast<size_t>(std::stoul(argv[++i]));
        } else if (argument == L"--files" && i + 1 < argc) {
            files = static_cast<size_t>(std::stoul(argv[++i]));
        } else if (argument == L"--runs" && i + 1 < argc) {
            runs = std::stoi(argv[++i]);
        } else if (argument == L"--keep") {
            keep = true;
        } else {
            std::fprintf(stderr,
                         "usage: search_benchmark [--folders N] [--files N] [--runs N] [--keep]\n");
            return 2;
        }
    }
    if (folders < 1 || runs < 1) {
        std::fprintf(stderr, "--folders and --runs must be at least 1\n");
        return 2;
    }
    try {
        return kestrova::bench::Run(folders, files, runs, keep);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
