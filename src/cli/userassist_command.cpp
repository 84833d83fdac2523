#include "cli/userassist_command.h"

#include <algorithm>

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "tools/user_assist.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"userassist";

std::wstring ListText(const std::vector<UserAssistRecord>& records) {
    std::wstring text = L"FileName\tType\tRaw Name\n";
    for (const UserAssistRecord& record : records) {
        text += record.fileName + L"\t" + record.type + L"\t" + record.rawName + L"\n";
    }
    return text;
}

std::string ListJson(const std::vector<UserAssistRecord>& records) {
    JsonWriter json;
    json.BeginObject();
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
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace

int RunUserAssistCommand(const std::vector<std::wstring>& arguments) {
    const CommandLine line = ReadCommandLine(arguments, {L"--json"});
    if (line.operands.empty()) {
        throw UsageError(L"name what to do: list or delete");
    }
    const std::wstring& action = line.operands.front();
    const bool json = line.flags.count(L"--json") > 0;
    if (action == L"list") {
        if (line.operands.size() != 1) {
            throw UsageError(L"userassist list takes no operands");
        }
        const std::vector<UserAssistRecord> records = ListUserAssistRecords();
        if (json) {
            WriteOut(ListJson(records));
        } else {
            WriteOut(ListText(records));
        }
        return kExitDone;
    }
    if (action != L"delete") {
        throw UsageError(L"unknown action '" + action + L"' (list or delete)");
    }
    if (json) {
        throw UsageError(L"--json goes with userassist list only");
    }
    if (line.operands.size() < 2) {
        throw UsageError(L"userassist delete takes the records' raw names");
    }
    // Every name is checked before anything is deleted.
    const std::vector<UserAssistRecord> records = ListUserAssistRecords();
    const std::vector<std::wstring> names(line.operands.begin() + 1, line.operands.end());
    for (const std::wstring& name : names) {
        if (std::none_of(records.begin(), records.end(),
                         [&](const UserAssistRecord& r) { return r.rawName == name; })) {
            return Fail(kCommand, L"there is no UserAssist record named '" + name + L"'");
        }
    }
    const std::vector<std::wstring> failed = DeleteUserAssistRecords(names);
    for (const std::wstring& name : failed) {
        Fail(kCommand, L"cannot delete the record '" + name + L"'");
    }
    WriteOut(L"Deleted " + std::to_wstring(names.size() - failed.size()) + L" of " +
             std::to_wstring(names.size()) + L" records\n");
    return failed.empty() ? kExitDone : kExitFailed;
}

}  // namespace kestrova::cli
