#include "cli/history_command.h"

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/csv_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "repair/restore_history.h"
#include "repair/shared_store.h"
#include "repair/snapshot_records.h"
#include "repair/value_encoding.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kHistoryWords[] = L"restore history";

std::wstring Label(const XmlElement& entry, const wchar_t* attribute) {
    return entry.Attribute(attribute).value_or(std::wstring());
}

size_t RecordCount(const XmlElement& entry) {
    size_t records = 0;
    const size_t count = entry.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        records += entry.Child(i).Tag() == kValueRecordTag ? 1 : 0;
    }
    return records;
}

// Loads the history; on failure tells so and returns false.
bool OpenHistory(SharedStore& history, const std::wstring& command) {
    try {
        history.Open();
        return true;
    } catch (const XmlError& error) {
        Fail(command, L"cannot read the restore history: " + error.message());
        return false;
    }
}

// What a restore would meet in an entry: a record that cannot be written back. None for a
// sound entry.
std::optional<std::wstring> EntryProblem(const XmlElement& entry) {
    const size_t count = entry.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        try {
            PrepareItem(entry.Child(i));
        } catch (const Error& error) {
            return L"record " + std::to_wstring(i) + L": " + error.message();
        }
    }
    return std::nullopt;
}

// Tells each entry that a restore could not write back whole; true when there was one.
bool ReportBadEntries(const XmlElement& root) {
    bool found = false;
    const size_t count = root.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        if (const auto problem = EntryProblem(entry)) {
            Fail(L"history", L"entry " + std::to_wstring(i) + L" cannot be restored: " + *problem);
            found = true;
        }
        // Only shown, never needed to restore, but a sign of a file edited by hand.
        for (const wchar_t* label :
             {kEntryNameAttribute, kEntryTypeAttribute, kEntryPathAttribute}) {
            if (!entry.Attribute(label)) {
                Fail(L"history", L"entry " + std::to_wstring(i) + L" has no " + label);
                found = true;
            }
        }
    }
    return found;
}

std::wstring HistoryText(const XmlElement& root) {
    std::wstring text = L"Index\tName\tType\tPath\tRecords\n";
    const size_t count = root.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        text += std::to_wstring(i) + L"\t" + Label(entry, kEntryNameAttribute) + L"\t" +
                Label(entry, kEntryTypeAttribute) + L"\t" + Label(entry, kEntryPathAttribute) +
                L"\t" + std::to_wstring(RecordCount(entry)) + L"\n";
    }
    return text;
}

std::string HistoryJson(const XmlElement& root) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"entries");
    json.BeginArray();
    const size_t count = root.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        json.BeginObject();
        json.Key(L"index");
        json.Int(static_cast<long long>(i));
        json.Key(L"name");
        json.String(Label(entry, kEntryNameAttribute));
        json.Key(L"type");
        json.String(Label(entry, kEntryTypeAttribute));
        json.Key(L"path");
        json.String(Label(entry, kEntryPathAttribute));
        json.Key(L"records");
        json.Int(static_cast<long long>(RecordCount(entry)));
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

std::string HistoryCsv(const XmlElement& root) {
    CsvTable table({L"index", L"name", L"type", L"path", L"records"});
    const size_t count = root.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        table.Add({i, Label(entry, kEntryNameAttribute), Label(entry, kEntryTypeAttribute),
                   Label(entry, kEntryPathAttribute), RecordCount(entry)});
    }
    return table.Text();
}

}  // namespace

int RunHistoryCommand(const std::vector<std::wstring>& arguments) {
    const CommandLine line = ReadCommandLine(arguments, {L"--json", kCsvFlag});
    if (!line.operands.empty()) {
        throw UsageError(L"unexpected argument '" + line.operands.front() + L"'");
    }
    const OutputForm form = OutputFormOf(line.flags);
    if (!DataFolderAvailable(L"history", line.dataFolder)) {
        return kExitFailed;
    }
    XmlDocument history;
    SharedStore store(history, line.dataFolder + kHistoryFileName, kHistoryRootTag);
    if (!OpenHistory(store, L"history")) {
        return kExitFailed;
    }
    if (form == OutputForm::Json) {
        WriteOut(HistoryJson(history.Root()));
    } else if (form == OutputForm::Csv) {
        WriteOut(HistoryCsv(history.Root()));
    } else {
        WriteOut(HistoryText(history.Root()));
    }
    return ReportBadEntries(history.Root()) ? kExitFailed : kExitDone;
}

int RunRestoreCommand(const std::vector<std::wstring>& arguments) {
    const CommandLine line = ReadCommandLine(arguments, {L"--all"});
    const bool all = line.flags.count(L"--all") > 0;
    if (all == !line.operands.empty()) {
        throw UsageError(all ? L"--all takes no entry numbers" : L"name the entries, or --all");
    }
    if (!DataFolderAvailable(L"restore", line.dataFolder)) {
        return kExitFailed;
    }
    const std::wstring path = line.dataFolder + kHistoryFileName;
    XmlDocument history;
    SharedStore store(history, path, kHistoryRootTag);
    if (!OpenHistory(store, L"restore")) {
        return kExitFailed;
    }

    RestoreHistory restore(history, SaverFor(store));
    // Every index is checked before anything is written.
    const size_t count = history.Root().ChildCount();
    std::vector<size_t> chosen;
    for (const std::wstring& operand : line.operands) {
        chosen.push_back(ParseIndex(operand, count, kHistoryWords));
    }
    const RestoreResult result = all ? restore.RestoreAll() : restore.Restore(chosen);

    for (const RestoreFailure& failure : result.failures) {
        Fail(L"restore",
             L"not restored: " + failure.name + L" (" + failure.type + L"): " + failure.message);
    }
    if (result.saveError) {
        return Fail(L"restore",
                    L"the entries were written back but the restore history "
                    L"could not be saved: " +
                        *result.saveError);
    }
    WriteOut(L"Restored " + std::to_wstring(result.restored) + L" entries; " +
             std::to_wstring(history.Root().ChildCount()) +
             L" entries left in the restore history\n");
    return result.failures.empty() ? kExitDone : kExitFailed;
}

}  // namespace kestrova::cli
