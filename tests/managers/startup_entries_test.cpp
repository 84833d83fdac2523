// Listing and moving startup entries in the sandboxed registry, for each way Windows versions
// keep disabled programs.
#include "managers/startup_entries.h"

#include <algorithm>
#include <ostream>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "registry_fixture.h"
#include "support/sandbox_test.h"

namespace kestrova {

// Shown by GoogleTest when a comparison fails.
void PrintTo(const StartupEntry& entry, std::ostream* out) {
    *out << "{'" << ToUtf8(entry.name) << "', '" << ToUtf8(entry.command) << "', '"
         << ToUtf8(entry.location) << "', " << (entry.enabled ? "enabled" : "disabled")
         << (entry.isText ? "" : ", not text") << ", record '" << ToUtf8(entry.recordKey) << "'}";
}

namespace {

using test::KeyPresent;
using test::NamedTexts;
using test::PutData;
using test::PutText;
using test::SubKeysOf;
using test::TextOf;
using test::TextsOf;
using test::ValueOf;

constexpr int kWindows98 = 2;
constexpr int kWindowsNt4 = 4;
constexpr int kWindowsXp = 6;
constexpr int kUnknownWindows = 0;

const std::wstring kRun = kRunKey;
const std::wstring kRunServices = kRunServicesKey;
const std::wstring kRecords = kStartupRecordsKey;
const std::wstring kHklmRun = L"HKLM\\" + kRun;
const std::wstring kHkcuRun = L"HKCU\\" + kRun;

std::wstring Record(const std::wstring& keyName) {
    return kRecords + L"\\" + keyName;
}

// A record as this program writes it.
NamedTexts RecordTexts(const std::wstring& command, const std::wstring& hkey,
                       const std::wstring& item, const std::wstring& key = kRun) {
    return {{L"command", command},
            {L"hkey", hkey},
            {L"inimapping", L"0"},
            {L"item", item},
            {L"key", key}};
}

void PutRecord(const std::wstring& keyName, const NamedTexts& texts) {
    for (const auto& [name, text] : texts) {
        PutText(HKEY_LOCAL_MACHINE, Record(keyName), name, text);
    }
}

StartupEntry Enabled(const std::wstring& name, const std::wstring& command,
                     const std::wstring& location) {
    return {name, command, location, true, true, {}};
}

StartupEntry Disabled(const std::wstring& name, const std::wstring& command,
                      const std::wstring& location, const std::wstring& recordKey = {}) {
    return {name, command, location, false, true, recordKey};
}

class StartupEntriesTest : public test::SandboxTest {
protected:
    // The first listed entry of that name, location and state; fails the test when there is
    // none.
    static StartupEntry Find(int versionClass, const std::wstring& name,
                             const std::wstring& location, bool enabled) {
        const std::vector<StartupEntry> entries = ListStartupEntries(versionClass);
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
            return entry.name == name && entry.location == location && entry.enabled == enabled;
        });
        if (found == entries.end()) {
            ADD_FAILURE() << "not listed: '" << ToUtf8(name) << "' in " << ToUtf8(location);
            return {};
        }
        return *found;
    }

    static void Move(int versionClass, const std::wstring& name, const std::wstring& location,
                     bool enable) {
        const ChangeResult result =
            ApplyStartupChange(Find(versionClass, name, location, !enable), versionClass, enable);
        EXPECT_TRUE(result.done) << ToUtf8(result.reason);
        EXPECT_TRUE(result.reason.empty());
    }

    // One entry in each place that some version lists.
    static void PutEveryPlace() {
        // In the order of their names: Windows enumerates values in the order written, Wine
        // in the order of their names.
        PutText(HKEY_LOCAL_MACHINE, kRun, L"Alpha", L"a.exe");
        PutText(HKEY_LOCAL_MACHINE, kRun, L"Beta", L"b.exe /s");
        PutText(HKEY_LOCAL_MACHINE, kRunServices, L"Svc", L"svc.exe");
        PutText(HKEY_LOCAL_MACHINE, kRun + L"-", L"Old", L"old.exe");
        PutText(HKEY_LOCAL_MACHINE, kRunServices + L"-", L"OldSvc", L"oldsvc.exe");
        PutText(HKEY_CURRENT_USER, kRun, L"User", L"u.exe");
        PutText(HKEY_CURRENT_USER, kRun + L"-", L"UserOld", L"uold.exe");
        PutRecord(L"Rec", RecordTexts(L"r.exe", L"HKCU", L"Rec"));
    }
};

TEST(StartupNamesTest, ShortRootNamesAndSchemesPerVersionClass) {
    const struct {
        const wchar_t* name;
        HKEY root;
    } roots[] = {{L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKCU", HKEY_CURRENT_USER},
                 {L"HKU", HKEY_USERS},          {L"HKCC", HKEY_CURRENT_CONFIG},
                 {L"HKCR", HKEY_CLASSES_ROOT},  {L"HKDD", HKEY_DYN_DATA}};
    for (const auto& root : roots) {
        EXPECT_EQ(ShortNameToRootKey(root.name), root.root) << ToUtf8(root.name);
        EXPECT_EQ(RootKeyToShortName(root.root), root.name);
    }
    for (const wchar_t* name : {L"hklm", L"HKEY_LOCAL_MACHINE", L"", L"HKLM\\"}) {
        EXPECT_EQ(ShortNameToRootKey(name), nullptr) << ToUtf8(name);
    }
    EXPECT_EQ(RootKeyToShortName(HKEY_PERFORMANCE_DATA), L"");

    const StartupScheme schemes[] = {StartupScheme::None,        StartupScheme::SiblingKeys,
                                     StartupScheme::SiblingKeys, StartupScheme::SiblingKeys,
                                     StartupScheme::SiblingKeys, StartupScheme::Records,
                                     StartupScheme::Records,     StartupScheme::Records};
    for (int versionClass = 0; versionClass < 8; ++versionClass) {
        EXPECT_EQ(StartupSchemeOf(versionClass), schemes[versionClass]) << versionClass;
    }
    EXPECT_EQ(StartupSchemeOf(8), StartupScheme::None);
    EXPECT_EQ(StartupSchemeOf(-1), StartupScheme::None);
}

TEST_F(StartupEntriesTest, EachVersionListsItsOwnPlacesInOrder) {
    PutEveryPlace();
    const std::wstring runServices = L"HKLM\\" + kRunServices;
    const std::vector<StartupEntry> nineX = {
        Enabled(L"Alpha", L"a.exe", kHklmRun),
        Enabled(L"Beta", L"b.exe /s", kHklmRun),
        Enabled(L"Svc", L"svc.exe", runServices),
        Disabled(L"Old", L"old.exe", kHklmRun + L"-"),
        Disabled(L"OldSvc", L"oldsvc.exe", runServices + L"-"),
    };
    EXPECT_EQ(ListStartupEntries(kWindows98), nineX);
    // NT 4 lists as the 9x family does.
    EXPECT_EQ(ListStartupEntries(kWindowsNt4), nineX);
    EXPECT_EQ(ListStartupEntries(kWindowsXp), (std::vector<StartupEntry>{
                                                  Enabled(L"Alpha", L"a.exe", kHklmRun),
                                                  Enabled(L"Beta", L"b.exe /s", kHklmRun),
                                                  Enabled(L"User", L"u.exe", kHkcuRun),
                                                  Disabled(L"Rec", L"r.exe", kHkcuRun, L"Rec"),
                                              }));
    EXPECT_TRUE(ListStartupEntries(kUnknownWindows).empty());
}

TEST_F(StartupEntriesTest, MissingKeysListNothing) {
    for (const int versionClass : {kWindows98, kWindowsXp}) {
        EXPECT_TRUE(ListStartupEntries(versionClass).empty()) << versionClass;
    }
}

TEST_F(StartupEntriesTest, RecordsMoveHkcuAndHklmEntriesBothWays) {
    const struct {
        HKEY root;
        const wchar_t* hkey;
        const wchar_t* name;
        const wchar_t* command;
    } cases[] = {
        {HKEY_CURRENT_USER, L"HKCU", L"UserApp", L"\"C:\\Program Files\\U\\u.exe\" /min"},
        {HKEY_LOCAL_MACHINE, L"HKLM", L"MachineApp", L"m.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.name));
        PutText(c.root, kRun, L"Stays", L"stays.exe");
        PutText(c.root, kRun, c.name, c.command);
        const std::wstring location = c.hkey + (L"\\" + kRun);

        Move(kWindowsXp, c.name, location, false);
        EXPECT_EQ(TextOf(c.root, kRun, c.name), std::nullopt);
        EXPECT_EQ(TextOf(c.root, kRun, L"Stays"), L"stays.exe");
        // Directly under the records key of HKEY_LOCAL_MACHINE, never under the Run key.
        EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(c.name)),
                  RecordTexts(c.command, c.hkey, c.name));
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, Record(c.name), L"command")->type, REG_SZ);
        EXPECT_TRUE(SubKeysOf(c.root, kRun).empty());
        EXPECT_EQ(Find(kWindowsXp, c.name, location, false),
                  Disabled(c.name, c.command, location, c.name));

        Move(kWindowsXp, c.name, location, true);
        EXPECT_EQ(TextOf(c.root, kRun, c.name), c.command);
        EXPECT_EQ(ValueOf(c.root, kRun, c.name)->type, REG_SZ);
        EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, Record(c.name)));
        EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, kRecords));
        EXPECT_EQ(Find(kWindowsXp, c.name, location, true), Enabled(c.name, c.command, location));
    }
}

TEST_F(StartupEntriesTest, SiblingKeysMoveRunAndRunServicesValuesAsTheyAre) {
    PutText(HKEY_LOCAL_MACHINE, kRunServices, L"Svc", L"svc.exe");
    PutText(HKEY_LOCAL_MACHINE, kRun, L"Exp", L"%windir%\\x.exe", REG_EXPAND_SZ);
    const RawValue serviceBefore = *ValueOf(HKEY_LOCAL_MACHINE, kRunServices, L"Svc");
    const RawValue expBefore = *ValueOf(HKEY_LOCAL_MACHINE, kRun, L"Exp");
    for (const int versionClass : {kWindows98, kWindowsNt4}) {
        SCOPED_TRACE(versionClass);
        Move(versionClass, L"Svc", L"HKLM\\" + kRunServices, false);
        Move(versionClass, L"Exp", kHklmRun, false);
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRunServices, L"Svc"), std::nullopt);
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRunServices + L"-", L"Svc")->data,
                  serviceBefore.data);
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRun, L"Exp"), std::nullopt);
        const RawValue expDisabled = *ValueOf(HKEY_LOCAL_MACHINE, kRun + L"-", L"Exp");
        EXPECT_EQ(expDisabled.type, static_cast<DWORD>(REG_EXPAND_SZ));
        EXPECT_EQ(expDisabled.data, expBefore.data);
        EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, kRecords));

        Move(versionClass, L"Svc", L"HKLM\\" + kRunServices + L"-", true);
        Move(versionClass, L"Exp", kHklmRun + L"-", true);
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRunServices + L"-", L"Svc"), std::nullopt);
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRunServices, L"Svc")->data, serviceBefore.data);
        EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRun + L"-", L"Exp"), std::nullopt);
        const RawValue expEnabled = *ValueOf(HKEY_LOCAL_MACHINE, kRun, L"Exp");
        EXPECT_EQ(expEnabled.type, static_cast<DWORD>(REG_EXPAND_SZ));
        EXPECT_EQ(expEnabled.data, expBefore.data);
    }
}

TEST_F(StartupEntriesTest, UnknownWindowsMovesNothing) {
    PutEveryPlace();
    for (const StartupEntry& entry : ListStartupEntries(kWindowsXp)) {
        const ChangeResult result = ApplyStartupChange(entry, kUnknownWindows, !entry.enabled);
        EXPECT_FALSE(result.done);
        EXPECT_NE(result.reason.find(L"version of Windows"), std::wstring::npos);
    }
    EXPECT_EQ(TextsOf(HKEY_CURRENT_USER, kRun), (NamedTexts{{L"User", L"u.exe"}}));
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"Rec")), RecordTexts(L"r.exe", L"HKCU", L"Rec"));
}

TEST_F(StartupEntriesTest, EntriesOfAnotherSchemeOrStateAreRefused) {
    PutEveryPlace();
    const std::vector<StartupEntry> xp = ListStartupEntries(kWindowsXp);
    const std::vector<StartupEntry> nineX = ListStartupEntries(kWindows98);
    const struct {
        StartupEntry entry;
        int versionClass;
        bool enable;
    } cases[] = {
        {xp[0], kWindowsXp, true},     // enabled already
        {xp[3], kWindowsXp, false},    // disabled already
        {xp[3], kWindows98, true},     // a record under the sibling keys
        {nineX[3], kWindowsXp, true},  // a "-" value under the records
        {Disabled(L"Beta", L"b.exe", kHklmRun), kWindows98, true},  // not from a "-" key
        {Enabled(L"Beta", L"b.exe", L"HKXX\\" + kRun), kWindowsXp, false},
        {Enabled(L"Beta", L"b.exe", L"HKLM"), kWindows98, false},
        {Enabled(L"Beta", L"b.exe", L"HKLM\\"), kWindows98, false},
    };
    for (const auto& c : cases) {
        const ChangeResult result = ApplyStartupChange(c.entry, c.versionClass, c.enable);
        EXPECT_FALSE(result.done) << testing::PrintToString(c.entry);
        EXPECT_FALSE(result.reason.empty());
    }
    EXPECT_EQ(ListStartupEntries(kWindows98), nineX);
    EXPECT_EQ(ListStartupEntries(kWindowsXp), xp);
}

TEST_F(StartupEntriesTest, EntriesGoneSinceListingAreNotRecreated) {
    PutEveryPlace();
    const StartupEntry user = Find(kWindowsXp, L"User", kHkcuRun, true);
    const StartupEntry record = Find(kWindowsXp, L"Rec", kHkcuRun, false);
    const StartupEntry old = Find(kWindows98, L"Old", kHklmRun + L"-", false);
    Registry(HKEY_CURRENT_USER).DeleteKey(kRun);
    Registry(HKEY_LOCAL_MACHINE).DeleteKey(kRecords);
    Registry(HKEY_LOCAL_MACHINE).DeleteKey(kRun + L"-");

    EXPECT_FALSE(ApplyStartupChange(user, kWindowsXp, false).done);
    EXPECT_FALSE(ApplyStartupChange(record, kWindowsXp, true).done);
    EXPECT_FALSE(ApplyStartupChange(old, kWindows98, true).done);
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, kRecords));
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, kRun));
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun),
              (NamedTexts{{L"Alpha", L"a.exe"}, {L"Beta", L"b.exe /s"}}));
}

TEST_F(StartupEntriesTest, ExpandableTextKeepsItsTypeThroughARecord) {
    PutText(HKEY_LOCAL_MACHINE, kRun, L"Exp", L"%windir%\\x.exe", REG_EXPAND_SZ);
    Move(kWindowsXp, L"Exp", kHklmRun, false);
    EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, Record(L"Exp"), L"command")->type,
              static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(Find(kWindowsXp, L"Exp", kHklmRun, false).command, L"%windir%\\x.exe");
    Move(kWindowsXp, L"Exp", kHklmRun, true);
    EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRun, L"Exp")->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun, L"Exp"), L"%windir%\\x.exe");
}

// The record of a program is written whole before its value leaves the Run key: a record
// that cannot be written leaves the program enabled.
TEST_F(StartupEntriesTest, DisablingKeepsTheValueWhenItsRecordCannotBeWritten) {
    // A volatile records key takes no lasting subkey, so no record can be created in it.
    {
        Registry shared(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(shared.OpenKey(L"Software\\Microsoft\\Shared Tools\\MSConfig", true));
        UniqueHKey records;
        ASSERT_EQ(
            RegCreateKeyExW(shared.CurrentKey(), L"startupreg", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, records.Put(), nullptr),
            ERROR_SUCCESS);
        if (Registry(HKEY_LOCAL_MACHINE).OpenKey(Record(L"probe"), true)) {
            GTEST_SKIP() << "this registry lets a lasting key under a volatile one";
        }
    }
    PutText(HKEY_CURRENT_USER, kRun, L"UserApp", L"u.exe");
    const ChangeResult result =
        ApplyStartupChange(Find(kWindowsXp, L"UserApp", kHkcuRun, true), kWindowsXp, false);
    EXPECT_FALSE(result.done);
    EXPECT_NE(result.reason.find(L"record"), std::wstring::npos) << ToUtf8(result.reason);
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, L"UserApp"), L"u.exe");
    EXPECT_TRUE(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords).empty());
    EXPECT_EQ(ListStartupEntries(kWindowsXp),
              (std::vector<StartupEntry>{Enabled(L"UserApp", L"u.exe", kHkcuRun)}));
}

// An unnamed value, or a record without "item", gets a record key of its own: the records key
// itself is never written into or deleted.
TEST_F(StartupEntriesTest, UnnamedEntriesLeaveTheOtherRecordsAlone) {
    PutRecord(L"Other1", RecordTexts(L"o1.exe", L"HKLM", L"Other1"));
    PutRecord(L"Other2", RecordTexts(L"o2.exe", L"HKCU", L"Other2"));
    PutText(HKEY_CURRENT_USER, kRun, L"", L"user-default.exe");
    PutText(HKEY_LOCAL_MACHINE, kRun, L"", L"machine-default.exe");
    const auto othersIntact = [] {
        EXPECT_TRUE(TextsOf(HKEY_LOCAL_MACHINE, kRecords).empty());
        EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"Other1")),
                  RecordTexts(L"o1.exe", L"HKLM", L"Other1"));
        EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"Other2")),
                  RecordTexts(L"o2.exe", L"HKCU", L"Other2"));
    };

    Move(kWindowsXp, L"", kHkcuRun, false);
    Move(kWindowsXp, L"", kHklmRun, false);
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, L""), std::nullopt);
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun, L""), std::nullopt);
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"(Default)")),
              RecordTexts(L"user-default.exe", L"HKCU", L""));
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"(Default) (2)")),
              RecordTexts(L"machine-default.exe", L"HKLM", L""));
    othersIntact();
    EXPECT_EQ(Find(kWindowsXp, L"", kHklmRun, false),
              Disabled(L"", L"machine-default.exe", kHklmRun, L"(Default) (2)"));

    Move(kWindowsXp, L"", kHkcuRun, true);
    Move(kWindowsXp, L"", kHklmRun, true);
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, L""), L"user-default.exe");
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun, L""), L"machine-default.exe");
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords),
              (std::vector<std::wstring>{L"Other1", L"Other2"}));
    othersIntact();

    // A record made elsewhere without "item" names the unnamed value of its key.
    PutRecord(L"NoItem", {{L"command", L"n.exe"}, {L"hkey", L"HKCU"}, {L"key", kRun}});
    Move(kWindowsXp, L"", kHkcuRun, true);
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, L""), L"n.exe");
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, Record(L"NoItem")));
    othersIntact();
}

TEST_F(StartupEntriesTest, NamesWithBackslashesComeBackUnchanged) {
    PutRecord(L"Vendor", RecordTexts(L"vendor.exe", L"HKCU", L"Vendor"));
    PutText(HKEY_CURRENT_USER, kRun, L"Vendor\\Agent", L"agent.exe");
    PutText(HKEY_LOCAL_MACHINE, kRun, L"\\Lead\\", L"lead.exe");

    Move(kWindowsXp, L"Vendor\\Agent", kHkcuRun, false);
    Move(kWindowsXp, L"\\Lead\\", kHklmRun, false);
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"Vendor/Agent")),
              RecordTexts(L"agent.exe", L"HKCU", L"Vendor\\Agent"));
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"/Lead/")),
              RecordTexts(L"lead.exe", L"HKLM", L"\\Lead\\"));
    EXPECT_TRUE(SubKeysOf(HKEY_LOCAL_MACHINE, Record(L"Vendor")).empty());
    EXPECT_EQ(Find(kWindowsXp, L"Vendor\\Agent", kHkcuRun, false),
              Disabled(L"Vendor\\Agent", L"agent.exe", kHkcuRun, L"Vendor/Agent"));

    Move(kWindowsXp, L"Vendor\\Agent", kHkcuRun, true);
    Move(kWindowsXp, L"\\Lead\\", kHklmRun, true);
    EXPECT_EQ(TextsOf(HKEY_CURRENT_USER, kRun), (NamedTexts{{L"Vendor\\Agent", L"agent.exe"}}));
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun), (NamedTexts{{L"\\Lead\\", L"lead.exe"}}));
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords), (std::vector<std::wstring>{L"Vendor"}));
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"Vendor")),
              RecordTexts(L"vendor.exe", L"HKCU", L"Vendor"));
}

TEST_F(StartupEntriesTest, ValuesThatAreNotTextShowTheirTypeAndStay) {
    const DWORD five = 5;
    const auto* fiveBytes = reinterpret_cast<const BYTE*>(&five);
    PutData(HKEY_LOCAL_MACHINE, kRun, L"Blob", REG_BINARY, {1, 2, 3});
    PutData(HKEY_LOCAL_MACHINE, kRun, L"List", REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0});
    PutData(HKEY_LOCAL_MACHINE, kRun, L"Nothing", REG_NONE, {});
    PutData(HKEY_LOCAL_MACHINE, kRun, L"Number", REG_DWORD, {fiveBytes, fiveBytes + 4});
    PutRecord(L"Odd", RecordTexts(L"", L"HKLM", L"Odd"));
    PutData(HKEY_LOCAL_MACHINE, Record(L"Odd"), L"command", REG_DWORD, {fiveBytes, fiveBytes + 4});
    const auto notText = [](const std::wstring& name, const wchar_t* type, bool enabled,
                            const std::wstring& recordKey = {}) {
        return StartupEntry{name, type, kHklmRun, enabled, false, recordKey};
    };
    const std::vector<StartupEntry> entries = ListStartupEntries(kWindowsXp);
    EXPECT_EQ(entries, (std::vector<StartupEntry>{notText(L"Blob", L"(REG_BINARY)", true),
                                                  notText(L"List", L"(REG_MULTI_SZ)", true),
                                                  notText(L"Nothing", L"(REG_NONE)", true),
                                                  notText(L"Number", L"(REG_DWORD)", true),
                                                  notText(L"Odd", L"(REG_DWORD)", false, L"Odd")}));
    for (const int versionClass : {kWindowsXp, kWindows98}) {
        for (const StartupEntry& entry : ListStartupEntries(versionClass)) {
            const ChangeResult result = ApplyStartupChange(entry, versionClass, !entry.enabled);
            EXPECT_FALSE(result.done) << ToUtf8(entry.name);
            EXPECT_NE(result.reason.find(L"REG_"), std::wstring::npos) << ToUtf8(result.reason);
        }
    }
    EXPECT_EQ(ValueOf(HKEY_LOCAL_MACHINE, kRun, L"Blob")->data, (std::vector<BYTE>{1, 2, 3}));
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, kRun).size(), 4u);
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, kRun + L"-"));
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords), (std::vector<std::wstring>{L"Odd"}));
}

// Disabling a second program of the same name would write over the first one's record.
TEST_F(StartupEntriesTest, ARecordOfAnotherPlaceIsNeverWrittenOver) {
    PutText(HKEY_LOCAL_MACHINE, kRun, L"Same", L"machine.exe");
    PutText(HKEY_CURRENT_USER, kRun, L"Same", L"user.exe");
    Move(kWindowsXp, L"Same", kHklmRun, false);
    const ChangeResult second =
        ApplyStartupChange(Find(kWindowsXp, L"Same", kHkcuRun, true), kWindowsXp, false);
    EXPECT_FALSE(second.done);
    EXPECT_NE(second.reason.find(L"Same"), std::wstring::npos) << ToUtf8(second.reason);
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, L"Same"), L"user.exe");
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"Same")),
              RecordTexts(L"machine.exe", L"HKLM", L"Same"));

    // A left-over record of the same program is written over.
    PutText(HKEY_LOCAL_MACHINE, kRun, L"Same", L"machine2.exe");
    Move(kWindowsXp, L"Same", kHklmRun, false);
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, Record(L"Same")),
              RecordTexts(L"machine2.exe", L"HKLM", L"Same"));
}

// A record whose key name differs from its "item" is listed under the item; enabling deletes
// the record named after the item, if it is this program's, and leaves the listed one.
TEST_F(StartupEntriesTest, RecordNamedOtherThanItsItem) {
    PutRecord(L"Foo", RecordTexts(L"bar.exe", L"HKCU", L"Bar"));
    PutRecord(L"Bar", RecordTexts(L"bar-machine.exe", L"HKLM", L"Bar"));
    EXPECT_EQ(ListStartupEntries(kWindowsXp),
              (std::vector<StartupEntry>{Disabled(L"Bar", L"bar-machine.exe", kHklmRun, L"Bar"),
                                         Disabled(L"Bar", L"bar.exe", kHkcuRun, L"Foo")}));
    Move(kWindowsXp, L"Bar", kHkcuRun, true);
    EXPECT_EQ(TextOf(HKEY_CURRENT_USER, kRun, L"Bar"), L"bar.exe");
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords), (std::vector<std::wstring>{L"Bar", L"Foo"}));

    PutRecord(L"Bar", RecordTexts(L"bar.exe", L"HKCU", L"Bar"));
    Move(kWindowsXp, L"Bar", kHkcuRun, true);
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kRecords), (std::vector<std::wstring>{L"Foo"}));
}

}  // namespace
}  // namespace kestrova
