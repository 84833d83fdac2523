// The 32-bit registry view: the groups whose keys 64-bit Windows keeps apart for 32-bit
// programs walk that view's "Wow6432Node" keys after their own when the scan is told to, and
// name the rows found there by those keys. In the sandbox the 32-bit view is simply those
// paths, as it is to this 64-bit program on Windows.
#include "scan/registry_views.h"

#include <stdexcept>

#include "platform/unique_handles.h"

#include "scan/scan_checks.h"
#include "scan/system_folders.h"
#include "scan_test_fixture.h"

namespace kestrova {
namespace {

using test::Lowered;
using test::ScanTest;

TEST(Wow64PathOfTest, MachineSoftwareAndClassesKeysHaveACopyOtherKeysNone) {
    const struct {
        HKEY root;
        const wchar_t* path;
        const wchar_t* wow64;
    } cases[] = {
        {HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
         L"\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths"},
        {HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
         L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {HKEY_LOCAL_MACHINE, L"\\software\\A", L"\\software\\Wow6432Node\\A"},
        {HKEY_CLASSES_ROOT, L"\\CLSID", L"\\Wow6432Node\\CLSID"},
        {HKEY_CLASSES_ROOT, L"CLSID\\{x}", L"Wow6432Node\\CLSID\\{x}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Wow64PathOf(c.root, c.path), c.wow64) << ToUtf8(c.path);
    }
    const struct {
        HKEY root;
        const wchar_t* path;
    } none[] = {
        {HKEY_LOCAL_MACHINE, L"\\SYSTEM\\CurrentControlSet"},
        {HKEY_LOCAL_MACHINE, L"\\SOFTWARE"},
        {HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\"},
        {HKEY_LOCAL_MACHINE, L"SOFTWAREX\\A"},
        {HKEY_CURRENT_USER, L"\\Software\\A"},
        {HKEY_CLASSES_ROOT, L"\\"},
        {HKEY_CLASSES_ROOT, L""},
    };
    for (const auto& c : none) {
        EXPECT_THROW(Wow64PathOf(c.root, c.path), std::invalid_argument) << ToUtf8(c.path);
    }
}

const std::wstring kCurrentVersion = L"Microsoft\\Windows\\CurrentVersion";

// One group that walks both views, and where its stale entries go.
struct ViewGroup {
    const char* name;
    void (*check)(ScanContext&);
    int group;
    // The group writes its counter even when none of its keys opens.
    bool countsWithoutKey;
};

const ViewGroup kViewGroups[] = {
    {"App Paths", ScanAppPaths, kGroupAppPaths, false},
    {"CLSID", ScanClsid, kGroupClsid, false},
    {"Help", ScanHelpFiles, kGroupHelpFiles, true},
    {"Shared DLLs", ScanSharedDlls, kGroupSharedDlls, false},
    {"Shell Extensions", ScanShellExtensions, kGroupShellExtensions, false},
    {"Uninstall", ScanUninstall, kGroupUninstall, false},
};

class RegistryViewsTest : public ScanTest {
protected:
    // "SOFTWARE\" + rest in the 64-bit view, or "SOFTWARE\Wow6432Node\" + rest; spelt as the
    // group spells it.
    static std::wstring Software(bool wow64, const std::wstring& rest,
                                 const std::wstring& software = L"SOFTWARE") {
        return software + (wow64 ? L"\\Wow6432Node\\" : L"\\") + rest;
    }
    static std::wstring Classes(bool wow64, const std::wstring& rest) {
        return wow64 ? L"Wow6432Node\\CLSID\\" + rest : L"CLSID\\" + rest;
    }

    // Puts a stale entry of the group named after tag in one view; returns the row it gives.
    ErrorRow PutStale(int group, bool wow64, const std::wstring& tag) {
        const std::wstring machine = L"HKEY_LOCAL_MACHINE\\";
        const std::wstring file = Gone(tag + L".dll");
        const std::wstring classId = L"{0000000" + std::wstring(wow64 ? L"3" : L"6") +
                                     L"-0000-0000-0000-" + std::wstring(12, tag[0]) + L"}";
        switch (group) {
            case kGroupAppPaths: {
                const std::wstring key = Software(wow64, kCurrentVersion + L"\\App Paths\\" + tag);
                SetText(HKEY_LOCAL_MACHINE, key, L"", file);
                return Reported(L"Application", machine + key, file, Lowered(file));
            }
            case kGroupClsid: {
                const std::wstring key = Classes(wow64, classId + L"\\InprocServer32");
                SetText(HKEY_CLASSES_ROOT, key, L"", file);
                return Reported(L"COM/ActiveX", L"HKEY_CLASSES_ROOT\\" + key, file, Lowered(file));
            }
            case kGroupHelpFiles: {
                const std::wstring key = Software(wow64, L"Microsoft\\Windows\\Help");
                SetText(HKEY_LOCAL_MACHINE, key, tag + L".hlp", temp_.Path());
                const std::wstring help = Gone(tag + L".hlp");
                return Reported(L"Help File", machine + key + L"\\" + tag + L".hlp", help,
                                Lowered(help));
            }
            case kGroupSharedDlls: {
                const std::wstring key = Software(wow64, kCurrentVersion + L"\\SharedDlls");
                SetDword(HKEY_LOCAL_MACHINE, key, file);
                return Reported(L"Shared DLLs", machine + key + L"\\" + file, file, Lowered(file));
            }
            case kGroupShellExtensions: {
                const std::wstring key =
                    Software(wow64, kCurrentVersion + L"\\Shell Extensions\\Approved", L"Software");
                SetText(HKEY_LOCAL_MACHINE, key, classId, tag);
                SetText(HKEY_CLASSES_ROOT, Classes(wow64, classId + L"\\InprocServer32"), L"",
                        file);
                return Reported(L"Shell Extensions", machine + key + L"\\" + classId, file,
                                Lowered(file));
            }
            case kGroupUninstall: {
                const std::wstring key =
                    Software(wow64, kCurrentVersion + L"\\Uninstall\\" + tag, L"Software");
                SetText(HKEY_LOCAL_MACHINE, key, L"UninstallString", file);
                return Reported(L"Uninstall", machine + key + L"\\UninstallString", file,
                                Lowered(file));
            }
            default:
                ADD_FAILURE() << "no stale entry for group " << group;
                return {};
        }
    }

    // Runs the group's check afresh, in one view or both.
    void RunFresh(const ViewGroup& group, bool walk32BitView) {
        sink_ = test::RecordingSink{};
        walk32BitView_ = walk32BitView;
        Run(group.check);
    }
};

TEST_F(RegistryViewsTest, EachGroupWalksThe32BitViewAfterItsOwnWithOneCounter) {
    for (const ViewGroup& group : kViewGroups) {
        SCOPED_TRACE(group.name);
        const ErrorRow own = PutStale(group.group, false, L"a64");
        const ErrorRow wow64 = PutStale(group.group, true, L"b32");
        EXPECT_NE(wow64.keyName.find(L"\\Wow6432Node\\"), std::wstring::npos);

        RunFresh(group, true);
        EXPECT_EQ(sink_.rows, (std::vector<ErrorRow>{own, wow64}));
        EXPECT_EQ(sink_.countWrites, (std::vector<std::pair<int, int>>{{group.group, 2}}));

        // As Windows up to Server 2003 has it: the group's own keys alone.
        RunFresh(group, false);
        EXPECT_EQ(sink_.rows, (std::vector<ErrorRow>{own}));
        EXPECT_EQ(sink_.countWrites, (std::vector<std::pair<int, int>>{{group.group, 1}}));
    }
}

TEST_F(RegistryViewsTest, AGroupWhoseOnlyKeyIsThe32BitOneStillCounts) {
    for (const ViewGroup& group : kViewGroups) {
        SCOPED_TRACE(group.name);
        const ErrorRow wow64 = PutStale(group.group, true, L"c32");

        RunFresh(group, true);
        EXPECT_EQ(sink_.rows, (std::vector<ErrorRow>{wow64}));
        EXPECT_EQ(sink_.counts[group.group], 1);

        RunFresh(group, false);
        EXPECT_TRUE(sink_.rows.empty());
        EXPECT_EQ(sink_.counts[group.group],
                  group.countsWithoutKey ? std::optional<int>(0) : std::nullopt);
    }
}

TEST_F(RegistryViewsTest, AStopInTheOwnViewEndsTheGroupBeforeThe32BitView) {
    for (const ViewGroup& group : kViewGroups) {
        SCOPED_TRACE(group.name);
        PutStale(group.group, false, L"d64");
        PutStale(group.group, true, L"e32");
        sink_ = test::RecordingSink{};
        sink_.stopWhen = [](const test::RecordingSink& sink) { return !sink.rows.empty(); };
        walk32BitView_ = true;

        Run(group.check);

        ASSERT_EQ(sink_.rows.size(), group.group == kGroupHelpFiles ? 2u : 1u);
        EXPECT_EQ(sink_.rows[0].keyName.find(L"Wow6432Node"), std::wstring::npos);
        if (group.group == kGroupHelpFiles) {
            // A stop ends the key in hand only: each later key still has its first value
            // examined, and the counter is written.
            EXPECT_NE(sink_.rows[1].keyName.find(L"Wow6432Node"), std::wstring::npos);
            EXPECT_EQ(sink_.counts[group.group], 2);
        } else {
            EXPECT_TRUE(sink_.countWrites.empty());
        }
    }
}

TEST_F(RegistryViewsTest, A32BitApprovalIsJudgedByThe32BitClassAlone) {
    const std::wstring approved =
        L"SOFTWARE\\Wow6432Node\\" + kCurrentVersion + L"\\Shell Extensions\\Approved";
    const std::wstring onlyNative = L"{00000001-0000-0000-0000-000000000000}";
    const std::wstring both = L"{00000002-0000-0000-0000-000000000000}";
    SetText(HKEY_LOCAL_MACHINE, approved, onlyNative, L"");
    SetText(HKEY_LOCAL_MACHINE, approved, both, L"");
    // The 64-bit classes are not what the 32-bit Explorer loads.
    SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + onlyNative + L"\\InprocServer32", L"", Gone(L"a.dll"));
    SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + both + L"\\InprocServer32", L"", Gone(L"b.dll"));
    SetText(HKEY_CLASSES_ROOT, L"Wow6432Node\\CLSID\\" + both + L"\\InprocServer32", L"",
            MakeFile(L"b32.dll"));
    walk32BitView_ = true;

    Run(ScanShellExtensions);

    EXPECT_TRUE(sink_.rows.empty());
    EXPECT_EQ(sink_.counts[kGroupShellExtensions], 0);
}

// Windows 7 and later share App Paths between the views, and the 32-bit path may lead to the
// 64-bit key itself (Wine makes it a registry link): its entries are walked once.
TEST_F(RegistryViewsTest, A32BitPathThatLeadsToTheOwnKeyIsNotWalkedAgain) {
    const ErrorRow own = PutStale(kGroupAppPaths, false, L"f64");
    Registry native(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(native.OpenKeyReadOnly(L"\\SOFTWARE\\" + kCurrentVersion + L"\\App Paths"));
    const std::wstring target = native.OpenKeyObjectName();
    ASSERT_FALSE(target.empty());
    Registry parent(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(parent.OpenKey(L"\\SOFTWARE\\Wow6432Node\\" + kCurrentVersion, true));
    UniqueHKey link;
    if (RegCreateKeyExW(parent.CurrentKey(), L"App Paths", 0, nullptr,
                        REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, link.Put(),
                        nullptr) != ERROR_SUCCESS) {
        GTEST_SKIP() << "this registry makes no links";
    }
    const LSTATUS linked = RegSetValueExW(link.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                                          reinterpret_cast<const BYTE*>(target.data()),
                                          static_cast<DWORD>(target.size() * sizeof(wchar_t)));
    // The link goes again before the sandbox is emptied, which would follow it.
    const auto unlink = [&] {
        using NtDeleteKey = LONG(WINAPI*)(HANDLE);
        const auto remove = reinterpret_cast<NtDeleteKey>(
            GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey"));
        if (remove != nullptr) {
            remove(link.Get());
        }
    };
    if (linked != ERROR_SUCCESS ||
        !Registry(HKEY_LOCAL_MACHINE)
             .KeyExists(L"\\SOFTWARE\\Wow6432Node\\" + kCurrentVersion + L"\\App Paths\\f64")) {
        unlink();
        GTEST_SKIP() << "this registry makes no links";
    }
    walk32BitView_ = true;

    Run(ScanAppPaths);
    unlink();

    EXPECT_EQ(sink_.rows, (std::vector<ErrorRow>{own}));
    EXPECT_EQ(sink_.counts[kGroupAppPaths], 1);
}

TEST_F(RegistryViewsTest, TheFontsKeyIsOneForBothViews) {
    // Windows keeps one fonts key for 32-bit and 64-bit programs: a "Wow6432Node" copy is not
    // where fonts are installed, and is never walked.
    SetText(HKEY_LOCAL_MACHINE,
            L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
            L"Gone (TrueType)", Gone(L"gone.ttf"));
    walk32BitView_ = true;

    Run(ScanFonts);

    EXPECT_TRUE(sink_.rows.empty());
    EXPECT_EQ(sink_.counts[kGroupFonts], 0);
}

TEST_F(RegistryViewsTest, A32BitProgramsSystemFolderIsTheWow64One) {
    // A 32-bit registration that names the system folder means SysWOW64, where a 32-bit
    // program finds its files: a file found only there is not gone.
    const std::wstring wow64Folder = temp_ / L"SysWOW64\\";
    ASSERT_TRUE(CreateDirectoryW(wow64Folder.c_str(), nullptr));
    test::WriteFileBytes(wow64Folder + L"only32.dll", "MZ");
    places_.x86Twins = {{SystemFolder(), wow64Folder}};
    const std::wstring key =
        L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\only32.exe";
    SetText(HKEY_LOCAL_MACHINE, key, L"", SystemFolder() + L"only32.dll");
    walk32BitView_ = true;

    Run(ScanAppPaths);

    EXPECT_TRUE(sink_.rows.empty());
    EXPECT_EQ(sink_.counts[kGroupAppPaths], 0);
}

}  // namespace
}  // namespace kestrova
