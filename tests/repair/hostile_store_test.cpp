// Backup.xml and ignore.xml that are well-formed but wrong (edited by hand, written by
// something else): "history", "restore" and "ignore list" tell each bad entry and go on with
// the others; a restore deletes nothing, and an entry it cannot write back stays.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/xml_document.h"
#include "repair_test_support.h"
#include "support/cli_child.h"
#include "support/json_value.h"
#include "support/sandbox_test.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

class HostileStoreTest : public test::SandboxTest {
protected:
    test::ChildResult Cli(const std::wstring& arguments) {
        const test::ScopedEnvironment sandbox(test::kRegistrySandboxVariable,
                                              registry_.ScratchPath());
        return test::RunCli(arguments + test::DataFolderOption(temp_.Path()));
    }
};

// An entry holding one record, as attributes of ITEM.
std::string Entry(const std::string& name, const std::string& item) {
    return "<ELEMENT NAME=\"" + name + "\" TYPE=\"t\" PATH=\"p\"><ITEM " + item + "/></ELEMENT>";
}
std::string Good(const std::string& name) {
    return Entry(name, "SUBKEY=\"HKEY_CURRENT_USER\\Software\\Good\" NAME=\"" + name +
                           "\" TYPE=\"rdString\" VALUE=\"" + name + "\"");
}

TEST_F(HostileStoreTest, BadHistoryEntriesAreToldAndStayWhileTheOthersAreRestored) {
    Cli(L"history");  // the system's own keys of a first run, before the registry is compared
    const std::string bad = "SUBKEY=\"HKEY_CURRENT_USER\\Software\\Bad\" NAME=\"v\" ";
    const std::vector<std::pair<std::string, std::string>> badEntries = {
        {"no TYPE", Entry("b", bad + "VALUE=\"x\"")},
        {"unknown TYPE", Entry("b", bad + "TYPE=\"rdText\" VALUE=\"x\"")},
        {"empty byte", Entry("b", bad + "TYPE=\"rdBinary\" VALUE=\"0A,,0B\"")},
        {"bad digits", Entry("b", bad + "TYPE=\"rdBinary\" VALUE=\"0G\"")},
        {"three digits", Entry("b", bad + "TYPE=\"rdBinary\" VALUE=\"123\"")},
        {"type number not a number",
         Entry("b", bad + "TYPE=\"rdString\" VALUE=\"x\" REGTYPE=\"1x\"")},
        {"type number too big",
         Entry("b", bad + "TYPE=\"rdString\" VALUE=\"x\" REGTYPE=\"4294967296\"")},
        {"bare root",
         Entry("b", "SUBKEY=\"HKEY_CURRENT_USER\" NAME=\"v\" TYPE=\"rdString\" VALUE=\"x\"")},
        {"root with a backslash",
         Entry("b", "SUBKEY=\"HKEY_CURRENT_USER\\\" NAME=\"v\" TYPE=\"rdString\" VALUE=\"x\"")},
        {"no root",
         Entry("b", "SUBKEY=\"\\Software\\Bad\" NAME=\"v\" TYPE=\"rdString\" VALUE=\"x\"")},
        {"empty level", Entry("b",
                              "SUBKEY=\"HKEY_CURRENT_USER\\Software\\\\Bad\" NAME=\"v\" "
                              "TYPE=\"rdString\" VALUE=\"x\"")},
        {"no SUBKEY", Entry("b", "NAME=\"v\" TYPE=\"rdString\" VALUE=\"x\"")},
    };
    std::string file = "<Kestrova>" + Good("first");
    for (const auto& entry : badEntries) {
        file += entry.second;
    }
    // Missing labels, unknown attributes and elements are told, but no harm to a restore.
    file += "<ELEMENT><ITEM SUBKEY=\"HKEY_CURRENT_USER\\Software\\Good\\Bare\"/></ELEMENT>" +
            Entry("last",
                  "SUBKEY=\"HKEY_CURRENT_USER\\Software\\Good\" NAME=\"last\" "
                  "TYPE=\"rdInteger\" VALUE=\"0000002A\" EXTRA=\"?\"") +
            "<OTHER/></Kestrova>";
    test::WriteFileBytes(temp_ / L"Backup.xml", file);
    // Something that was there before: a restore never deletes.
    test::PutValue(HKEY_CURRENT_USER, L"\\Software\\Good", L"kept",
                   test::RawOf(REG_SZ, test::Utf16Bytes(L"kept")));
    const test::RegistryDump before = test::DumpRegistry();

    const test::ChildResult listed = Cli(L"history --json");
    EXPECT_EQ(listed.exitCode, 1u);
    const test::JsonValue json = test::ParseJson(listed.out);
    EXPECT_EQ(json["entries"].Array().size(), badEntries.size() + 4);
    for (size_t i = 0; i < badEntries.size(); ++i) {
        EXPECT_NE(listed.err.find("entry " + std::to_string(i + 1) + " cannot be restored"),
                  std::string::npos)
            << badEntries[i].first << "\n"
            << listed.err;
    }
    const size_t bare = badEntries.size() + 1;
    EXPECT_NE(listed.err.find("entry " + std::to_string(bare) + " has no NAME"), std::string::npos);
    EXPECT_EQ(listed.err.find("entry 0 "), std::string::npos) << listed.err;
    EXPECT_EQ(listed.err.find("entry " + std::to_string(bare + 1) + " "), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(temp_ / L"Backup.xml"), file);
    const test::RegistryDump afterListing = test::DumpRegistry();
    EXPECT_TRUE(afterListing == before) << test::DescribeDifferences(before, afterListing);

    const test::ChildResult restored = Cli(L"restore --all");
    EXPECT_EQ(restored.exitCode, 1u);
    EXPECT_NE(restored.out.find("Restored 4 entries; " + std::to_string(badEntries.size()) +
                                " entries left"),
              std::string::npos)
        << restored.out << restored.err;
    // The good ones are back, the bad ones wrote nothing, and nothing went.
    EXPECT_EQ(test::GetValue(HKEY_CURRENT_USER, L"\\Software\\Good", L"first")->data,
              test::Utf16Bytes(L"first"));
    EXPECT_EQ(test::GetValue(HKEY_CURRENT_USER, L"\\Software\\Good", L"last")->data,
              (std::vector<BYTE>{0x2A, 0, 0, 0}));
    EXPECT_TRUE(test::GetValue(HKEY_CURRENT_USER, L"\\Software\\Good", L"kept"));
    EXPECT_TRUE(test::KeyPresent(HKEY_CURRENT_USER, L"\\Software\\Good\\Bare"));
    EXPECT_FALSE(test::KeyPresent(HKEY_CURRENT_USER, L"\\Software\\Bad"));
    const test::RegistryDump after = test::DumpRegistry();
    for (const auto& [key, values] : before) {
        ASSERT_TRUE(after.count(key)) << ToUtf8(key);
        for (const auto& value : values) {
            EXPECT_TRUE(after.at(key).count(value.first)) << ToUtf8(key + L"\\" + value.first);
        }
    }
    XmlDocument left;
    left.Load(temp_ / L"Backup.xml");
    EXPECT_EQ(left.Root().ChildCount(), badEntries.size());
}

TEST_F(HostileStoreTest, IgnoreListShowsTheGoodEntriesAndTellsTheBadOnes) {
    const std::string file =
        "<IgnoreList><ERROR ROOT=\"R\" KEY=\"K\" VALUE=\"zero\"/><ERROR ROOT=\"R\" KEY=\"K\"/>"
        "<ERROR ROOT=\"R\" KEY=\"K\" VALUE=\"two\" EXTRA=\"x\"/><ERROR/>"
        "<ERROR ROOT=\"R\" KEY=\"K\" VALUE=\"four\"/></IgnoreList>";
    test::WriteFileBytes(temp_ / L"ignore.xml", file);

    const test::ChildResult listed = Cli(L"ignore list");
    EXPECT_EQ(listed.exitCode, 1u);
    EXPECT_EQ(listed.out,
              "Index\tRoot\tKey Name\tValue\n0\tR\tK\tzero\n2\tR\tK\ttwo\n4\tR\tK\tfour\n");
    EXPECT_NE(listed.err.find("entry 1 of"), std::string::npos) << listed.err;
    EXPECT_NE(listed.err.find("entry 3 of"), std::string::npos) << listed.err;
    // Changing such a list would save the bad entries again unchecked: refused whole.
    EXPECT_EQ(Cli(L"ignore remove 0").exitCode, 1u);
    EXPECT_EQ(Cli(L"ignore add A B C").exitCode, 1u);
    EXPECT_EQ(test::ReadFileBytes(temp_ / L"ignore.xml"), file);
}

}  // namespace
}  // namespace kestrova
