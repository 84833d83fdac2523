#include "cli/backup_command.h"

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/csv_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "repair/backup_points.h"
#include "repair/delete_folder_files.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"backup";

std::string ListJson(const BackupPoints& points, const std::vector<std::wstring>& names) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"restorePoints");
    json.BeginArray();
    for (const std::wstring& name : names) {
        json.BeginObject();
        json.Key(L"name");
        json.String(name);
        json.Key(L"files");
        json.Int(static_cast<long long>(points.FileCount(name)));
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

std::string ListCsv(const BackupPoints& points, const std::vector<std::wstring>& names) {
    CsvTable table({L"name", L"files"});
    for (const std::wstring& name : names) {
        table.Add({name, points.FileCount(name)});
    }
    return table.Text();
}

// Each failure on stderr; the exit status of the run.
int Report(const BackupPointRun& run) {
    for (const std::wstring& failure : run.failures) {
        Fail(kCommand, failure);
    }
    return run.Succeeded() ? kExitDone : kExitFailed;
}

}  // namespace

int RunBackupCommand(const std::vector<std::wstring>& arguments) {
    const CommandLine line = ReadCommandLine(arguments, {L"--json", kCsvFlag});
    if (line.operands.empty()) {
        throw UsageError(L"name what to do: create, list, restore or delete");
    }
    const std::wstring& action = line.operands.front();
    const OutputForm form = OutputFormOf(line.flags);
    const bool named = action == L"restore" || action == L"delete";
    if (action != L"create" && action != L"list" && !named) {
        throw UsageError(L"unknown action '" + action + L"' (create, list, restore or delete)");
    }
    if (line.operands.size() != (named ? 2u : 1u)) {
        throw UsageError(L"backup " + action +
                         (named ? L" takes one NAME" : L" takes no operands"));
    }
    if (form != OutputForm::Text && action != L"list") {
        throw UsageError(L"--json and --csv go with backup list only");
    }
    if (named && !IsRestorePointName(line.operands[1])) {
        throw UsageError(L"'" + line.operands[1] + L"' is not the name of a restore point");
    }
    if (!DataFolderAvailable(kCommand, line.dataFolder)) {
        return kExitFailed;
    }

    // Without the window the pauses before each root key serve no one.
    BackupPointsOptions options;
    options.pauseMs = 0;
    const BackupPoints points(line.dataFolder, std::move(options));
    if (action == L"list") {
        const std::vector<std::wstring> names = points.List();
        if (form == OutputForm::Json) {
            WriteOut(ListJson(points, names));
        } else if (form == OutputForm::Csv) {
            WriteOut(ListCsv(points, names));
        } else {
            std::wstring text;
            for (const std::wstring& name : names) {
                text += name + L"\n";
            }
            WriteOut(text);
        }
        return kExitDone;
    }
    if (action == L"create") {
        const BackupPoints::Created created = points.Create(nullptr);
        WriteOut(created.name + L"\n");
        return Report(created.run);
    }
    const std::wstring& name = line.operands[1];
    if (action == L"restore") {
        const BackupPointRun run = points.Restore(name, nullptr);
        if (run.Succeeded()) {
            WriteOut(L"Restored " + name + L"\n");
        }
        return Report(run);
    }
    const RestorePointDeletion deletion = points.Delete(name);
    if (!deletion.existed) {
        return Fail(kCommand, L"there is no restore point '" + name + L"'");
    }
    for (const std::wstring& file : deletion.notDeleted) {
        Fail(kCommand, DeleteErrorMessage(file));
    }
    if (!deletion.folderRemoved) {
        return Fail(kCommand, L"the folder of restore point '" + name + L"' stays in " +
                                  points.BackupFolder());
    }
    WriteOut(L"Deleted " + name + L"\n");
    return kExitDone;
}

}  // namespace kestrova::cli
