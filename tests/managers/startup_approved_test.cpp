// Startup programs as Windows 8 and later keep them, in the sandboxed registry and temporary
// Startup folders: the Run keys (the 32-bit one too) and both Startup folders are listed, and a
// program is disabled or enabled through its StartupApproved record, byte for byte as Task
// Manager writes it, with nothing moved and every other record left as it was. Also the Run
// key of the 32-bit view as Windows Vista and 7 list it, with their disabled-entry records.
#include "managers/startup_approved.h"

#include <cstring>
#include <ostream>

#include <gtest/gtest.h>

#include "managers/startup_manager.h"
#include "platform/key_path.h"
#include "platform/text.h"
#include "registry_fixture.h"
#include "scan/registry_views.h"
#include "support/sandbox_test.h"

namespace kestrova {

void PrintTo(const StartupEntry& entry, std::ostream* out);

namespace {

using test::KeyPresent;
using test::PutData;
using test::PutText;
using test::TextOf;
using test::TextsOf;
using test::ValueOf;

const std::wstring kRun = kRunKey;
const std::wstring kApproved = kStartupApprovedKey;
const std::wstring kHklmRun = L"HKLM\\" + kRun;
const std::wstring kHkcuRun = L"HKCU\\" + kRun;
const std::wstring kHklmRun32 = L"HKLM\\" + std::wstring(kRun32Key);

using Bytes = std::vector<BYTE>;

// A record as Task Manager writes it: the state, three zero bytes, the FILETIME (low part
// first, each part little-endian).
Bytes Record(BYTE state, uint64_t time = 0) {
    Bytes bytes = {state, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        bytes.push_back(static_cast<BYTE>(time >> (8 * i)));
    }
    return bytes;
}

uint64_t Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// The time in a 12-byte record.
uint64_t TimeOf(const Bytes& record) {
    uint64_t time = 0;
    std::memcpy(&time, record.data() + 4, sizeof(time));
    return time;
}

TEST(StartupApprovalRecordTest, RecordsAreTwelveBytesOfStateAndTime) {
    const FILETIME time = {0x11223344, 0x55667788};
    EXPECT_EQ(ApprovalRecord(false, time),
              (Bytes{3, 0, 0, 0, 0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55}));
    EXPECT_EQ(ApprovalRecord(true, time), Record(2));

    // Odd first bytes disable, even ones (2, and 6 and 0 as also seen) enable; anything that
    // is no record leaves the program enabled.
    const struct {
        DWORD type;
        Bytes bytes;
        bool enables;
    } cases[] = {
        {REG_BINARY, Record(2), true},  {REG_BINARY, Record(3, 5), false},
        {REG_BINARY, Record(6), true},  {REG_BINARY, Record(7), false},
        {REG_BINARY, Record(1), false}, {REG_BINARY, Record(0), true},
        {REG_BINARY, {3}, false},       {REG_BINARY, {2, 0, 0}, true},
        {REG_BINARY, {}, true},         {REG_DWORD, {3, 0, 0, 0}, true},
        {REG_SZ, {'3', 0}, true},       {REG_NONE, Record(3, 5), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ApprovalEnables(c.type, c.bytes), c.enables)
            << "type " << c.type << ", first byte "
            << (c.bytes.empty() ? -1 : static_cast<int>(c.bytes[0]));
    }
}

TEST(StartupApprovalRecordTest, The32BitRunKeyIsThe32BitViewsCopy) {
    EXPECT_EQ(Wow64PathOf(HKEY_LOCAL_MACHINE, kRunKey), kRun32Key);
}

StartupEntry Entry(const std::wstring& name, const std::wstring& command,
                   const std::wstring& location, bool enabled) {
    return {name, command, location, enabled, true, {}};
}

class StartupApprovedTest : public test::SandboxTest {
protected:
    StartupApprovedTest() {
        CreateDirectoryW(common_.c_str(), nullptr);
        CreateDirectoryW(user_.c_str(), nullptr);
        places_ = {StartupScheme::Approved, true, common_, user_};
    }

    static void PutRecord(HKEY root, const std::wstring& kind, const std::wstring& name,
                          const Bytes& bytes) {
        PutData(root, kApproved + L"\\" + kind, name, REG_BINARY, bytes);
    }
    static std::optional<RawValue> RecordOf(HKEY root, const std::wstring& kind,
                                            const std::wstring& name) {
        return ValueOf(root, kApproved + L"\\" + kind, name);
    }
    void PutFile(const std::wstring& folder, const std::wstring& name) const {
        test::WriteFileBytes(folder + L"\\" + name, "L");
    }

    // One program in every place, each with neighbours whose records must stay as they are:
    // records Task Manager wrote (disabled with a time, enabled as 6), a record left over from
    // a program that is gone, and a record of the other root under the same name.
    void PutEveryPlace() {
        PutText(HKEY_LOCAL_MACHINE, kRun, L"Machine", L"m.exe");
        PutText(HKEY_CURRENT_USER, kRun, L"User", L"\"C:\\U\\u.exe\" /tray");
        PutText(HKEY_CURRENT_USER, kRun, L"Off", L"off.exe");
        PutText(HKEY_LOCAL_MACHINE, kRun32Key, L"Legacy", L"legacy.exe");
        PutFile(common_, L"Common.lnk");
        PutFile(common_, L"desktop.ini");
        CreateDirectoryW((common_ + L"\\Folder").c_str(), nullptr);
        PutFile(user_, L"Mine.lnk");
        PutRecord(HKEY_CURRENT_USER, L"Run", L"Off", Record(3, 0x01D9000011112222));
        PutRecord(HKEY_CURRENT_USER, L"Run", L"Gone", Record(3, 0x01D9000033334444));
        PutRecord(HKEY_LOCAL_MACHINE, L"Run", L"Machine", Record(6));
        PutRecord(HKEY_LOCAL_MACHINE, L"Run", L"User", Record(3, 7));
        PutRecord(HKEY_CURRENT_USER, L"StartupFolder", L"Mine.lnk", Record(3, 9));
    }

    std::vector<StartupEntry> List() const { return ListStartupEntries(places_); }

    StartupEntry Listed(const std::wstring& name, const std::wstring& location) const {
        for (const StartupEntry& entry : List()) {
            if (entry.name == name && entry.location == location) {
                return entry;
            }
        }
        ADD_FAILURE() << "not listed: " << ToUtf8(name) << " in " << ToUtf8(location);
        return {};
    }

    const std::wstring common_ = temp_ / L"Common Startup";
    const std::wstring user_ = temp_ / L"Startup";
    StartupPlaces places_;
};

TEST_F(StartupApprovedTest, ListsTheRunKeysThenBothFoldersEachAsItsRecordSays) {
    PutEveryPlace();
    const std::vector<StartupEntry> expected = {
        Entry(L"Machine", L"m.exe", kHklmRun, true),
        Entry(L"Off", L"off.exe", kHkcuRun, false),
        // A record of the same name under the other root is not this program's.
        Entry(L"User", L"\"C:\\U\\u.exe\" /tray", kHkcuRun, true),
        Entry(L"Legacy", L"legacy.exe", kHklmRun32, true),
        Entry(L"Common.lnk", common_ + L"\\Common.lnk", common_, true),
        Entry(L"Mine.lnk", user_ + L"\\Mine.lnk", user_, false),
    };
    EXPECT_EQ(List(), expected);

    // Without the 32-bit view and without folders, the Run keys alone.
    EXPECT_EQ(ListStartupEntries(StartupPlaces{StartupScheme::Approved}),
              (std::vector<StartupEntry>{expected[0], expected[1], expected[2]}));
}

TEST_F(StartupApprovedTest, EachPlaceDisablesAndEnablesThroughItsOwnRecordAlone) {
    PutEveryPlace();
    const struct {
        const wchar_t* name;
        std::wstring location;
        HKEY recordRoot;
        const wchar_t* kind;
    } cases[] = {
        {L"Machine", kHklmRun, HKEY_LOCAL_MACHINE, L"Run"},
        {L"User", kHkcuRun, HKEY_CURRENT_USER, L"Run"},
        {L"Legacy", kHklmRun32, HKEY_LOCAL_MACHINE, L"Run32"},
        {L"Common.lnk", common_, HKEY_LOCAL_MACHINE, L"StartupFolder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.name));
        const test::RegistryDump before = test::DumpRegistry();
        const std::vector<std::vector<std::wstring>> files = {test::EntryNames(common_ + L"\\"),
                                                              test::EntryNames(user_ + L"\\")};
        const uint64_t earliest = Now();
        const ChangeResult disabled =
            ApplyStartupChange(Listed(c.name, c.location), places_, false);
        const uint64_t latest = Now();
        ASSERT_TRUE(disabled.done) << ToUtf8(disabled.reason);

        const std::optional<RawValue> record = RecordOf(c.recordRoot, c.kind, c.name);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->type, static_cast<DWORD>(REG_BINARY));
        ASSERT_EQ(record->data.size(), 12u);
        EXPECT_EQ(Bytes(record->data.begin(), record->data.begin() + 4), (Bytes{3, 0, 0, 0}));
        EXPECT_GE(TimeOf(record->data), earliest);
        EXPECT_LE(TimeOf(record->data), latest);
        EXPECT_FALSE(Listed(c.name, c.location).enabled);
        // Nothing else changed: the program's value or file, the other records.
        test::RegistryDump after = test::DumpRegistry();
        const std::wstring recordKey = test::DumpedKeyName(
            after, RootKeyName(c.recordRoot) + L"\\" + kApproved + L"\\" + c.kind);
        after[recordKey].erase(c.name);
        test::RegistryDump expected = before;
        expected[recordKey].erase(c.name);
        expected[recordKey];  // the key may be new
        EXPECT_TRUE(after == expected) << test::DescribeDifferences(expected, after);
        EXPECT_EQ(test::EntryNames(common_ + L"\\"), files[0]);
        EXPECT_EQ(test::EntryNames(user_ + L"\\"), files[1]);

        const ChangeResult enabled = ApplyStartupChange(Listed(c.name, c.location), places_, true);
        ASSERT_TRUE(enabled.done) << ToUtf8(enabled.reason);
        EXPECT_EQ(RecordOf(c.recordRoot, c.kind, c.name)->data, Record(2));
        EXPECT_TRUE(Listed(c.name, c.location).enabled);
        test::RegistryDump again = test::DumpRegistry();
        again[recordKey].erase(c.name);
        EXPECT_TRUE(again == expected) << test::DescribeDifferences(expected, again);
    }
}

TEST_F(StartupApprovedTest, WhatTaskManagerDisabledIsEnabledHereAndTheOtherWayRound) {
    PutEveryPlace();
    // Disabled by Task Manager (3 and a time): enabling writes 2 and no time.
    ASSERT_TRUE(ApplyStartupChange(Listed(L"Mine.lnk", user_), places_, true).done);
    EXPECT_EQ(RecordOf(HKEY_CURRENT_USER, L"StartupFolder", L"Mine.lnk")->data, Record(2));
    EXPECT_TRUE(test::FileExists(user_ + L"\\Mine.lnk"));
    // Enabled as 6: disabling writes 3 and the time.
    ASSERT_TRUE(ApplyStartupChange(Listed(L"Machine", kHklmRun), places_, false).done);
    EXPECT_EQ(RecordOf(HKEY_LOCAL_MACHINE, L"Run", L"Machine")->data[0], 3);
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun, L"Machine"), L"m.exe");
    // The unnamed value has the unnamed record.
    PutText(HKEY_CURRENT_USER, kRun, L"", L"default.exe");
    ASSERT_TRUE(ApplyStartupChange(Listed(L"", kHkcuRun), places_, false).done);
    EXPECT_EQ(RecordOf(HKEY_CURRENT_USER, L"Run", L"")->data[0], 3);
    EXPECT_FALSE(Listed(L"", kHkcuRun).enabled);
    EXPECT_EQ(RecordOf(HKEY_CURRENT_USER, L"Run", L"Gone")->data, Record(3, 0x01D9000033334444));
}

TEST_F(StartupApprovedTest, RefusedChangesWriteNoRecord) {
    PutEveryPlace();
    const StartupEntry user = Listed(L"User", kHkcuRun);
    const StartupEntry mine = Listed(L"Mine.lnk", user_);
    PutData(HKEY_CURRENT_USER, kRun, L"Number", REG_DWORD, {1, 0, 0, 0});
    const StartupEntry number = Listed(L"Number", kHkcuRun);
    const test::RegistryDump listed = test::DumpRegistry();
    // Gone since listing: the value, the file.
    Registry run(HKEY_CURRENT_USER);
    ASSERT_TRUE(run.OpenKey(kRun, false));
    ASSERT_TRUE(run.DeleteValue(L"User"));
    ASSERT_TRUE(DeleteFileW((user_ + L"\\Mine.lnk").c_str()));
    const test::RegistryDump before = test::DumpRegistry();
    ASSERT_FALSE(before == listed);

    const struct {
        const char* what;
        StartupEntry entry;
        StartupPlaces places;
        bool enable;
    } cases[] = {
        {"value gone", user, places_, false},
        {"file gone", mine, places_, true},
        {"not text", number, places_, false},
        {"enabled already", Listed(L"Machine", kHklmRun), places_, true},
        {"a folder not listed", Entry(L"Common.lnk", common_ + L"\\Common.lnk", common_, true),
         StartupPlaces{StartupScheme::Approved, true, {}, user_}, false},
        {"a key not listed", Entry(L"Legacy", L"legacy.exe", kHklmRun32, true),
         StartupPlaces{StartupScheme::Approved}, false},
        {"a disabled-entry record",
         {L"Off", L"off.exe", kHkcuRun, false, true, L"Off"},
         places_,
         true},
    };
    for (const auto& c : cases) {
        const ChangeResult result = ApplyStartupChange(c.entry, c.places, c.enable);
        EXPECT_FALSE(result.done) << c.what;
        EXPECT_FALSE(result.reason.empty()) << c.what;
    }
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
}

TEST_F(StartupApprovedTest, ApplyWritesTheRecordsOfTheChangedMarksAndListsAfresh) {
    PutEveryPlace();
    StartupManager manager;
    manager.Fill(places_);
    ASSERT_EQ(manager.Baseline(), (std::vector<bool>{true, false, true, true, true, false}));
    std::vector<bool> marks = manager.Baseline();
    marks[1] = true;   // Off
    marks[4] = false;  // Common.lnk
    const std::vector<StartupApplied> applied = manager.Apply(marks, places_);
    ASSERT_EQ(applied.size(), 2u);
    EXPECT_TRUE(applied[0].result.done && applied[1].result.done);
    EXPECT_EQ(RecordOf(HKEY_CURRENT_USER, L"Run", L"Off")->data, Record(2));
    EXPECT_EQ(RecordOf(HKEY_LOCAL_MACHINE, L"StartupFolder", L"Common.lnk")->data[0], 3);
    EXPECT_EQ(manager.Baseline(), marks);
    EXPECT_EQ(manager.Entries().size(), 6u);
}

// Windows Vista and 7 keep disabled programs as Windows XP does; 64-bit ones list the Run key
// of the 32-bit view too, and its programs come back there.
TEST_F(StartupApprovedTest, VistaAnd7MoveThe32BitRunKeysProgramsThroughRecords) {
    PutText(HKEY_LOCAL_MACHINE, kRun, L"Machine", L"m.exe");
    PutText(HKEY_LOCAL_MACHINE, kRun32Key, L"Legacy", L"legacy.exe");
    const StartupPlaces vista = {StartupScheme::Records, true, {}, {}};
    EXPECT_EQ(ListStartupEntries(vista),
              (std::vector<StartupEntry>{Entry(L"Machine", L"m.exe", kHklmRun, true),
                                         Entry(L"Legacy", L"legacy.exe", kHklmRun32, true)}));
    EXPECT_EQ(ListStartupEntries(6).size(), 1u) << "Windows XP lists no 32-bit key";

    ASSERT_TRUE(
        ApplyStartupChange(Entry(L"Legacy", L"legacy.exe", kHklmRun32, true), vista, false).done);
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun32Key, L"Legacy"), std::nullopt);
    const std::wstring record = std::wstring(kStartupRecordsKey) + L"\\Legacy";
    EXPECT_EQ(TextsOf(HKEY_LOCAL_MACHINE, record), (test::NamedTexts{{L"command", L"legacy.exe"},
                                                                     {L"hkey", L"HKLM"},
                                                                     {L"inimapping", L"0"},
                                                                     {L"item", L"Legacy"},
                                                                     {L"key", kRun32Key}}));
    const std::vector<StartupEntry> listed = ListStartupEntries(vista);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1],
              (StartupEntry{L"Legacy", L"legacy.exe", kHklmRun32, false, true, L"Legacy"}));
    ASSERT_TRUE(ApplyStartupChange(listed[1], vista, true).done);
    EXPECT_EQ(TextOf(HKEY_LOCAL_MACHINE, kRun32Key, L"Legacy"), L"legacy.exe");
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, record));
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, kApproved));
}

}  // namespace
}  // namespace kestrova
