#include "cli/ie_command.h"

#include <optional>

#include "cli/exit_codes.h"
#include "cli/ie_subcommands.h"
#include "platform/file_paths.h"

namespace kestrova::cli {

namespace {

struct IeCommandLine {
    std::optional<std::wstring> actions;
    std::optional<std::wstring> kinds;
    std::optional<std::wstring> dataFolder;
    bool json = false;
    bool csv = false;
    std::vector<std::wstring> operands;
};

// Reads the options (each at most once; "--" ends them) and the operands.
IeCommandLine ReadIeCommandLine(const std::vector<std::wstring>& arguments) {
    IeCommandLine line;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (optionsEnded || argument.compare(0, 2, L"--") != 0) {
            line.operands.push_back(argument);
            continue;
        }
        if (argument == L"--") {
            optionsEnded = true;
            continue;
        }
        if (argument == L"--json" && !line.json) {
            line.json = true;
            continue;
        }
        if (argument == kCsvFlag && !line.csv) {
            line.csv = true;
            continue;
        }
        std::optional<std::wstring>* option = argument == L"--actions"       ? &line.actions
                                              : argument == L"--kinds"       ? &line.kinds
                                              : argument == L"--data-folder" ? &line.dataFolder
                                                                             : nullptr;
        if (option == nullptr || option->has_value()) {
            throw UsageError(L"unexpected argument '" + argument + L"'");
        }
        if (i + 1 >= arguments.size()) {
            throw UsageError(argument + L" needs a value");
        }
        *option = arguments[++i];
    }
    return line;
}

// The pieces of a comma-separated list; the empty text has none.
std::vector<std::wstring> ListItems(const std::wstring& text) {
    std::vector<std::wstring> items;
    size_t start = 0;
    while (!text.empty()) {
        const size_t comma = text.find(L',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::wstring::npos) {
            break;
        }
        start = comma + 1;
    }
    return items;
}

// "2,4,6": action numbers 0 to 6; the empty text marks none.
IeActionMarks ParseIeActionList(const std::wstring& text) {
    IeActionMarks marks{};
    for (const std::wstring& item : ListItems(text)) {
        if (item.size() != 1 || item[0] < L'0' || item[0] >= L'0' + kIeActionCount) {
            throw UsageError(L"'" + item + L"' is not an action (0 to 6)");
        }
        marks[item[0] - L'0'] = true;
    }
    return marks;
}

// "toolbars,menu-extensions": kind names; the empty text lists none.
AddonKinds ParseAddonKindList(const std::wstring& text) {
    AddonKinds kinds{false, false, false, false, false};
    for (const std::wstring& item : ListItems(text)) {
        bool* kind = item == L"toolbars"             ? &kinds.toolbars
                     : item == L"browser-extensions" ? &kinds.browserExtensions
                     : item == L"explorer-bars"      ? &kinds.explorerBars
                     : item == L"menu-extensions"    ? &kinds.menuExtensions
                     : item == L"download-handler"   ? &kinds.downloadHandler
                                                     : nullptr;
        if (kind == nullptr) {
            throw UsageError(L"'" + item +
                             L"' is not a kind of add-on (toolbars, browser-extensions, "
                             L"explorer-bars, menu-extensions, download-handler)");
        }
        *kind = true;
    }
    return kinds;
}

// Refuses the options that the chosen action does not take; a listing action takes --json and
// --csv.
void Allow(const IeCommandLine& line, const std::wstring& action, bool actions, bool kinds,
           bool listing, bool dataFolder) {
    const auto refuse = [&action](const wchar_t* option) {
        throw UsageError(std::wstring(option) + L" does not go with ie " + action);
    };
    if (line.actions && !actions) {
        refuse(L"--actions");
    }
    if (line.kinds && !kinds) {
        refuse(L"--kinds");
    }
    if (line.json && !listing) {
        refuse(L"--json");
    }
    if (line.csv && !listing) {
        refuse(kCsvFlag);
    }
    if (line.dataFolder && !dataFolder) {
        refuse(L"--data-folder");
    }
}

}  // namespace

int RunIeCommand(const std::vector<std::wstring>& arguments) {
    const IeCommandLine line = ReadIeCommandLine(arguments);
    const OutputForm form = OutputFormOf(line.json, line.csv);
    if (line.operands.size() < 2) {
        throw UsageError(
            L"name what to do: traces scan, traces clean, addons list or addons "
            L"delete");
    }
    const std::wstring action = line.operands[0] + L" " + line.operands[1];
    const std::vector<std::wstring> rest(line.operands.begin() + 2, line.operands.end());
    const bool scan = action == L"traces scan";
    if (scan || action == L"traces clean") {
        Allow(line, action, true, false, scan, false);
        if (!rest.empty()) {
            throw UsageError(L"unexpected argument '" + rest.front() + L"'");
        }
        const IeActionMarks marks =
            line.actions ? ParseIeActionList(*line.actions) : DefaultIeActionMarks();
        return scan ? RunIeTracesScan(marks, form) : RunIeTracesClean(marks);
    }
    if (action == L"addons list") {
        Allow(line, action, false, true, true, false);
        if (!rest.empty()) {
            throw UsageError(L"unexpected argument '" + rest.front() + L"'");
        }
        return RunIeAddonsList(line.kinds ? ParseAddonKindList(*line.kinds) : AddonKinds{}, form);
    }
    if (action == L"addons delete") {
        Allow(line, action, false, false, false, true);
        if (rest.empty()) {
            throw UsageError(L"ie addons delete takes the add-ons' IDs (see ie addons list)");
        }
        if (line.dataFolder && line.dataFolder->empty()) {
            throw UsageError(L"--data-folder needs a folder");
        }
        const std::wstring dataFolder =
            line.dataFolder ? WithTrailingBackslash(*line.dataFolder) : FolderOf(ExecutablePath());
        return RunIeAddonsDelete(rest, dataFolder);
    }
    throw UsageError(L"unknown action '" + action +
                     L"' (traces scan, traces clean, addons list or addons delete)");
}

}  // namespace kestrova::cli
