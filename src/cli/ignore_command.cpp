#include "cli/ignore_command.h"

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/csv_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "repair/ignore_list.h"
#include "repair/shared_store.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"ignore";
constexpr wchar_t kListWords[] = L"ignore list";

std::wstring ListText(const std::vector<IgnoreEntry>& rows, const std::vector<size_t>& indices) {
    std::wstring text = L"Index\tRoot\tKey Name\tValue\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        text += std::to_wstring(indices[i]) + L"\t" + rows[i].root + L"\t" + rows[i].key + L"\t" +
                rows[i].value + L"\n";
    }
    return text;
}

std::string ListJson(const std::vector<IgnoreEntry>& rows, const std::vector<size_t>& indices) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"entries");
    json.BeginArray();
    for (size_t i = 0; i < rows.size(); ++i) {
        json.BeginObject();
        json.Key(L"index");
        json.Int(static_cast<long long>(indices[i]));
        json.Key(L"root");
        json.String(rows[i].root);
        json.Key(L"key");
        json.String(rows[i].key);
        json.Key(L"value");
        json.String(rows[i].value);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

std::string ListCsv(const std::vector<IgnoreEntry>& rows, const std::vector<size_t>& indices) {
    CsvTable table({L"index", L"root", L"key", L"value"});
    for (size_t i = 0; i < rows.size(); ++i) {
        table.Add({indices[i], rows[i].root, rows[i].key, rows[i].value});
    }
    return table.Text();
}

// Lists every entry that carries its three attributes, by its index in the file; tells each
// one that does not on stderr and then exits with kExitFailed.
int ListEntries(const XmlDocument& document, const std::wstring& path, OutputForm form) {
    std::vector<IgnoreEntry> rows;
    std::vector<size_t> indices;
    std::vector<std::wstring> problems;
    const XmlElement root = document.Root();
    for (size_t i = 0; i < root.ChildCount(); ++i) {
        const XmlElement entry = root.Child(i);
        const auto rootText = entry.Attribute(kIgnoreRootAttribute);
        const auto key = entry.Attribute(kIgnoreKeyAttribute);
        const auto value = entry.Attribute(kIgnoreValueAttribute);
        if (!rootText || !key || !value) {
            problems.push_back(L"entry " + std::to_wstring(i) + L" of " + path +
                               L" lacks ROOT, KEY or VALUE");
            continue;
        }
        rows.push_back({*rootText, *key, *value});
        indices.push_back(i);
    }
    if (form == OutputForm::Json) {
        WriteOut(ListJson(rows, indices));
    } else if (form == OutputForm::Csv) {
        WriteOut(ListCsv(rows, indices));
    } else {
        WriteOut(ListText(rows, indices));
    }
    for (const std::wstring& problem : problems) {
        Fail(kCommand, problem);
    }
    return problems.empty() ? kExitDone : kExitFailed;
}

void RequireOperands(const CommandLine& line, size_t count, const wchar_t* what) {
    if (line.operands.size() != count) {
        throw UsageError(L"ignore " + line.operands.front() + L" takes " + what);
    }
}

}  // namespace

int RunIgnoreCommand(const std::vector<std::wstring>& arguments) {
    const CommandLine line = ReadCommandLine(arguments, {L"--json", kCsvFlag});
    if (line.operands.empty()) {
        throw UsageError(L"name what to do: list, add or remove");
    }
    const std::wstring& action = line.operands.front();
    const OutputForm form = OutputFormOf(line.flags);
    if (action == L"list") {
        RequireOperands(line, 1, L"no operands");
    } else if (action == L"add") {
        RequireOperands(line, 4, L"ROOT KEY VALUE");
        for (size_t i = 1; i < 4; ++i) {
            if (line.operands[i].empty()) {
                throw UsageError(L"ROOT, KEY and VALUE must all be given, none empty");
            }
        }
    } else if (action == L"remove") {
        if (line.operands.size() < 2) {
            throw UsageError(L"ignore remove takes the entries' numbers");
        }
    } else {
        throw UsageError(L"unknown action '" + action + L"' (list, add or remove)");
    }
    if (form != OutputForm::Text && action != L"list") {
        throw UsageError(L"--json and --csv go with ignore list only");
    }
    if (!DataFolderAvailable(kCommand, line.dataFolder)) {
        return kExitFailed;
    }

    const std::wstring path = line.dataFolder + kIgnoreFileName;
    XmlDocument document;
    SharedStore store(document, path, kIgnoreRootTag);
    IgnoreList ignoreList(document, SaverFor(store));
    try {
        store.Open();
    } catch (const XmlError& error) {
        return Fail(kCommand, L"cannot read the ignore list: " + error.message());
    }
    if (action == L"list") {
        return ListEntries(document, path, form);
    }
    std::vector<IgnoreEntry> rows;
    try {
        rows = ignoreList.Entries();
    } catch (const XmlError& error) {
        // An entry edited by hand: changing the list would save it again unchecked.
        return Fail(kCommand, L"the ignore list " + path + L" cannot be used: " + error.message());
    }

    if (action == L"add") {
        const IgnoreAddResult result =
            ignoreList.Add(line.operands[1], line.operands[2], line.operands[3]);
        if (!result.added) {
            throw UsageError(L"ROOT, KEY and VALUE hold characters that " +
                             std::wstring(kIgnoreFileName) + L" cannot store");
        }
        if (result.saveError) {
            return Fail(kCommand, L"cannot save the ignore list: " + *result.saveError);
        }
        // Last in the file, after anything another program added meanwhile.
        WriteOut(L"Added entry " + std::to_wstring(document.Root().ChildCount() - 1) + L"\n");
        return kExitDone;
    }
    // Every index is checked before anything changes.
    std::vector<size_t> chosen;
    for (size_t i = 1; i < line.operands.size(); ++i) {
        chosen.push_back(ParseIndex(line.operands[i], rows.size(), kListWords));
    }
    if (const auto saveError = ignoreList.Remove(chosen)) {
        return Fail(kCommand, L"cannot save the ignore list: " + *saveError);
    }
    const size_t left = document.Root().ChildCount();
    WriteOut(L"Removed " + std::to_wstring(rows.size() - left) + L" entries; " +
             std::to_wstring(left) + L" entries left in the ignore list\n");
    return kExitDone;
}

}  // namespace kestrova::cli
