// Odd registry data never breaks a scan or a fix: text without its final NUL, of an odd byte
// count, with NULs inside, a megabyte long; value and key names of the greatest length; keys
// nested 100 deep; every value type, REG_NONE, REG_LINK-typed data and type numbers of no
// known type. Each is scanned, fixed and restored with an exact round trip, and a text that
// names an existing file gives no row, however it is stored.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/text.h"
#include "repair/fix_errors.h"
#include "repair/restore_history.h"
#include "repair/snapshot_records.h"
#include "repair_test_support.h"
#include "scan/scan_driver.h"
#include "scan/scan_test_fixture.h"
#include "support/sandbox_test.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::RawOf;
using test::Utf16Bytes;

const std::wstring kHelp = L"\\SOFTWARE\\Microsoft\\Windows\\Help";
const std::wstring kAppPaths = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

std::vector<BYTE> Bytes(size_t count, BYTE seed) {
    std::vector<BYTE> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<BYTE>(i * 31 + seed);
    }
    return bytes;
}

// The text's bytes with something after them: no NUL, an odd byte, or a NUL and more.
std::vector<BYTE> WithoutNul(const std::wstring& text) {
    return Utf16Bytes(text, false);
}
std::vector<BYTE> OddCount(const std::wstring& text) {
    std::vector<BYTE> bytes = Utf16Bytes(text, false);
    bytes.push_back('x');
    return bytes;
}
std::vector<BYTE> NulInside(const std::wstring& text) {
    return Utf16Bytes(text + std::wstring(L"\0tail\\of\\it", 12));
}

// Runs the groups' scan. The first one lets the system's shell write the keys it makes on
// first use (its folders), which are no part of the scan.
test::RecordingSink Scan(std::initializer_list<int> groups) {
    test::RecordingSink sink;
    for (const int group : groups) {
        sink.checked[group] = true;
    }
    XmlDocument ignore;
    ignore.Create(L"IgnoreList");
    EXPECT_EQ(RunScan(sink, ignore).end, ScanOutcome::End::Completed);
    return sink;
}

class OddRegistryDataTest : public test::SandboxTest {
protected:
    OddRegistryDataTest() { Scan({kGroupHelpFiles, kGroupAppPaths}); }
};

TEST_F(OddRegistryDataTest, ScannedFixedAndRestoredExactly) {
    const std::wstring existing = temp_.Path() + L"Help";
    CreateDirectoryW(existing.c_str(), nullptr);
    const std::wstring missing = temp_.Path() + L"Gone";

    // Help files: the data is the folder, the value's name the file. The ones in an existing
    // folder (each file made) are not stale however their data is stored.
    struct HelpCase {
        std::wstring name;
        std::vector<BYTE> data;
        DWORD type;
        bool stale;
    };
    const std::vector<HelpCase> help = {
        {L"nonul.hlp", WithoutNul(existing), REG_SZ, false},
        {L"odd.hlp", OddCount(existing), REG_SZ, false},
        {L"inner.hlp", NulInside(existing), REG_EXPAND_SZ, false},
        {L"gone-nonul.hlp", WithoutNul(missing), REG_SZ, true},
        {L"gone-odd.hlp", OddCount(missing), REG_SZ, true},
        {L"gone-inner.hlp", NulInside(missing), REG_SZ, true},
        {L"gone-long.hlp", Utf16Bytes(missing + std::wstring(512 * 1024, L'x')), REG_SZ, true},
        {std::wstring(16383 - 4, L'n') + L".hlp", Utf16Bytes(missing), REG_SZ, true},
    };
    for (const HelpCase& c : help) {
        if (!c.stale) {
            test::WriteFileBytes(existing + L"\\" + c.name, "help");
        }
        test::PutValue(HKEY_LOCAL_MACHINE, kHelp, c.name, RawOf(c.type, c.data));
    }

    // An application path whose program is gone: its whole key goes, with everything odd.
    const std::wstring app = kAppPaths + L"\\odd.exe";
    test::PutValue(HKEY_LOCAL_MACHINE, app, L"", RawOf(REG_SZ, Utf16Bytes(missing + L"\\odd.exe")));
    const std::vector<std::pair<std::wstring, RawValue>> values = {
        {L"none", RawOf(REG_NONE, {})},
        {L"none data", RawOf(REG_NONE, {1, 2, 3})},
        {L"link data", RawOf(REG_LINK, Utf16Bytes(L"\\REGISTRY\\MACHINE\\Nowhere", false))},
        {L"unknown type", RawOf(0x1234, {9, 8, 7})},
        {L"highest type", RawOf(0xFFFFFFFF, {1})},
        {L"multi", RawOf(REG_MULTI_SZ, Utf16Bytes(std::wstring(L"a\0\0b", 4), false))},
        {L"qword", RawOf(REG_QWORD, Bytes(8, 1))},
        {L"short dword", RawOf(REG_DWORD, {1, 2})},
        {L"big-endian", RawOf(REG_DWORD_BIG_ENDIAN, {0, 0, 0, 7})},
        {L"resource list", RawOf(REG_RESOURCE_LIST, Bytes(40, 2))},
        {L"text, no NUL", RawOf(REG_SZ, WithoutNul(L"abc"))},
        {L"text, odd", RawOf(REG_EXPAND_SZ, OddCount(L"%x%"))},
        {L"text, NULs", RawOf(REG_SZ, NulInside(L"a"))},
        {L"text, tab", RawOf(REG_SZ, Utf16Bytes(L"a\tb\r\nc"))},
        {L"megabyte binary", RawOf(REG_BINARY, Bytes(1024 * 1024, 3))},
        {L"megabyte text", RawOf(REG_SZ, Utf16Bytes(std::wstring(512 * 1024 - 1, L'\u00e9')))},
        {std::wstring(16383, L'v'), RawOf(REG_SZ, Utf16Bytes(L"longest name"))},
    };
    for (const auto& [name, value] : values) {
        test::PutValue(HKEY_LOCAL_MACHINE, app, name, value);
    }
    test::PutValue(HKEY_LOCAL_MACHINE, app + L"\\" + std::wstring(255, L'K'), L"k",
                   RawOf(REG_SZ, Utf16Bytes(L"longest key")));
    std::wstring deep = app;
    for (int level = 0; level < 100; ++level) {
        deep += L"\\L" + std::to_wstring(level);
    }
    test::PutValue(HKEY_LOCAL_MACHINE, deep, L"bottom", RawOf(REG_DWORD, {100, 0, 0, 0}));
    const test::RegistryDump before = test::DumpRegistry();

    const test::RecordingSink sink = Scan({kGroupHelpFiles, kGroupAppPaths});
    const test::RegistryDump scanned = test::DumpRegistry();
    EXPECT_TRUE(scanned == before) << test::DescribeDifferences(before, scanned);

    std::vector<FixRow> rows;
    for (const ErrorRow& row : sink.rows) {
        rows.push_back({row.type, row.keyName, row.guessPath});
    }
    size_t staleHelp = 0;
    for (const HelpCase& c : help) {
        staleHelp += c.stale ? 1 : 0;
        bool found = false;
        for (const FixRow& row : rows) {
            found = found || row.keyName == L"HKEY_LOCAL_MACHINE" + kHelp + L"\\" + c.name;
        }
        EXPECT_EQ(found, c.stale) << ToUtf8(c.name.substr(0, 20));
    }
    ASSERT_EQ(rows.size(), staleHelp + 1);

    XmlDocument history;
    history.Create(kHistoryRootTag);
    const std::wstring file = temp_ / L"Backup.xml";
    const FixResult fixed = FixErrors(history, SaveDocumentTo(history, file), rows);
    EXPECT_EQ(fixed.handled.size(), rows.size());
    EXPECT_TRUE(fixed.notRecorded.empty());
    EXPECT_TRUE(fixed.notDeleted.empty());
    EXPECT_FALSE(test::KeyPresent(HKEY_LOCAL_MACHINE, app));

    XmlDocument loaded;
    loaded.Load(file);
    RestoreHistory restore(loaded, SaveDocumentTo(loaded, file));
    const RestoreResult result = restore.RestoreAll();
    ASSERT_TRUE(result.failures.empty()) << ToUtf8(result.failures[0].message);
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
}

}  // namespace
}  // namespace kestrova
