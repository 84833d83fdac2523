// Group 7: shared folders whose drive is gone.
//
// Only share names of exactly two characters are considered. Such a name that stands for a
// whole drive ("D$", a letter and "$") is stale when that drive no longer exists: the share
// can no longer be served, and removing the entry loses nothing. Every other name, and a
// drive share whose drive exists, is left alone; the share's data is not read.
#include <windows.h>

#include "scan/guess_path.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"
#include "scan/check_walks.h"
#include "scan/windows_version.h"

namespace kestrova {

namespace {

bool DriveExists(wchar_t letter) {
    const int index = (letter | 0x20) - L'a';
    return ((GetLogicalDrives() >> index) & 1u) != 0;
}

}  // namespace

std::wstring SharesKeyPath(int windowsVersionClass) {
    if (windowsVersionClass >= 1 && windowsVersionClass <= 3) {
        return L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Network\\LanMan";
    }
    return L"\\SYSTEM\\ControlSet001\\Services\\lanmanserver\\Shares";
}

bool ShareNameStale(const std::wstring& shareName) {
    if (shareName.size() != 2 || shareName[1] != L'$') {
        return false;
    }
    const wchar_t letter = shareName[0];
    const bool isLetter = (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z');
    return isLetter && !DriveExists(letter);
}

void ScanSharedFolders(ScanContext& scan) {
    // Kept under SYSTEM, which has no 32-bit copy.
    WalkValueNames(
        scan, {{HKEY_LOCAL_MACHINE, SharesKeyPath(WindowsVersionClass())}}, kGroupSharedFolders,
        [&scan](const std::wstring& name, const std::wstring& keyName, int& counter) {
            if (ShareNameStale(name)) {
                // For "d$" the Guess Path is the drive's root, "d:\".
                scan.ReportError(L"Shared Folder", keyName, name, counter, GuessPath(name));
            }
        });
}

}  // namespace kestrova
