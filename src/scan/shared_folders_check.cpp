// Group 7: shared folders whose drive is gone.
//
// Only share names of exactly two characters are considered. Such a name that stands for a
// whole drive ("D$", a letter and "$") is stale when that drive no longer exists: the share
// can no longer be served, and removing the entry loses nothing. Every other name, and a
// drive share whose drive exists, is left alone; the share's data is not read.
#include <windows.h>

#include "platform/registry.h"
#include "scan/guess_path.h"
#include "scan/scan_checks.h"
#include "scan/scan_groups.h"
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
    const std::wstring key = SharesKeyPath(WindowsVersionClass());
    Registry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(key, false)) {
        return;
    }
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    int counter = 0;
    for (const std::wstring& name : names) {
        const std::wstring keyName = L"HKEY_LOCAL_MACHINE" + key + L"\\" + name;
        scan.SetStatus(keyName);
        if (ShareNameStale(name)) {
            // For "d$" the Guess Path is the drive's root, "d:\".
            scan.ReportError(L"Shared Folder", keyName, name, counter, GuessPath(name));
        }
        if (scan.StopRequested()) {
            return;
        }
    }
    scan.WriteCounter(kGroupSharedFolders, counter);
}

}  // namespace kestrova
