// Two programs on one store file, as two SharedStores over the same path: each save keeps what
// the other added or removed since, entries told apart by their whole content.
#include "repair/shared_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kestrova {
namespace {

class SharedStoreTest : public ::testing::Test {
protected:
    std::wstring Path() const { return temp_ / L"ignore.xml"; }

    static void Add(XmlDocument& document, const std::wstring& value) {
        XmlElement entry = document.Root().AppendChild(L"ERROR");
        entry.SetAttribute(L"ROOT", L"R");
        entry.SetAttribute(L"KEY", L"K");
        entry.SetAttribute(L"VALUE", value);
    }
    // Deletes the first entry of that VALUE.
    static void Remove(XmlDocument& document, const std::wstring& value) {
        XmlElement root = document.Root();
        for (size_t i = 0; i < root.ChildCount(); ++i) {
            if (root.Child(i).Attribute(L"VALUE") == value) {
                root.DeleteChild(i);
                return;
            }
        }
    }
    static std::vector<std::wstring> Values(const XmlDocument& document) {
        std::vector<std::wstring> values;
        for (size_t i = 0; i < document.Root().ChildCount(); ++i) {
            values.push_back(document.Root().Child(i).AttributeText(L"VALUE"));
        }
        return values;
    }
    std::vector<std::wstring> InFile() const {
        XmlDocument file;
        file.Load(Path());
        return Values(file);
    }

    test::TempFolder temp_;
    XmlDocument window_;
    XmlDocument console_;
    SharedStore windowStore_{window_, Path(), L"IgnoreList"};
    SharedStore consoleStore_{console_, Path(), L"IgnoreList"};
};

using Texts = std::vector<std::wstring>;

TEST_F(SharedStoreTest, EachSaveKeepsWhatTheOtherAddedAndRemoved) {
    windowStore_.Open();
    for (const wchar_t* value : {L"a", L"b", L"c", L"c", L"d"}) {
        Add(window_, value);
    }
    windowStore_.Save();
    consoleStore_.Open();

    // The console removes b and one c and adds x; meanwhile the window removes d and c too,
    // and adds y.
    Remove(console_, L"b");
    Remove(console_, L"c");
    Add(console_, L"x");
    consoleStore_.Save();
    Remove(window_, L"d");
    Remove(window_, L"c");
    Add(window_, L"y");
    windowStore_.Save();

    // One c went in each program: two equal entries, both gone; nothing came back.
    EXPECT_EQ(InFile(), (Texts{L"a", L"x", L"y"}));
    EXPECT_EQ(Values(window_), InFile());

    // A save without a change of its own writes nothing, and takes the file's entries in.
    Add(console_, L"z");  // the console's document is behind: a, c, d, x and now z
    consoleStore_.Save();
    EXPECT_EQ(InFile(), (Texts{L"a", L"x", L"y", L"z"}));
    windowStore_.Save();
    EXPECT_EQ(Values(window_), (Texts{L"a", L"x", L"y", L"z"}));
}

TEST_F(SharedStoreTest, UpdateBringsTheFileInAndKeepsUnsavedChanges) {
    windowStore_.Open();
    Add(window_, L"a");
    windowStore_.Save();
    consoleStore_.Open();
    Add(console_, L"from console");
    Remove(console_, L"a");
    consoleStore_.Save();

    Add(window_, L"unsaved");
    windowStore_.Update();
    EXPECT_EQ(Values(window_), (Texts{L"from console", L"unsaved"}));
    EXPECT_EQ(InFile(), (Texts{L"from console"}));
    windowStore_.Save();
    EXPECT_EQ(InFile(), (Texts{L"from console", L"unsaved"}));
}

TEST_F(SharedStoreTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    windowStore_.Open();
    Add(window_, L"a");
    windowStore_.Save();
    const std::string broken = "<IgnoreList><ERROR ROOT=";
    test::WriteFileBytes(Path(), broken);
    Add(window_, L"b");
    EXPECT_THROW(windowStore_.Save(), XmlError);
    EXPECT_EQ(test::ReadFileBytes(Path()), broken);
    EXPECT_EQ(Values(window_), (Texts{L"a", L"b"}));

    // A file gone meanwhile is written again whole: nothing of this program's is dropped.
    DeleteFileW(Path().c_str());
    windowStore_.Save();
    EXPECT_EQ(InFile(), (Texts{L"a", L"b"}));
}

}  // namespace
}  // namespace kestrova
