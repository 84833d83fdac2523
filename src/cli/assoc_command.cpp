#include "cli/assoc_command.h"

#include <map>
#include <optional>

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/csv_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "tools/file_association_store.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"assoc";
constexpr const wchar_t* kValueOptions[] = {L"--type", L"--description", L"--command", L"--icon"};

// The options that take a value ("--type T"), taken out of arguments; "--" ends them.
std::map<std::wstring, std::wstring> TakeValueOptions(std::vector<std::wstring>& arguments) {
    std::map<std::wstring, std::wstring> values;
    std::vector<std::wstring> rest;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        optionsEnded = optionsEnded || argument == L"--";
        bool isValueOption = false;
        for (const wchar_t* option : kValueOptions) {
            isValueOption = isValueOption || (!optionsEnded && argument == option);
        }
        if (!isValueOption) {
            rest.push_back(argument);
            continue;
        }
        if (i + 1 >= arguments.size()) {
            throw UsageError(argument + L" needs a value");
        }
        if (!values.emplace(argument, arguments[++i]).second) {
            throw UsageError(L"unexpected argument '" + argument + L"'");
        }
    }
    arguments = std::move(rest);
    return values;
}

void RequireExtension(const std::wstring& extension) {
    if (extension.size() < 2 || extension[0] != L'.' ||
        extension.find(L'\\') != std::wstring::npos) {
        throw UsageError(L"'" + extension + L"' is not an extension (it begins with '.')");
    }
}

std::wstring RowText(const TExtInfo& info) {
    return info.extension + L"\t" + info.fileType + L"\t" + info.description + L"\t" +
           info.filePath + L"\t" + info.fileIcon + L"\n";
}

constexpr wchar_t kHeader[] = L"Extension\tFile Type\tDescription\tCommand\tIcon\n";

void WriteInfo(JsonWriter& json, const TExtInfo& info) {
    json.BeginObject();
    json.Key(L"extension");
    json.String(info.extension);
    json.Key(L"type");
    json.String(info.fileType);
    json.Key(L"description");
    json.String(info.description);
    json.Key(L"command");
    json.String(info.filePath);
    json.Key(L"icon");
    json.String(info.fileIcon);
    json.EndObject();
}

std::string InfoCsv(const std::vector<TExtInfo>& infos) {
    CsvTable table({L"extension", L"type", L"description", L"command", L"icon"});
    for (const TExtInfo& info : infos) {
        table.Add({info.extension, info.fileType, info.description, info.filePath, info.fileIcon});
    }
    return table.Text();
}

int List(TFileAssociator& store, OutputForm form) {
    std::vector<TExtInfo> read;
    AssociationReadEvents events;
    events.onReadItem = [&](const TExtInfo& info) { read.push_back(info); };
    store.ReadAll(events);
    if (form == OutputForm::Csv) {
        WriteOut(InfoCsv(read));
    } else if (form == OutputForm::Json) {
        JsonWriter writer;
        writer.BeginObject();
        writer.Key(L"associations");
        writer.BeginArray();
        for (const TExtInfo& info : read) {
            WriteInfo(writer, info);
        }
        writer.EndArray();
        writer.EndObject();
        WriteOut(writer.Text() + "\n");
    } else {
        std::wstring text = kHeader;
        for (const TExtInfo& info : read) {
            text += RowText(info);
        }
        WriteOut(text);
    }
    return kExitDone;
}

int Show(const TFileAssociator& store, const std::wstring& extension, OutputForm form) {
    if (!store.HasExtension(extension)) {
        return Fail(kCommand, L"there is no extension " + extension);
    }
    const TExtInfo info = store.ReadAssociation(extension);
    if (form == OutputForm::Csv) {
        WriteOut(InfoCsv({info}));
    } else if (form == OutputForm::Json) {
        JsonWriter writer;
        WriteInfo(writer, info);
        WriteOut(writer.Text() + "\n");
    } else {
        WriteOut(std::wstring(kHeader) + RowText(info));
    }
    return kExitDone;
}

int Delete(const TFileAssociator& store, const std::wstring& extension) {
    if (!store.HasExtension(extension)) {
        return Fail(kCommand, L"there is no extension " + extension);
    }
    const AssociationDeletion deletion = store.DeleteAssociation(extension);
    if (!deletion.extensionDeleted) {
        return Fail(kCommand, L"the key of " + extension + L" could not be deleted");
    }
    std::wstring text = L"Deleted " + extension + L"\n";
    if (!deletion.fileTypeSharedWith.empty()) {
        text += L"Kept file type " + deletion.fileType + L": " + deletion.fileTypeSharedWith +
                L" names it too\n";
    } else if (!deletion.fileType.empty() && deletion.fileTypeDeleted) {
        text += L"Deleted file type " + deletion.fileType + L"\n";
    }
    WriteOut(text);
    return kExitDone;
}

}  // namespace

int RunAssocCommand(const std::vector<std::wstring>& arguments) {
    std::vector<std::wstring> rest = arguments;
    const std::map<std::wstring, std::wstring> values = TakeValueOptions(rest);
    const CommandLine line = ReadCommandLine(rest, {L"--json", kCsvFlag});
    if (line.operands.empty()) {
        throw UsageError(L"name what to do: list, show, set, delete, backup or restore");
    }
    const std::wstring& action = line.operands.front();
    const std::map<std::wstring, size_t> operandCounts = {
        {L"list", 1}, {L"show", 2}, {L"set", 2}, {L"delete", 2}, {L"backup", 3}, {L"restore", 2}};
    const auto expected = operandCounts.find(action);
    if (expected == operandCounts.end()) {
        throw UsageError(L"unknown action '" + action +
                         L"' (list, show, set, delete, backup or restore)");
    }
    if (line.operands.size() != expected->second) {
        throw UsageError(L"assoc " + action + L" takes " + std::to_wstring(expected->second - 1) +
                         L" operands");
    }
    const OutputForm form = OutputFormOf(line.flags);
    if (form != OutputForm::Text && action != L"list" && action != L"show") {
        throw UsageError(L"--json and --csv go with assoc list and assoc show only");
    }
    if (!values.empty() && action != L"set") {
        throw UsageError(L"--type, --description, --command and --icon go with assoc set only");
    }
    if (action != L"list" && action != L"restore") {
        RequireExtension(line.operands[1]);
    }
    if ((action == L"backup" || action == L"restore") && line.operands.back().empty()) {
        throw UsageError(L"FILE must not be empty");
    }

    TFileAssociator store;
    if (action == L"list") {
        return List(store, form);
    }
    if (action == L"show") {
        return Show(store, line.operands[1], form);
    }
    if (action == L"set") {
        const auto value = [&](const wchar_t* option) {
            const auto found = values.find(option);
            return found == values.end() ? std::wstring() : found->second;
        };
        TExtInfo info;
        info.extension = line.operands[1];
        info.fileType = value(L"--type");
        info.description = value(L"--description");
        info.filePath = value(L"--command");
        info.fileIcon = value(L"--icon");
        if (info.filePath.empty()) {
            throw UsageError(L"assoc set needs --command with a command");
        }
        store.WriteAssociation(info);
        WriteOut(L"Set " + info.extension + L"\n");
        return kExitDone;
    }
    if (action == L"delete") {
        return Delete(store, line.operands[1]);
    }
    if (action == L"backup") {
        store.BackupAssociation(line.operands[1], line.operands[2]);
        WriteOut(L"Saved to: " + line.operands[2] + L"\n");
        return kExitDone;
    }
    store.RestoreAssociation(line.operands[1]);
    WriteOut(L"Restored from: " + line.operands[1] + L"\n");
    return kExitDone;
}

}  // namespace kestrova::cli
