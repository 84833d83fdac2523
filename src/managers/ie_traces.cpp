#include "managers/ie_traces.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwctype>
#include <exception>

#include "platform/error.h"
#include "platform/file_paths.h"
#include "platform/registry.h"
#include "scan/system_folders.h"

namespace kestrova {

namespace {

constexpr wchar_t kTypedUrlsKey[] = L"\\Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr wchar_t kAutoCompleteKey[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";
constexpr wchar_t kAppendCompletionValue[] = L"Append Completion";
constexpr wchar_t kShellFoldersKey[] =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The Shell Folders value of that name, or empty when it is missing or not text.
std::wstring ShellFolderValue(Registry& shellFolders, const wchar_t* name) {
    const RegDataType type = shellFolders.GetDataType(name);
    if (type != RegDataType::String && type != RegDataType::ExpandString) {
        return {};
    }
    try {
        return shellFolders.ReadString(name);
    } catch (const RegistryError&) {
        return {};
    }
}

// The message of whatever the action threw; none when it ran through.
template <typename Action>
std::optional<std::wstring> Attempt(Action action) {
    try {
        action();
        return std::nullopt;
    } catch (...) {
        return ErrorText(std::current_exception());
    }
}

// Where each search starts, in the order of IeSearch: its Shell Folders value (none for the
// temporary folder) and its member of IeFolders.
struct SearchPlace {
    const wchar_t* shellFolder;
    std::wstring IeFolders::*folder;
};

const SearchPlace kPlaces[kIeSearchCount] = {
    {L"Cache", &IeFolders::cache},     {L"Cookies", &IeFolders::cookies},
    {nullptr, &IeFolders::temp},       {L"Favorites", &IeFolders::favorites},
    {L"History", &IeFolders::history},
};

const SearchPlace& PlaceOf(IeSearch search) {
    return kPlaces[static_cast<size_t>(search)];
}

std::wstring SkipReason(IeSearch search) {
    const wchar_t* name = PlaceOf(search).shellFolder;
    return name == nullptr
               ? L"the temporary folder is not known"
               : L"the \"" + std::wstring(name) + L"\" shell folder is not set to a folder";
}

}  // namespace

IeActionMarks DefaultIeActionMarks() {
    IeActionMarks marks{};
    for (size_t i = 0; i < kIeActionCount; ++i) {
        marks[i] = kIeTraceActions[i].checkedAtStart;
    }
    return marks;
}

std::optional<IeSearch> IeSearchOfAction(size_t action) {
    // Actions 2 to 6 run the searches in the order of IeSearch.
    if (action < kIeCacheAction || action >= kIeActionCount) {
        return std::nullopt;
    }
    return static_cast<IeSearch>(action - kIeCacheAction);
}

void ClearTypedUrls() {
    Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kTypedUrlsKey, false)) {
        if (registry.KeyExists(kTypedUrlsKey)) {
            throw Error(L"The typed address history cannot be opened for deleting");
        }
        return;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    size_t left = 0;
    for (const std::wstring& name : names) {
        if (!registry.DeleteValue(name) && registry.ValueExists(name)) {
            ++left;
        }
    }
    if (left > 0) {
        throw Error(std::to_wstring(left) + L" typed addresses could not be deleted");
    }
}

void SetAppendCompletion(bool enabled) {
    Registry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(kAutoCompleteKey, true)) {
        throw Error(L"The AutoComplete settings key cannot be opened for writing");
    }
    registry.WriteString(kAppendCompletionValue, enabled ? L"Yes" : L"No");
}

const std::wstring& IeFolders::Of(IeSearch search) const {
    return this->*PlaceOf(search).folder;
}

std::wstring IeStartFolder(const std::wstring& text) {
    // A drive and its root ("C:\...") or a share ("\\server\..."): "C:x" and "\x" depend on
    // the current folder or drive.
    const bool drivePath =
        text.size() >= 3 && std::iswalpha(text[0]) && text[1] == L':' && text[2] == L'\\';
    if (!drivePath && text.compare(0, 2, L"\\\\") != 0) {
        return {};
    }
    const DWORD size = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return {};
    }
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(text.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return {};
    }
    full.resize(length);
    // Searching, and then deleting, a whole drive or share is never what a shell folder means.
    const wchar_t* afterRoot = PathSkipRootW(full.c_str());
    if (afterRoot == nullptr ||
        std::wstring(afterRoot).find_first_not_of(L'\\') == std::wstring::npos) {
        return {};
    }
    return WithTrailingBackslash(std::move(full));
}

IeFolders ReadIeFolders() {
    IeFolders folders;
    Registry registry(HKEY_CURRENT_USER);
    const bool opened = registry.OpenKeyReadOnly(kShellFoldersKey);
    for (const SearchPlace& place : kPlaces) {
        if (place.shellFolder == nullptr) {
            folders.*place.folder = IeStartFolder(TempFolder());
        } else if (opened) {
            folders.*place.folder = IeStartFolder(ShellFolderValue(registry, place.shellFolder));
        }
    }
    return folders;
}

IeScanResult ScanIeTraces(const IeActionMarks& marks, const IeFolders& folders,
                          const IeFoundCallback& onFound, const IeStopQuery& stopRequested) {
    IeScanResult result;
    for (size_t action = 0; action < kIeActionCount; ++action) {
        const std::optional<IeSearch> search = IeSearchOfAction(action);
        if (!marks[action] || !search) {
            continue;
        }
        const std::wstring& start = folders.Of(*search);
        if (start.empty()) {
            result.skipped.push_back({*search, SkipReason(*search)});
            continue;
        }
        if (!RunIeSearch(*search, start, result.files, onFound, stopRequested)) {
            result.stopped = true;
            break;
        }
    }
    return result;
}

size_t IeCleanupResult::DeletedCount() const {
    return static_cast<size_t>(
        std::count_if(files.begin(), files.end(), [](const IeFileResult& f) { return !f.error; }));
}

bool IeCleanupResult::AllDone() const {
    return DeletedCount() == files.size() &&
           std::none_of(actions.begin(), actions.end(),
                        [](const IeActionResult& a) { return a.error.has_value(); });
}

IeCleanupResult CleanIeTraces(const IeActionMarks& marks, const std::vector<IeFoundFile>& files) {
    IeCleanupResult result;
    if (marks[kIeTypedUrlsAction]) {
        result.actions.push_back({kIeTypedUrlsAction, Attempt([] { ClearTypedUrls(); })});
    }
    if (marks[kIeAutoCompleteAction]) {
        result.actions.push_back(
            {kIeAutoCompleteAction, Attempt([] { SetAppendCompletion(true); })});
    }
    for (const IeFoundFile& file : files) {
        IeFileResult& done = result.files.emplace_back(IeFileResult{file, std::nullopt});
        if (!IeFileStillInItsFolder(file)) {
            done.error = L"Not deleted: its folder is no longer inside " + file.startFolder;
        } else if (!DeleteFileW(file.FullName().c_str())) {
            done.error = SystemErrorText(GetLastError());
        }
    }
    return result;
}

}  // namespace kestrova
