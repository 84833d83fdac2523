// The console front end's assoc command, run as the child process it is: it works on the real
// HKEY_CLASSES_ROOT of the test prefix. The test makes an extension and file types of names
// no one else uses, removes them even when it fails, and holds the real-registry lock while
// they exist, so no scan of another test sees them.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/text.h"
#include "support/cli_child.h"
#include "support/json_value.h"
#include "support/real_registry_lock.h"
#include "support/temp_folder.h"

namespace kestrova {
namespace {

using test::ChildResult;

std::wstring Tag() {
    return std::to_wstring(GetCurrentProcessId());
}

class CliAssocTest : public ::testing::Test {
protected:
    void TearDown() override {
        Registry registry(HKEY_CLASSES_ROOT);
        for (const std::wstring& key : {ext_, other_, type_}) {
            registry.DeleteKey(L"\\" + key);
        }
    }
    static ChildResult Cli(const std::wstring& arguments) { return test::RunCli(arguments); }
    static std::string Narrow(const std::wstring& text) { return ToUtf8(text); }

    const std::wstring ext_ = L".kestrova" + Tag();
    const std::wstring other_ = L".kestrovb" + Tag();
    const std::wstring type_ = L"KestrovaTest" + Tag() + L"File";
    // Taken by the tests that write: held until the keys are gone again.
    std::optional<test::RealRegistryLock> lock_;
    test::TempFolder temp_;
};

TEST_F(CliAssocTest, BadArgumentsExitWithTwoAndChangeNothing) {
    const std::wstring ext = ext_;
    for (const std::wstring& arguments :
         std::initializer_list<std::wstring>{L"assoc",
                                             L"assoc frobnicate",
                                             L"assoc list extra",
                                             L"assoc list --type t",
                                             L"assoc show",
                                             L"assoc show kestrova",
                                             L"assoc show .",
                                             L"assoc show .a\\b",
                                             L"assoc show " + ext + L" extra",
                                             L"assoc set " + ext,
                                             L"assoc set " + ext + L" --command",
                                             L"assoc set " + ext + L" --command \"\"",
                                             L"assoc set " + ext + L" --command c --command d",
                                             L"assoc set " + ext + L" --command c --bogus",
                                             L"assoc set " + ext + L" --json --command c",
                                             L"assoc delete " + ext + L" --json",
                                             L"assoc delete " + ext + L" --icon i",
                                             L"assoc backup " + ext,
                                             L"assoc backup " + ext + L" \"\"",
                                             L"assoc restore",
                                             L"assoc restore a b"}) {
        const ChildResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2u) << Narrow(arguments) << "\n" << result.err;
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << Narrow(arguments);
        EXPECT_TRUE(result.out.empty()) << Narrow(arguments);
    }
    EXPECT_FALSE(Registry(HKEY_CLASSES_ROOT).KeyExists(L"\\" + ext_));
}

TEST_F(CliAssocTest, AnAssociationIsSetShownListedBackedUpDeletedAndRestored) {
    lock_.emplace();
    const ChildResult set = Cli(L"assoc set " + ext_ + L" --type " + type_ +
                                L" --description \"Kestrova test\" --command \"\\\"C:\\Program "
                                L"Files\\k.exe\\\" \\\"%1\\\"\" --icon C:\\k.exe,1");
    ASSERT_EQ(set.exitCode, 0u) << set.err;
    EXPECT_EQ(set.out, "Set " + Narrow(ext_) + "\n");

    const std::string row =
        Narrow(ext_ + L"\t" + type_ +
               L"\tKestrova test\t\"C:\\Program Files\\k.exe\" \"%1\"\tC:\\k.exe,1\n");
    const ChildResult shown = Cli(L"assoc show " + ext_);
    EXPECT_EQ(shown.exitCode, 0u) << shown.err;
    EXPECT_EQ(shown.out, "Extension\tFile Type\tDescription\tCommand\tIcon\n" + row);
    const std::string json = "{\"extension\":\"" + Narrow(ext_) + "\",\"type\":\"" + Narrow(type_) +
                             "\",\"description\":\"Kestrova test\",\"command\":\"\\\"C:\\\\Program "
                             "Files\\\\k.exe\\\" \\\"%1\\\"\",\"icon\":\"C:\\\\k.exe,1\"}\n";
    EXPECT_EQ(Cli(L"assoc show --json " + ext_).out, json);

    // The list holds every extension in the registry's order, ours among them.
    std::vector<std::wstring> order;
    {
        Registry registry(HKEY_CLASSES_ROOT);
        ASSERT_TRUE(registry.OpenKeyReadOnly(L"\\"));
        registry.GetKeyNames(order);
        std::erase_if(order, [](const std::wstring& name) { return name[0] != L'.'; });
    }
    const ChildResult listed = Cli(L"assoc list --json");
    ASSERT_EQ(listed.exitCode, 0u) << listed.err;
    const test::JsonValue list = test::ParseJson(listed.out);
    std::vector<std::wstring> listedOrder;
    for (const test::JsonValue& item : list["associations"].Array()) {
        listedOrder.push_back(FromUtf8(item["extension"].String()));
        if (listedOrder.back() == ext_) {
            EXPECT_EQ(item["command"].String(), "\"C:\\Program Files\\k.exe\" \"%1\"");
        }
    }
    EXPECT_EQ(listedOrder, order);
    const ChildResult text = Cli(L"assoc list");
    EXPECT_EQ(text.out.rfind("Extension\tFile Type\tDescription\tCommand\tIcon\n", 0), 0u);
    EXPECT_NE(text.out.find("\n" + row), std::string::npos);

    // A second extension of the same file type keeps it when the first goes. Set without a
    // description and icon, it shows the file type's name and keeps the icon there is.
    ASSERT_EQ(Cli(L"assoc set " + other_ + L" --type " + type_ + L" --command other.exe").exitCode,
              0u);
    const std::wstring backup = temp_ / L"assoc backup.dat";
    const ChildResult saved = Cli(L"assoc backup " + other_ + L" \"" + backup + L"\"");
    EXPECT_EQ(saved.exitCode, 0u) << saved.err;
    EXPECT_EQ(saved.out, "Saved to: " + Narrow(backup) + "\n");
    const std::string bytes = test::ReadFileBytes(backup);
    ASSERT_GT(bytes.size(), 8u);
    int32_t sizes[2] = {};
    std::memcpy(sizes, bytes.data() + bytes.size() - 8, 8);
    EXPECT_GT(sizes[0], 0);
    EXPECT_GT(sizes[1], 0);
    EXPECT_EQ(static_cast<size_t>(sizes[0]) + sizes[1] + 8, bytes.size());

    const ChildResult first = Cli(L"assoc delete " + ext_);
    EXPECT_EQ(first.exitCode, 0u) << first.err;
    EXPECT_EQ(first.out, "Deleted " + Narrow(ext_) + "\nKept file type " + Narrow(type_) + ": " +
                             Narrow(other_) + " names it too\n");
    const ChildResult second = Cli(L"assoc delete " + other_);
    EXPECT_EQ(second.out,
              "Deleted " + Narrow(other_) + "\nDeleted file type " + Narrow(type_) + "\n");
    EXPECT_FALSE(Registry(HKEY_CLASSES_ROOT).KeyExists(L"\\" + type_));
    const ChildResult gone = Cli(L"assoc show " + other_);
    EXPECT_EQ(gone.exitCode, 1u);
    EXPECT_EQ(gone.err, "kestrova-cli assoc: there is no extension " + Narrow(other_) + "\n");

    const ChildResult restored = Cli(L"assoc restore \"" + backup + L"\"");
    EXPECT_EQ(restored.exitCode, 0u) << restored.err;
    EXPECT_EQ(restored.out, "Restored from: " + Narrow(backup) + "\n");
    EXPECT_EQ(Cli(L"assoc show " + other_).out,
              "Extension\tFile Type\tDescription\tCommand\tIcon\n" +
                  Narrow(other_ + L"\t" + type_ + L"\t" + type_ + L"\tother.exe\tC:\\k.exe,1\n"));
}

TEST_F(CliAssocTest, FailuresExitWithOne) {
    lock_.emplace();
    const std::wstring bad = temp_ / L"bad.dat";
    test::WriteFileBytes(bad, "not a backup");
    const ChildResult notBackup = Cli(L"assoc restore \"" + bad + L"\"");
    EXPECT_EQ(notBackup.exitCode, 1u);
    EXPECT_NE(notBackup.err.find("is not an association backup file"), std::string::npos)
        << notBackup.err;

    const ChildResult noFile = Cli(L"assoc restore \"" + temp_ / L"none.dat" + L"\"");
    EXPECT_EQ(noFile.exitCode, 1u);
    EXPECT_NE(noFile.err.find("Cannot open"), std::string::npos) << noFile.err;

    const ChildResult backup = Cli(L"assoc backup " + ext_ + L" \"" + temp_ / L"x.dat" + L"\"");
    EXPECT_EQ(backup.exitCode, 1u);
    EXPECT_EQ(backup.err, "kestrova-cli assoc: Cannot back up HKEY_CLASSES_ROOT\\" + Narrow(ext_) +
                              ": the registry editor wrote no file\n");
    EXPECT_FALSE(test::FileExists(temp_ / L"x.dat"));

    const ChildResult deleted = Cli(L"assoc delete " + ext_);
    EXPECT_EQ(deleted.exitCode, 1u);
    EXPECT_EQ(deleted.err, "kestrova-cli assoc: there is no extension " + Narrow(ext_) + "\n");
}

}  // namespace
}  // namespace kestrova
