// The uninstall registrations in the sandboxed registry: which are listed, in which order,
// deleting them, and starting their uninstallers through a stand-in launcher.
#include "managers/uninstall_entries.h"

#include <ostream>

#include <gtest/gtest.h>

#include "platform/list_model.h"
#include "platform/text.h"
#include "registry_fixture.h"
#include "scan/registry_views.h"
#include "support/sandbox_test.h"

namespace kestrova {

void PrintTo(const UninstallEntry& entry, std::ostream* out) {
    *out << "{'" << ToUtf8(entry.displayName) << "', '" << ToUtf8(entry.uninstallString) << "', '"
         << ToUtf8(entry.keyPath) << "'}";
}

namespace {

using test::KeyPresent;
using test::PutData;
using test::PutText;
using test::SubKeysOf;

const std::wstring kUninstall = kUninstallKey;

std::wstring Registration(const std::wstring& name) {
    return kUninstall + L"\\" + name;
}

class UninstallEntriesTest : public test::SandboxTest {
protected:
    static void Put(const std::wstring& name, const std::wstring& displayName,
                    const std::wstring& uninstallString) {
        PutText(HKEY_LOCAL_MACHINE, Registration(name), L"DisplayName", displayName);
        PutText(HKEY_LOCAL_MACHINE, Registration(name), L"UninstallString", uninstallString);
    }
};

TEST_F(UninstallEntriesTest, ListsNamedRegistrationsSortedAsTheUserReadsThem) {
    Put(L"k1", L"beta", L"b.exe /u");
    Put(L"k2", L"Alpha", L"a.exe");
    Put(L"k3", L"Same", L"s1.exe");
    Put(L"k4", L"Same", L"s2.exe");
    Put(L"k5", L"\u00c9clair", L"e.exe");  // after "Alpha", before "beta" in the user's locale
    PutText(HKEY_LOCAL_MACHINE, Registration(L"k6"), L"DisplayName", L"Zeta", REG_EXPAND_SZ);
    // Never listed: no display name, an empty one, one that is not text.
    PutText(HKEY_LOCAL_MACHINE, Registration(L"n1"), L"UninstallString", L"n1.exe");
    Put(L"n2", L"", L"n2.exe");
    PutData(HKEY_LOCAL_MACHINE, Registration(L"n3"), L"DisplayName", REG_BINARY, {'A', 0});
    PutText(HKEY_LOCAL_MACHINE, Registration(L"n4\\Sub"), L"DisplayName", L"Nested");

    const std::optional<std::vector<UninstallEntry>> entries = ListUninstallEntries();
    ASSERT_TRUE(entries.has_value());
    EXPECT_EQ(*entries, (std::vector<UninstallEntry>{
                            {L"Alpha", L"a.exe", Registration(L"k2")},
                            {L"beta", L"b.exe /u", Registration(L"k1")},
                            {L"\u00c9clair", L"e.exe", Registration(L"k5")},
                            {L"Same", L"s1.exe", Registration(L"k3")},
                            {L"Same", L"s2.exe", Registration(L"k4")},
                            {L"Zeta", L"", Registration(L"k6")},
                        }));
    // The order is the one the list window keeps its rows in.
    for (size_t i = 1; i < entries->size(); ++i) {
        EXPECT_FALSE(LocaleLess((*entries)[i].displayName, (*entries)[i - 1].displayName));
    }
}

TEST_F(UninstallEntriesTest, NoUninstallKeyGivesNoListAndAnEmptyKeyAnEmptyOne) {
    EXPECT_FALSE(ListUninstallEntries().has_value());
    PutText(HKEY_LOCAL_MACHINE, kUninstall, L"", L"");
    const auto entries = ListUninstallEntries();
    ASSERT_TRUE(entries.has_value());
    EXPECT_TRUE(entries->empty());
}

TEST_F(UninstallEntriesTest, DeleteTakesTheRegistrationWithItsSubkeys) {
    Put(L"Gone", L"Gone", L"g.exe");
    PutText(HKEY_LOCAL_MACHINE, Registration(L"Gone\\Sub\\Deeper"), L"v", L"x");
    Put(L"Stays", L"Stays", L"s.exe");
    PutText(HKEY_LOCAL_MACHINE, Registration(L"Stays\\Sub"), L"v", L"x");

    const ChangeResult result = DeleteUninstallEntry(Registration(L"Gone"));
    EXPECT_TRUE(result.done) << ToUtf8(result.reason);
    EXPECT_EQ(SubKeysOf(HKEY_LOCAL_MACHINE, kUninstall), (std::vector<std::wstring>{L"Stays"}));
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, Registration(L"Stays\\Sub")));

    const ChangeResult again = DeleteUninstallEntry(Registration(L"Gone"));
    EXPECT_FALSE(again.done);
    EXPECT_NE(again.reason.find(L"no key"), std::wstring::npos) << ToUtf8(again.reason);
    // Any letter case names the same key.
    EXPECT_TRUE(
        DeleteUninstallEntry(L"SOFTWARE\\microsoft\\windows\\currentversion\\UNINSTALL\\stays")
            .done);
    EXPECT_TRUE(SubKeysOf(HKEY_LOCAL_MACHINE, kUninstall).empty());
}

TEST_F(UninstallEntriesTest, OnlyRegistrationKeysAreDeleted) {
    Put(L"App", L"App", L"a.exe");
    PutText(HKEY_LOCAL_MACHINE, Registration(L"App\\Sub"), L"v", L"x");
    PutText(HKEY_LOCAL_MACHINE, L"Software\\Other", L"v", L"x");
    for (const std::wstring& keyPath :
         {kUninstall, kUninstall + L"\\", Registration(L"App\\Sub"), Registration(L"App\\"),
          std::wstring(L"Software"), std::wstring(L"Software\\Other"), std::wstring(),
          std::wstring(L"\\") + Registration(L"App"),
          std::wstring(L"Software\\Microsoft\\Windows\\App")}) {
        EXPECT_FALSE(IsUninstallKeyPath(keyPath)) << ToUtf8(keyPath);
        const ChangeResult result = DeleteUninstallEntry(keyPath);
        EXPECT_FALSE(result.done) << ToUtf8(keyPath);
        EXPECT_FALSE(result.reason.empty());
    }
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, Registration(L"App\\Sub")));
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, L"Software\\Other"));
    EXPECT_TRUE(IsUninstallKeyPath(Registration(L"App")));
}

// Windows Vista and later: the machine's, the 32-bit view's and the user's registrations,
// each named with its root, without what Windows' own list leaves out.
class UninstallPlacesTest : public UninstallEntriesTest {
protected:
    // The three Uninstall keys.
    static std::vector<std::pair<HKEY, std::wstring>> Places() {
        return {{HKEY_LOCAL_MACHINE, kUninstall},
                {HKEY_LOCAL_MACHINE, kUninstall32Key},
                {HKEY_CURRENT_USER, kUninstall}};
    }
    static void PutIn(HKEY root, const std::wstring& key, const std::wstring& name,
                      const std::wstring& displayName) {
        PutText(root, key + L"\\" + name, L"DisplayName", displayName);
        PutText(root, key + L"\\" + name, L"UninstallString", name + L".exe /u");
    }
    static std::wstring Machine(const std::wstring& name) {
        return L"HKEY_LOCAL_MACHINE\\" + Registration(name);
    }
    static std::wstring Machine32(const std::wstring& name) {
        return L"HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstall32Key) + L"\\" + name;
    }
    static std::wstring User(const std::wstring& name) {
        return L"HKEY_CURRENT_USER\\" + Registration(name);
    }
    static UninstallEntry Listed(const std::wstring& name, const std::wstring& displayName,
                                 const std::wstring& keyPath) {
        return {displayName, name + L".exe /u", keyPath};
    }

    // Two of each place, a system component and an update in each, and one shown although it
    // says it is no system component.
    static void PutEveryPlace() {
        PutIn(HKEY_LOCAL_MACHINE, kUninstall, L"m1", L"Same");
        PutIn(HKEY_LOCAL_MACHINE, kUninstall, L"m2", L"Delta");
        PutIn(HKEY_LOCAL_MACHINE, kUninstall32Key, L"w1", L"Same");
        PutIn(HKEY_LOCAL_MACHINE, kUninstall32Key, L"w2", L"Beta");
        PutIn(HKEY_CURRENT_USER, kUninstall, L"u1", L"Alpha");
        PutIn(HKEY_CURRENT_USER, kUninstall, L"u2", L"Same");
        const DWORD one = 1;
        const DWORD zero = 0;
        const auto* oneBytes = reinterpret_cast<const BYTE*>(&one);
        const auto* zeroBytes = reinterpret_cast<const BYTE*>(&zero);
        for (const auto& [root, key] : Places()) {
            PutIn(root, key, L"component", L"Component");
            PutData(root, key + L"\\component", L"SystemComponent", REG_DWORD,
                    {oneBytes, oneBytes + 4});
            PutIn(root, key, L"update", L"Update for Same");
            PutText(root, key + L"\\update", L"ParentKeyName", L"m1");
        }
        PutIn(HKEY_LOCAL_MACHINE, kUninstall, L"shown", L"Shown");
        PutData(HKEY_LOCAL_MACHINE, Registration(L"shown"), L"SystemComponent", REG_DWORD,
                {zeroBytes, zeroBytes + 4});
        PutText(HKEY_LOCAL_MACHINE, Registration(L"shown"), L"ParentKeyName", L"");
    }
};

TEST_F(UninstallPlacesTest, AllPlacesAreListedWithTheirRootsAndWindowsFilters) {
    PutEveryPlace();
    EXPECT_EQ(ListUninstallEntries(UninstallScope::AllPlaces),
              (std::vector<UninstallEntry>{
                  Listed(L"u1", L"Alpha", User(L"u1")),
                  Listed(L"w2", L"Beta", Machine32(L"w2")),
                  Listed(L"m2", L"Delta", Machine(L"m2")),
                  // Equal names: the machine's, the 32-bit view's, the user's.
                  Listed(L"m1", L"Same", Machine(L"m1")),
                  Listed(L"w1", L"Same", Machine32(L"w1")),
                  Listed(L"u2", L"Same", User(L"u2")),
                  Listed(L"shown", L"Shown", Machine(L"shown")),
              }));

    // Up to Windows Server 2003: the machine's key alone, every named registration.
    EXPECT_EQ(ListUninstallEntries(),
              (std::vector<UninstallEntry>{
                  Listed(L"component", L"Component", Registration(L"component")),
                  Listed(L"m2", L"Delta", Registration(L"m2")),
                  Listed(L"m1", L"Same", Registration(L"m1")),
                  Listed(L"shown", L"Shown", Registration(L"shown")),
                  Listed(L"update", L"Update for Same", Registration(L"update")),
              }));
}

TEST_F(UninstallPlacesTest, AnyOneKeyMakesAListAndNoneNoList) {
    EXPECT_FALSE(ListUninstallEntries(UninstallScope::AllPlaces).has_value());
    PutIn(HKEY_CURRENT_USER, kUninstall, L"u1", L"Alpha");
    EXPECT_EQ(ListUninstallEntries(UninstallScope::AllPlaces),
              (std::vector<UninstallEntry>{Listed(L"u1", L"Alpha", User(L"u1"))}));
    EXPECT_FALSE(ListUninstallEntries(UninstallScope::Machine).has_value());
}

TEST_F(UninstallPlacesTest, DeleteHitsExactlyTheListedKey) {
    // The same subkey name in every place.
    for (const auto& [root, key] : Places()) {
        PutIn(root, key, L"App", L"App");
        PutText(root, key + L"\\App\\Sub", L"v", L"x");
    }
    const auto present = [] {
        return std::vector<bool>{
            KeyPresent(HKEY_LOCAL_MACHINE, Registration(L"App")),
            KeyPresent(HKEY_LOCAL_MACHINE, std::wstring(kUninstall32Key) + L"\\App"),
            KeyPresent(HKEY_CURRENT_USER, Registration(L"App"))};
    };
    for (const std::wstring& keyPath : {
             std::wstring(L"HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\"
                          L"CurrentVersion\\Uninstall\\App"),
             std::wstring(L"hkey_current_user\\") + Registration(L"App"),
             std::wstring(L"HKEY_USERS\\") + Registration(L"App"),
             std::wstring(L"HKEY_CLASSES_ROOT\\") + Registration(L"App"),
             L"HKEY_LOCAL_MACHINE\\" + kUninstall,
             Machine(L"App\\Sub"),
             Machine32(L"App\\Sub"),
             User(L""),
             L"HKEY_LOCAL_MACHINE" + Registration(L"App"),
         }) {
        EXPECT_FALSE(IsUninstallKeyPath(keyPath)) << ToUtf8(keyPath);
        EXPECT_FALSE(DeleteUninstallEntry(keyPath).done) << ToUtf8(keyPath);
    }
    EXPECT_EQ(present(), (std::vector<bool>{true, true, true}));

    EXPECT_TRUE(DeleteUninstallEntry(User(L"app")).done);
    EXPECT_EQ(present(), (std::vector<bool>{true, true, false}));
    EXPECT_TRUE(DeleteUninstallEntry(Machine32(L"App")).done);
    EXPECT_EQ(present(), (std::vector<bool>{true, false, false}));
    // Gone already; its path without the root names the same key.
    EXPECT_TRUE(IsUninstallKeyPath(std::wstring(kUninstall32Key) + L"\\App"));
    EXPECT_FALSE(DeleteUninstallEntry(std::wstring(kUninstall32Key) + L"\\App").done);
    EXPECT_TRUE(DeleteUninstallEntry(Machine(L"App")).done);
    EXPECT_EQ(present(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(KeyPresent(HKEY_CURRENT_USER, kUninstall));
    EXPECT_TRUE(KeyPresent(HKEY_LOCAL_MACHINE, kUninstall32Key));
    EXPECT_EQ(std::wstring(kUninstall32Key), Wow64PathOf(HKEY_LOCAL_MACHINE, kUninstall));
}

TEST(StartUninstallersTest, StartsEachNonEmptyCommandInOrderWithoutLookingAtResults) {
    std::vector<std::wstring> launched;
    const auto launcher = [&launched](const std::wstring& commandLine) {
        launched.push_back(commandLine);
        return commandLine != L"missing.exe";
    };
    EXPECT_EQ(
        StartUninstallers({L"a.exe /u", L"", L"missing.exe", L"\"C:\\B\\b.exe\" /x"}, launcher),
        2u);
    EXPECT_EQ(launched,
              (std::vector<std::wstring>{L"a.exe /u", L"missing.exe", L"\"C:\\B\\b.exe\" /x"}));
    EXPECT_EQ(StartUninstallers({}, launcher), 0u);
}

TEST(StartUninstallersTest, TheSystemLauncherTellsWhatCouldNotStart) {
    EXPECT_FALSE(LaunchCommandLine(L""));
    EXPECT_FALSE(LaunchCommandLine(L"C:\\no-such-folder-kestrova\\uninstall.exe /x"));
}

}  // namespace
}  // namespace kestrova
