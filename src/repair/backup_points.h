#pragma once
// Restore points: whole-registry backups in the data folder's Backup folder, one sub-folder
// per backup named after the moment it started, holding one registry-editor export per root
// key. Taking and restoring one runs the registry editor once per root; both report every
// step as a status text, in order, so a worker thread can hand them to the window.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "repair/registry_editor.h"

namespace kestrova {

// The statuses a backup and a restore show (besides the failures).
inline constexpr wchar_t kBackupPauseStatus[] = L"Backup will be started in 1 second";
inline constexpr wchar_t kStepDoneStatus[] = L"Done !";
// "Backing up " + key + "...".
std::wstring BackingUpStatus(const std::wstring& keyName);
// "Restoring " + key.
std::wstring RestoringStatus(const std::wstring& keyName);

// One key a restore point holds, and the name of its file in the restore point's folder.
struct BackupKey {
    std::wstring keyName;   // as the registry editor takes it: "HKEY_CURRENT_USER"
    std::wstring fileName;  // "HKEY_CURRENT_USER.reg"
};

// The five root keys in the order of every backup and restore: HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG, each in the file
// named after it with ".reg".
std::vector<BackupKey> RootBackupKeys();

// Receives each status text in order; may be empty.
using StatusSink = std::function<void(const std::wstring& status)>;

struct BackupPointsOptions {
    std::vector<BackupKey> keys = RootBackupKeys();
    // The moment that names a new restore point; the local time when empty.
    std::function<SYSTEMTIME()> clock;
    // The pause after kBackupPauseStatus, before each key of a backup.
    DWORD pauseMs = 1000;
    RegistryEditorRun registryEditor = RunRegistryEditor;
};

// How a backup or a restore went.
struct BackupPointRun {
    // One text per key that failed, in order: the status shown for it instead of "Done !".
    std::vector<std::wstring> failures;
    bool Succeeded() const { return failures.empty(); }
};

struct RestorePointDeletion {
    bool existed = false;
    // Files that could not be deleted (names without their folder), in the order met; each is
    // told to the user with DeleteErrorMessage.
    std::vector<std::wstring> notDeleted;
    // The folder is gone. It stays when files could not be deleted, or when it holds
    // sub-folders (their files are deleted, the sub-folders stay).
    bool folderRemoved = false;
};

// The user's short date format of time, a blank and the user's long time format of time,
// with every ":" made "_" and every "/" made "-". datePicture and timePicture, when given,
// replace the user's formats.
std::wstring RestorePointName(const SYSTEMTIME& time, const wchar_t* datePicture = nullptr,
                              const wchar_t* timePicture = nullptr);

// True for a name that stays one entry of the Backup folder: not empty, not "." or "..", no
// "\", "/", ":" or other character a file name cannot hold, not ending in a blank or ".".
bool IsRestorePointName(const std::wstring& name);

// The restore points in backupFolder: the names of its entries whose attributes are exactly
// the directory attribute, except "." and "..", in the order the file system lists them.
// Empty when the folder does not exist.
std::vector<std::wstring> FindRestorePoints(const std::wstring& backupFolder);

// Appends to listed every name of found that it does not hold yet (exact comparison), in
// found's order; names listed whose folder is gone stay. Returns how many were added.
size_t AddNewRestorePoints(std::vector<std::wstring>& listed,
                           const std::vector<std::wstring>& found);

class BackupPoints {
public:
    explicit BackupPoints(const std::wstring& dataFolder, BackupPointsOptions options = {});

    // The data folder + "Backup\".
    const std::wstring& BackupFolder() const { return backupFolder_; }
    // Creates the Backup folder when missing; throws Error when it cannot.
    void EnsureBackupFolder() const;
    std::vector<std::wstring> List() const { return FindRestorePoints(backupFolder_); }

    // Names a new restore point after the clock's moment and creates its folder (and the
    // Backup folder when missing). An existing restore point is never written into: when the
    // name is taken, " (2)", " (3)" ... is appended. Throws Error when no folder can be made.
    std::wstring CreateRestorePointFolder() const;
    // Exports every key into the restore point's folder. For each key: kBackupPauseStatus and
    // the pause, BackingUpStatus, the export, then kStepDoneStatus, or "Backup of KEY failed: "
    // + why when the editor could not be started or left no file or an empty one. After a
    // failure the other keys are still backed up, and the last status is "Backup incomplete: "
    // + the keys that failed (", " between them). Runs on a worker; status is called there.
    // Nothing here polls a stop flag: a backup always runs through every key.
    BackupPointRun BackUp(const std::wstring& name, const StatusSink& status) const;
    // CreateRestorePointFolder and BackUp.
    struct Created {
        std::wstring name;
        BackupPointRun run;
    };
    Created Create(const StatusSink& status) const;

    // The folder (with "\") of an existing restore point. Throws Error when the name is empty
    // (no restore point chosen), is not a restore point name, or names no folder.
    std::wstring RestorePointFolder(const std::wstring& name) const;
    // Imports every key's file of the restore point, in order. For each key: RestoringStatus,
    // the import, then kStepDoneStatus, or "Restoring KEY failed: " + why when the file is
    // missing or empty or the editor could not be started; the other keys are still restored,
    // and the last status is then "Restore incomplete: " + the keys that failed. Throws (before
    // any status) as RestorePointFolder does.
    BackupPointRun Restore(const std::wstring& name, const StatusSink& status) const;

    // Deletes the restore point's files, then its folder. Throws Error for a name that is not a
    // restore point name.
    RestorePointDeletion Delete(const std::wstring& name) const;
    // How many of the keys' files the restore point holds, not empty.
    size_t FileCount(const std::wstring& name) const;

private:
    std::wstring backupFolder_;
    BackupPointsOptions options_;
};

}  // namespace kestrova
