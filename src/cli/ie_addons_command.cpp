#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/ie_subcommands.h"
#include "cli/json_writer.h"
#include "managers/ie_addons_delete.h"
#include "repair/snapshot_records.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"ie";

std::wstring ListText(const std::vector<AddonRow>& rows) {
    std::wstring text = L"Name\tType\tRegistry Entries\tPath\tID\n";
    for (const AddonRow& row : rows) {
        text += row.name + L"\t" + row.type + L"\t" + row.entry + L"\t" + row.path + L"\t" +
                row.id + L"\n";
    }
    return text;
}

std::string ListJson(const std::vector<AddonRow>& rows) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"addons");
    json.BeginArray();
    for (const AddonRow& row : rows) {
        json.BeginObject();
        json.Key(L"id");
        json.String(row.id);
        json.Key(L"name");
        json.String(row.name);
        json.Key(L"type");
        json.String(row.type);
        json.Key(L"entry");
        json.String(row.entry);
        json.Key(L"path");
        json.String(row.path);
        json.Key(L"protected");
        json.Bool(AddonProtectedMessage(row).has_value());
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

std::string ListCsv(const std::vector<AddonRow>& rows) {
    CsvTable table({L"id", L"name", L"type", L"entry", L"path", L"protected"});
    for (const AddonRow& row : rows) {
        table.Add({row.id, row.name, row.type, row.entry, row.path,
                   AddonProtectedMessage(row).has_value()});
    }
    return table.Text();
}

}  // namespace

int RunIeAddonsList(const AddonKinds& kinds, OutputForm form) {
    const std::vector<AddonRow> rows = FillAddonList(kinds);
    if (form == OutputForm::Json) {
        WriteOut(ListJson(rows));
    } else if (form == OutputForm::Csv) {
        WriteOut(ListCsv(rows));
    } else {
        WriteOut(ListText(rows));
    }
    return kExitDone;
}

int RunIeAddonsDelete(const std::vector<std::wstring>& ids, const std::wstring& dataFolder) {
    // Every ID is found before anything changes; the chosen rows keep the list's order.
    const std::vector<AddonRow> listed = FillAddonList(AddonKinds{});
    std::vector<bool> chosen(listed.size(), false);
    for (const std::wstring& id : ids) {
        bool found = false;
        for (size_t i = 0; i < listed.size(); ++i) {
            if (listed[i].id == id) {
                chosen[i] = found = true;
            }
        }
        if (!found) {
            throw UsageError(L"'" + id + L"' is not an add-on of the list (see ie addons list)");
        }
    }
    std::vector<AddonRow> rows;
    for (size_t i = 0; i < listed.size(); ++i) {
        if (chosen[i]) {
            rows.push_back(listed[i]);
        }
    }

    if (!DataFolderAvailable(kCommand, dataFolder)) {
        return kExitFailed;
    }
    const std::wstring historyPath = dataFolder + kHistoryFileName;
    XmlDocument history;
    try {
        OpenStore(history, historyPath, kHistoryRootTag);
    } catch (const XmlError& error) {
        return Fail(kCommand, L"cannot read the restore history: " + error.message());
    }
    const AddonDeleteResult result =
        DeleteCheckedAddons(history, SaveDocumentTo(history, historyPath), rows);
    if (result.saveError) {
        return Fail(kCommand,
                    L"cannot save the restore history, nothing was deleted: " + *result.saveError);
    }

    std::wstring text;
    bool allDeleted = true;
    for (const AddonDeleteOutcome& outcome : result.outcomes) {
        const AddonRow& row = rows[outcome.row];
        const std::wstring label = row.name + L" (" + row.type + L", " + row.id + L")";
        if (outcome.status == AddonDeleteStatus::Deleted) {
            text += L"Deleted: " + label + L"\n";
        } else {
            allDeleted = false;
            Fail(kCommand, L"not deleted: " + label + L": " + outcome.message);
        }
    }
    text += std::to_wstring(history.Root().ChildCount()) + L" entries in the restore history\n";
    WriteOut(text);
    return allDeleted ? kExitDone : kExitFailed;
}

}  // namespace kestrova::cli
