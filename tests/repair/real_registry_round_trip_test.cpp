// Fixing and restoring real registry data: four exported Windows hives (XP, 7, 10 and a
// classes hive) loaded into the sandbox, key trees and values of every type found there fixed,
// the history saved and loaded again, every entry restored, and the whole registry compared.
#include <windows.h>

#include <algorithm>

#include <cstdio>
#include <map>

#include "platform/text.h"
#include "repair/fix_errors.h"
#include "repair/restore_history.h"
#include "repair/snapshot_records.h"
#include "repair_test_support.h"
#include "support/child_process.h"
#include "support/reg_file_import.h"
#include "support/sandbox_test.h"

#ifndef KESTROVA_REGISTRY_DATA_DIR
#define KESTROVA_REGISTRY_DATA_DIR ""
#endif

namespace kestrova {
namespace {

using test::RegistryDump;
using test::RegKeyMapping;

class RealRegistryRoundTripTest : public test::SandboxTest {
protected:
    // Each hive under a root of its own, so every root holds real data.
    bool ImportHives() {
        const std::wstring folder = test::HostPathToWindows(KESTROVA_REGISTRY_DATA_DIR);
        if (folder.empty() || GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            return false;
        }
        test::ImportRegFile(folder + L"\\xp_ntuser_joe.reg");
        test::ImportRegFile(folder + L"\\win7_ntuser_nfury.reg",
                            {RegKeyMapping{L"HKEY_CURRENT_USER", HKEY_USERS, L"S-1-5-21-1000"}});
        test::ImportRegFile(folder + L"\\win10_ntuser_tony.importsafe.reg",
                            {RegKeyMapping{L"HKEY_CURRENT_USER", HKEY_LOCAL_MACHINE, L""}});
        test::ImportRegFile(
            folder + L"\\usrclass_regipy.reg",
            {RegKeyMapping{L"HKEY_CURRENT_USER\\Software\\Classes", HKEY_CLASSES_ROOT, L""}});
        return true;
    }

    // The first existing key among the candidates, as a Key Name.
    static std::wstring FirstKey(const RegistryDump& dump, const std::vector<std::wstring>& keys) {
        for (const std::wstring& key : keys) {
            if (dump.count(key)) {
                return key;
            }
        }
        return {};
    }

    // The first subkey of parent (in name order) that has a subkey named child, or else the
    // first subkey at all.
    static std::wstring SubKeyWith(const RegistryDump& dump, const std::wstring& parent,
                                   const std::wstring& child) {
        std::wstring first;
        for (auto it = dump.upper_bound(parent + L"\\"); it != dump.end(); ++it) {
            const std::wstring& key = it->first;
            if (key.compare(0, parent.size() + 1, parent + L"\\") != 0) {
                break;
            }
            if (key.find(L'\\', parent.size() + 1) != std::wstring::npos) {
                continue;  // deeper than one level
            }
            if (first.empty()) {
                first = key;
            }
            if (dump.count(key + L"\\" + child)) {
                return key + L"\\" + child;
            }
        }
        return first;
    }

    static bool Inside(const std::wstring& key, const std::vector<FixRow>& keyRows) {
        for (const FixRow& row : keyRows) {
            if (key == row.keyName ||
                key.compare(0, row.keyName.size() + 1, row.keyName + L"\\") == 0) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(RealRegistryRoundTripTest, EveryFixedKeyAndValueComesBackExactly) {
    if (!ImportHives()) {
        GTEST_SKIP() << "no registry exports in " << KESTROVA_REGISTRY_DATA_DIR;
    }
    // Wine's shell writes its own folder paths into the (sandboxed) Shell Folders keys when an
    // XML document is created: let that happen before the registry is read.
    XmlDocument history;
    history.Create(kHistoryRootTag);
    const RegistryDump before = test::DumpRegistry();
    ASSERT_GT(before.size(), 10000u);

    // Key trees of several Error Types, one under each root.
    std::vector<FixRow> keyRows;
    const auto addKey = [&](const wchar_t* type, const std::wstring& keyName) {
        ASSERT_FALSE(keyName.empty()) << ToUtf8(type);
        keyRows.push_back({type, keyName, L"c:\\gone"});
    };
    addKey(L"Application",
           FirstKey(before, {L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer"}));
    addKey(L"COM/ActiveX", SubKeyWith(before, L"HKEY_CLASSES_ROOT\\CLSID", L"InprocServer32"));
    addKey(L"File Extensions",
           SubKeyWith(before,
                      L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer"
                      L"\\FileExts",
                      L"OpenWithList"));
    addKey(L"Sound AppEvent",
           SubKeyWith(before, L"HKEY_USERS\\S-1-5-21-1000\\AppEvents\\Schemes\\Apps\\.Default",
                      L".Current"));
    addKey(L"Start Menu", FirstKey(before, {L"HKEY_USERS\\S-1-5-21-1000\\Control Panel"}));
    ASSERT_EQ(keyRows.size(), 5u);

    // Values: a few of every registry type found, and some with non-ASCII names, outside the
    // key trees above. Their names must hold no "\" and must not also name a subkey, and
    // their keys lie at least two levels below the root (a fix never touches a top-level key).
    const wchar_t* valueTypes[] = {L"Help File", L"Font File", L"Shell Extensions", L"Uninstall",
                                   L"Shared Folder"};
    std::vector<FixRow> valueRows;
    std::map<DWORD, int> ofType;
    int nonAscii = 0;
    for (const auto& [key, values] : before) {
        if (Inside(key, keyRows) || std::count(key.begin(), key.end(), L'\\') < 2) {
            continue;
        }
        for (const auto& [name, value] : values) {
            const std::wstring keyName = key + L"\\" + name;
            const bool unusual = name.find_first_not_of(
                                     L" !#$%&'()+,-.0123456789;=@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`"
                                     L"abcdefghijklmnopqrstuvwxyz{}~") != std::wstring::npos;
            const bool wanted = ofType[value.type] < 3 || (unusual && nonAscii < 4);
            if (!wanted || name.empty() || name.find(L'\\') != std::wstring::npos ||
                before.count(keyName)) {
                continue;
            }
            ++ofType[value.type];
            nonAscii += unusual ? 1 : 0;
            valueRows.push_back(
                {valueTypes[valueRows.size() % std::size(valueTypes)], keyName, L"c:\\gone"});
            break;  // one value per key
        }
    }
    const DWORD typesInData[] = {REG_SZ,       REG_EXPAND_SZ, REG_BINARY, REG_DWORD,
                                 REG_MULTI_SZ, REG_NONE,      REG_QWORD};
    for (const DWORD type : typesInData) {
        EXPECT_GT(ofType[type], 0) << "no value of type " << type;
    }
    std::vector<FixRow> rows = keyRows;
    rows.insert(rows.end(), valueRows.begin(), valueRows.end());

    const std::wstring file = temp_ / L"Backup.xml";
    const FixResult fixed = FixErrors(history, SaveDocumentTo(history, file), rows);

    ASSERT_FALSE(fixed.saveError) << ToUtf8(*fixed.saveError);
    EXPECT_TRUE(fixed.notRecorded.empty());
    EXPECT_TRUE(fixed.notDeleted.empty());
    EXPECT_EQ(fixed.handled.size(), rows.size());
    const RegistryDump afterFix = test::DumpRegistry();
    for (const FixRow& row : keyRows) {
        EXPECT_EQ(afterFix.count(row.keyName), 0u) << ToUtf8(row.keyName);
    }
    EXPECT_LT(afterFix.size(), before.size());

    size_t records = 0;
    for (size_t i = 0; i < history.Root().ChildCount(); ++i) {
        records += history.Root().Child(i).ChildCount();
    }
    std::printf("fixed %zu key trees and %zu values, %zu value records\n", keyRows.size(),
                valueRows.size(), records);

    // The next run: the history as read back from Backup.xml.
    XmlDocument loaded;
    loaded.Load(file);
    RestoreHistory restore(loaded, SaveDocumentTo(loaded, file));
    ASSERT_EQ(restore.Entries().size(), rows.size());
    const RestoreResult restored = restore.RestoreAll();

    ASSERT_TRUE(restored.failures.empty()) << ToUtf8(restored.failures[0].message);
    EXPECT_EQ(restored.restored, rows.size());
    EXPECT_TRUE(restore.Entries().empty());
    const RegistryDump after = test::DumpRegistry();
    EXPECT_TRUE(after == before) << test::DescribeDifferences(before, after);
}

}  // namespace
}  // namespace kestrova
