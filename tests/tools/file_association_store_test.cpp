// The file association store's reads, writes and deletes on a sandboxed HKEY_CLASSES_ROOT.
#include "tools/file_association_store.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

class FileAssociationStoreTest : public test::SandboxTest {
protected:
    static void PutText(const std::wstring& key, const std::wstring& text) {
        Registry registry(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(registry.OpenKey(L"\\" + key, true));
        registry.WriteString(L"", text);
    }
    static void PutKey(const std::wstring& key) {
        Registry registry(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(registry.OpenKey(L"\\" + key, true));
    }
    // An association as the registry holds it, all four keys.
    static void PutAssociation(const TExtInfo& info) {
        PutText(info.extension, info.fileType);
        PutText(info.fileType, info.description);
        PutText(info.fileType + L"\\DefaultIcon", info.fileIcon);
        PutText(info.fileType + L"\\shell\\open\\command", info.filePath);
    }
    static bool KeyPresent(const std::wstring& key) {
        return Registry(HKEY_CLASSES_ROOT).KeyExists(L"\\" + key);
    }
    static std::wstring DefaultOf(const std::wstring& key) {
        Registry registry(HKEY_CLASSES_ROOT);
        return registry.OpenKeyReadOnly(L"\\" + key) ? registry.ReadString(L"") : L"(no key)";
    }
    // Every event of a full read as a line: "begin 2", "item 1 .a|afile|A|cmd|icon", "end".
    std::vector<std::wstring> ReadAllEvents() {
        std::vector<std::wstring> events;
        AssociationReadEvents handlers;
        handlers.onReadBegin = [&](int32_t count) {
            events.push_back(L"begin " + std::to_wstring(count));
        };
        handlers.onReadItem = [&](const TExtInfo& info) { events.push_back(Line(info)); };
        handlers.onReadEnd = [&] { events.push_back(L"end"); };
        store_.ReadAll(handlers);
        return events;
    }
    static std::wstring Line(const TExtInfo& info) {
        return L"item " + std::to_wstring(info.position) + L" " + info.extension + L"|" +
               info.fileType + L"|" + info.description + L"|" + info.filePath + L"|" +
               info.fileIcon;
    }

    TFileAssociator store_;
};

const TExtInfo kZip{L".zip", L"zipfile", L"ZIP Archive", L"\"C:\\zip.exe\" \"%1\"",
                    L"C:\\zip.exe,1"};

TEST_F(FileAssociationStoreTest, ReadAllTellsTheCountEachExtensionInOrderAndTheEnd) {
    EXPECT_EQ(ReadAllEvents(), (std::vector<std::wstring>{L"begin 0", L"end"}));

    PutAssociation(kZip);
    PutAssociation({L".txt", L"txtfile", L"", L"notepad.exe %1", L"notepad.exe,0"});
    PutKey(L".bare");  // no default value
    PutKey(L"CLSID");
    PutText(L"Folder", L"File Folder");
    std::vector<std::wstring> order;
    {
        Registry registry(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(registry.OpenKeyReadOnly(L"\\"));
        registry.GetKeyNames(order);
    }
    std::erase_if(order, [](const std::wstring& name) { return name[0] != L'.'; });
    ASSERT_EQ(order.size(), 3u);

    const std::map<std::wstring, std::wstring> fields = {
        {L".zip", L".zip|zipfile|ZIP Archive|\"C:\\zip.exe\" \"%1\"|C:\\zip.exe,1"},
        // No description: the file type stands for it.
        {L".txt", L".txt|txtfile|txtfile|notepad.exe %1|notepad.exe,0"},
        {L".bare", L".bare||||"},
    };
    std::vector<std::wstring> expected = {L"begin 3"};
    for (size_t i = 0; i < order.size(); ++i) {
        expected.push_back(L"item " + std::to_wstring(i + 1) + L" " + fields.at(order[i]));
    }
    expected.push_back(L"end");
    EXPECT_EQ(ReadAllEvents(), expected);
    EXPECT_EQ(store_.ExtensionNames(), order);
}

TEST_F(FileAssociationStoreTest, ADefaultValueThatIsNotTextReadsEmptyAndTheReadGoesOn) {
    const auto putBinary = [](const std::wstring& key) {
        Registry registry(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(registry.OpenKey(L"\\" + key, true));
        const BYTE bytes[] = {1, 2, 3};
        registry.WriteBinaryData(L"", bytes, sizeof(bytes));
    };
    const auto putNumber = [](const std::wstring& key) {
        Registry registry(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(registry.OpenKey(L"\\" + key, true));
        registry.WriteInteger(L"", 7);
    };
    putBinary(L".a");
    PutAssociation({L".b", L"bfile", L"B", L"b.exe", L"b.ico"});
    putNumber(L"bfile");
    putNumber(L"bfile\\DefaultIcon");
    PutAssociation(kZip);

    const std::vector<std::wstring> events = ReadAllEvents();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events.front(), L"begin 3");
    EXPECT_EQ(events.back(), L"end");
    const auto has = [&](const std::wstring& tail) {
        return std::any_of(events.begin(), events.end(), [&](const std::wstring& line) {
            return line.size() >= tail.size() &&
                   line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
        });
    };
    EXPECT_TRUE(has(L" .a||||"));
    EXPECT_TRUE(has(L" .b|bfile|bfile|b.exe|"));
    EXPECT_TRUE(has(L" .zip|zipfile|ZIP Archive|\"C:\\zip.exe\" \"%1\"|C:\\zip.exe,1"));
    EXPECT_EQ(store_.ReadAssociation(L".b").description, L"bfile");
}

TEST_F(FileAssociationStoreTest, ReadAllStopsWhenAskedAndStillEnds) {
    for (int i = 0; i < 5; ++i) {
        PutText(L".e" + std::to_wstring(i), L"");
    }
    int items = 0;
    bool ended = false;
    AssociationReadEvents events;
    events.onReadItem = [&](const TExtInfo&) { ++items; };
    events.onReadEnd = [&] { ended = true; };
    events.stopRequested = [&] { return items == 2; };
    store_.ReadAll(events);
    EXPECT_EQ(items, 2);
    EXPECT_TRUE(ended);
}

TEST_F(FileAssociationStoreTest, ReadOneAssociation) {
    PutAssociation(kZip);
    TExtInfo expected = kZip;
    EXPECT_EQ(store_.ReadAssociation(L".zip"), expected);
    EXPECT_EQ(store_.ReadAssociation(L".ZIP").fileType, L"zipfile");
    EXPECT_TRUE(store_.HasExtension(L".zip"));
    EXPECT_FALSE(store_.HasExtension(L".none"));
    EXPECT_FALSE(store_.HasExtension(L""));

    // Without a file type nothing of the classes root itself is read.
    PutText(L"shell\\open\\command", L"root command");
    PutText(L"DefaultIcon", L"root icon");
    PutKey(L".bare");
    EXPECT_EQ(store_.ReadAssociation(L".bare"), (TExtInfo{L".bare", L"", L"", L"", L""}));
    EXPECT_EQ(store_.ReadAssociation(L".missing"), (TExtInfo{L".missing", L"", L"", L"", L""}));
}

TEST_F(FileAssociationStoreTest, WriteCreatesOrChangesTheAssociation) {
    store_.WriteAssociation(kZip);
    EXPECT_EQ(store_.ReadAssociation(L".zip"), kZip);

    // A change with an empty icon keeps the icon that is there; an empty command is written.
    store_.WriteAssociation({L".zip", L"zipfile", L"Archive", L"", L""});
    EXPECT_EQ(store_.ReadAssociation(L".zip"),
              (TExtInfo{L".zip", L"zipfile", L"Archive", L"", L"C:\\zip.exe,1"}));

    // An empty description is written too, so a read shows the file type.
    store_.WriteAssociation({L".doc", L"docfile", L"", L"word.exe", L""});
    EXPECT_EQ(DefaultOf(L"docfile"), L"");
    EXPECT_EQ(store_.ReadAssociation(L".doc").description, L"docfile");
    EXPECT_FALSE(KeyPresent(L"docfile\\DefaultIcon"));

    // Without a file type: the description is the extension's default value, and the command
    // and icon go under the extension's own key.
    store_.WriteAssociation({L".raw", L"", L"Raw data", L"raw.exe", L"raw.ico"});
    EXPECT_EQ(DefaultOf(L".raw"), L"Raw data");
    EXPECT_EQ(DefaultOf(L".raw\\shell\\open\\command"), L"raw.exe");
    EXPECT_EQ(DefaultOf(L".raw\\DefaultIcon"), L"raw.ico");
    store_.WriteAssociation({L".nodesc", L"", L"", L"x.exe", L""});
    {
        Registry registry(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(registry.OpenKeyReadOnly(L"\\.nodesc"));
        EXPECT_FALSE(registry.ValueExists(L""));
    }
    EXPECT_EQ(DefaultOf(L".nodesc\\shell\\open\\command"), L"x.exe");

    for (const wchar_t* extension : {L"", L".a\\b"}) {
        EXPECT_THROW(store_.WriteAssociation({extension, L"t", L"d", L"c", L"i"}), Error)
            << ToUtf8(extension);
    }
    EXPECT_FALSE(KeyPresent(L"t"));
    EXPECT_FALSE(KeyPresent(L".a"));
}

TEST_F(FileAssociationStoreTest, DeleteRemovesTheExtensionAndItsFileTypeUnlessAnotherNamesIt) {
    PutAssociation(kZip);
    PutAssociation({L".txt", L"TxtFile", L"Text", L"notepad.exe", L""});
    PutText(L".log", L"txtfile");  // the same file type, spelt otherwise
    PutKey(L".bare");
    PutText(L"Unrelated", L"stays");

    AssociationDeletion deletion = store_.DeleteAssociation(L".zip");
    EXPECT_TRUE(deletion.extensionDeleted);
    EXPECT_EQ(deletion.fileType, L"zipfile");
    EXPECT_TRUE(deletion.fileTypeDeleted);
    EXPECT_FALSE(KeyPresent(L".zip"));
    EXPECT_FALSE(KeyPresent(L"zipfile"));

    deletion = store_.DeleteAssociation(L".txt");
    EXPECT_TRUE(deletion.extensionDeleted);
    EXPECT_FALSE(deletion.fileTypeDeleted);
    EXPECT_EQ(deletion.fileTypeSharedWith, L".log");
    EXPECT_FALSE(KeyPresent(L".txt"));
    EXPECT_EQ(DefaultOf(L"TxtFile\\shell\\open\\command"), L"notepad.exe");

    // The last extension naming it takes the file type along.
    deletion = store_.DeleteAssociation(L".log");
    EXPECT_TRUE(deletion.fileTypeDeleted);
    EXPECT_FALSE(KeyPresent(L"TxtFile"));

    // Without a file type only the extension's own key goes.
    deletion = store_.DeleteAssociation(L".bare");
    EXPECT_TRUE(deletion.extensionDeleted);
    EXPECT_EQ(deletion.fileType, L"");
    EXPECT_FALSE(KeyPresent(L".bare"));
    EXPECT_EQ(DefaultOf(L"Unrelated"), L"stays");

    EXPECT_FALSE(store_.DeleteAssociation(L".never").extensionDeleted);
    for (const wchar_t* extension : {L"", L"\\", L"Unrelated\\x"}) {
        EXPECT_THROW(store_.DeleteAssociation(extension), Error) << ToUtf8(extension);
    }
    EXPECT_TRUE(KeyPresent(L"Unrelated"));
}

}  // namespace
}  // namespace kestrova
