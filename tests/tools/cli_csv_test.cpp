// "--csv" of every listing command of the console front end, run as the child process it is on
// a registry sandbox of this test and a data folder of its own: the CSV holds the rows of the
// command's "--json", one column per member, named as the member.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "file_tree_support.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "platform/unique_handles.h"
#include "support/cli_child.h"
#include "support/csv_reader.h"
#include "support/json_value.h"
#include "support/sandbox_test.h"
#include "support/scoped_environment.h"
#include "tools/user_assist.h"

namespace kestrova {
namespace {

using test::ChildResult;
using test::CsvRecords;
using test::JsonValue;
using test::ParseCsv;
using test::ParseJson;

// Commas, quotes and a letter beyond ASCII, wherever the fixture can put them.
const std::wstring kOdd = L"Kestrova, \"CSV\" \u00DCber";

void PutString(HKEY root, const std::wstring& key, const std::wstring& name,
               const std::wstring& data) {
    Registry registry(root);
    ASSERT_TRUE(registry.OpenKey(key, true)) << ToUtf8(key);
    registry.WriteString(name, data);
}

void PutBinary(HKEY root, const std::wstring& key, const std::wstring& name,
               const std::vector<BYTE>& data) {
    Registry registry(root);
    ASSERT_TRUE(registry.OpenKey(key, true)) << ToUtf8(key);
    registry.WriteBinaryData(name, data.data(), data.size());
}

// A JSON member as the CSV writes it: text as it is, a number in decimal, true or false.
std::string CellOf(const JsonValue& value) {
    if (value.IsString()) {
        return value.String();
    }
    if (value.IsBool()) {
        return value.Bool() ? "true" : "false";
    }
    const double number = value.Number();
    EXPECT_EQ(number, std::floor(number));
    return std::to_string(static_cast<long long>(number));
}

// The rows of a JSON answer: the array `member`, or the object itself when member is empty.
std::vector<JsonValue> JsonRows(const JsonValue& answer, const std::string& member) {
    return member.empty() ? std::vector<JsonValue>{answer} : answer[member].Array();
}

// Checks that the CSV is the header then the JSON rows, in order; each JSON member has its
// column and a column without a member in a row is empty there.
void ExpectSameRows(const CsvRecords& csv, const std::vector<std::string>& header,
                    const std::vector<JsonValue>& rows, const std::string& what) {
    ASSERT_FALSE(csv.empty()) << what;
    EXPECT_EQ(csv[0], header) << what;
    ASSERT_EQ(csv.size(), rows.size() + 1) << what;
    const std::set<std::string> columns(header.begin(), header.end());
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string>& record = csv[i + 1];
        ASSERT_EQ(record.size(), header.size()) << what << " row " << i;
        for (const auto& [name, value] : rows[i].Object()) {
            EXPECT_TRUE(columns.count(name)) << what << ": no column " << name;
        }
        for (size_t c = 0; c < header.size(); ++c) {
            const auto member = rows[i].Object().find(header[c]);
            const std::string expected =
                member == rows[i].Object().end() ? std::string() : CellOf(member->second);
            EXPECT_EQ(record[c], expected) << what << " row " << i << " " << header[c];
        }
    }
}

class CliCsvTest : public test::SandboxTest {
protected:
    static ChildResult Cli(const std::wstring& arguments) { return test::RunCli(arguments); }
    std::wstring InFolder() const { return test::DataFolderOption(temp_.Path()); }
    // The temp folder's sub-folder, quoted, without its trailing "\".
    std::wstring Quoted(const std::wstring& relative) const {
        return L"\"" + temp_ / relative + L"\"";
    }

    // A stale App Paths entry (scan group 0) whose name holds commas, quotes and a non-ASCII
    // letter.
    void MakeStaleEntry() {
        PutString(HKEY_LOCAL_MACHINE,
                  L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + kOdd + L".exe",
                  L"", temp_ / L"gone, \u00FC.exe");
    }

    // Something for every listing to list.
    void MakeEveryListing() {
        MakeStaleEntry();
        test::WriteFileBytes(temp_ / L"ignore.xml",
                             "<IgnoreList><ERROR ROOT=\"HKEY_CURRENT_USER\" "
                             "KEY=\"Software\\a,&quot;b&quot; \xC3\xBC\" VALUE=\"v\"/>"
                             "</IgnoreList>");
        PutString(HKEY_CURRENT_USER, L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", kOdd,
                  L"\"C:\\Kestrova\\run.exe\" /a,b");
        const std::wstring uninstall =
            L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KestrovaCsv";
        PutString(HKEY_LOCAL_MACHINE, uninstall, L"DisplayName", kOdd);
        PutString(HKEY_LOCAL_MACHINE, uninstall, L"UninstallString", L"C:\\x\\un.exe /q");

        const std::wstring point = temp_ / (L"Backup\\10.12.2026 14,30,00 \u00DC");
        CreateDirectoryW((temp_ / L"Backup").c_str(), nullptr);
        CreateDirectoryW(point.c_str(), nullptr);
        test::MakeFile(point + L"\\HKEY_CURRENT_USER.reg");
        test::MakeFile(point + L"\\HKEY_USERS.reg");

        PutString(HKEY_CLASSES_ROOT, L"\\.kstcsv", L"", L"Kestrova.CsvFile");
        PutString(HKEY_CLASSES_ROOT, L"\\Kestrova.CsvFile", L"", kOdd);
        PutString(HKEY_CLASSES_ROOT, L"\\Kestrova.CsvFile\\shell\\open\\command", L"",
                  L"C:\\k.exe \"%1\"");
        PutString(HKEY_CLASSES_ROOT, L"\\Kestrova.CsvFile\\DefaultIcon", L"", L"C:\\k.exe,0");

        test::MakeFile(temp_ / L"Cache\\page, \u00FC.htm");
        test::MakeFile(temp_ / L"Cache\\sub\\pic.gif");
        PutString(HKEY_CURRENT_USER,
                  L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                  L"Cache", temp_ / L"Cache");

        const std::wstring toolbar = L"{4B3B5C9E-7A1D-4F0B-8E2A-6D5C4B3A2F10}";
        PutString(HKEY_CLASSES_ROOT, L"\\CLSID\\" + toolbar, L"", kOdd);
        PutBinary(HKEY_CURRENT_USER,
                  L"\\Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser", toolbar, {});

        // Run 3 times, focused 5 times, last run 2012-04-06 13:23:55 UTC; the shortcut's
        // record holds no counters.
        std::vector<BYTE> usage(kUserAssistUsageSize, 0);
        usage[4] = 3;
        usage[8] = 5;
        usage[12] = 0x34;
        const uint64_t lastRun = 0x01cd13f88427a420;
        std::memcpy(usage.data() + 60, &lastRun, sizeof(lastRun));
        PutBinary(
            HKEY_CURRENT_USER, kUserAssistProgramsKeyPath,
            DecodeUserAssistName(L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\" + kOdd + L".exe"),
            usage);
        PutBinary(HKEY_CURRENT_USER, kUserAssistShortcutsKeyPath,
                  DecodeUserAssistName(L"{0139D44E-6AFE-49F2-8690-3DAFCAE6FFB8}\\a.lnk"),
                  std::vector<BYTE>(16, 0));

        test::MakeFile(temp_ / L"junk\\old, \u00FC.tmp", "12345");
        test::MakeFile(temp_ / L"junk\\b.bak");
        test::MakeFile(temp_ / L"junk\\keep.txt");
    }

    // The child works on this test's registry sandbox.
    test::ScopedEnvironment sandbox_{test::kRegistrySandboxVariable, registry_.ScratchPath()};
};

struct Listing {
    std::wstring arguments;  // without --json or --csv
    std::string member;      // the JSON's array of rows; empty: the object is the one row
    std::vector<std::string> header;
};

TEST_F(CliCsvTest, EveryListingGivesTheRowsOfItsJson) {
    MakeEveryListing();
    const std::vector<Listing> listings = {
        {L"scan --groups 0" + InFolder(),
         "rows",
         {"type", "key", "value", "guess", "checked", "image"}},
        {L"ignore list" + InFolder(), "entries", {"index", "root", "key", "value"}},
        {L"startup list", "entries", {"name", "command", "location", "enabled"}},
        {L"uninstall list", "entries", {"displayName", "uninstallString", "keyPath"}},
        {L"backup list" + InFolder(), "restorePoints", {"name", "files"}},
        {L"assoc list", "associations", {"extension", "type", "description", "command", "icon"}},
        {L"assoc show .kstcsv", "", {"extension", "type", "description", "command", "icon"}},
        {L"ie traces scan --actions 2", "files", {"section", "fileName", "fullPath"}},
        {L"ie addons list --kinds toolbars",
         "addons",
         {"id", "name", "type", "entry", "path", "protected"}},
        {L"userassist list",
         "records",
         {"fileName", "type", "rawName", "key", "runCount", "focusCount", "focusTimeMs",
          "lastRun"}},
        {L"junk scan --location " + Quoted(L"junk"),
         "files",
         {"fileName", "fileSize", "fileDateTime", "bytes"}},
        {L"find --location " + Quoted(L"junk") + L" --masks *.tmp;*.bak",
         "files",
         {"path", "size", "modified"}},
    };
    for (const Listing& listing : listings) {
        const std::string what = ToUtf8(listing.arguments);
        const ChildResult json = Cli(listing.arguments + L" --json");
        const ChildResult csv = Cli(listing.arguments + L" --csv");
        ASSERT_EQ(json.exitCode, 0u) << what << ": " << json.err;
        ASSERT_EQ(csv.exitCode, 0u) << what << ": " << csv.err;
        const std::vector<JsonValue> rows = JsonRows(ParseJson(json.out), listing.member);
        // The fixture gives every listing a row with commas, quotes or non-ASCII text.
        EXPECT_FALSE(rows.empty()) << what << ": " << json.out;
        try {
            ExpectSameRows(ParseCsv(csv.out), listing.header, rows, what);
        } catch (const test::CsvParseError& error) {
            ADD_FAILURE() << what << ": " << error.what() << "\n" << csv.out;
        }
    }
}

TEST_F(CliCsvTest, OddFieldsAreQuotedInUtf8WithoutAMarkAndEndInCrLf) {
    test::WriteFileBytes(temp_ / L"ignore.xml",
                         "<IgnoreList><ERROR ROOT=\" R\" KEY=\"a,&quot;b&quot; \xC3\xBC\" "
                         "VALUE=\"line&#13;&#10;two\"/><ERROR ROOT=\"R\" KEY=\"\" "
                         "VALUE=\"plain\"/></IgnoreList>");
    const ChildResult result = Cli(L"ignore list --csv" + InFolder());
    ASSERT_EQ(result.exitCode, 0u) << result.err;
    EXPECT_EQ(result.out,
              "index,root,key,value\r\n"
              "0,\" R\",\"a,\"\"b\"\" \xC3\xBC\",\"line\r\ntwo\"\r\n"
              "1,R,,plain\r\n");
}

// Every row the fix handled, with its outcome; then the history it wrote, as its JSON has it.
TEST_F(CliCsvTest, FixGivesEachRowWithItsOutcomeAndHistoryItsEntries) {
    MakeStaleEntry();
    const ChildResult scan = Cli(L"scan --groups 0 --json" + InFolder());
    ASSERT_EQ(scan.exitCode, 0u) << scan.err;
    const test::JsonArray found = ParseJson(scan.out)["rows"].Array();
    ASSERT_EQ(found.size(), 1u) << scan.out;

    const ChildResult fix = Cli(L"fix --groups 0 --csv" + InFolder());
    ASSERT_EQ(fix.exitCode, 0u) << fix.err;
    const CsvRecords fixed = ParseCsv(fix.out);
    const std::vector<std::string> header = {"outcome", "type", "key", "value", "guess"};
    ASSERT_EQ(fixed.size(), 2u) << fix.out;
    EXPECT_EQ(fixed[0], header);
    EXPECT_EQ(fixed[1], (std::vector<std::string>{
                            "fixed", found[0]["type"].String(), found[0]["key"].String(),
                            found[0]["value"].String(), found[0]["guess"].String()}));

    const ChildResult json = Cli(L"history --json" + InFolder());
    const ChildResult csv = Cli(L"history --csv" + InFolder());
    ASSERT_EQ(json.exitCode, 0u) << json.err;
    ASSERT_EQ(csv.exitCode, 0u) << csv.err;
    const std::vector<JsonValue> entries = ParseJson(json.out)["entries"].Array();
    ASSERT_EQ(entries.size(), 1u) << json.out;
    ExpectSameRows(ParseCsv(csv.out), {"index", "name", "type", "path", "records"}, entries,
                   "history");
}

// A clean lists the files it could not delete, as its JSON's "failed".
TEST_F(CliCsvTest, JunkCleanGivesTheFilesItCouldNotDelete) {
    const std::wstring locked = temp_ / L"junk\\locked, \u00FC.bak";
    test::MakeFile(locked);
    test::MakeFile(temp_ / L"junk\\a.tmp");
    const UniqueKernelHandle lock(
        CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    const ChildResult result = Cli(L"junk clean --location " + Quoted(L"junk") + L" --csv");
    EXPECT_EQ(result.exitCode, 1u);
    const CsvRecords records = ParseCsv(result.out);
    ASSERT_EQ(records.size(), 2u) << result.out;
    EXPECT_EQ(records[0], (std::vector<std::string>{"fileName", "error"}));
    EXPECT_EQ(records[1][0], ToUtf8(locked));
    EXPECT_FALSE(records[1][1].empty());
    EXPECT_FALSE(test::FileExists(temp_ / L"junk\\a.tmp"));
}

TEST_F(CliCsvTest, CsvWithJsonOrOnAnActionThatListsNothingIsABadCommandLine) {
    for (const std::wstring& arguments : {
             L"scan --groups 0 --csv --json" + InFolder(),
             L"fix --csv --json --groups 0" + InFolder(),
             L"history --json --csv" + InFolder(),
             L"ignore list --csv --json" + InFolder(),
             L"ignore add A B C --csv" + InFolder(),
             std::wstring(L"startup list --csv --json"),
             std::wstring(L"startup enable A --location HKCU\\Run --csv"),
             std::wstring(L"uninstall list --json --csv"),
             L"backup list --csv --json" + InFolder(),
             L"backup create --csv" + InFolder(),
             std::wstring(L"assoc show .kstcsv --csv --json"),
             std::wstring(L"ie traces scan --csv --json"),
             std::wstring(L"ie traces clean --csv"),
             std::wstring(L"ie addons list --csv --json"),
             std::wstring(L"userassist list --csv --json"),
             L"junk scan --location " + Quoted(L"junk") + L" --csv --json",
             L"find --location " + Quoted(L"junk") + L" --json --csv",
             std::wstring(L"history --csv --csv"),
         }) {
        const ChildResult result = Cli(arguments);
        EXPECT_EQ(result.exitCode, 2u) << ToUtf8(arguments) << ": " << result.err;
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << ToUtf8(arguments);
        EXPECT_TRUE(result.out.empty()) << ToUtf8(arguments) << ": " << result.out;
    }
    EXPECT_FALSE(test::FileExists(temp_ / L"Backup"));
}

}  // namespace
}  // namespace kestrova
