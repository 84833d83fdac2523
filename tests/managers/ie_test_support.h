#pragma once
// Fixtures for the Internet Explorer tests: folder trees of real files, and folder links made
// as a user's junction or symbolic link would be.

#include <string>
#include <vector>

namespace kestrova::test {

// Creates the folder (which ends in "\") and each entry below it: a name ending in "\" is a folder, any
// other a small file; missing folders on the way are made.
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
