// "kestrova-cli ie", run as the child process it is. A child sees the real registry of the test
// prefix, not a sandbox: these tests point the current user's shell folders at folders of
// their own, register add-ons under class identifiers no one else uses, and put everything
// back when they end, under the real-registry lock.
#include <windows.h>
#include <objbase.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ie_test_support.h"
#include "platform/key_path.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/xml_document.h"
#include "repair_test_support.h"
#include "support/child_process.h"
#include "support/cli_child.h"
#include "support/json_value.h"
#include "support/real_registry_lock.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::ChildResult;
using test::GetValue;
using test::JsonValue;
using test::kAutoCompleteKey;
using test::KeyPresent;
using test::kShellFoldersKey;
using test::kStatsKey;
using test::kToolbarUserKey;
using test::kTypedUrlsKey;
using test::MakeTree;
using test::ParseJson;
using test::PutKey;
using test::PutValue;
using test::RawOf;
using test::Text;
using test::Utf16Bytes;

std::wstring NewClsid() {
    GUID guid;
    if (FAILED(CoCreateGuid(&guid))) {
        throw std::runtime_error("no GUID");
    }
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

bool Contains(const std::string& text, const std::wstring& part) {
    return text.find(ToUtf8(part)) != std::string::npos;
}

// A value of the real registry, put back as it was (or removed) at the end.
class RealValueGuard {
public:
    RealValueGuard(HKEY root, std::wstring key, std::wstring name)
        : root_(root),
          key_(std::move(key)),
          name_(std::move(name)),
          old_(GetValue(root_, key_, name_)) {}
    ~RealValueGuard() {
        if (old_) {
            PutValue(root_, key_, name_, *old_);
        } else {
            Registry registry(root_);
            if (registry.OpenKey(key_, false)) {
                registry.DeleteValue(name_);
            }
        }
    }
    RealValueGuard(const RealValueGuard&) = delete;
    RealValueGuard& operator=(const RealValueGuard&) = delete;

private:
    HKEY root_;
    std::wstring key_;
    std::wstring name_;
    std::optional<RawValue> old_;
};

// Keys of the real registry that a test made, deleted at the end.
class RealKeysGuard {
public:
    void Add(HKEY root, const std::wstring& path) { keys_.push_back({root, path}); }
    ~RealKeysGuard() {
        for (const auto& [root, path] : keys_) {
            Registry(root).DeleteKey(path);
        }
    }

private:
    std::vector<std::pair<HKEY, std::wstring>> keys_;
};

class CliIeTest : public ::testing::Test {
protected:
    static ChildResult Cli(const std::wstring& arguments) { return test::RunCli(arguments); }
    // The temp folder as the data folder.
    std::wstring InFolder() const { return test::DataFolderOption(temp_.Path()); }

    test::TempFolder temp_;
};

TEST_F(CliIeTest, BadArgumentsExitWithTwoTheUsageAndNoFile) {
    const std::vector<std::wstring> cases = {
        L"ie",
        L"ie traces frobnicate",
        L"ie traces scan extra",
        L"ie traces scan --actions 7",
        L"ie traces scan --actions 1,,x",
        L"ie traces scan --actions",
        L"ie traces scan --actions 1 --actions 2",
        L"ie traces clean --json",
        L"ie addons list --kinds toolbars,bogus",
        L"ie addons list --actions 1",
        L"ie addons delete" + InFolder(),
        L"ie addons delete NoSuchAddon" + InFolder(),
        L"ie addons delete X --data-folder \"\"",
    };
    for (const std::wstring& arguments : cases) {
        const ChildResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2u) << ToUtf8(arguments) << ": " << result.err;
        EXPECT_TRUE(Contains(result.err, L"usage:")) << ToUtf8(arguments);
        EXPECT_TRUE(result.out.empty()) << ToUtf8(arguments) << ": " << result.out;
    }
    EXPECT_FALSE(test::FileExists(temp_ / L"Backup.xml"));
}

class CliIeTracesTest : public CliIeTest {
protected:
    CliIeTracesTest()
        : cacheGuard_(HKEY_CURRENT_USER, kShellFoldersKey, L"Cache"),
          cookiesGuard_(HKEY_CURRENT_USER, kShellFoldersKey, L"Cookies"),
          favoritesGuard_(HKEY_CURRENT_USER, kShellFoldersKey, L"Favorites"),
          historyGuard_(HKEY_CURRENT_USER, kShellFoldersKey, L"History"),
          tmp_(L"TMP", temp_ / L"tmp"),
          temp2_(L"TEMP", temp_ / L"tmp") {
        for (const wchar_t* name : {L"Cache", L"Cookies", L"Favorites", L"History"}) {
            const std::wstring folder = temp_ / (std::wstring(name) + L"\\");
            PutValue(HKEY_CURRENT_USER, kShellFoldersKey, name,
                     Text(folder.substr(0, folder.size() - 1)));
        }
        MakeTree(temp_ / L"Cache\\", {L"page.htm", L"sub\\pic.gif", L"desktop.ini"});
        MakeTree(temp_ / L"Cookies\\", {L"me@site.txt", L"index.dat"});
        MakeTree(temp_ / L"Favorites\\", {L"Site.url", L"Links\\Other.url"});
        MakeTree(temp_ / L"History\\", {L"History.IE5\\index.dat", L"History.IE5\\x.dat"});
        MakeTree(temp_ / L"tmp\\", {L"setup.tmp", L"keep\\inner.tmp"});
    }

    // The found files as "section|file name|full path" texts, in the order printed.
    static std::vector<std::string> JsonFiles(const JsonValue& report) {
        std::vector<std::string> files;
        for (const JsonValue& file : report["files"].Array()) {
            files.push_back(file["section"].String() + "|" + file["fileName"].String() + "|" +
                            file["fullPath"].String());
        }
        std::sort(files.begin(), files.end());
        return files;
    }
    std::string Row(const wchar_t* section, const wchar_t* name, const std::wstring& folder) {
        return ToUtf8(section) + "|" + ToUtf8(name) + "|" + ToUtf8(temp_ / folder);
    }

    test::RealRegistryLock lock_;
    RealValueGuard cacheGuard_;
    RealValueGuard cookiesGuard_;
    RealValueGuard favoritesGuard_;
    RealValueGuard historyGuard_;
    test::ScopedEnvironment tmp_;
    test::ScopedEnvironment temp2_;
};

TEST_F(CliIeTracesTest, ScanListsTheFilesOfTheMarkedActions) {
    const ChildResult scan = Cli(L"ie traces scan --json");
    ASSERT_EQ(scan.exitCode, 0u) << scan.err;
    const JsonValue report = ParseJson(scan.out);
    EXPECT_EQ(JsonFiles(report), (std::vector<std::string>{
                                     Row(L"Cache files", L"page.htm", L"Cache\\"),
                                     Row(L"Cache files", L"pic.gif", L"Cache\\sub\\"),
                                     Row(L"History files", L"index.dat", L"History\\History.IE5\\"),
                                     Row(L"Temporary files", L"setup.tmp", L"tmp\\"),
                                 }));
    EXPECT_TRUE(report["skipped"].Array().empty());

    const ChildResult text = Cli(L"ie traces scan --actions 3,5");
    ASSERT_EQ(text.exitCode, 0u) << text.err;
    EXPECT_EQ(text.out.substr(0, text.out.find('\n')), "Section\tFile Name\tFull Path");
    EXPECT_TRUE(Contains(text.out, L"Cookie files\tme@site.txt\t" + temp_ / L"Cookies\\"))
        << text.out;
    EXPECT_TRUE(Contains(text.out, L"Favorite files\tOther.url\t" + temp_ / L"Favorites\\Links\\"))
        << text.out;
    EXPECT_FALSE(Contains(text.out, L"Cache files"));

    const ChildResult none = Cli(L"ie traces scan --actions 0,1 --json");
    ASSERT_EQ(none.exitCode, 0u);
    EXPECT_TRUE(ParseJson(none.out)["files"].Array().empty());
}

TEST_F(CliIeTracesTest, CleanDeletesTheFoundFilesAndFailsNamingThoseThatStay) {
    const ChildResult clean = Cli(L"ie traces clean --actions 2,4");
    EXPECT_EQ(clean.exitCode, 0u) << clean.err;
    EXPECT_TRUE(Contains(clean.out, L"Deleted 3 of 3 files")) << clean.out;
    for (const wchar_t* gone : {L"Cache\\page.htm", L"Cache\\sub\\pic.gif", L"tmp\\setup.tmp"}) {
        EXPECT_FALSE(test::FileExists(temp_ / gone)) << ToUtf8(gone);
    }
    for (const wchar_t* kept : {L"Cache\\desktop.ini", L"tmp\\keep\\inner.tmp",
                                L"History\\History.IE5\\index.dat", L"Cookies\\me@site.txt"}) {
        EXPECT_TRUE(test::FileExists(temp_ / kept)) << ToUtf8(kept);
    }

    // A read-only file stays, and the command says so and fails.
    const std::wstring locked = temp_ / L"History\\History.IE5\\index.dat";
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    MakeTree(temp_ / L"History\\", {L"Day1\\index.dat"});
    const ChildResult failed = Cli(L"ie traces clean --actions 6");
    EXPECT_EQ(failed.exitCode, 1u);
    EXPECT_TRUE(Contains(failed.err, L"not deleted: " + locked)) << failed.err;
    EXPECT_TRUE(Contains(failed.out, L"Deleted 1 of 2 files")) << failed.out;
    EXPECT_TRUE(test::FileExists(locked));
    EXPECT_FALSE(test::FileExists(temp_ / L"History\\Day1\\index.dat"));
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CliIeTracesTest, AShellFolderThatIsNotSetIsToldNeverSearchedFromTheRoot) {
    PutValue(HKEY_CURRENT_USER, kShellFoldersKey, L"Cookies", Text(L""));
    PutValue(HKEY_CURRENT_USER, kShellFoldersKey, L"Favorites", Text(L"C:\\"));
    const ChildResult scan = Cli(L"ie traces scan --actions 3,5 --json");
    ASSERT_EQ(scan.exitCode, 0u) << scan.err;
    const JsonValue report = ParseJson(scan.out);
    EXPECT_TRUE(report["files"].Array().empty());
    ASSERT_EQ(report["skipped"].Array().size(), 2u);
    EXPECT_EQ(report["skipped"].Array()[0]["section"].String(), "Cookie files");
    EXPECT_EQ(report["skipped"].Array()[1]["section"].String(), "Favorite files");

    const ChildResult clean = Cli(L"ie traces clean --actions 3");
    EXPECT_EQ(clean.exitCode, 1u);
    EXPECT_TRUE(Contains(clean.err, L"Cookie files")) << clean.err;
    EXPECT_TRUE(test::FileExists(temp_ / L"Cookies\\me@site.txt"));
}

TEST_F(CliIeTracesTest, TheRegistryActionsClearTypedAddressesAndSetAppendCompletion) {
    const std::wstring url = L"url" + std::to_wstring(GetCurrentProcessId());
    const RealValueGuard urlGuard(HKEY_CURRENT_USER, kTypedUrlsKey, url);
    const RealValueGuard appendGuard(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion");
    PutValue(HKEY_CURRENT_USER, kTypedUrlsKey, url, Text(L"http://kestrova.example/"));
    PutValue(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion", Text(L"No"));

    const ChildResult clean = Cli(L"ie traces clean --actions 0,1");
    EXPECT_EQ(clean.exitCode, 0u) << clean.err;
    EXPECT_TRUE(Contains(clean.out, L"Done: Clear the Internet Explorer Typed Address History"));
    EXPECT_TRUE(Contains(clean.out, L"Done: Reverse Auto Complete Mode"));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kTypedUrlsKey, url).has_value());
    EXPECT_TRUE(KeyPresent(HKEY_CURRENT_USER, kTypedUrlsKey));
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kAutoCompleteKey, L"Append Completion")->data,
              Utf16Bytes(L"Yes"));
}

class CliIeAddonsTest : public CliIeTest {
protected:
    CliIeAddonsTest() : helper_(NewClsid()), links_(NewClsid()) {
        keys_.Add(HKEY_CLASSES_ROOT, L"\\CLSID\\" + helper_);
        keys_.Add(HKEY_CLASSES_ROOT, L"\\CLSID\\" + links_);
        keys_.Add(HKEY_CURRENT_USER, kStatsKey + L"\\" + helper_);
        const std::wstring helperClass = L"\\CLSID\\" + helper_;
        PutValue(HKEY_CLASSES_ROOT, helperClass, L"", Text(HelperName()));
        PutValue(HKEY_CLASSES_ROOT, helperClass + L"\\InprocServer32", L"",
                 Text(L"C:\\kestrova-test\\helper.dll"));
        PutValue(HKEY_CLASSES_ROOT, helperClass + L"\\InprocServer32", L"ThreadingModel",
                 Text(L"Both"));
        PutValue(HKEY_CURRENT_USER, kStatsKey + L"\\" + helper_ + L"\\iexplore", L"Count",
                 RawOf(REG_DWORD, {5, 0, 0, 0}));
        PutValue(HKEY_CLASSES_ROOT, L"\\CLSID\\" + links_, L"", Text(L"&Links"));
        PutValue(HKEY_CURRENT_USER, kToolbarUserKey, links_, RawOf(REG_BINARY, {}));
    }
    ~CliIeAddonsTest() override {
        Registry registry(HKEY_CURRENT_USER);
        if (registry.OpenKey(kToolbarUserKey, false)) {
            registry.DeleteValue(links_);
        }
    }

    std::wstring HelperName() const { return L"Kestrova Test Helper " + helper_; }
    std::wstring HelperId() const { return L"HKEY_CURRENT_USER" + kStatsKey + L"\\" + helper_; }
    // An ID as one argument of a command line.
    static std::wstring Quoted(const std::wstring& id) { return L"\"" + id + L"\""; }

    // Every key and value below the add-ons' keys.
    test::RegistryDump Snapshot() const {
        test::RegistryDump dump;
        for (const auto& [root, path] :
             {std::pair{HKEY_CLASSES_ROOT, L"\\CLSID\\" + helper_},
              std::pair{HKEY_CLASSES_ROOT, L"\\CLSID\\" + links_},
              std::pair{HKEY_CURRENT_USER, kStatsKey + L"\\" + helper_}}) {
            Snap(root, path, dump);
        }
        return dump;
    }

    test::RealRegistryLock lock_;
    std::wstring helper_;
    std::wstring links_;
    RealKeysGuard keys_;

private:
    static void Snap(HKEY root, const std::wstring& path, test::RegistryDump& dump) {
        Registry registry(root);
        if (!registry.OpenKeyReadOnly(path)) {
            return;
        }
        auto& values = dump[RootKeyName(root) + path];
        std::vector<std::wstring> names;
        registry.GetValueNames(names);
        for (const std::wstring& name : names) {
            RawValue raw;
            registry.ReadRaw(name, raw);
            values[name] = test::DumpedValue{raw.type, raw.data};
        }
        registry.GetKeyNames(names);
        for (const std::wstring& name : names) {
            Snap(root, path + L"\\" + name, dump);
        }
    }
};

TEST_F(CliIeAddonsTest, ListShowsEachAddOnWithItsIdAndKind) {
    const ChildResult list = Cli(L"ie addons list --json --kinds browser-extensions");
    ASSERT_EQ(list.exitCode, 0u) << list.err;
    const JsonValue report = ParseJson(list.out);
    const JsonValue* helper = nullptr;
    for (const JsonValue& addon : report["addons"].Array()) {
        EXPECT_EQ(addon["type"].String(), "Browser Extensions");
        if (addon["id"].String() == ToUtf8(HelperId())) {
            helper = &addon;
        }
    }
    ASSERT_NE(helper, nullptr) << list.out;
    EXPECT_EQ((*helper)["name"].String(), ToUtf8(HelperName()));
    EXPECT_EQ((*helper)["entry"].String(), ToUtf8(helper_));
    EXPECT_EQ((*helper)["path"].String(), "C:\\kestrova-test\\helper.dll");
    EXPECT_FALSE((*helper)["protected"].Bool());

    const ChildResult toolbars = Cli(L"ie addons list --kinds toolbars");
    ASSERT_EQ(toolbars.exitCode, 0u) << toolbars.err;
    EXPECT_EQ(toolbars.out.substr(0, toolbars.out.find('\n')),
              "Name\tType\tRegistry Entries\tPath\tID");
    EXPECT_FALSE(Contains(toolbars.out, helper_));
    EXPECT_TRUE(Contains(toolbars.out, L"Links Toolbar\tToolbar CURRENT USER\t" + links_))
        << toolbars.out;
}

TEST_F(CliIeAddonsTest, DeleteIsRecordedInTheHistoryAndRestoreBringsItBack) {
    const test::RegistryDump before = Snapshot();
    const ChildResult removed = Cli(L"ie addons delete " + Quoted(HelperId()) + InFolder());
    ASSERT_EQ(removed.exitCode, 0u) << removed.err;
    EXPECT_TRUE(Contains(removed.out, L"Deleted: " + HelperName())) << removed.out;
    EXPECT_FALSE(KeyPresent(HKEY_CLASSES_ROOT, L"\\CLSID\\" + helper_));
    EXPECT_FALSE(KeyPresent(HKEY_CURRENT_USER, kStatsKey + L"\\" + helper_));

    const ChildResult history = Cli(L"history --json" + InFolder());
    ASSERT_EQ(history.exitCode, 0u) << history.err;
    const JsonValue entries = ParseJson(history.out)["entries"];
    ASSERT_EQ(entries.Array().size(), 1u);
    EXPECT_EQ(entries.Array()[0]["name"].String(), ToUtf8(HelperName()));
    EXPECT_EQ(entries.Array()[0]["type"].String(), "Browser Extensions");
    EXPECT_EQ(entries.Array()[0]["path"].String(), "C:\\kestrova-test\\helper.dll");

    const ChildResult restore = Cli(L"restore 0" + InFolder());
    ASSERT_EQ(restore.exitCode, 0u) << restore.err;
    EXPECT_EQ(test::DescribeDifferences(before, Snapshot()), "");

    // An ID that is gone from the list is refused before anything changes; a missing data
    // folder stops the command before it deletes.
    Registry(HKEY_CURRENT_USER).DeleteKey(kStatsKey + L"\\" + helper_);
    const std::string backup = test::ReadFileBytes(temp_ / L"Backup.xml");
    const ChildResult unknown = Cli(L"ie addons delete " + Quoted(HelperId()) + InFolder());
    EXPECT_EQ(unknown.exitCode, 2u);
    EXPECT_EQ(test::ReadFileBytes(temp_ / L"Backup.xml"), backup);
    const std::wstring toolbarId = L"HKEY_CURRENT_USER" + kToolbarUserKey + L"\\" + links_;
    const ChildResult noFolder =
        Cli(L"ie addons delete " + Quoted(toolbarId) + L" --data-folder " + temp_ / L"none");
    EXPECT_EQ(noFolder.exitCode, 1u);
    EXPECT_TRUE(Contains(noFolder.err, temp_ / L"none")) << noFolder.err;
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, kToolbarUserKey, links_).has_value());
}

TEST_F(CliIeAddonsTest, AProtectedAddOnStaysAndTheCommandFails) {
    const std::wstring id = L"HKEY_CURRENT_USER" + kToolbarUserKey + L"\\" + links_;
    const ChildResult removed =
        Cli(L"ie addons delete " + Quoted(id) + L" " + Quoted(HelperId()) + InFolder());
    EXPECT_EQ(removed.exitCode, 1u);
    EXPECT_TRUE(Contains(removed.err, L"Links and Address bar cannot be delete. Sorry"))
        << removed.err;
    EXPECT_TRUE(Contains(removed.out, L"Deleted: " + HelperName())) << removed.out;
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, kToolbarUserKey, links_).has_value());
    EXPECT_TRUE(KeyPresent(HKEY_CLASSES_ROOT, L"\\CLSID\\" + links_));
    XmlDocument history;
    history.Load(temp_ / L"Backup.xml");
    ASSERT_EQ(history.Root().ChildCount(), 2u);
}

}  // namespace
}  // namespace kestrova
