#include "cli/commands.h"

#include <array>

#include "cli/console_output.h"
#include "cli/exit_codes.h"
#include "cli/scan_command.h"

namespace kestrova::cli {

namespace {

const std::array<Command, 1> kCommands = {{
    {L"scan", L"[--groups 0,1,...] [--json] [--data-folder DIR]", RunScanCommand},
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
            }
        }
    }
    WriteErr(L"kestrova-cli: unknown command '" + arguments[0] + L"'\n" + Usage());
    return kExitBadArguments;
}

}  // namespace kestrova::cli
