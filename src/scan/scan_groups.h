#pragma once
// The thirteen scan groups of the scan-group list, in the order of their rows. A row's index
// selects the check that runs for it; the window and the console front end both show these
// captions.

#include <array>
#include <string_view>

namespace kestrova {

inline constexpr int kScanGroupCount = 13;

// Row indices of the groups, for code that names one group.
enum ScanGroup : int {
    kGroupAppPaths = 0,
    kGroupClsid = 1,
    kGroupHelpFiles = 2,
    kGroupFonts = 3,
    kGroupMru = 4,
    kGroupStartMenu = 5,
    kGroupSharedDlls = 6,
    kGroupSharedFolders = 7,
    kGroupShellExtensions = 8,
    kGroupSoundEvents = 9,
    kGroupUninstall = 10,
    kGroupFileExtensions = 11,
    kGroupVxd = 12,
};

inline constexpr std::array<std::wstring_view, kScanGroupCount> kScanGroupCaptions = {
    L"Application Path",
    L"CLSID",
    L"Help Path",
    L"Font Path",
    L"Most Recently Used List (MRU)",
    L"Obsolete Start Menu",
    L"Shared DLLs",
    L"Shared Folder",
    L"Shell Extensions",
    L"Sound and AppEvents",
    L"Uninstall",
    L"File Extensions",
    L"Invalid device drivers (VxD)",
};

// The status line once a run has ended, whatever ended it.
inline constexpr std::wstring_view kScanDoneStatus = L"Scan done !";

}  // namespace kestrova
