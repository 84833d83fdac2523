#include "cli/userassist_command.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/csv_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "tools/user_assist.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"userassist";

// "2011-03-14T10:20:30Z"; empty for a record never run.
std::wstring UtcText(uint64_t fileTime) {
    SYSTEMTIME time = {};
    const FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    if (fileTime == 0 || !FileTimeToSystemTime(&utc, &time)) {
        return {};
    }
    wchar_t text[32] = {};
    swprintf(text, 32, L"%04u-%02u-%02uT%02u:%02u:%02uZ", time.wYear, time.wMonth, time.wDay,
             time.wHour, time.wMinute, time.wSecond);
    return text;
}

// The Count key's identifier: "{CEBFF5CD-...}" of "...\UserAssist\{CEBFF5CD-...}\Count".
std::wstring KeyIdOf(const std::wstring& keyPath) {
    const size_t end = keyPath.rfind(L'\\');
    const size_t start = keyPath.rfind(L'\\', end - 1);
    return keyPath.substr(start + 1, end - start - 1);
}

std::wstring ListText(const std::vector<UserAssistRecord>& records, UserAssistLayout layout) {
    if (layout == UserAssistLayout::Classic) {
        std::wstring text = L"FileName\tType\tRaw Name\n";
        for (const UserAssistRecord& record : records) {
            text += record.fileName + L"\t" + record.type + L"\t" + record.rawName + L"\n";
        }
        return text;
    }
    std::wstring text = L"FileName\tType\tRun Count\tFocus Count\tFocus Time\tLast Run\tRaw Name\n";
    for (const UserAssistRecord& record : records) {
        text += record.fileName + L"\t" + record.type + L"\t";
        if (const auto& usage = record.usage) {
            text += std::to_wstring(usage->runCount) + L"\t" + std::to_wstring(usage->focusCount) +
                    L"\t" + std::to_wstring(usage->focusMilliseconds) + L"\t" +
                    UtcText(usage->lastRun) + L"\t";
        } else {
            text += L"\t\t\t\t";
        }
        text += record.rawName + L"\n";
    }
    return text;
}

std::string ListJson(const std::vector<UserAssistRecord>& records, UserAssistLayout layout) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"layout");
    json.String(layout == UserAssistLayout::Classic ? L"classic" : L"windows7");
    json.Key(L"records");
    json.BeginArray();
    for (const UserAssistRecord& record : records) {
        json.BeginObject();
        json.Key(L"fileName");
        json.String(record.fileName);
        json.Key(L"type");
        json.String(record.type);
        json.Key(L"rawName");
        json.String(record.rawName);
        json.Key(L"key");
        json.String(KeyIdOf(record.keyPath));
        if (const auto& usage = record.usage) {
            json.Key(L"runCount");
            json.Int(usage->runCount);
            json.Key(L"focusCount");
            json.Int(usage->focusCount);
            json.Key(L"focusTimeMs");
            json.Int(usage->focusMilliseconds);
            json.Key(L"lastRun");
            json.String(UtcText(usage->lastRun));
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

// The counters' columns only in the Windows 7 layout, as in the JSON; empty for a record
// without counters.
std::string ListCsv(const std::vector<UserAssistRecord>& records, UserAssistLayout layout) {
    const bool counters = layout != UserAssistLayout::Classic;
    std::vector<std::wstring> header = {L"fileName", L"type", L"rawName", L"key"};
    if (counters) {
        header.insert(header.end(), {L"runCount", L"focusCount", L"focusTimeMs", L"lastRun"});
    }
    CsvTable table(header);
    for (const UserAssistRecord& record : records) {
        std::vector<CsvField> fields = {record.fileName, record.type, record.rawName,
                                        KeyIdOf(record.keyPath)};
        if (const auto& usage = record.usage; counters && usage) {
            fields.insert(fields.end(), {usage->runCount, usage->focusCount,
                                         usage->focusMilliseconds, UtcText(usage->lastRun)});
        } else if (counters) {
            fields.insert(fields.end(), 4, CsvField(L""));
        }
        table.Add(fields);
    }
    return table.Text();
}

}  // namespace

int RunUserAssistCommand(const std::vector<std::wstring>& arguments) {
    const CommandLine line = ReadCommandLine(arguments, {L"--json", kCsvFlag});
    if (line.operands.empty()) {
        throw UsageError(L"name what to do: list or delete");
    }
    const std::wstring& action = line.operands.front();
    const OutputForm form = OutputFormOf(line.flags);
    if (action == L"list") {
        if (line.operands.size() != 1) {
            throw UsageError(L"userassist list takes no operands");
        }
        const UserAssistLayout layout = SystemUserAssistLayout();
        const std::vector<UserAssistRecord> records = ListUserAssistRecords(layout);
        if (form == OutputForm::Json) {
            WriteOut(ListJson(records, layout));
        } else if (form == OutputForm::Csv) {
            WriteOut(ListCsv(records, layout));
        } else {
            WriteOut(ListText(records, layout));
        }
        return kExitDone;
    }
    if (action != L"delete") {
        throw UsageError(L"unknown action '" + action + L"' (list or delete)");
    }
    if (form != OutputForm::Text) {
        throw UsageError(L"--json and --csv go with userassist list only");
    }
    if (line.operands.size() < 2) {
        throw UsageError(L"userassist delete takes the records' raw names");
    }
    // Every name is checked before anything is deleted; a name goes from each key that lists
    // it.
    const std::vector<UserAssistRecord> records = ListUserAssistRecords(SystemUserAssistLayout());
    const std::vector<std::wstring> names(line.operands.begin() + 1, line.operands.end());
    std::vector<UserAssistRecord> chosen;
    for (const std::wstring& name : names) {
        const size_t before = chosen.size();
        std::copy_if(records.begin(), records.end(), std::back_inserter(chosen),
                     [&](const UserAssistRecord& r) { return r.rawName == name; });
        if (chosen.size() == before) {
            return Fail(kCommand, L"there is no UserAssist record named '" + name + L"'");
        }
    }
    const std::vector<UserAssistRecord> failed = DeleteListedUserAssistRecords(chosen);
    for (const UserAssistRecord& record : failed) {
        Fail(kCommand, L"cannot delete the record '" + record.rawName + L"'");
    }
    WriteOut(L"Deleted " + std::to_wstring(chosen.size() - failed.size()) + L" of " +
             std::to_wstring(chosen.size()) + L" records\n");
    return failed.empty() ? kExitDone : kExitFailed;
}

}  // namespace kestrova::cli
