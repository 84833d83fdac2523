#include "cli/scan_command.h"

#include "cli/console_output.h"
#include "cli/console_scan.h"
#include "platform/file_paths.h"
#include "cli/exit_codes.h"
#include "cli/scan_report.h"
#include "platform/xml_document.h"
#include "scan/path_exists.h"

namespace kestrova::cli {

namespace {

// "0,5,12": group indices separated by commas; an empty text names no group.
std::array<bool, kScanGroupCount> ParseGroupList(const std::wstring& text) {
    std::array<bool, kScanGroupCount> groups{};
    if (text.empty()) {
        return groups;
    }
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(L',', start);
        const std::wstring item = text.substr(start, comma - start);
        const bool digits = !item.empty() && item.size() <= 2 &&
                            item.find_first_not_of(L"0123456789") == std::wstring::npos;
        const int group = digits ? std::stoi(item) : -1;
        if (group < 0 || group >= kScanGroupCount) {
            throw UsageError(L"'" + item + L"' is not a scan group (0 to 12)");
        }
        groups[group] = true;
        if (comma == std::wstring::npos) {
            return groups;
        }
        start = comma + 1;
    }
}

const std::wstring& OptionValue(const std::vector<std::wstring>& arguments, size_t& i) {
    if (i + 1 >= arguments.size()) {
        throw UsageError(arguments[i] + L" needs a value");
    }
    return arguments[++i];
}

}  // namespace

ScanOptions ParseScanOptions(const std::vector<std::wstring>& arguments) {
    ScanOptions options;
    options.groups.fill(true);
    bool groupsGiven = false;
    bool folderGiven = false;
    bool json = false;
    bool csv = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"--json" && !json) {
            json = true;
        } else if (argument == kCsvFlag && !csv) {
            csv = true;
        } else if (argument == L"--groups" && !groupsGiven) {
            options.groups = ParseGroupList(OptionValue(arguments, i));
            groupsGiven = true;
        } else if (argument == L"--data-folder" && !folderGiven) {
            const std::wstring& folder = OptionValue(arguments, i);
            if (folder.empty()) {
                throw UsageError(L"--data-folder needs a folder");
            }
            options.dataFolder = WithTrailingBackslash(folder);
            folderGiven = true;
        } else {
            throw UsageError(L"unexpected argument '" + argument + L"'");
        }
    }
    if (!folderGiven) {
        options.dataFolder = FolderOf(ExecutablePath());
    }
    options.form = OutputFormOf(json, csv);
    return options;
}

int RunScanCommand(const std::vector<std::wstring>& arguments) {
    const ScanOptions options = ParseScanOptions(arguments);
    if (!FolderExists(options.dataFolder)) {
        WriteErr(L"kestrova-cli scan: the data folder " + options.dataFolder +
                 L" does not exist\n");
        return kExitFailed;
    }
    XmlDocument ignoreList;
    try {
        LoadIgnoreList(ignoreList, options.dataFolder);
    } catch (const XmlError& error) {
        WriteErr(L"kestrova-cli scan: cannot read the ignore list: " + error.message() + L"\n");
        return kExitFailed;
    }

    ConsoleScan scan(options.groups);
    const ScanOutcome outcome = scan.Run(ignoreList);
    const CollectingSink& result = scan.Result();
    if (options.form == OutputForm::Json) {
        WriteOut(ScanReportJson(result));
    } else if (options.form == OutputForm::Csv) {
        WriteOut(ScanReportCsv(result));
    } else {
        WriteOut(ScanReportText(result));
    }
    if (outcome.end == ScanOutcome::End::Failed) {
        WriteErr(L"kestrova-cli scan: the scan ended in an error: " + outcome.error + L"\n");
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace kestrova::cli
