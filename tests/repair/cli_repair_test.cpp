// The console front end's fix, history, restore and ignore commands, run as the child process
// they are. A child sees the real registry of the test prefix, not a sandbox: the tests that
// fix and restore make stale entries of their own under names no one else uses, keep every
// other row of the scanned groups out through the ignore list, and remove what they made even
// when they fail.
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/text.h"
#include "platform/xml_document.h"
#include "repair_test_support.h"
#include "scan/scan_groups.h"
#include "support/child_process.h"
#include "support/json_value.h"
#include "support/real_registry_lock.h"
#include "support/temp_folder.h"
#include "support/versioned_program.h"

#ifndef KESTROVA_CLI_EXE
#define KESTROVA_CLI_EXE ""
#endif

namespace kestrova {
namespace {

using test::ChildResult;
using test::JsonArray;
using test::JsonValue;
using test::ParseJson;
using test::RawOf;
using test::Utf16Bytes;

const std::wstring kHelpKey = L"\\SOFTWARE\\Microsoft\\Windows\\Help";
const std::wstring kAppsKey = L"\\AppEvents\\Schemes\\Apps";
const std::wstring kVxdKey = L"\\SYSTEM\\CurrentControlSet\\Services\\VXD";

// Unique to this test process, so parallel runs never touch each other's entries.
std::wstring Tag() {
    return L"KestrovaCliTest" + std::to_wstring(GetCurrentProcessId());
}

// Every key below keyPath (relative to it, "" for the key itself) with its values.
using TreeDump = std::map<std::wstring, std::map<std::wstring, test::DumpedValue>>;

void DumpTree(HKEY root, const std::wstring& keyPath, const std::wstring& relative,
              TreeDump& dump) {
    Registry registry(root);
    if (!registry.OpenKeyReadOnly(keyPath)) {
        return;
    }
    auto& values = dump[relative];
    std::vector<std::wstring> names;
    registry.GetValueNames(names);
    for (const std::wstring& name : names) {
        RawValue raw;
        if (registry.ReadRaw(name, raw)) {
            values[name] = test::DumpedValue{raw.type, std::move(raw.data)};
        }
    }
    std::vector<std::wstring> subKeys;
    registry.GetKeyNames(subKeys);
    registry.CloseKey();
    for (const std::wstring& name : subKeys) {
        DumpTree(root, keyPath + L"\\" + name, relative + L"\\" + name, dump);
    }
}

TreeDump DumpTree(HKEY root, const std::wstring& keyPath) {
    TreeDump dump;
    DumpTree(root, keyPath, L"", dump);
    return dump;
}

class CliRepairTest : public ::testing::Test {
protected:
    static ChildResult Cli(const std::wstring& arguments) {
        return test::RunChild(test::HostPathToWindows(KESTROVA_CLI_EXE), arguments);
    }
    // The temp folder as the data folder; quoted without its trailing "\", which would
    // escape the closing quote.
    std::wstring InFolder() const {
        return L" --data-folder \"" + temp_.Path().substr(0, temp_.Path().size() - 1) + L"\"";
    }
    std::wstring File(const wchar_t* name) const { return temp_ / name; }

    test::TempFolder temp_;
};

// --- Bad command lines ---------------------------------------------------------------------

TEST_F(CliRepairTest, BadArgumentsExitWithTwoTheUsageAndNoFile) {
    for (const wchar_t* arguments : {L"fix --groups 13",
                                     L"fix --groups",
                                     L"fix 2",
                                     L"fix --all",
                                     L"history 0",
                                     L"history --json --json",
                                     L"history --all",
                                     L"restore",
                                     L"restore --all 0",
                                     L"restore --all --all",
                                     L"restore x",
                                     L"restore -1",
                                     L"restore 0",
                                     L"restore 1x",
                                     L"restore 0 --json",
                                     L"ignore",
                                     L"ignore frobnicate",
                                     L"ignore list extra",
                                     L"ignore add A B",
                                     L"ignore add A B C D",
                                     L"ignore add A \"\" C",
                                     L"ignore add \"\" B C",
                                     L"ignore add A B C --json",
                                     L"ignore remove",
                                     L"ignore remove x",
                                     L"ignore remove 0",
                                     L"ignore --bogus list",
                                     L"ignore list --data-folder \"\""}) {
        const ChildResult result = Cli(arguments + InFolder());
        EXPECT_EQ(result.exitCode, 2u) << ToUtf8(arguments);
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << ToUtf8(arguments);
        EXPECT_TRUE(result.out.empty()) << ToUtf8(arguments) << ": " << result.out;
    }
    EXPECT_FALSE(test::FileExists(File(L"Backup.xml")));
    EXPECT_FALSE(test::FileExists(File(L"ignore.xml")));
}

TEST_F(CliRepairTest, IndexPastTheEndIsRefusedBeforeAnythingChanges) {
    const std::string ignore =
        "<IgnoreList><ERROR ROOT=\"R\" KEY=\"K\" VALUE=\"V0\"/>"
        "<ERROR ROOT=\"R\" KEY=\"K\" VALUE=\"V1\"/></IgnoreList>";
    test::WriteFileBytes(File(L"ignore.xml"), ignore);
    const ChildResult remove = Cli(L"ignore remove 0 2" + InFolder());
    EXPECT_EQ(remove.exitCode, 2u);
    EXPECT_NE(remove.err.find("'2' is not an entry of the ignore list (0 to 1)"), std::string::npos)
        << remove.err;
    EXPECT_EQ(test::ReadFileBytes(File(L"ignore.xml")), ignore);

    const std::string history = "<Kestrova><ELEMENT NAME=\"n\" TYPE=\"t\" PATH=\"p\"/></Kestrova>";
    test::WriteFileBytes(File(L"Backup.xml"), history);
    const ChildResult restore = Cli(L"restore 0 1" + InFolder());
    EXPECT_EQ(restore.exitCode, 2u);
    EXPECT_NE(restore.err.find("'1' is not an entry of the restore history (0 to 0)"),
              std::string::npos)
        << restore.err;
    EXPECT_EQ(test::ReadFileBytes(File(L"Backup.xml")), history);
}

// --- Stores that cannot be read ------------------------------------------------------------

TEST_F(CliRepairTest, UnreadableStoreExitsWithOneNamingItAndStaysAsItWas) {
    struct Case {
        const wchar_t* file;
        std::string bytes;
        const wchar_t* arguments;
    };
    const std::string brokenHistory = "<Kestrova><ELEMENT NAME=\"x\"";
    const std::string brokenIgnore = "<IgnoreList><ERROR ROOT=\"x\"";
    // Well-formed, but an entry lacks its VALUE: a list edited by hand is not saved again.
    const std::string entryWithoutValue = "<IgnoreList><ERROR ROOT=\"R\" KEY=\"K\"/></IgnoreList>";
    const std::vector<Case> cases = {
        {L"Backup.xml", brokenHistory, L"history"},
        {L"Backup.xml", brokenHistory, L"history --json"},
        {L"Backup.xml", brokenHistory, L"restore --all"},
        {L"Backup.xml", brokenHistory, L"fix --groups 4"},
        {L"ignore.xml", brokenIgnore, L"ignore list"},
        {L"ignore.xml", brokenIgnore, L"ignore add A B C"},
        {L"ignore.xml", brokenIgnore, L"ignore remove 0"},
        {L"ignore.xml", brokenIgnore, L"fix --groups 4"},
        {L"ignore.xml", entryWithoutValue, L"ignore add A B C"},
        {L"ignore.xml", entryWithoutValue, L"ignore remove 0"},
    };
    for (const Case& c : cases) {
        const std::wstring path = File(c.file);
        test::WriteFileBytes(path, c.bytes);
        const ChildResult result = Cli(c.arguments + InFolder());
        EXPECT_EQ(result.exitCode, 1u) << ToUtf8(c.arguments);
        EXPECT_NE(result.err.find(ToUtf8(path)), std::string::npos)
            << ToUtf8(c.arguments) << ": " << result.err;
        EXPECT_TRUE(result.out.empty()) << ToUtf8(c.arguments) << ": " << result.out;
        EXPECT_EQ(test::ReadFileBytes(path), c.bytes) << ToUtf8(c.arguments);
        DeleteFileW(path.c_str());
    }
}

TEST_F(CliRepairTest, MissingDataFolderExitsWithOne) {
    const std::wstring folder = temp_ / L"none";
    for (const wchar_t* command :
         {L"fix --groups 4", L"history", L"restore --all", L"ignore list", L"ignore add A B C"}) {
        const ChildResult result = Cli(command + std::wstring(L" --data-folder ") + folder);
        EXPECT_EQ(result.exitCode, 1u) << ToUtf8(command);
        EXPECT_NE(result.err.find(ToUtf8(folder)), std::string::npos) << result.err;
    }
    EXPECT_FALSE(test::FileExists(folder));
}

// --- Ignore list ----------------------------------------------------------------------------

TEST_F(CliRepairTest, IgnoreAddListRemoveRoundTrip) {
    const std::wstring odd = L"caf\u00e9 & <\u20ac>";
    for (const std::wstring& entry :
         {std::wstring(L"HKEY_LOCAL_MACHINE \"SOFTWARE\\Microsoft\\Windows\\Help\" a.hlp"),
          // Kept exactly as typed: short root name, spaces, markup characters, non-ASCII.
          L"hklm \" x\\y \" \"" + odd + L"\"",
          // "--" lets a text that looks like an option through.
          std::wstring(L"-- --json K V"),
          std::wstring(L"HKEY_LOCAL_MACHINE \"SOFTWARE\\Microsoft\\Windows\\Help\" a.hlp")}) {
        // The data folder first: after "--" it would be taken as operands.
        const ChildResult added = Cli(L"ignore" + InFolder() + L" add " + entry);
        ASSERT_EQ(added.exitCode, 0u) << ToUtf8(entry) << ": " << added.err;
    }

    // The file itself: root and entries as the window's list reads them.
    XmlDocument file;
    file.Load(File(L"ignore.xml"));
    ASSERT_EQ(file.Root().Tag(), L"IgnoreList");
    ASSERT_EQ(file.Root().ChildCount(), 4u);
    EXPECT_EQ(file.Root().Child(1).Tag(), L"ERROR");
    EXPECT_EQ(file.Root().Child(1).AttributeText(L"ROOT"), L"hklm");
    EXPECT_EQ(file.Root().Child(1).AttributeText(L"KEY"), L" x\\y ");
    EXPECT_EQ(file.Root().Child(1).AttributeText(L"VALUE"), odd);
    EXPECT_EQ(file.Root().Child(2).AttributeText(L"ROOT"), L"--json");

    const ChildResult listed = Cli(L"ignore list --json" + InFolder());
    ASSERT_EQ(listed.exitCode, 0u) << listed.err;
    const JsonValue listedJson = ParseJson(listed.out);
    const JsonArray& entries = listedJson["entries"].Array();
    ASSERT_EQ(entries.size(), 4u);
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i]["index"].Number(), static_cast<double>(i));
        EXPECT_EQ(entries[i]["root"].String(), ToUtf8(*file.Root().Child(i).Attribute(L"ROOT")));
        EXPECT_EQ(entries[i]["key"].String(), ToUtf8(*file.Root().Child(i).Attribute(L"KEY")));
        EXPECT_EQ(entries[i]["value"].String(), ToUtf8(*file.Root().Child(i).Attribute(L"VALUE")));
    }

    // Remove takes list indices in any order; equal entries go one at a time.
    const ChildResult removed = Cli(L"ignore remove 3 1" + InFolder());
    ASSERT_EQ(removed.exitCode, 0u) << removed.err;
    const ChildResult text = Cli(L"ignore list" + InFolder());
    ASSERT_EQ(text.exitCode, 0u) << text.err;
    EXPECT_EQ(text.out,
              "Index\tRoot\tKey Name\tValue\n"
              "0\tHKEY_LOCAL_MACHINE\tSOFTWARE\\Microsoft\\Windows\\Help\ta.hlp\n"
              "1\t--json\tK\tV\n");

    ASSERT_EQ(Cli(L"ignore remove 0 1" + InFolder()).exitCode, 0u);
    EXPECT_EQ(test::ReadFileBytes(File(L"ignore.xml")).find("<ERROR"), std::string::npos);
    XmlDocument empty;
    empty.Load(File(L"ignore.xml"));
    EXPECT_EQ(empty.Root().Tag(), L"IgnoreList");
    EXPECT_EQ(empty.Root().ChildCount(), 0u);
}

// --- Restore history from a file made here --------------------------------------------------

class CliRestoreTest : public CliRepairTest {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, KeyPath().substr(1).c_str()); }

    static std::wstring KeyPath() { return L"\\Software\\" + Tag(); }
    static std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

    // An entry with one string value record under this test's key.
    static std::string Entry(const std::string& name, const std::string& value,
                             const std::string& type = "rdString") {
        return "<ELEMENT NAME=\"" + name + "\" TYPE=\"HKEY_CURRENT_USER" + Utf8(KeyPath()) + "\\" +
               name + "\" PATH=\"p\"><ITEM SUBKEY=\"HKEY_CURRENT_USER" + Utf8(KeyPath()) +
               "\" NAME=\"" + name + "\" TYPE=\"" + type + "\" VALUE=\"" + value + "\"/></ELEMENT>";
    }
};

TEST_F(CliRestoreTest, ChosenEntriesComeBackAndLeaveTheHistory) {
    test::WriteFileBytes(File(L"Backup.xml"), "<Kestrova>" + Entry("first", "one") +
                                                  Entry("second", "C:\\\\two") +
                                                  Entry("third", "three") + "</Kestrova>");
    const ChildResult listed = Cli(L"history" + InFolder());
    ASSERT_EQ(listed.exitCode, 0u) << listed.err;
    EXPECT_EQ(listed.out, "Index\tName\tType\tPath\tRecords\n0\tfirst\tHKEY_CURRENT_USER" +
                              Utf8(KeyPath()) + "\\first\tp\t1\n1\tsecond\tHKEY_CURRENT_USER" +
                              Utf8(KeyPath()) + "\\second\tp\t1\n2\tthird\tHKEY_CURRENT_USER" +
                              Utf8(KeyPath()) + "\\third\tp\t1\n");

    const ChildResult restored = Cli(L"restore 2 0" + InFolder());
    ASSERT_EQ(restored.exitCode, 0u) << restored.err;
    EXPECT_EQ(test::GetValue(HKEY_CURRENT_USER, KeyPath(), L"first")->data, Utf16Bytes(L"one"));
    EXPECT_EQ(test::GetValue(HKEY_CURRENT_USER, KeyPath(), L"third")->data, Utf16Bytes(L"three"));
    EXPECT_FALSE(test::GetValue(HKEY_CURRENT_USER, KeyPath(), L"second"));

    const ChildResult left = Cli(L"history --json" + InFolder());
    ASSERT_EQ(left.exitCode, 0u) << left.err;
    const JsonValue leftJson = ParseJson(left.out);
    const JsonArray& entries = leftJson["entries"].Array();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["index"].Number(), 0);
    EXPECT_EQ(entries[0]["name"].String(), "second");
    EXPECT_EQ(entries[0]["path"].String(), "p");
    EXPECT_EQ(entries[0]["records"].Number(), 1);
}

TEST_F(CliRestoreTest, FailingEntryStaysAndIsToldWhileTheOthersAreRestored) {
    // "ZZ" is not a byte: that entry cannot be written back.
    test::WriteFileBytes(File(L"Backup.xml"), "<Kestrova>" + Entry("good", "fine") +
                                                  Entry("bad", "01,ZZ", "rdBinary") +
                                                  Entry("later", "also") + "</Kestrova>");
    const ChildResult result = Cli(L"restore --all" + InFolder());
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find("not restored: bad (HKEY_CURRENT_USER" + Utf8(KeyPath())),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.out.find("Restored 2 entries; 1 entries left"), std::string::npos)
        << result.out;
    EXPECT_TRUE(test::GetValue(HKEY_CURRENT_USER, KeyPath(), L"good"));
    EXPECT_TRUE(test::GetValue(HKEY_CURRENT_USER, KeyPath(), L"later"));
    EXPECT_FALSE(test::GetValue(HKEY_CURRENT_USER, KeyPath(), L"bad"));

    XmlDocument saved;
    saved.Load(File(L"Backup.xml"));
    ASSERT_EQ(saved.Root().ChildCount(), 1u);
    EXPECT_EQ(saved.Root().Child(0).AttributeText(L"NAME"), L"bad");
}

// --- Fix and restore on the real registry ---------------------------------------------------

// Stale entries made for the test: a help file value in a folder that does not exist (Help
// Path: a value), an application sound whose file does not exist (Sound and AppEvents: the
// ".Current" key with its whole tree, here holding values of many types) and a device driver
// whose file does not exist (its row comes unchecked).
class CliFixTest : public CliRepairTest {
protected:
    void SetUp() override {
        // Held until the entries are gone again: no other test sees them or fixes them.
        lock_.emplace();
        helpKeyExisted_ = test::KeyPresent(HKEY_LOCAL_MACHINE, kHelpKey);
        const std::wstring missing = L"C:\\" + Tag() + L"-gone";
        test::PutValue(HKEY_LOCAL_MACHINE, kHelpKey, HelpValue(),
                       RawOf(REG_SZ, Utf16Bytes(missing + L"\\Help")));

        const std::wstring current = SoundKey();
        test::PutValue(HKEY_CURRENT_USER, current, L"",
                       RawOf(REG_SZ, Utf16Bytes(missing + L"\\chime.wav")));
        test::PutValue(HKEY_CURRENT_USER, current, L"Expand",
                       RawOf(REG_EXPAND_SZ, Utf16Bytes(L"%SystemRoot%\\media\\x.wav")));
        test::PutValue(HKEY_CURRENT_USER, current, L"Dword",
                       RawOf(REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}));
        std::vector<BYTE> bytes(60);
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<BYTE>(i * 7);
        }
        test::PutValue(HKEY_CURRENT_USER, current, L"Binary", RawOf(REG_BINARY, bytes));
        test::PutValue(HKEY_CURRENT_USER, current, L"Multi",
                       RawOf(REG_MULTI_SZ, Utf16Bytes(std::wstring(L"a\0b\\c\0", 6))));
        test::PutValue(HKEY_CURRENT_USER, current, L"Qword",
                       RawOf(REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}));
        test::PutValue(HKEY_CURRENT_USER, current + L"\\Sub\\Deeper", L"\u00e9t\u00e9",
                       RawOf(REG_SZ, Utf16Bytes(L"\\\\server\\share")));
        test::PutKey(HKEY_CURRENT_USER, current + L"\\Empty");

        vxdKeyExisted_ = test::KeyPresent(HKEY_LOCAL_MACHINE, kVxdKey);
        test::PutValue(HKEY_LOCAL_MACHINE, VxdKey(), L"StaticVxD",
                       RawOf(REG_SZ, Utf16Bytes(Tag() + L"-gone.vxd")));
    }

    void TearDown() override {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kHelpKey.substr(1).c_str(), HelpValue().c_str());
        if (!helpKeyExisted_ && KeyIsEmpty(HKEY_LOCAL_MACHINE, kHelpKey)) {
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kHelpKey.substr(1).c_str());
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, (kAppsKey + L"\\" + Tag()).substr(1).c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, VxdKey().substr(1).c_str());
        if (!vxdKeyExisted_ && KeyIsEmpty(HKEY_LOCAL_MACHINE, kVxdKey)) {
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, kVxdKey.substr(1).c_str());
        }
        lock_.reset();
    }

    // Someone else may have put something there meanwhile.
    static bool KeyIsEmpty(HKEY root, const std::wstring& keyPath) {
        Registry registry(root);
        std::vector<std::wstring> names;
        if (!registry.OpenKeyReadOnly(keyPath) || registry.HasSubKeys()) {
            return false;
        }
        registry.GetValueNames(names);
        return names.empty();
    }

    static std::wstring HelpValue() { return Tag() + L".hlp"; }
    static std::wstring VxdKey() { return kVxdKey + L"\\" + Tag(); }
    static std::wstring EventKey() { return kAppsKey + L"\\" + Tag() + L"\\Chime"; }
    static std::wstring SoundKey() { return EventKey() + L"\\.Current"; }
    static std::string HelpKeyName() {
        return ToUtf8(L"HKEY_LOCAL_MACHINE" + kHelpKey + L"\\" + HelpValue());
    }
    static std::string SoundKeyName() { return ToUtf8(L"HKEY_CURRENT_USER" + SoundKey()); }

    // Puts every row of the groups that is not this test's into the data folder's ignore
    // list, so the fix touches nothing else of the prefix. Returns the rows left.
    JsonArray IgnoreAllButOurs(const std::wstring& groups) {
        const ChildResult scan = Cli(L"scan --json --groups " + groups + InFolder());
        EXPECT_EQ(scan.exitCode, 0u) << scan.err;
        JsonArray ours;
        const JsonValue found = ParseJson(scan.out);
        for (const JsonValue& row : found["rows"].Array()) {
            const std::wstring key = FromUtf8(row["key"].String());
            if (key.find(Tag()) != std::wstring::npos) {
                ours.push_back(row);
                continue;
            }
            const size_t first = key.find(L'\\');
            const size_t last = key.rfind(L'\\');
            const ChildResult added = Cli(L"ignore add \"" + key.substr(0, first) + L"\" \"" +
                                          key.substr(first + 1, last - first - 1) + L"\" \"" +
                                          key.substr(last + 1) + L"\"" + InFolder());
            EXPECT_EQ(added.exitCode, 0u) << added.err;
        }
        return ours;
    }

    bool helpKeyExisted_ = false;
    bool vxdKeyExisted_ = false;
    std::optional<test::RealRegistryLock> lock_;
};

TEST_F(CliFixTest, FixRecordsAndDeletesAndRestoreBringsBackTheSameData) {
    const std::wstring groups =
        std::to_wstring(kGroupHelpFiles) + L"," + std::to_wstring(kGroupSoundEvents);
    const TreeDump soundBefore = DumpTree(HKEY_CURRENT_USER, SoundKey());
    const auto helpBefore = test::GetValue(HKEY_LOCAL_MACHINE, kHelpKey, HelpValue());
    ASSERT_TRUE(helpBefore);
    ASSERT_EQ(soundBefore.size(), 4u);  // .Current, Sub, Sub\Deeper, Empty

    const JsonArray ours = IgnoreAllButOurs(groups);
    ASSERT_EQ(ours.size(), 2u);
    std::string helpGuess;
    for (const JsonValue& row : ours) {
        EXPECT_TRUE(row["checked"].Bool());
        if (row["key"].String() == HelpKeyName()) {
            helpGuess = row["guess"].String();
        }
    }
    ASSERT_FALSE(helpGuess.empty());

    const ChildResult fixed = Cli(L"fix --json --groups " + groups + InFolder());
    ASSERT_EQ(fixed.exitCode, 0u) << fixed.err << fixed.out;
    const JsonValue report = ParseJson(fixed.out);
    EXPECT_TRUE(report["notDeleted"].Array().empty());
    EXPECT_TRUE(report["notRecorded"].Array().empty());
    EXPECT_EQ(report["history"].Number(), 2);
    const JsonArray& rows = report["fixed"].Array();
    ASSERT_EQ(rows.size(), 2u) << fixed.out;
    // List order: the rows sort by Error Type.
    EXPECT_EQ(rows[0]["type"].String(), "Help File");
    EXPECT_EQ(rows[0]["key"].String(), HelpKeyName());
    EXPECT_EQ(rows[1]["type"].String(), "Sound AppEvent");
    EXPECT_EQ(rows[1]["key"].String(), SoundKeyName());

    // Gone from the registry: the value, and the sound key with its tree; the event stays.
    EXPECT_FALSE(test::GetValue(HKEY_LOCAL_MACHINE, kHelpKey, HelpValue()));
    EXPECT_FALSE(test::KeyPresent(HKEY_CURRENT_USER, SoundKey()));
    EXPECT_TRUE(test::KeyPresent(HKEY_CURRENT_USER, EventKey()));

    // Backup.xml holds both entries, the last row's first.
    XmlDocument backup;
    backup.Load(File(L"Backup.xml"));
    ASSERT_EQ(backup.Root().Tag(), L"Kestrova");
    ASSERT_EQ(backup.Root().ChildCount(), 2u);
    EXPECT_EQ(ToUtf8(backup.Root().Child(0).AttributeText(L"TYPE")), SoundKeyName());
    EXPECT_EQ(ToUtf8(backup.Root().Child(1).AttributeText(L"TYPE")), HelpKeyName());

    const ChildResult history = Cli(L"history --json" + InFolder());
    ASSERT_EQ(history.exitCode, 0u) << history.err;
    const JsonValue historyJson = ParseJson(history.out);
    const JsonArray& entries = historyJson["entries"].Array();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0]["name"].String(), "Sound AppEvent");
    EXPECT_EQ(entries[0]["type"].String(), SoundKeyName());
    // Six values of .Current, the one below Sub\Deeper, and Sub and Empty as bare keys.
    EXPECT_EQ(entries[0]["records"].Number(), 9);
    EXPECT_EQ(entries[1]["name"].String(), "Help File");
    EXPECT_EQ(entries[1]["type"].String(), HelpKeyName());
    EXPECT_EQ(entries[1]["path"].String(), helpGuess);
    EXPECT_EQ(entries[1]["records"].Number(), 1);

    // Nothing left to fix: a second run fixes nothing and adds no entry.
    const ChildResult again = Cli(L"fix --groups " + groups + InFolder());
    ASSERT_EQ(again.exitCode, 0u) << again.err;
    EXPECT_EQ(again.out,
              "0 fixed, 0 not deleted, 0 not recorded, 0 refused; 2 entries in the restore "
              "history\n");

    const ChildResult restored = Cli(L"restore --all" + InFolder());
    ASSERT_EQ(restored.exitCode, 0u) << restored.err;
    EXPECT_EQ(restored.out, "Restored 2 entries; 0 entries left in the restore history\n");
    const auto helpAfter = test::GetValue(HKEY_LOCAL_MACHINE, kHelpKey, HelpValue());
    ASSERT_TRUE(helpAfter);
    EXPECT_EQ(helpAfter->type, helpBefore->type);
    EXPECT_EQ(helpAfter->data, helpBefore->data);
    EXPECT_EQ(DumpTree(HKEY_CURRENT_USER, SoundKey()), soundBefore);

    const ChildResult emptied = Cli(L"history --json" + InFolder());
    ASSERT_EQ(emptied.exitCode, 0u) << emptied.err;
    EXPECT_TRUE(ParseJson(emptied.out)["entries"].Array().empty());
    XmlDocument saved;
    saved.Load(File(L"Backup.xml"));
    EXPECT_EQ(saved.Root().ChildCount(), 0u);
}

TEST_F(CliFixTest, UncheckedRowsStayAndTheTextReportTellsWhatWasFixed) {
    // The group without a check finds nothing: no history file is made for no entry.
    const ChildResult nothing =
        Cli(L"fix --json --groups " + std::to_wstring(kGroupMru) + InFolder());
    ASSERT_EQ(nothing.exitCode, 0u) << nothing.err;
    EXPECT_EQ(nothing.out,
              "{\"fixed\":[],\"notDeleted\":[],\"notRecorded\":[],\"refused\":[],"
              "\"history\":0}\n");
    EXPECT_FALSE(test::FileExists(File(L"Backup.xml")));

    // The device-driver row comes unchecked (and past the ignore list): the fix leaves it.
    const std::wstring groups =
        std::to_wstring(kGroupHelpFiles) + L"," + std::to_wstring(kGroupVxd);
    const JsonArray ours = IgnoreAllButOurs(groups);
    ASSERT_EQ(ours.size(), 2u);
    std::string helpGuess;
    for (const JsonValue& row : ours) {
        if (row["type"].String() == "VxD Error") {
            EXPECT_FALSE(row["checked"].Bool());
        } else {
            helpGuess = row["guess"].String();
        }
    }
    const ChildResult fixed = Cli(L"fix --groups " + groups + InFolder());
    ASSERT_EQ(fixed.exitCode, 0u) << fixed.err;
    EXPECT_EQ(fixed.out,
              "fixed\tHelp File\t" + HelpKeyName() + "\t" +
                  ToUtf8(L"C:\\" + Tag() + L"-gone\\Help\\" + HelpValue()) + "\t" + helpGuess +
                  "\n\n1 fixed, 0 not deleted, 0 not recorded, 0 refused; 1 entries in the "
                  "restore history\n");
    EXPECT_FALSE(test::GetValue(HKEY_LOCAL_MACHINE, kHelpKey, HelpValue()));
    EXPECT_TRUE(test::GetValue(HKEY_LOCAL_MACHINE, VxdKey(), L"StaticVxD"));
}

// A stale uninstall entry of a 32-bit program in the real registry, and its 64-bit twin of
// the same name, whose uninstaller is there. The test prefix reports Windows 7.
class CliWow64FixTest : public CliFixTest {
protected:
    static constexpr wchar_t kUninstall[] =
        L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    static constexpr wchar_t kUninstall32[] =
        L"\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

    void SetUp() override {
        CliFixTest::SetUp();
        test::PutValue(HKEY_LOCAL_MACHINE, Entry(kUninstall32), L"UninstallString",
                       RawOf(REG_SZ, Utf16Bytes(L"\"C:\\" + Tag() + L"-gone\\unins000.exe\" /x")));
        test::PutValue(HKEY_LOCAL_MACHINE, Entry(kUninstall32), L"DisplayName",
                       RawOf(REG_SZ, Utf16Bytes(Tag())));
        test::PutValue(HKEY_LOCAL_MACHINE, Entry(kUninstall32), L"EstimatedSize",
                       RawOf(REG_DWORD, {0x10, 0x27, 0, 0}));
        test::PutValue(HKEY_LOCAL_MACHINE, Entry(kUninstall), L"UninstallString",
                       RawOf(REG_SZ, Utf16Bytes(test::HostPathToWindows(KESTROVA_CLI_EXE))));
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, Entry(kUninstall32).substr(1).c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, Entry(kUninstall).substr(1).c_str());
        CliFixTest::TearDown();
    }

    static std::wstring Entry(const wchar_t* uninstall) {
        return std::wstring(uninstall) + L"\\" + Tag();
    }
    // The Key Names of this test's rows that a scan reports.
    static std::vector<std::string> OwnKeys(const ChildResult& scan) {
        EXPECT_EQ(scan.exitCode, 0u) << scan.err;
        std::vector<std::string> keys;
        const JsonValue found = ParseJson(scan.out);
        for (const JsonValue& row : found["rows"].Array()) {
            if (row["key"].String().find(ToUtf8(Tag())) != std::string::npos) {
                keys.push_back(row["key"].String());
            }
        }
        return keys;
    }
};

TEST_F(CliWow64FixTest, The32BitViewsEntryIsFoundFixedAndRestoredWhileItsTwinStays) {
    if (!test::VersionedProgram::Available()) {
        GTEST_SKIP() << "needs Wine's per-program version setting";
    }
    const std::string keyName =
        ToUtf8(L"HKEY_LOCAL_MACHINE" + Entry(kUninstall32) + L"\\UninstallString");
    const TreeDump before = DumpTree(HKEY_LOCAL_MACHINE, Entry(kUninstall32));
    const std::wstring groups = std::to_wstring(kGroupUninstall);
    // Windows XP's scan keeps to the keys of its own view.
    {
        const test::VersionedProgram xp(test::HostPathToWindows(KESTROVA_CLI_EXE), temp_.Path(),
                                        Tag() + L"-xp.exe", L"winxp");
        EXPECT_TRUE(OwnKeys(xp.Run(L"scan --json --groups " + groups + InFolder())).empty());
    }
    EXPECT_EQ(OwnKeys(Cli(L"scan --json --groups " + groups + InFolder())),
              std::vector<std::string>{keyName});

    const JsonArray ours = IgnoreAllButOurs(groups);
    ASSERT_EQ(ours.size(), 1u);
    const ChildResult fixed = Cli(L"fix --json --groups " + groups + InFolder());
    ASSERT_EQ(fixed.exitCode, 0u) << fixed.err;
    const JsonValue report = ParseJson(fixed.out);
    const JsonArray& rows = report["fixed"].Array();
    ASSERT_EQ(rows.size(), 1u) << fixed.out;
    EXPECT_EQ(rows[0]["key"].String(), keyName);
    EXPECT_FALSE(test::GetValue(HKEY_LOCAL_MACHINE, Entry(kUninstall32), L"UninstallString"));
    EXPECT_TRUE(test::GetValue(HKEY_LOCAL_MACHINE, Entry(kUninstall32), L"DisplayName"));
    EXPECT_TRUE(test::GetValue(HKEY_LOCAL_MACHINE, Entry(kUninstall), L"UninstallString"));

    const ChildResult restored = Cli(L"restore --all" + InFolder());
    ASSERT_EQ(restored.exitCode, 0u) << restored.err;
    EXPECT_EQ(DumpTree(HKEY_LOCAL_MACHINE, Entry(kUninstall32)), before);
    EXPECT_EQ(before.at(L"").size(), 3u);
}

}  // namespace
}  // namespace kestrova
