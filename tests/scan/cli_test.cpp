// The console front end, run as the child process it is. A child sees the real registry, not
// the test's sandbox, so these runs either scan nothing or compare with a scan made here.
#include <windows.h>

#include <optional>

#include "platform/registry.h"
#include "platform/text.h"
#include "scan/scan_driver.h"
#include "scan/scan_groups.h"
#include "support/child_process.h"
#include "support/json_value.h"
#include "support/real_registry_lock.h"
#include "support/temp_folder.h"
#include "scan_test_fixture.h"

#ifndef KESTROVA_CLI_EXE
#define KESTROVA_CLI_EXE ""
#endif

namespace kestrova {
namespace {

using test::ChildResult;
using test::JsonValue;
using test::ParseJson;

class CliTest : public ::testing::Test {
protected:
    static ChildResult Cli(const std::wstring& arguments) {
        return test::RunChild(test::HostPathToWindows(KESTROVA_CLI_EXE), arguments);
    }
    std::wstring Folder() const { return temp_.Path().substr(0, temp_.Path().size() - 1); }

    test::TempFolder temp_;
};

TEST_F(CliTest, BadArgumentsExitWithTwoAndTheUsage) {
    for (const wchar_t* arguments :
         {L"", L"frobnicate", L"scan --groups 13", L"scan --groups 1,,2", L"scan --groups",
          L"scan --groups x", L"scan --json --json", L"scan --data-folder", L"scan extra"}) {
        const ChildResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2u) << ToUtf8(arguments);
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << ToUtf8(arguments);
        EXPECT_TRUE(result.out.empty()) << ToUtf8(arguments);
    }
}

TEST_F(CliTest, MalformedIgnoreListExitsWithOne) {
    test::WriteFileBytes(temp_ / L"ignore.xml", "<IgnoreList><ERROR ROOT=\"x\"");
    const ChildResult result = Cli(L"scan --groups 4 --data-folder \"" + Folder() + L"\"");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find("ignore list"), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty());
}

TEST_F(CliTest, MissingDataFolderExitsWithOneNamingItInUtf8) {
    const std::wstring folder = temp_ / L"none-\u00f1and\u00fa\u20ac";
    const ChildResult result = Cli(L"scan --data-folder \"" + folder + L"\"");
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_NE(result.err.find(ToUtf8(folder)), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty());
}

TEST_F(CliTest, JsonRunOfTheGroupWithoutACheck) {
    test::WriteFileBytes(temp_ / L"ignore.xml",
                         "<IgnoreList><ERROR ROOT=\"HKEY_LOCAL_MACHINE\" KEY=\"SOFTWARE\" "
                         "VALUE=\"\xc3\xa9\"/></IgnoreList>");
    const ChildResult result = Cli(L"scan --json --groups 4 --data-folder " + Folder());
    ASSERT_EQ(result.exitCode, 0u) << result.err;

    const JsonValue json = ParseJson(result.out);
    EXPECT_TRUE(json["rows"].Array().empty());
    EXPECT_EQ(json["status"].String(), "Scan done !");
    const test::JsonArray& groups = json["groups"].Array();
    ASSERT_EQ(groups.size(), static_cast<size_t>(kScanGroupCount));
    for (int i = 0; i < kScanGroupCount; ++i) {
        EXPECT_EQ(groups[i]["index"].Number(), i);
        EXPECT_EQ(groups[i]["caption"].String(), ToUtf8(kScanGroupCaptions[i]));
        EXPECT_EQ(groups[i]["checked"].Bool(), i == kGroupMru);
        EXPECT_EQ(groups[i]["errors"].String(), "0");
    }
}

TEST_F(CliTest, TextRunListsTheGroupsAndTheStatus) {
    const ChildResult result = Cli(L"scan --groups 4,0 --data-folder " + Folder());
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_NE(result.out.find("[x] 0 Application Path\t"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("[ ] 1 CLSID\t0"), std::string::npos);
    EXPECT_NE(result.out.find("[x] 4 Most Recently Used List (MRU)\t0"), std::string::npos);
    EXPECT_NE(result.out.find("Scan done !"), std::string::npos);
}

// Collects what a run in this process reports, for comparison with the front end's output.
class ListSink : public ScanSink {
public:
    void AddRow(ErrorRow row) override { rows.push_back(std::move(row)); }
    void SetStatus(const std::wstring&) override {}
    void SetGroupCount(int group, int count) override { counts[group] = count; }
    bool StopRequested() const override { return false; }
    bool GroupChecked(int group) const override { return only < 0 || group == only; }

    std::vector<ErrorRow> rows;
    std::array<int, kScanGroupCount> counts{};
    int only = -1;  // the one group to run, or every group
};

// Whether the front end printed this row, every column alike.
bool Printed(const test::JsonArray& rows, const ErrorRow& row) {
    for (const JsonValue& printed : rows) {
        if (printed["key"].String() == ToUtf8(row.keyName) &&
            printed["type"].String() == ToUtf8(row.type) &&
            printed["value"].String() == ToUtf8(row.keyValue) &&
            printed["guess"].String() == ToUtf8(row.guessPath) &&
            printed["checked"].Bool() == row.checked && printed["image"].Number() == row.image) {
            return true;
        }
    }
    return false;
}

TEST_F(CliTest, FullScanReportsWhatTheEngineFindsInThisProcess) {
    // Other tests add stale entries to the real registry for a moment; both scans must see
    // the same registry.
    test::RealRegistryLock lock;
    XmlDocument ignore;
    ignore.Create(L"IgnoreList");
    ListSink engine;
    ASSERT_EQ(RunScan(engine, ignore).end, ScanOutcome::End::Completed);

    const ChildResult result = Cli(L"scan --json --data-folder " + Folder());
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    const JsonValue json = ParseJson(result.out);

    const test::JsonArray& rows = json["rows"].Array();
    ASSERT_EQ(rows.size(), engine.rows.size());
    for (const ErrorRow& row : engine.rows) {
        EXPECT_TRUE(Printed(rows, row)) << ToUtf8(row.keyName);
    }
    for (int i = 0; i < kScanGroupCount; ++i) {
        EXPECT_EQ(json["groups"].Array()[i]["errors"].String(), std::to_string(engine.counts[i]))
            << i;
    }
}

// App Paths entries made in the real registry for one test: data that names a file in a way
// the scan must not take for gone, and one program that is gone. The front end and the engine
// in this process must report the same rows.
class CliAppPathsTest : public CliTest {
protected:
    static constexpr wchar_t kAppPaths[] =
        L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

    void SetUp() override { lock_.emplace(); }
    void TearDown() override {
        Registry registry(HKEY_LOCAL_MACHINE);
        for (const std::wstring& name : made_) {
            registry.DeleteKey(std::wstring(kAppPaths) + L"\\" + name);
        }
        lock_.reset();
    }

    // Makes the entry "<tag>-<name>.exe" with data as its default value; returns its Key Name.
    std::wstring AddEntry(const std::wstring& name, const std::wstring& data) {
        const std::wstring entry =
            L"KestrovaCliTest" + std::to_wstring(GetCurrentProcessId()) + L"-" + name + L".exe";
        Registry registry(HKEY_LOCAL_MACHINE);
        EXPECT_TRUE(registry.OpenKey(std::wstring(kAppPaths) + L"\\" + entry, true));
        registry.WriteString(L"", data);
        made_.push_back(entry);
        return L"HKEY_LOCAL_MACHINE" + std::wstring(kAppPaths) + L"\\" + entry;
    }

    std::vector<std::wstring> made_;
    std::optional<test::RealRegistryLock> lock_;
};

TEST_F(CliAppPathsTest, FrontEndAndEngineReportOnlyTheProgramThatIsGone) {
    test::WriteFileBytes(temp_ / L"present.exe", "MZ");
    const std::wstring present = temp_ / L"present.exe";
    const std::vector<std::wstring> kept = {
        AddEntry(L"placeholder", L"\"%1\" %*"),
        AddEntry(L"indirect", L"@%SystemRoot%\\system32\\kernel32.dll,-101"),
        AddEntry(L"blanks", L"  " + present + L"\t "),
        AddEntry(L"long", test::MakeLongPathFile(temp_.Path())),
        AddEntry(L"on-path", L"wmic.exe"),  // in a folder of PATH only
        AddEntry(L"network", L"\\\\kestrova-no-server\\share\\app.exe"),
        AddEntry(L"absent-drive", L"Q:\\Portable\\app.exe"),
    };
    const std::wstring gone = AddEntry(L"gone", temp_ / L"gone.exe");
    ASSERT_EQ(GetLogicalDrives() & (1u << (L'Q' - L'A')), 0u) << "this machine has a drive Q:";

    XmlDocument ignore;
    ignore.Create(L"IgnoreList");
    ListSink engine;
    engine.only = kGroupAppPaths;
    ASSERT_EQ(RunScan(engine, ignore).end, ScanOutcome::End::Completed);
    const ChildResult result = Cli(L"scan --json --groups 0 --data-folder " + Folder());
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    const JsonValue json = ParseJson(result.out);
    const test::JsonArray& rows = json["rows"].Array();

    ASSERT_EQ(rows.size(), engine.rows.size()) << result.out;
    for (const ErrorRow& row : engine.rows) {
        EXPECT_TRUE(Printed(rows, row)) << ToUtf8(row.keyName);
        for (const std::wstring& keyName : kept) {
            EXPECT_NE(row.keyName, keyName);
        }
    }
    const ErrorRow goneRow{
        L"Application",   gone, temp_ / L"gone.exe", test::Lowered(temp_ / L"gone.exe"), true,
        kReportedRowImage};
    EXPECT_TRUE(Printed(rows, goneRow)) << result.out;
}

TEST_F(CliAppPathsTest, ScanThatEndsInAnErrorSaysSoAndExitsWithOne) {
    AddEntry(L"gone", temp_ / L"gone.exe");
    // An entry edited by hand that lacks its VALUE: the first report fails on it.
    test::WriteFileBytes(temp_ / L"ignore.xml",
                         "<IgnoreList><ERROR ROOT=\"HKEY_LOCAL_MACHINE\" KEY=\"SOFTWARE\"/>"
                         "</IgnoreList>");

    const ChildResult result = Cli(L"scan --json --groups 0 --data-folder " + Folder());

    EXPECT_EQ(result.exitCode, 1u);
    const std::string status = ParseJson(result.out)["status"].String();
    ASSERT_TRUE(status.starts_with("Scan failed: ")) << status;
    EXPECT_NE(result.err.find(status.substr(13)), std::string::npos) << result.err;
}

}  // namespace
}  // namespace kestrova
