#include "cli/fix_command.h"

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/console_scan.h"
#include "cli/exit_codes.h"
#include "cli/fix_report.h"
#include "cli/scan_command.h"
#include "repair/fix_errors.h"
#include "repair/shared_store.h"
#include "repair/snapshot_records.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"fix";

}  // namespace

int RunFixCommand(const std::vector<std::wstring>& arguments) {
    const ScanOptions options = ParseScanOptions(arguments);
    if (!DataFolderAvailable(kCommand, options.dataFolder)) {
        return kExitFailed;
    }
    XmlDocument ignoreList;
    try {
        LoadIgnoreList(ignoreList, options.dataFolder);
    } catch (const XmlError& error) {
        return Fail(kCommand, L"cannot read the ignore list: " + error.message());
    }
    // Loaded before the scan: a history that cannot be read stops the fix before it starts.
    const std::wstring historyPath = options.dataFolder + kHistoryFileName;
    XmlDocument history;
    SharedStore historyStore(history, historyPath, kHistoryRootTag);
    try {
        historyStore.Open();
    } catch (const XmlError& error) {
        return Fail(kCommand, L"cannot read the restore history: " + error.message());
    }

    ConsoleScan scan(options.groups);
    const ScanOutcome outcome = scan.Run(ignoreList);
    if (outcome.end == ScanOutcome::End::Failed) {
        return Fail(kCommand, L"the scan ended in an error, nothing was fixed: " + outcome.error);
    }
    if (outcome.end == ScanOutcome::End::Stopped) {
        return Fail(kCommand, L"the scan was stopped, nothing was fixed");
    }

    const ErrorList& found = scan.Result().Rows();
    std::vector<ErrorRow> checked;
    std::vector<FixRow> fixRows;
    for (size_t i = 0; i < found.Size(); ++i) {
        const ErrorRow& row = found.At(i);
        if (row.checked) {
            checked.push_back(row);
            fixRows.push_back({row.type, row.keyName, row.guessPath});
        }
    }
    const FixResult result = FixErrors(history, SaverFor(historyStore), fixRows);
    if (result.saveError) {
        return Fail(kCommand,
                    L"cannot save the restore history, nothing was fixed: " + *result.saveError);
    }

    // What became of each checked row, by its index in fixRows.
    enum class Outcome { Untouched, Fixed, NotDeleted, NotRecorded, Refused };
    std::vector<Outcome> outcomes(checked.size(), Outcome::Untouched);
    for (const size_t i : result.handled) {
        outcomes[i] = Outcome::Fixed;
    }
    for (const size_t i : result.notDeleted) {
        outcomes[i] = Outcome::NotDeleted;
    }
    for (const size_t i : result.notRecorded) {
        outcomes[i] = Outcome::NotRecorded;
    }
    for (const size_t i : result.refused) {
        outcomes[i] = Outcome::Refused;
    }
    FixReport report;
    for (size_t i = 0; i < checked.size(); ++i) {
        switch (outcomes[i]) {
            case Outcome::Fixed:
                report.fixed.push_back(checked[i]);
                break;
            case Outcome::NotDeleted:
                report.notDeleted.push_back(checked[i]);
                break;
            case Outcome::NotRecorded:
                report.notRecorded.push_back(checked[i]);
                break;
            case Outcome::Refused:
                report.refused.push_back(checked[i]);
                break;
            case Outcome::Untouched:
                break;
        }
    }
    report.historyEntries = history.Root().ChildCount();
    if (options.form == OutputForm::Json) {
        WriteOut(FixReportJson(report));
    } else if (options.form == OutputForm::Csv) {
        WriteOut(FixReportCsv(report));
    } else {
        WriteOut(FixReportText(report));
    }
    const size_t notFixed =
        report.notDeleted.size() + report.notRecorded.size() + report.refused.size();
    if (notFixed > 0) {
        return Fail(kCommand,
                    std::to_wstring(notFixed) + L" checked rows were not fixed (see the report)");
    }
    return kExitDone;
}

}  // namespace kestrova::cli
