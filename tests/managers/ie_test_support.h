#pragma once
// Fixtures for the Internet Explorer tests: the registry keys of the add-ons, folder trees of
// real files, and folder links made as a user's junction or symbolic link would be.

#include <string>
#include <vector>

#include "platform/registry.h"

namespace kestrova::test {

inline const std::wstring kToolbarAllKey = L"\\SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
inline const std::wstring kToolbarUserKey =
    L"\\Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";
inline const std::wstring kStatsKey = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats";
inline const std::wstring kBarsAllKey = L"\\SOFTWARE\\Microsoft\\Internet Explorer\\Explorer Bars";
inline const std::wstring kBarsUserKey = L"\\Software\\Microsoft\\Internet Explorer\\Explorer Bars";
inline const std::wstring kMenuExtKey = L"\\Software\\Microsoft\\Internet Explorer\\MenuExt";
inline const std::wstring kExplorerKey = L"\\Software\\Microsoft\\Internet Explorer";
inline const std::wstring kShellFoldersKey =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline const std::wstring kTypedUrlsKey = L"\\Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline const std::wstring kAutoCompleteKey =
    L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";

// A REG_SZ value of that text.
RawValue Text(const std::wstring& text);

// Creates the folder (which ends in "\") and each entry below it: a name ending in "\" is a folder,
// any other a small file; missing folders on the way are made.
void MakeTree(const std::wstring& folder, const std::vector<std::wstring>& entries);

// A symbolic link to a folder. Under Wine it is made from the Linux side (Wine's own
// CreateSymbolicLinkW leaves nothing usable) and shows as a folder that is a reparse point;
// on Windows CreateSymbolicLinkW makes it. Removed, as a link only, at the end.
class FolderLink {
public:
    FolderLink(const std::wstring& link, const std::wstring& target);
    ~FolderLink();
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

    // True when the link is there and shows as a folder that is a reparse point.
    bool Made() const;

private:
    std::wstring link_;
    std::string unixLink_;  // empty on Windows
};

}  // namespace kestrova::test
