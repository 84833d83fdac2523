#pragma once
// The texts of the Drive Cleaner page: captions, column titles, labels and its three refusals.

namespace kestrova {

inline constexpr wchar_t kDriveCleanerPageCaption[] = L"Drive Cleaner";

// Page "Drives".
inline constexpr wchar_t kDrivesTabCaption[] = L"Drives";
inline constexpr wchar_t kDriveColumn[] = L"Drive";
inline constexpr wchar_t kDiskSizeColumn[] = L"Disk Size";
inline constexpr wchar_t kDiskFreeColumn[] = L"Disk Free";
inline constexpr wchar_t kExcludesGroupCaption[] = L"Excludes";
inline constexpr wchar_t kExcludeItemColumn[] = L"Item";
inline constexpr wchar_t kExcludeTypeColumn[] = L"Type";
inline constexpr wchar_t kAddExcludeFolderCaption[] = L"Add &Folder";
inline constexpr wchar_t kAddExcludeFileCaption[] = L"&Add File";
inline constexpr wchar_t kDeleteExcludeCaption[] = L"&Delete";
inline constexpr wchar_t kSelectAllExcludeCaption[] = L"&Select All";
inline constexpr wchar_t kRefreshDrivesCaption[] = L"&Refresh";
inline constexpr wchar_t kNextToExtensionsCaption[] = L"&Next";
inline constexpr wchar_t kSelectFolderTitle[] = L"Select Folder";
inline constexpr wchar_t kAllFilesFilter[] = L"All files (*.*)|*.*";

// Page "Extensions".
inline constexpr wchar_t kExtensionsTabCaption[] = L"Extensions";
inline constexpr wchar_t kAddExtensionsGroupCaption[] = L"Add Extensions";
inline constexpr wchar_t kFileTypeLabel[] = L"File Type:";
inline constexpr wchar_t kExtensionsLabel[] = L"Extensions:";
inline constexpr wchar_t kExtensionsInitialText[] = L"*.";
inline constexpr wchar_t kSearchTypeCaption[] = L"&Search";
inline constexpr wchar_t kAddTypeCaption[] = L"&Add";
inline constexpr wchar_t kFileTypeColumn[] = L"File Type";
inline constexpr wchar_t kExtensionsColumn[] = L"Extensions";
inline constexpr wchar_t kDeleteExtensionsCaption[] = L"&Delete";
inline constexpr wchar_t kCheckAllExtensionsCaption[] = L"&Check All";
inline constexpr wchar_t kBackCaption[] = L"&Back";
inline constexpr wchar_t kGoSearchCaption[] = L"&Go Search";

// Page "Search".
inline constexpr wchar_t kSearchTabCaption[] = L"Search";
inline constexpr wchar_t kSummaryLabel[] = L"Summary:";
inline constexpr wchar_t kFileNameColumn[] = L"File Name";
inline constexpr wchar_t kFileSizeColumn[] = L"File Size";
inline constexpr wchar_t kFileDateTimeColumn[] = L"File DateTime";
inline constexpr wchar_t kStopCaption[] = L"&Stop";
inline constexpr wchar_t kDeleteFilesCaption[] = L"&Delete";
inline constexpr wchar_t kCheckAllFilesCaption[] = L"&Check All";
inline constexpr wchar_t kBackToExtensionsCaption[] = L"&Back";
inline constexpr wchar_t kSearchAgainCaption[] = L"Search &Again";

// lblFileFound.
inline constexpr wchar_t kFileFoundInitial[] = L"Done !";
inline constexpr wchar_t kFolderPrefix[] = L"Folder: ";
inline constexpr wchar_t kUserBreak[] = L"User break !";
inline constexpr wchar_t kSearchDone[] = L"Search Done !";

// The refusals, each an error message box with an OK button.
inline constexpr wchar_t kChooseDriveMessage[] = L"Please choose at least one drive(s).";
inline constexpr wchar_t kEnterFileTypeMessage[] = L"Please enter File Type and File Extension";
inline constexpr wchar_t kChooseExtensionMessage[] =
    L"Please choose at least one file extension(s)";

}  // namespace kestrova
