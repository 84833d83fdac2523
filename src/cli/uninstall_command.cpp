#include "cli/uninstall_command.h"

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/csv_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "managers/uninstall_entries.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"uninstall";

std::wstring ListText(const std::vector<UninstallEntry>& entries) {
    std::wstring text = L"Display Name\tUninstall String\tKey Path\n";
    for (const UninstallEntry& entry : entries) {
        text += entry.displayName + L"\t" + entry.uninstallString + L"\t" + entry.keyPath + L"\n";
    }
    return text;
}

std::string ListJson(const std::vector<UninstallEntry>& entries) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"entries");
    json.BeginArray();
    for (const UninstallEntry& entry : entries) {
        json.BeginObject();
        json.Key(L"displayName");
        json.String(entry.displayName);
        json.Key(L"uninstallString");
        json.String(entry.uninstallString);
        json.Key(L"keyPath");
        json.String(entry.keyPath);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

std::string ListCsv(const std::vector<UninstallEntry>& entries) {
    CsvTable table({L"displayName", L"uninstallString", L"keyPath"});
    for (const UninstallEntry& entry : entries) {
        table.Add({entry.displayName, entry.uninstallString, entry.keyPath});
    }
    return table.Text();
}

}  // namespace

int RunUninstallCommand(const std::vector<std::wstring>& arguments) {
    const CommandLine line = ReadCommandLine(arguments, {L"--json", kCsvFlag});
    if (line.operands.empty()) {
        throw UsageError(L"name what to do: list or delete");
    }
    const std::wstring& action = line.operands.front();
    const OutputForm form = OutputFormOf(line.flags);
    if (action == L"list") {
        if (line.operands.size() != 1) {
            throw UsageError(L"uninstall list takes no operands");
        }
        const UninstallScope scope = SystemUninstallScope();
        const std::optional<std::vector<UninstallEntry>> entries = ListUninstallEntries(scope);
        if (!entries) {
            return Fail(kCommand,
                        scope == UninstallScope::Machine
                            ? L"cannot open HKEY_LOCAL_MACHINE\\" + std::wstring(kUninstallKey)
                            : std::wstring(L"cannot open any Uninstall key"));
        }
        if (form == OutputForm::Json) {
            WriteOut(ListJson(*entries));
        } else if (form == OutputForm::Csv) {
            WriteOut(ListCsv(*entries));
        } else {
            WriteOut(ListText(*entries));
        }
        return kExitDone;
    }
    if (action != L"delete") {
        throw UsageError(L"unknown action '" + action + L"' (list or delete)");
    }
    if (line.operands.size() < 2) {
        throw UsageError(L"uninstall delete takes the registrations' key paths");
    }
    if (form != OutputForm::Text) {
        throw UsageError(L"--json and --csv go with uninstall list only");
    }
    // Every key path is checked before anything is deleted.
    const std::vector<std::wstring> keyPaths(line.operands.begin() + 1, line.operands.end());
    for (const std::wstring& keyPath : keyPaths) {
        if (!IsUninstallKeyPath(keyPath)) {
            throw UsageError(L"'" + keyPath +
                             L"' is not a registration: give a key path as "
                             L"uninstall list shows it, [ROOT\\]" +
                             kUninstallKey + L"\\NAME");
        }
    }
    bool failed = false;
    for (const std::wstring& keyPath : keyPaths) {
        const ChangeResult result = DeleteUninstallEntry(keyPath);
        if (result.done) {
            WriteOut(L"Deleted " + keyPath + L"\n");
        } else {
            failed = true;
            Fail(kCommand, L"not deleted: " + result.reason);
        }
    }
    return failed ? kExitFailed : kExitDone;
}

}  // namespace kestrova::cli
