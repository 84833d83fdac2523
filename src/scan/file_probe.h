#pragma once
// How the scan asks the file system whether a path names something. A row deletes its entry
// at one press of "Fix", so only a definite "not there" counts as missing: whatever the
// system cannot answer right now (a denied access, a drive without its disk, a network
// share) is "cannot tell", and the entry is left alone.

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace kestrova {

enum class ProbeAnswer {
    Missing,     // the system says that nothing of that name is there
    File,        // an existing file
    Folder,      // an existing folder
    CannotTell,  // not probed, or the probe failed for another reason than "not found"
};

// One probe belongs to one thread at a time; it remembers what it learnt about each drive,
// so it is made afresh for every scan.
class FileProbe {
public:
    FileProbe() = default;
    virtual ~FileProbe() = default;
    FileProbe(const FileProbe&) = delete;
    FileProbe& operator=(const FileProbe&) = delete;

    // What path names. Only a full local path is probed: "X:\..." (or its "\\?\X:\..." form)
    // on a fixed drive, or on a removable or optical drive that holds its medium. Any other
    // path gives CannotTell without a probe: a relative one (it would depend on the current
    // directory), a network path ("\\server\share\...", or a drive the system maps to a
    // share: a probe could wait for a network time-out), a device path, and a path on a drive
    // letter that is absent or of unknown type (an unplugged disk may come back). A path of
    // MAX_PATH characters or more is probed in its "\\?\" form.
    //
    // Missing is the answer to "file not found", "path not found", a bad path syntax
    // (ERROR_BAD_PATHNAME, ERROR_DIRECTORY: a path through a file) and ERROR_INVALID_NAME
    // for a name holding a character that no file name can hold (<>"|?* or a control
    // character). Every other failure (access denied, sharing violation, not ready, name too
    // long, network errors, an invalid drive, ...) is CannotTell.
    ProbeAnswer Probe(const std::wstring& path);

    // True when path names an existing file.
    bool IsFile(const std::wstring& path) { return Probe(path) == ProbeAnswer::File; }

protected:
    // The system calls behind a probe, one each; a test replaces them to make what its machine
    // cannot (a denied access, a network drive, an empty disk drive).
    // GetFileAttributesW: the attributes, or INVALID_FILE_ATTRIBUTES with error set.
    virtual DWORD Attributes(const std::wstring& path, DWORD& error);
    // GetDriveTypeW of a root such as "C:\".
    virtual UINT DriveType(const std::wstring& root);
    // Whether a removable or optical drive holds a medium (GetVolumeInformationW succeeds).
    virtual bool HasMedium(const std::wstring& root);

private:
    // Whether paths on the drive of this letter (upper case) are probed; asked once.
    bool DriveProbed(wchar_t letter);

    std::array<std::optional<bool>, 26> drives_;
};

// True for a path that does not depend on the current directory: "X:\..." (or "X:/...") and
// every path that begins with two backslashes.
bool IsFullPath(const std::wstring& path);

// True when path begins with folder (which ends in "\"), letter case aside, as file names
// compare.
bool IsInFolder(const std::wstring& path, const std::wstring& folder);

}  // namespace kestrova
