// The link fixture the search tests use, and the temporary folder's removal around it.
#include <windows.h>

#include <gtest/gtest.h>

#include "file_tree_support.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

TEST(FileTreeSupportTest, RemovingATempFolderLeavesWhatALinkInItLeadsTo) {
    test::TempFolder outside;
    test::MakeFile(outside / L"kept.txt");
    std::wstring insidePath;
    std::wstring link;
    {
        test::TempFolder inside;
        insidePath = inside.Path();
        link = inside / L"link";
        test::MakeHostLink(outside.Path().substr(0, outside.Path().size() - 1), link);
        ASSERT_TRUE(test::FileExists(link + L"\\kept.txt"));
    }
    EXPECT_TRUE(test::FileExists(outside / L"kept.txt"));
    // Wine cannot remove a Linux link: what the removal left is taken away here.
    test::RemoveHostLink(link);
    RemoveDirectoryW(insidePath.c_str());
}

}  // namespace
}  // namespace kestrova
