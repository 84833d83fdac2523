#include "platform/xml_document.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/text.h"
#include "platform/unique_handles.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

// The message of the XmlError the action throws; fails the test when it throws none.
std::wstring XmlErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const XmlError& error) {
        return error.message();
    }
    ADD_FAILURE() << "no XmlError thrown";
    return {};
}

// The reason part of "Cannot load|save "<path>": <reason>".
std::wstring ReasonAfter(const std::wstring& message, const std::wstring& path) {
    const std::wstring prefix = L"\"" + path + L"\": ";
    const auto at = message.find(prefix);
    return at == std::wstring::npos ? std::wstring() : message.substr(at + prefix.size());
}

// The "N" attribute of each child, in index order.
std::vector<std::wstring> ChildNumbers(const XmlElement& parent) {
    std::vector<std::wstring> numbers;
    for (size_t i = 0; i < parent.ChildCount(); ++i) {
        numbers.push_back(parent.Child(i).AttributeText(L"N"));
    }
    return numbers;
}

std::vector<std::wstring> Numbers(std::initializer_list<int> values) {
    std::vector<std::wstring> numbers;
    for (int value : values) {
        numbers.push_back(std::to_wstring(value));
    }
    return numbers;
}

class XmlDocumentTest : public ::testing::Test {
protected:
    // A document with root "Kestrova" and `count` ELEMENT children numbered by "N".
    static void CreateNumbered(XmlDocument& document, int count) {
        document.Create(L"Kestrova");
        for (int i = 0; i < count; ++i) {
            document.Root().AppendChild(L"ELEMENT").SetAttribute(L"N", std::to_wstring(i));
        }
    }

    TempFolder temp_;
};

TEST_F(XmlDocumentTest, SavedDocumentLoadsWithSameChildrenAndAttributeTexts) {
    const std::vector<std::wstring> texts = {
        L"",
        L" ",
        L"&<>\"'",
        L"&amp; &lt; stay as typed",
        L"He said \"yes\" and 'no'",
        L"]]> <!-- not a comment --> <?pi?>",
        L"\u0416\u0443\u0440\u043d\u0430\u043b \u4e2d\u6587 \U0001F600 \u00e9",
        L"  leading and trailing  ",
        L"C:\\Program Files\\App\\",
        L"\\\\server\\share\\file.dll",
        L"first line\r\nsecond\tcolumn",
    };
    const std::wstring path = temp_ / L"Backup.xml";
    {
        XmlDocument document;
        document.Create(L"Kestrova");
        for (size_t i = 0; i < texts.size(); ++i) {
            XmlElement entry = document.Root().AppendChild(L"ELEMENT");
            entry.SetAttribute(L"N", std::to_wstring(i));
            entry.SetAttribute(L"V", texts[i]);
            entry.AppendChild(L"ITEM").SetAttribute(L"V", texts[i]);
        }
        document.Save(path);
    }

    XmlDocument loaded;
    loaded.Load(path);
    const XmlElement root = loaded.Root();
    ASSERT_TRUE(root.Valid());
    EXPECT_EQ(root.Tag(), L"Kestrova");
    ASSERT_EQ(root.ChildCount(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE("text: " + ToUtf8(texts[i]));
        const XmlElement entry = root.Child(i);
        EXPECT_EQ(entry.Tag(), L"ELEMENT");
        EXPECT_EQ(entry.AttributeText(L"N"), std::to_wstring(i));
        EXPECT_EQ(entry.Attribute(L"V"), texts[i]);
        EXPECT_EQ(entry.AttributeCount(), 2u);
        ASSERT_EQ(entry.ChildCount(), 1u);
        EXPECT_EQ(entry.Child(0).Tag(), L"ITEM");
        EXPECT_EQ(entry.Child(0).Attribute(L"V"), texts[i]);
    }

    // UTF-8 with its declaration, not UTF-16 or a code page.
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << bytes;
    EXPECT_NE(bytes.find(ToUtf8(L"\u0416\u0443\u0440\u043d\u0430\u043b \u4e2d\u6587 \U0001F600")),
              std::string::npos);
}

TEST_F(XmlDocumentTest, AttributesAreCreatedReplacedAndMissingOnesReported) {
    XmlDocument document;
    document.Create(L"IgnoreList");
    XmlElement entry = document.Root().AppendChild(L"ERROR");
    EXPECT_EQ(entry.AttributeCount(), 0u);
    EXPECT_EQ(entry.Attribute(L"ROOT"), std::nullopt);

    entry.SetAttribute(L"ROOT", L"");
    EXPECT_EQ(entry.Attribute(L"ROOT"), std::wstring());
    EXPECT_EQ(entry.AttributeText(L"ROOT"), L"");
    entry.SetAttribute(L"ROOT", L"HKEY_CURRENT_USER");
    entry.SetAttribute(L"KEY", L"Software\\Vendor");
    EXPECT_EQ(entry.AttributeCount(), 2u);
    EXPECT_EQ(entry.AttributeText(L"ROOT"), L"HKEY_CURRENT_USER");

    const std::wstring message = XmlErrorOf([&] { entry.AttributeText(L"VALUE"); });
    EXPECT_NE(message.find(L"ERROR"), std::wstring::npos) << ToUtf8(message);
    EXPECT_NE(message.find(L"VALUE"), std::wstring::npos) << ToUtf8(message);
}

TEST_F(XmlDocumentTest, ChildrenAreAppendedLastAndDeletedByIndex) {
    XmlDocument document;
    CreateNumbered(document, 10);
    XmlElement root = document.Root();
    EXPECT_EQ(ChildNumbers(root), Numbers({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_THROW(root.Child(10), std::out_of_range);

    root.DeleteChild(0);
    root.DeleteChild(4);
    root.DeleteChild(root.ChildCount() - 1);
    EXPECT_EQ(ChildNumbers(root), Numbers({1, 2, 3, 4, 6, 7, 8}));

    // The way callers remove checked rows: from the highest index down.
    for (size_t i = root.ChildCount(); i-- > 0;) {
        if (std::stoi(root.Child(i).AttributeText(L"N")) % 2 == 1) {
            root.DeleteChild(i);
        }
    }
    EXPECT_EQ(ChildNumbers(root), Numbers({2, 4, 6, 8}));

    XmlElement appended = root.AppendChild(L"ELEMENT");
    appended.SetAttribute(L"N", L"10");
    EXPECT_EQ(ChildNumbers(root), Numbers({2, 4, 6, 8, 10}));

    root.DeleteAllChildren();
    EXPECT_EQ(root.ChildCount(), 0u);
    EXPECT_THROW(root.Child(0), std::out_of_range);
    root.AppendChild(L"ELEMENT").SetAttribute(L"N", L"11");
    EXPECT_EQ(ChildNumbers(root), Numbers({11}));
}

// Child lookups remember where they ended; a change through one handle must show through
// every other handle of the same element.
TEST_F(XmlDocumentTest, IndexLookupsStayRightAcrossHandlesAndChanges) {
    XmlDocument document;
    CreateNumbered(document, 1);
    XmlElement writer = document.Root().Child(0);
    XmlElement reader = document.Root().Child(0);
    for (int i = 0; i < 20; ++i) {
        writer.AppendChild(L"ITEM").SetAttribute(L"N", std::to_wstring(i));
    }
    for (int index : {0, 15, 14, 3, 19, 18, 10, 11, 0, 19}) {
        EXPECT_EQ(reader.Child(index).AttributeText(L"N"), std::to_wstring(index));
    }
    EXPECT_EQ(reader.ChildCount(), 20u);

    writer.DeleteChild(5);
    EXPECT_EQ(reader.ChildCount(), 19u);
    EXPECT_EQ(reader.Child(5).AttributeText(L"N"), L"6");
    EXPECT_EQ(reader.Child(18).AttributeText(L"N"), L"19");

    writer.AppendChild(L"ITEM").SetAttribute(L"N", L"20");
    EXPECT_EQ(reader.Child(19).AttributeText(L"N"), L"20");

    document.Root().DeleteChild(0);
    writer.DeleteAllChildren();
    EXPECT_EQ(reader.ChildCount(), 0u);

    // A loaded document replaces the old one for Root().
    const std::wstring path = temp_ / L"three.xml";
    WriteFileBytes(path, "<Kestrova><A N=\"0\"/><A N=\"1\"/><A N=\"2\"/></Kestrova>");
    EXPECT_EQ(document.Root().ChildCount(), 0u);
    document.Load(path);
    EXPECT_EQ(ChildNumbers(document.Root()), Numbers({0, 1, 2}));
}

TEST_F(XmlDocumentTest, LayoutWhitespaceCommentsAndInstructionsAreNotChildren) {
    const std::wstring path = temp_ / L"ignore.xml";
    WriteFileBytes(path,
                   "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                   "<!-- ignore list -->\r\n"
                   "<IgnoreList>\r\n"
                   "\t<!-- first -->\r\n"
                   "\t<ERROR ROOT=\"HKEY_LOCAL_MACHINE\" KEY=\"Software\\A\" VALUE=\"\"/>\r\n"
                   "\r\n"
                   "    <ERROR ROOT=\"HKEY_CURRENT_USER\" KEY=\"Software\\B\" VALUE=\"x\">\r\n"
                   "        <!-- nothing inside -->\r\n"
                   "    </ERROR>\r\n"
                   "  <?note between?>\r\n"
                   "  <ERROR ROOT=\"HKEY_CLASSES_ROOT\" KEY=\"C\" VALUE=\"y\"/>  \r\n"
                   "</IgnoreList>\r\n");
    XmlDocument document;
    document.Load(path);
    XmlElement root = document.Root();
    EXPECT_EQ(root.Tag(), L"IgnoreList");
    ASSERT_EQ(root.ChildCount(), 3u);
    EXPECT_EQ(root.Child(0).AttributeText(L"KEY"), L"Software\\A");
    EXPECT_EQ(root.Child(0).Attribute(L"VALUE"), std::wstring());
    EXPECT_EQ(root.Child(1).AttributeText(L"KEY"), L"Software\\B");
    EXPECT_EQ(root.Child(1).ChildCount(), 0u);
    EXPECT_EQ(root.Child(2).AttributeText(L"ROOT"), L"HKEY_CLASSES_ROOT");

    root.DeleteChild(1);
    EXPECT_EQ(root.Child(1).AttributeText(L"VALUE"), L"y");
    document.Save(path);
    document.Load(path);
    ASSERT_EQ(document.Root().ChildCount(), 2u);
    EXPECT_EQ(document.Root().Child(1).AttributeText(L"KEY"), L"C");
}

TEST_F(XmlDocumentTest, MalformedFileIsReportedAndLeavesDocumentAsItWas) {
    struct Case {
        const char* name;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"mismatched tags", "<?xml version=\"1.0\"?>\n<Kestrova>\n  <ELEMENT>\n</Kestrova>\n"},
        {"unescaped less-than", "<Kestrova V=\"a<b\"/>"},
        {"two roots", "<Kestrova/><Kestrova/>"},
        {"cut short", "<Kestrova><ELEMENT N=\"1\""},
        {"unknown entity", "<Kestrova V=\"&bogus;\"/>"},
        {"empty file", ""},
    };
    XmlDocument document;
    CreateNumbered(document, 2);
    const XmlElement held = document.Root().Child(1);
    const std::wstring path = temp_ / L"broken.xml";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(path, c.text);
        const std::wstring message = XmlErrorOf([&] { document.Load(path); });
        EXPECT_FALSE(ReasonAfter(message, path).empty()) << ToUtf8(message);

        EXPECT_EQ(document.Root().Tag(), L"Kestrova");
        EXPECT_EQ(ChildNumbers(document.Root()), Numbers({0, 1}));
        EXPECT_EQ(held.AttributeText(L"N"), L"1");
    }

    // The parser places the fault.
    WriteFileBytes(path, cases[0].text);
    const std::wstring message = XmlErrorOf([&] { document.Load(path); });
    EXPECT_NE(message.find(L"line "), std::wstring::npos) << ToUtf8(message);
}

TEST_F(XmlDocumentTest, MissingFileIsReportedByName) {
    XmlDocument document;
    const std::wstring path = temp_ / L"Backup.xml";
    const std::wstring message = XmlErrorOf([&] { document.Load(path); });
    EXPECT_FALSE(ReasonAfter(message, path).empty()) << ToUtf8(message);
    EXPECT_FALSE(document.Root().Valid());
}

TEST_F(XmlDocumentTest, LoadNeverReadsOutsideDefinitions) {
    WriteFileBytes(temp_ / L"outside.dtd", "<!ENTITY secret \"from outside\">");
    const std::wstring path = temp_ / L"doctype.xml";
    WriteFileBytes(path,
                   "<?xml version=\"1.0\"?><!DOCTYPE Kestrova SYSTEM \"outside.dtd\">"
                   "<Kestrova V=\"&secret;\"/>");
    XmlDocument document;
    try {
        document.Load(path);
        EXPECT_NE(document.Root().Attribute(L"V"), L"from outside");
    } catch (const XmlError&) {
        // Refusing the document type altogether is just as good.
    }
}

TEST_F(XmlDocumentTest, SaveReplacesTargetAndLeavesNoTemporaryFile) {
    const std::wstring path = temp_ / L"ignore.xml";
    WriteFileBytes(path, "previous content, longer than what replaces it ......................");
    XmlDocument document;
    CreateNumbered(document, 3);
    document.Save(path);
    EXPECT_EQ(test::EntryNames(temp_.Path()), std::vector<std::wstring>{L"ignore.xml"});

    XmlDocument loaded;
    loaded.Load(path);
    EXPECT_EQ(ChildNumbers(loaded.Root()), Numbers({0, 1, 2}));

    document.Root().DeleteChild(1);
    document.Save(path);
    loaded.Load(path);
    EXPECT_EQ(ChildNumbers(loaded.Root()), Numbers({0, 2}));
    EXPECT_EQ(test::EntryNames(temp_.Path()), std::vector<std::wstring>{L"ignore.xml"});
}

TEST_F(XmlDocumentTest, FailedSaveKeepsTargetAndLeavesNoTemporaryFile) {
    XmlDocument document;
    CreateNumbered(document, 3);

    // A folder that does not exist.
    const std::wstring nowhere = temp_ / L"missing\\Backup.xml";
    EXPECT_FALSE(ReasonAfter(XmlErrorOf([&] { document.Save(nowhere); }), nowhere).empty());
    EXPECT_TRUE(test::EntryNames(temp_.Path()).empty());

    // A target that another program holds open and does not let anyone replace.
    const std::string previous = "<Kestrova><ELEMENT N=\"previous\"/></Kestrova>";
    const std::wstring busy = temp_ / L"Backup.xml";
    WriteFileBytes(busy, previous);
    {
        UniqueKernelHandle holder(CreateFileW(busy.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_FALSE(ReasonAfter(XmlErrorOf([&] { document.Save(busy); }), busy).empty());
    }
    EXPECT_EQ(ReadFileBytes(busy), previous);
    EXPECT_EQ(test::EntryNames(temp_.Path()), std::vector<std::wstring>{L"Backup.xml"});

    // A folder where the file should be.
    const std::wstring folder = temp_ / L"ignore.xml";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_FALSE(ReasonAfter(XmlErrorOf([&] { document.Save(folder); }), folder).empty());
    EXPECT_EQ(GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(test::EntryNames(temp_.Path()).size(), 2u);
}

// The scan's worker (a COM multithreaded apartment) reads and appends while the window
// thread (this test's single-threaded apartment) appends to the same document.
TEST_F(XmlDocumentTest, WorkerThreadSharesDocumentWithWindowThread) {
    constexpr int kEach = 300;
    XmlDocument document;
    document.Create(L"IgnoreList");

    std::atomic<bool> windowDone{false};
    std::atomic<int> incompleteChildren{0};
    std::atomic<int> countChangedInsideLock{0};
    std::atomic<int> walks{0};
    std::atomic<bool> workerFailed{false};
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        try {
            for (int i = 0; i < kEach || !windowDone; ++i) {
                if (i < kEach) {
                    auto lock = document.Lock();
                    XmlElement added = document.Root().AppendChild(L"ERROR");
                    std::this_thread::yield();
                    added.SetAttribute(L"BY", L"worker");
                    added.SetAttribute(L"N", std::to_wstring(i));
                }
                auto lock = document.Lock();
                const XmlElement root = document.Root();
                const size_t count = root.ChildCount();
                for (size_t c = 0; c < count; ++c) {
                    if (c == count / 2) {
                        std::this_thread::yield();
                    }
                    const XmlElement child = root.Child(c);
                    if (!child.Attribute(L"BY") || !child.Attribute(L"N")) {
                        ++incompleteChildren;
                    }
                }
                if (root.ChildCount() != count) {
                    ++countChangedInsideLock;
                }
                ++walks;
            }
        } catch (...) {
            workerFailed = true;
        }
        CoUninitialize();
    });
    for (int i = 0; i < kEach; ++i) {
        auto lock = document.Lock();
        XmlElement added = document.Root().AppendChild(L"ERROR");
        std::this_thread::yield();  // a half-made child must stay invisible to the worker
        added.SetAttribute(L"BY", L"window");
        added.SetAttribute(L"N", std::to_wstring(i));
    }
    windowDone = true;
    worker.join();

    EXPECT_FALSE(workerFailed);
    EXPECT_GT(walks.load(), 0);
    EXPECT_EQ(incompleteChildren.load(), 0);
    EXPECT_EQ(countChangedInsideLock.load(), 0);
    const XmlElement root = document.Root();
    ASSERT_EQ(root.ChildCount(), 2u * kEach);
    // Appending never reorders: each thread's children keep their order.
    int nextWindow = 0;
    int nextWorker = 0;
    for (size_t c = 0; c < root.ChildCount(); ++c) {
        const XmlElement child = root.Child(c);
        int& next = child.AttributeText(L"BY") == L"window" ? nextWindow : nextWorker;
        EXPECT_EQ(child.AttributeText(L"N"), std::to_wstring(next));
        ++next;
    }
    EXPECT_EQ(nextWindow, kEach);
    EXPECT_EQ(nextWorker, kEach);
}

}  // namespace
}  // namespace kestrova
