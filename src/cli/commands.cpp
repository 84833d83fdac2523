#include "cli/commands.h"

#include <array>
#include <exception>

#include "cli/assoc_command.h"
#include "cli/backup_command.h"
#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/find_command.h"
#include "cli/fix_command.h"
#include "cli/history_command.h"
#include "cli/ie_command.h"
#include "cli/ignore_command.h"
#include "cli/junk_command.h"
#include "cli/scan_command.h"
#include "cli/startup_command.h"
#include "cli/uninstall_command.h"
#include "cli/userassist_command.h"
#include "kestrova_version.h"
#include "platform/error.h"

namespace kestrova::cli {

namespace {

const std::array<Command, 13> kCommands = {{
    {L"scan", L"[--groups 0,1,...] [--json | --csv] [--data-folder DIR]", RunScanCommand},
    {L"fix", L"[--groups 0,1,...] [--json | --csv] [--data-folder DIR]", RunFixCommand},
    {L"history", L"[--json | --csv] [--data-folder DIR]", RunHistoryCommand},
    {L"restore", L"--all | N [N ...] [--data-folder DIR]", RunRestoreCommand},
    {L"ignore",
     L"list [--json | --csv] | add ROOT KEY VALUE | remove N [N ...] [--data-folder DIR]",
     RunIgnoreCommand},
    {L"startup",
     L"list [--json | --csv] | disable NAME --location LOC | enable NAME --location LOC",
     RunStartupCommand},
    {L"uninstall", L"list [--json | --csv] | delete KEYPATH [KEYPATH ...]", RunUninstallCommand},
    {L"backup", L"create | list [--json | --csv] | restore NAME | delete NAME [--data-folder DIR]",
     RunBackupCommand},
    {L"assoc",
     L"list [--json | --csv] | show EXT [--json | --csv] | set EXT [--type T] "
     L"[--description D] --command C [--icon I] | delete EXT | backup EXT FILE | restore FILE",
     RunAssocCommand},
    {L"ie",
     L"traces scan [--actions N,N] [--json | --csv] | traces clean [--actions N,N] | addons list "
     L"[--kinds K,K] [--json | --csv] | addons delete ID [ID ...] [--data-folder DIR]",
     RunIeCommand},
    {L"userassist", L"list [--json | --csv] | delete RAWNAME [RAWNAME ...]", RunUserAssistCommand},
    {L"junk",
     L"scan|clean --drives C:\\;D:\\ | --location DIR;DIR [--types \"TYPE;TYPE\"] "
     L"[--exclude PATH]... [--json | --csv]",
     RunJunkCommand},
    {L"find",
     L"--location DIR;DIR [--masks M;M] [--exclude M]... [--min-size N] [--max-size N] "
     L"[--modified-after D] [--modified-before D] [--contains PHRASE] [--case-sensitive] "
     L"[--whole-word] [--json | --csv]",
     RunFindCommand},
}};

std::wstring Usage() {
    std::wstring text = L"usage:\n";
    for (const Command& command : kCommands) {
        text += L"  kestrova-cli ";
        text += command.name;
        text += L" ";
        text += command.usage;
        text += L"\n";
    }
    return text;
}

}  // namespace

int RunCommandLine(const std::vector<std::wstring>& arguments) {
    if (arguments.size() == 1 && (arguments[0] == L"--help" || arguments[0] == L"help")) {
        WriteOut(Usage());
        return kExitDone;
    }
    if (arguments.size() == 1 && arguments[0] == L"--version") {
        WriteOut(L"Kestrova PC Optimizer " KESTROVA_VERSION_TEXT L"\n");
        return kExitDone;
    }
    if (arguments.empty()) {
        WriteErr(L"kestrova-cli: no command given\n" + Usage());
        return kExitBadArguments;
    }
    for (const Command& command : kCommands) {
        if (arguments[0] == command.name) {
            try {
                return command.run({arguments.begin() + 1, arguments.end()});
            } catch (const UsageError& error) {
                WriteErr(L"kestrova-cli " + arguments[0] + L": " + error.message() + L"\n" +
                         Usage());
                return kExitBadArguments;
            } catch (...) {
                WriteErr(L"kestrova-cli " + arguments[0] + L": " +
                         ErrorText(std::current_exception()) + L"\n");
                return kExitFailed;
            }
        }
    }
    WriteErr(L"kestrova-cli: unknown command '" + arguments[0] + L"'\n" + Usage());
    return kExitBadArguments;
}

}  // namespace kestrova::cli
