#include "cli/ie_command.h"

#include <utility>

#include "cli/exit_codes.h"
#include "cli/ie_subcommands.h"
#include "cli/value_options.h"
#include "platform/file_paths.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kActionsOption[] = L"--actions";
constexpr wchar_t kKindsOption[] = L"--kinds";
constexpr wchar_t kDataFolderOption[] = L"--data-folder";

// The options, each at most once; an empty --actions or --kinds names nothing.
OptionValues ReadIeCommandLine(const std::vector<std::wstring>& arguments) {
    return ReadOptionValues(arguments,
                            {{kActionsOption, false, true},
                             {kKindsOption, false, true},
                             {kDataFolderOption, false, true}},
                            {L"--json", kCsvFlag});
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
void Allow(const OptionValues& line, const std::wstring& action, bool actions, bool kinds,
           bool listing, bool dataFolder) {
    const std::pair<const wchar_t*, bool> allowed[] = {
        {kActionsOption, actions}, {kKindsOption, kinds},           {L"--json", listing},
        {kCsvFlag, listing},       {kDataFolderOption, dataFolder},
    };
    for (const auto& [option, allow] : allowed) {
        if (line.Has(option) && !allow) {
            throw UsageError(std::wstring(option) + L" does not go with ie " + action);
        }
    }
}

}  // namespace

int RunIeCommand(const std::vector<std::wstring>& arguments) {
    const OptionValues line = ReadIeCommandLine(arguments);
    const OutputForm form = OutputFormOf(line.flags);
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
        const IeActionMarks marks = line.Has(kActionsOption)
                                        ? ParseIeActionList(line.Value(kActionsOption))
                                        : DefaultIeActionMarks();
        return scan ? RunIeTracesScan(marks, form) : RunIeTracesClean(marks);
    }
    if (action == L"addons list") {
        Allow(line, action, false, true, true, false);
        if (!rest.empty()) {
            throw UsageError(L"unexpected argument '" + rest.front() + L"'");
        }
        return RunIeAddonsList(
            line.Has(kKindsOption) ? ParseAddonKindList(line.Value(kKindsOption)) : AddonKinds{},
            form);
    }
    if (action == L"addons delete") {
        Allow(line, action, false, false, false, true);
        if (rest.empty()) {
            throw UsageError(L"ie addons delete takes the add-ons' IDs (see ie addons list)");
        }
        const bool folderGiven = line.Has(kDataFolderOption);
        if (folderGiven && line.Value(kDataFolderOption).empty()) {
            throw UsageError(L"--data-folder needs a folder");
        }
        const std::wstring dataFolder = folderGiven
                                            ? WithTrailingBackslash(line.Value(kDataFolderOption))
                                            : FolderOf(ExecutablePath());
        return RunIeAddonsDelete(rest, dataFolder);
    }
    throw UsageError(L"unknown action '" + action +
                     L"' (traces scan, traces clean, addons list or addons delete)");
}

}  // namespace kestrova::cli
