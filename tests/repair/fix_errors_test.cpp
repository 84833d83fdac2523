// Fixing checked error rows: which key or value each Error Type deletes, the history entry
// recorded for it, and that the history is on disk before anything is deleted.
#include "repair/fix_errors.h"

#include "platform/text.h"
#include "repair/restore_history.h"
#include "repair/snapshot_records.h"
#include "repair_test_support.h"
#include "scan/key_names.h"
#include "support/sandbox_test.h"

namespace kestrova {
namespace {

using test::GetValue;
using test::KeyPresent;
using test::PutKey;
using test::PutValue;
using test::RawOf;
using test::Utf16Bytes;

const std::wstring kCurrentVersion = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const std::wstring kSharedDlls = kCurrentVersion + L"\\SharedDlls";

RawValue Text(const std::wstring& text) {
    return RawOf(REG_SZ, Utf16Bytes(text));
}
RawValue Number(BYTE n) {
    return RawOf(REG_DWORD, {n, 0, 0, 0});
}

class FixErrorsTest : public test::SandboxTest {
protected:
    FixErrorsTest() { history_.Create(kHistoryRootTag); }

    std::wstring File() const { return temp_ / L"Backup.xml"; }

    FixResult Fix(const std::vector<FixRow>& rows) {
        return FixErrors(history_, SaveDocumentTo(history_, File()), rows);
    }

    // Everything in the registry and in the history, then restoring every entry.
    void RestoreEverything() {
        RestoreHistory restore(history_, SaveDocumentTo(history_, File()));
        const RestoreResult result = restore.RestoreAll();
        ASSERT_TRUE(result.failures.empty()) << ToUtf8(result.failures[0].message);
    }

    XmlDocument history_;
};

// One row of each Error Type, with what the fix must delete.
struct TypeCase {
    std::wstring errorType;
    HKEY root;
    std::wstring keyPath;  // the key that holds the target, or the target key itself
    std::wstring value;    // the value deleted; empty when the key goes
    std::wstring keyName;  // as the scan writes it
};

std::vector<TypeCase> TypeCases() {
    const std::wstring clsid = L"\\CLSID\\{00000000-1111-2222-3333-444444444444}";
    return {
        {L"Application", HKEY_LOCAL_MACHINE, kCurrentVersion + L"\\App Paths\\gone.exe", L"",
         L"HKEY_LOCAL_MACHINE" + kCurrentVersion + L"\\App Paths\\gone.exe"},
        {L"COM/ActiveX", HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", L"",
         L"HKEY_CLASSES_ROOT" + clsid + L"\\InprocServer32"},
        {L"File Extensions", HKEY_CURRENT_USER,
         L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.gone", L"",
         L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"
         L"\\.gone"},
        {L"Font File", HKEY_LOCAL_MACHINE,
         L"\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", L"Gone (TrueType)",
         L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts\\Gone "
         L"(TrueType)"},
        {L"Help File", HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Microsoft\\Windows\\Help", L"gone.hlp",
         L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help\\gone.hlp"},
        {L"Shared DLLs", HKEY_LOCAL_MACHINE, kSharedDlls, L"C:\\Program Files\\Gone\\gone.dll",
         L"HKEY_LOCAL_MACHINE" + kSharedDlls + L"\\C:\\Program Files\\Gone\\gone.dll"},
        {L"Shared Folder", HKEY_LOCAL_MACHINE,
         L"\\SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares", L"GONE",
         L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\LanmanServer\\Shares\\GONE"},
        {L"Shell Extensions", HKEY_LOCAL_MACHINE, kCurrentVersion + L"\\Shell Extensions\\Approved",
         L"{99999999-1111-2222-3333-444444444444}",
         L"HKEY_LOCAL_MACHINE" + kCurrentVersion +
             L"\\Shell Extensions\\Approved\\{99999999-1111-2222-3333-444444444444}"},
        {L"Sound AppEvent", HKEY_CURRENT_USER,
         L"\\AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current", L"",
         L"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current"},
        {L"Start Menu", HKEY_CURRENT_USER,
         L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\Gone",
         L"",
         L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder"
         L"\\Start Menu\\Gone"},
        {L"Uninstall", HKEY_LOCAL_MACHINE, kCurrentVersion + L"\\Uninstall\\GoneApp",
         L"UninstallString",
         L"HKEY_LOCAL_MACHINE" + kCurrentVersion + L"\\Uninstall\\GoneApp\\UninstallString"},
        {L"VxD Error", HKEY_LOCAL_MACHINE, L"\\System\\CurrentControlSet\\Services\\VxD\\GONE", L"",
         L"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\GONE"},
    };
}

// Each target with some data, and a neighbour that must stay: a sibling value in the same key,
// or a value in the parent of the key that goes.
void FillRegistry(const std::vector<TypeCase>& cases) {
    for (const TypeCase& c : cases) {
        if (c.value.empty()) {
            PutValue(c.root, c.keyPath, L"", Text(L"C:\\Gone\\gone.exe"));
            PutValue(c.root, c.keyPath, L"Number", Number(3));
            PutValue(c.root, c.keyPath + L"\\Sub", L"Data", RawOf(REG_BINARY, {1, 2, 3}));
            PutKey(c.root, c.keyPath + L"\\Sub\\Empty");
            const std::wstring parent = c.keyPath.substr(0, c.keyPath.rfind(L'\\'));
            PutValue(c.root, parent, L"Neighbour", Text(L"stays"));
        } else {
            PutValue(c.root, c.keyPath, c.value, Text(L"C:\\Gone\\" + c.value));
            PutValue(c.root, c.keyPath, L"Neighbour", Text(L"stays"));
        }
    }
}

TEST_F(FixErrorsTest, EachErrorTypeDeletesItsKeyOrValueAndRestoresIt) {
    const std::vector<TypeCase> cases = TypeCases();
    FillRegistry(cases);
    const test::RegistryDump before = test::DumpRegistry();
    std::vector<FixRow> rows;
    for (const TypeCase& c : cases) {
        rows.push_back({c.errorType, c.keyName, L"c:\\gone\\" + c.errorType});
    }

    const FixResult result = Fix(rows);

    ASSERT_FALSE(result.saveError);
    EXPECT_TRUE(result.notDeleted.empty());
    EXPECT_TRUE(result.notRecorded.empty());
    ASSERT_EQ(result.handled.size(), rows.size());
    const XmlElement root = history_.Root();
    ASSERT_EQ(root.ChildCount(), rows.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        const TypeCase& c = cases[i];
        SCOPED_TRACE(ToUtf8(c.errorType));
        // Bottom-up: the last row is handled first and its entry is the first child.
        const size_t at = cases.size() - 1 - i;
        EXPECT_EQ(result.handled[at], i);
        const XmlElement entry = root.Child(at);
        EXPECT_EQ(entry.AttributeText(L"NAME"), c.errorType);
        EXPECT_EQ(entry.AttributeText(L"TYPE"), c.keyName);
        EXPECT_EQ(entry.AttributeText(L"PATH"), L"c:\\gone\\" + c.errorType);
        const std::wstring subKey = RootKeyName(c.root) + c.keyPath;
        if (c.value.empty()) {
            EXPECT_FALSE(KeyPresent(c.root, c.keyPath));
            const std::wstring parent = c.keyPath.substr(0, c.keyPath.rfind(L'\\'));
            EXPECT_TRUE(GetValue(c.root, parent, L"Neighbour"));
            // Two values, the subkey's value, the empty key below it.
            ASSERT_EQ(entry.ChildCount(), 4u);
            EXPECT_EQ(entry.Child(0).AttributeText(L"SUBKEY"), subKey);
            EXPECT_EQ(entry.Child(2).AttributeText(L"SUBKEY"), subKey + L"\\Sub");
            EXPECT_EQ(entry.Child(3).AttributeText(L"SUBKEY"), subKey + L"\\Sub\\Empty");
        } else {
            EXPECT_FALSE(GetValue(c.root, c.keyPath, c.value));
            EXPECT_TRUE(GetValue(c.root, c.keyPath, L"Neighbour"));
            ASSERT_EQ(entry.ChildCount(), 1u);
            EXPECT_EQ(entry.Child(0).AttributeText(L"SUBKEY"), subKey);
            EXPECT_EQ(entry.Child(0).AttributeText(L"NAME"), c.value);
        }
    }
    XmlDocument saved;
    saved.Load(File());
    EXPECT_EQ(saved.Root().ChildCount(), rows.size());

    RestoreEverything();
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
}

TEST_F(FixErrorsTest, TheHistoryIsOnDiskOnceBeforeTheFirstDeletion) {
    std::vector<FixRow> rows;
    for (int i = 0; i < 300; ++i) {
        const std::wstring name = L"lib" + std::to_wstring(i) + L".dll";
        PutValue(HKEY_LOCAL_MACHINE, kSharedDlls, L"C:\\Gone\\" + name, Number(1));
        rows.push_back({L"Shared DLLs",
                        L"HKEY_LOCAL_MACHINE" + kSharedDlls + L"\\C:\\Gone\\" + name,
                        L"c:\\gone\\" + name});
    }
    int saves = 0;
    size_t valuesAtSave = 0;
    const StoreSaver save = [&] {
        ++saves;
        Registry registry(HKEY_LOCAL_MACHINE);
        registry.OpenKeyReadOnly(kSharedDlls);
        std::vector<std::wstring> names;
        registry.GetValueNames(names);
        valuesAtSave = names.size();
        history_.Save(File());
    };

    const FixResult result = FixErrors(history_, save, rows);

    EXPECT_EQ(saves, 1);
    EXPECT_EQ(valuesAtSave, rows.size());
    EXPECT_EQ(result.handled.size(), rows.size());
    XmlDocument saved;
    saved.Load(File());
    EXPECT_EQ(saved.Root().ChildCount(), rows.size());
    Registry registry(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKeyReadOnly(kSharedDlls));
    std::vector<std::wstring> left;
    registry.GetValueNames(left);
    EXPECT_TRUE(left.empty());
}

TEST_F(FixErrorsTest, NothingIsDeletedWhenTheHistoryCannotBeSaved) {
    const std::vector<TypeCase> cases = TypeCases();
    FillRegistry(cases);
    AppendHistoryEntry(history_.Root(), L"Earlier", L"k", L"p");
    const test::RegistryDump before = test::DumpRegistry();
    std::vector<FixRow> rows;
    for (const TypeCase& c : cases) {
        rows.push_back({c.errorType, c.keyName, L""});
    }

    const FixResult result =
        FixErrors(history_, SaveDocumentTo(history_, temp_ / L"no such folder\\Backup.xml"), rows);

    ASSERT_TRUE(result.saveError);
    EXPECT_FALSE(result.saveError->empty());
    EXPECT_TRUE(result.handled.empty());
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
    // The entries of the failed fix are taken out again; earlier ones stay.
    ASSERT_EQ(history_.Root().ChildCount(), 1u);
    EXPECT_EQ(history_.Root().Child(0).AttributeText(L"NAME"), L"Earlier");
}

TEST_F(FixErrorsTest, ADeletionWhoseParentIsGoneTouchesNoOtherKey) {
    // The lowest row deletes P first; the rows above then name things inside P. Opened from
    // the root instead of P, their names would hit these decoys.
    PutValue(HKEY_CURRENT_USER, L"\\Software\\P\\Child", L"c", Text(L"child"));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\P", L"val", Text(L"value"));
    PutValue(HKEY_CURRENT_USER, L"\\Child", L"decoy", Text(L"stays"));
    PutValue(HKEY_CURRENT_USER, L"", L"val", Text(L"stays"));
    const test::RegistryDump before = test::DumpRegistry();
    const std::vector<FixRow> rows = {
        {L"Application", L"HKEY_CURRENT_USER\\Software\\P\\Child", L""},
        {L"Help File", L"HKEY_CURRENT_USER\\Software\\P\\val", L""},
        {L"Application", L"HKEY_CURRENT_USER\\Software\\P", L""},
    };

    const FixResult result = Fix(rows);

    EXPECT_EQ(result.handled, (std::vector<size_t>{2, 1, 0}));
    EXPECT_EQ(result.notDeleted, (std::vector<size_t>{1, 0}));
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\P"));
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"\\Child", L"decoy"));
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"", L"val"));

    RestoreEverything();
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
}

TEST_F(FixErrorsTest, SharedDllsRowsNameTheWholeFilePathInsideTheSharedDllsKey) {
    struct SplitCase {
        const char* label;
        std::wstring valueName;
    };
    const std::vector<SplitCase> cases = {
        {"drive path", L"C:\\Program Files\\Common Files\\lib.dll"},
        {"network path", L"\\\\server\\share\\lib.dll"},
        {"long path prefix", L"\\\\?\\D:\\Tools\\lib.dll"},
        {"bare file name", L"lib.dll"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.label);
        // Decoys where a split at the wrong "\" would land: the leaf and the tail of the path
        // in the SharedDlls key, and the leaf in its parent key.
        PutValue(HKEY_LOCAL_MACHINE, kSharedDlls, c.valueName, Number(2));
        PutValue(HKEY_LOCAL_MACHINE, kSharedDlls, L"lib.dll", Number(1));
        PutValue(HKEY_LOCAL_MACHINE, kSharedDlls, L"D:\\Tools\\lib.dll", Number(1));
        PutValue(HKEY_LOCAL_MACHINE, kSharedDlls, L"share\\lib.dll", Number(1));
        PutValue(HKEY_LOCAL_MACHINE, kCurrentVersion, L"lib.dll", Number(1));
        PutValue(HKEY_LOCAL_MACHINE, L"", L"lib.dll", Number(1));
        test::RegistryDump expected = test::DumpRegistry();
        expected[test::DumpedKeyName(expected, L"HKEY_LOCAL_MACHINE" + kSharedDlls)].erase(
            c.valueName);
        const size_t entries = history_.Root().ChildCount();

        const FixResult result =
            Fix({{L"Shared DLLs", L"HKEY_LOCAL_MACHINE" + kSharedDlls + L"\\" + c.valueName, L""}});

        EXPECT_TRUE(result.notDeleted.empty());
        const test::RegistryDump after = test::DumpRegistry();
        EXPECT_TRUE(after == expected) << test::DescribeDifferences(expected, after);
        const XmlElement entry = history_.Root().Child(entries);
        ASSERT_EQ(entry.ChildCount(), 1u);
        EXPECT_EQ(entry.Child(0).AttributeText(L"SUBKEY"), L"HKEY_LOCAL_MACHINE" + kSharedDlls);
        EXPECT_EQ(entry.Child(0).AttributeText(L"NAME"), c.valueName);
    }
}

TEST_F(FixErrorsTest, WhatCannotBeRecordedIsNotDeleted) {
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Fonts", L"bad\x01name", Text(L"x.ttf"));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Tree\\sub\x02key", L"v", Text(L"x"));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\Fonts", L"fine", Text(L"y.ttf"));
    const std::vector<FixRow> rows = {
        {L"Font File", L"HKEY_CURRENT_USER\\Software\\Fonts\\bad\x01name", L""},
        {L"Application", L"HKEY_CURRENT_USER\\Software\\Tree", L""},
        {L"Font File", L"HKEY_CURRENT_USER\\Software\\Fonts\\fine", L""},
    };

    const FixResult result = Fix(rows);

    EXPECT_EQ(result.handled, std::vector<size_t>{2});
    EXPECT_EQ(result.notRecorded, (std::vector<size_t>{1, 0}));
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"\\Software\\Fonts", L"bad\x01name"));
    EXPECT_TRUE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\Tree\\sub\x02key"));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, L"\\Software\\Fonts", L"fine"));
    ASSERT_EQ(history_.Root().ChildCount(), 1u);
    XmlDocument saved;
    saved.Load(File());  // the file stays readable
    EXPECT_EQ(saved.Root().ChildCount(), 1u);
}

TEST_F(FixErrorsTest, AKeyNameEndingInABackslashNamesTheDefaultValue) {
    PutValue(HKEY_CURRENT_USER, L"\\Software\\D", L"", Text(L"C:\\gone.dll"));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\D", L"other", Text(L"stays"));
    PutValue(HKEY_CURRENT_USER, L"\\Software\\D\\Sub", L"v", Text(L"stays"));
    const test::RegistryDump before = test::DumpRegistry();

    const FixResult result = Fix({{L"Shell Extensions", L"HKEY_CURRENT_USER\\Software\\D\\", L""}});

    EXPECT_TRUE(result.notDeleted.empty());
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, L"\\Software\\D", L""));
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"\\Software\\D", L"other"));
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, L"\\Software\\D\\Sub", L"v"));
    const XmlElement entry = history_.Root().Child(0);
    ASSERT_EQ(entry.ChildCount(), 1u);
    EXPECT_EQ(entry.Child(0).AttributeText(L"SUBKEY"), L"HKEY_CURRENT_USER\\Software\\D");
    EXPECT_EQ(entry.Child(0).AttributeText(L"NAME"), L"");

    RestoreEverything();
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
}

TEST_F(FixErrorsTest, ARootOrATopLevelKeyIsNeverFixed) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_CLASSES_ROOT}) {
        PutValue(root, L"", L"", Text(L"root default"));
        PutValue(root, L"\\Software", L"", Text(L"top default"));
        PutValue(root, L"\\Software", L"top", Text(L"top value"));
        PutValue(root, L"\\Software\\Vendor", L"v", Text(L"below"));
    }
    const test::RegistryDump before = test::DumpRegistry();
    const std::vector<FixRow> rows = {
        {L"Application", L"HKEY_CURRENT_USER", L""},
        {L"Application", L"HKEY_CURRENT_USER\\", L""},
        {L"Application", L"HKEY_CURRENT_USER\\Software", L""},
        {L"Help File", L"HKEY_CURRENT_USER\\Software\\", L""},
        {L"Help File", L"HKEY_CURRENT_USER\\Software\\top", L""},
        {L"Application", L"HKEY_CURRENT_USER\\\\Software", L""},
        {L"Application", L"HKEY_CURRENT_USER\\Software\\\\Vendor", L""},
        {L"Shared DLLs", L"HKEY_CURRENT_USER\\Software\\C:\\x.dll", L""},
        // An unknown or misspelt root would fall to HKEY_CLASSES_ROOT.
        {L"Application", L"HKEY_ELSEWHERE\\Software\\Vendor", L""},
        {L"Application", L"hkey_classes_root\\Software\\Vendor", L""},
    };

    const FixResult result = Fix(rows);

    EXPECT_EQ(result.refused.size(), rows.size());
    const std::wstring summary = FixSummaryText(result, rows);
    // Bottom-up, as the fix walks them.
    EXPECT_EQ(summary.find(L"10 entries name a root or a top-level key and were left alone:\n- "
                           L"hkey_classes_root\\Software\\Vendor\n"),
              0u)
        << ToUtf8(summary);
    EXPECT_TRUE(result.handled.empty());
    EXPECT_TRUE(result.notRecorded.empty());
    EXPECT_EQ(history_.Root().ChildCount(), 0u);
    const test::RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);

    // Two levels down is a fix like any other.
    const FixResult allowed = Fix({{L"Application", L"HKEY_CURRENT_USER\\Software\\Vendor", L""}});
    EXPECT_EQ(allowed.handled.size(), 1u);
    EXPECT_TRUE(allowed.refused.empty());
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, L"\\Software\\Vendor"));
    EXPECT_TRUE(KeyPresent(HKEY_CURRENT_USER, L"\\Software"));
    EXPECT_EQ(FixSummaryText(allowed, {}), L"");
}

TEST_F(FixErrorsTest, NoRowsRecordAndSaveNothing) {
    int saves = 0;
    const FixResult result = FixErrors(history_, [&] { ++saves; }, {});
    EXPECT_EQ(saves, 0);
    EXPECT_TRUE(result.handled.empty());
    EXPECT_EQ(history_.Root().ChildCount(), 0u);
}

}  // namespace
}  // namespace kestrova
