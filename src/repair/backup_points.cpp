#include "repair/backup_points.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/error.h"
#include "platform/file_paths.h"
#include "platform/unique_handles.h"
#include "repair/delete_folder_files.h"

namespace kestrova {

namespace {

constexpr const wchar_t* kRootNames[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER",
                                         L"HKEY_LOCAL_MACHINE", L"HKEY_USERS",
                                         L"HKEY_CURRENT_CONFIG"};
// More backups within one second than this is taken for a folder that cannot be made.
constexpr int kMaxNameTries = 1000;

// GetDateFormatW or GetTimeFormatW into a string.
template <typename Format>
std::wstring Formatted(Format format) {
    const int length = format(nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length), L'\0');
    const int written = format(text.data(), length);
    text.resize(written > 0 ? static_cast<size_t>(written - 1) : 0);
    return text;
}

SYSTEMTIME LocalTimeNow() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return now;
}

// Throws for a name that cannot be a restore point's.
void RequireRestorePointName(const std::wstring& name) {
    if (name.empty()) {
        throw Error(L"No restore point is chosen");
    }
    if (!IsRestorePointName(name)) {
        throw Error(L"\"" + name + L"\" is not the name of a restore point");
    }
}

// Calls status when there is one.
void Tell(const StatusSink& status, const std::wstring& text) {
    if (status) {
        status(text);
    }
}

// Runs step (which tells its own statuses and returns why it failed, if it did) for each key in
// order. Then "Done !", or failurePrefix + key + " failed: " + why; after the last key, when
// any failed, incompletePrefix + the keys that failed.
template <typename Step>
BackupPointRun ForEachKey(const std::vector<BackupKey>& keys, const StatusSink& status,
                          const wchar_t* failurePrefix, const wchar_t* incompletePrefix,
                          Step step) {
    BackupPointRun run;
    std::wstring failedKeys;
    for (const BackupKey& key : keys) {
        if (const std::optional<std::wstring> why = step(key)) {
            run.failures.push_back(failurePrefix + key.keyName + L" failed: " + *why);
            failedKeys += (failedKeys.empty() ? L"" : L", ") + key.keyName;
            Tell(status, run.failures.back());
        } else {
            Tell(status, kStepDoneStatus);
        }
    }
    if (!failedKeys.empty()) {
        Tell(status, incompletePrefix + failedKeys);
    }
    return run;
}

}  // namespace

std::wstring BackingUpStatus(const std::wstring& keyName) {
    return L"Backing up " + keyName + L"...";
}

std::wstring RestoringStatus(const std::wstring& keyName) {
    return L"Restoring " + keyName;
}

std::vector<BackupKey> RootBackupKeys() {
    std::vector<BackupKey> keys;
    for (const wchar_t* name : kRootNames) {
        keys.push_back({name, std::wstring(name) + L".reg"});
    }
    return keys;
}

std::wstring RestorePointName(const SYSTEMTIME& time, const wchar_t* datePicture,
                              const wchar_t* timePicture) {
    const DWORD dateFlags = datePicture ? 0 : DATE_SHORTDATE;
    std::wstring name = Formatted([&](wchar_t* buffer, int size) {
        return GetDateFormatW(LOCALE_USER_DEFAULT, dateFlags, &time, datePicture, buffer, size);
    });
    name += L" ";
    name += Formatted([&](wchar_t* buffer, int size) {
        return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, timePicture, buffer, size);
    });
    std::replace(name.begin(), name.end(), L':', L'_');
    std::replace(name.begin(), name.end(), L'/', L'-');
    return name;
}

bool IsRestorePointName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L".." || name.back() == L' ' ||
        name.back() == L'.') {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](wchar_t c) {
        return c < 32 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
    });
}

std::vector<std::wstring> FindRestorePoints(const std::wstring& backupFolder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(
        FindFirstFileW((WithTrailingBackslash(backupFolder) + L"*").c_str(), &data));
    if (!find) {
        return names;
    }
    do {
        const std::wstring name = data.cFileName;
        if (data.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY && name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (FindNextFileW(find.Get(), &data));
    return names;
}

size_t AddNewRestorePoints(std::vector<std::wstring>& listed,
                           const std::vector<std::wstring>& found) {
    size_t added = 0;
    for (const std::wstring& name : found) {
        if (std::find(listed.begin(), listed.end(), name) == listed.end()) {
            listed.push_back(name);
            ++added;
        }
    }
    return added;
}

BackupPoints::BackupPoints(const std::wstring& dataFolder, BackupPointsOptions options)
    : backupFolder_(WithTrailingBackslash(dataFolder) + L"Backup\\"), options_(std::move(options)) {
    if (!options_.clock) {
        options_.clock = LocalTimeNow;
    }
}

void BackupPoints::EnsureBackupFolder() const {
    EnsureFolder(backupFolder_.substr(0, backupFolder_.size() - 1));
}

std::wstring BackupPoints::CreateRestorePointFolder() const {
    EnsureBackupFolder();
    const std::wstring base = RestorePointName(options_.clock());
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const std::wstring name =
            attempt == 1 ? base : base + L" (" + std::to_wstring(attempt) + L")";
        const std::wstring folder = backupFolder_ + name;
        // Creating is the test: another backup (of this or another process) that took the name
        // a moment ago makes it fail, and the next name is tried.
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            return name;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) {
            throw Error(L"Cannot create the restore point folder \"" + folder + L"\": " +
                        SystemErrorText(error));
        }
    }
    throw Error(L"Cannot create the restore point folder \"" + backupFolder_ + base +
                L"\": too many restore points of that name");
}

BackupPointRun BackupPoints::BackUp(const std::wstring& name, const StatusSink& status) const {
    const std::wstring folder = RestorePointFolder(name);
    return ForEachKey(
        options_.keys, status, L"Backup of ", L"Backup incomplete: ", [&](const BackupKey& key) {
            Tell(status, kBackupPauseStatus);
            Sleep(options_.pauseMs);
            Tell(status, BackingUpStatus(key.keyName));
            return ExportKey(options_.registryEditor, key.fileName, key.keyName, folder);
        });
}

BackupPoints::Created BackupPoints::Create(const StatusSink& status) const {
    Created created;
    created.name = CreateRestorePointFolder();
    created.run = BackUp(created.name, status);
    return created;
}

std::wstring BackupPoints::RestorePointFolder(const std::wstring& name) const {
    RequireRestorePointName(name);
    const std::wstring folder = backupFolder_ + name;
    if (!IsExistingFolder(folder)) {
        throw Error(L"There is no restore point \"" + name + L"\" in " + backupFolder_);
    }
    return folder + L"\\";
}

BackupPointRun BackupPoints::Restore(const std::wstring& name, const StatusSink& status) const {
    const std::wstring folder = RestorePointFolder(name);
    return ForEachKey(options_.keys, status, L"Restoring ", L"Restore incomplete: ",
                      [&](const BackupKey& key) {
                          Tell(status, RestoringStatus(key.keyName));
                          return ImportFile(options_.registryEditor, key.fileName, folder);
                      });
}

RestorePointDeletion BackupPoints::Delete(const std::wstring& name) const {
    RequireRestorePointName(name);
    const std::wstring folder = backupFolder_ + name;
    RestorePointDeletion deletion;
    deletion.existed = IsExistingFolder(folder);
    if (deletion.existed) {
        deletion.notDeleted = DeleteFolderFiles(folder);
        deletion.folderRemoved = RemoveDirectoryW(folder.c_str()) != FALSE;
    }
    return deletion;
}

size_t BackupPoints::FileCount(const std::wstring& name) const {
    const std::wstring folder = WithTrailingBackslash(backupFolder_ + name);
    return static_cast<size_t>(
        std::count_if(options_.keys.begin(), options_.keys.end(),
                      [&](const BackupKey& key) { return FileSizeOf(folder + key.fileName) > 0; }));
}

}  // namespace kestrova
