// Findings of the 32-bit registry view: the scan names them by their "Wow6432Node" keys, and a
// fix deletes exactly that key or value (never its 64-bit twin of the same name), records it,
// and restoring the history writes it back exactly.
#include <windows.h>

#include <array>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "repair/fix_errors.h"
#include "repair/restore_history.h"
#include "repair/snapshot_records.h"
#include "repair_test_support.h"
#include "scan/scan_checks.h"
#include "scan/scan_context.h"
#include "scan/scan_groups.h"
#include "scan/search_places.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::GetValue;
using test::KeyPresent;
using test::PutKey;
using test::PutValue;
using test::RawOf;
using test::Utf16Bytes;

class RowSink : public ScanSink {
public:
    void AddRow(ErrorRow row) override { rows.push_back(std::move(row)); }
    void SetStatus(const std::wstring&) override {}
    void SetGroupCount(int, int) override {}
    bool StopRequested() const override { return false; }
    bool GroupChecked(int) const override { return true; }

    std::vector<ErrorRow> rows;
};

RawValue Text(const std::wstring& text) {
    return RawOf(REG_SZ, Utf16Bytes(text));
}

const std::wstring kVersion = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::wstring kVersion32 = L"\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";
const std::wstring kClassId = L"{4B657374-726F-7661-5361-6D706C653332}";

class Wow64FixTest : public test::SandboxTest {
protected:
    Wow64FixTest() {
        history_.Create(kHistoryRootTag);
        ignore_.Create(L"IgnoreList");
    }

    // In each 32-bit key a stale entry with more data around it; the 64-bit twin of each, of
    // the same name, names a file that is there.
    void PutEntries() {
        const std::wstring gone = temp_ / L"gone32.dll";
        const std::wstring present = temp_ / L"present64.dll";
        test::WriteFileBytes(present, "MZ");
        test::WriteFileBytes(temp_ / L"tool.hlp", "?_");
        for (const bool wow64 : {false, true}) {
            const std::wstring version = wow64 ? kVersion32 : kVersion;
            const std::wstring classes = wow64 ? L"\\Wow6432Node\\CLSID\\" : L"\\CLSID\\";
            const std::wstring file = wow64 ? gone : present;
            PutValue(HKEY_LOCAL_MACHINE, version + L"\\App Paths\\tool.exe", L"", Text(file));
            PutValue(HKEY_LOCAL_MACHINE, version + L"\\App Paths\\tool.exe", L"Path",
                     RawOf(REG_EXPAND_SZ, Utf16Bytes(L"%ProgramFiles%\\Tool")));
            PutKey(HKEY_LOCAL_MACHINE, version + L"\\App Paths\\tool.exe\\SupportedProtocols");
            PutValue(HKEY_CLASSES_ROOT, classes + kClassId + L"\\InprocServer32", L"", Text(file));
            PutValue(HKEY_CLASSES_ROOT, classes + kClassId + L"\\InprocServer32", L"ThreadingModel",
                     Text(L"Both"));
            PutValue(HKEY_CLASSES_ROOT, classes + kClassId, L"", Text(L"Kestrova sample"));
            PutValue(HKEY_LOCAL_MACHINE, version + L"\\SharedDlls", file,
                     RawOf(REG_DWORD, {3, 0, 0, 0}));
            PutValue(HKEY_LOCAL_MACHINE, version + L"\\Shell Extensions\\Approved", kClassId,
                     Text(L"Sample"));
            PutValue(HKEY_LOCAL_MACHINE, version + L"\\Uninstall\\Tool", L"UninstallString",
                     Text(file + L" /u"));
            PutValue(HKEY_LOCAL_MACHINE, version + L"\\Uninstall\\Tool", L"DisplayName",
                     Text(L"Tool"));
            PutValue(HKEY_LOCAL_MACHINE,
                     wow64 ? L"\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Help"
                           : L"\\SOFTWARE\\Microsoft\\Windows\\Help",
                     L"tool.hlp", Text(wow64 ? temp_ / L"gone" : temp_.Path()));
        }
    }

    std::vector<ErrorRow> Scan() {
        RowSink sink;
        FileProbe probe;
        ScanContext scan(sink, ignore_, probe, SystemSearchPlaces(), true);
        for (void (*check)(ScanContext&) : {ScanAppPaths, ScanClsid, ScanHelpFiles, ScanSharedDlls,
                                            ScanShellExtensions, ScanUninstall}) {
            check(scan);
        }
        return sink.rows;
    }

    std::wstring File() const { return temp_ / L"Backup.xml"; }

    XmlDocument history_;
    XmlDocument ignore_;
};

TEST_F(Wow64FixTest, A32BitFindingIsFixedAndRestoredExactlyAndItsTwinStays) {
    PutEntries();
    const test::RegistryDump before = test::DumpRegistry();

    const std::vector<ErrorRow> rows = Scan();
    const std::wstring machine32 = L"HKEY_LOCAL_MACHINE" + kVersion32;
    const std::wstring software32 =
        L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";
    const std::wstring gone = temp_ / L"gone32.dll";
    const std::vector<std::wstring> expected = {
        machine32 + L"\\App Paths\\tool.exe",
        L"HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\" + kClassId + L"\\InprocServer32",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Help\\tool.hlp",
        machine32 + L"\\SharedDlls\\" + gone,
        // Spelt as those groups spell their keys.
        software32 + L"\\Shell Extensions\\Approved\\" + kClassId,
        software32 + L"\\Uninstall\\Tool\\UninstallString",
    };
    std::vector<std::wstring> found;
    std::vector<FixRow> fixRows;
    for (const ErrorRow& row : rows) {
        found.push_back(row.keyName);
        fixRows.push_back({row.type, row.keyName, row.guessPath});
    }
    ASSERT_EQ(found, expected);

    const FixResult result = FixErrors(history_, SaveDocumentTo(history_, File()), fixRows);
    ASSERT_FALSE(result.saveError);
    EXPECT_EQ(result.handled.size(), fixRows.size());
    EXPECT_TRUE(result.notDeleted.empty());
    EXPECT_TRUE(result.notRecorded.empty());

    // Each 32-bit entry is gone; the key around a value stays, and so does every 64-bit twin.
    EXPECT_FALSE(KeyPresent(HKEY_LOCAL_MACHINE, kVersion32 + L"\\App Paths\\tool.exe"));
    EXPECT_FALSE(
        KeyPresent(HKEY_CLASSES_ROOT, L"\\Wow6432Node\\CLSID\\" + kClassId + L"\\InprocServer32"));
    EXPECT_TRUE(KeyPresent(HKEY_CLASSES_ROOT, L"\\Wow6432Node\\CLSID\\" + kClassId));
    EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kVersion32 + L"\\SharedDlls", gone));
    EXPECT_FALSE(
        GetValue(HKEY_LOCAL_MACHINE, kVersion32 + L"\\Uninstall\\Tool", L"UninstallString"));
    EXPECT_TRUE(GetValue(HKEY_LOCAL_MACHINE, kVersion32 + L"\\Uninstall\\Tool", L"DisplayName"));
    for (const auto& [root, key] : std::array<std::pair<HKEY, std::wstring>, 4>{{
             {HKEY_LOCAL_MACHINE, kVersion + L"\\App Paths\\tool.exe\\SupportedProtocols"},
             {HKEY_CLASSES_ROOT, L"\\CLSID\\" + kClassId + L"\\InprocServer32"},
             {HKEY_LOCAL_MACHINE, kVersion + L"\\Uninstall\\Tool"},
             {HKEY_LOCAL_MACHINE, kVersion + L"\\Shell Extensions\\Approved"},
         }}) {
        EXPECT_TRUE(KeyPresent(root, key)) << ToUtf8(key);
    }
    EXPECT_TRUE(GetValue(HKEY_LOCAL_MACHINE, kVersion + L"\\Uninstall\\Tool", L"UninstallString"));
    EXPECT_TRUE(GetValue(HKEY_LOCAL_MACHINE, kVersion + L"\\Shell Extensions\\Approved", kClassId));
    EXPECT_TRUE(Scan().empty());

    RestoreHistory restore(history_, SaveDocumentTo(history_, File()));
    const RestoreResult restored = restore.RestoreAll();
    ASSERT_TRUE(restored.failures.empty()) << ToUtf8(restored.failures[0].message);
    EXPECT_EQ(restored.restored, fixRows.size());
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
    EXPECT_EQ(Scan().size(), expected.size());
}

}  // namespace
}  // namespace kestrova
