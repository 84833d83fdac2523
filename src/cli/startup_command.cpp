#include "cli/startup_command.h"

#include <windows.h>

#include <cstddef>
#include <optional>

#include "cli/command_support.h"
#include "cli/console_output.h"
#include "cli/csv_output.h"
#include "cli/exit_codes.h"
#include "cli/json_writer.h"
#include "managers/startup_entries.h"
#include "scan/windows_version.h"

namespace kestrova::cli {

namespace {

constexpr wchar_t kCommand[] = L"startup";

std::wstring ListText(const std::vector<StartupEntry>& entries) {
    std::wstring text = L"Name\tCommand\tLocation\tEnabled\n";
    for (const StartupEntry& entry : entries) {
        text += entry.name + L"\t" + entry.command + L"\t" + entry.location + L"\t" +
                (entry.enabled ? L"yes" : L"no") + L"\n";
    }
    return text;
}

const wchar_t* SchemeName(StartupScheme scheme) {
    switch (scheme) {
        case StartupScheme::SiblingKeys:
            return L"siblingKeys";
        case StartupScheme::Records:
            return L"records";
        case StartupScheme::Approved:
            return L"approved";
        case StartupScheme::None:
            break;
    }
    return L"none";
}

std::string ListJson(const std::vector<StartupEntry>& entries, int versionClass,
                     StartupScheme scheme) {
    JsonWriter json;
    json.BeginObject();
    json.Key(L"windowsVersionClass");
    json.Int(versionClass);
    json.Key(L"scheme");
    json.String(SchemeName(scheme));
    json.Key(L"entries");
    json.BeginArray();
    for (const StartupEntry& entry : entries) {
        json.BeginObject();
        json.Key(L"name");
        json.String(entry.name);
        json.Key(L"command");
        json.String(entry.command);
        json.Key(L"location");
        json.String(entry.location);
        json.Key(L"enabled");
        json.Bool(entry.enabled);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

// The rows only: the version class and the scheme are no rows.
std::string ListCsv(const std::vector<StartupEntry>& entries) {
    CsvTable table({L"name", L"command", L"location", L"enabled"});
    for (const StartupEntry& entry : entries) {
        table.Add({entry.name, entry.command, entry.location, entry.enabled});
    }
    return table.Text();
}

// Takes "--location LOC" out of the arguments (before any "--"), so the rest reads as every
// command's line does.
std::optional<std::wstring> TakeLocation(std::vector<std::wstring>& arguments) {
    std::optional<std::wstring> location;
    size_t i = 0;
    while (i < arguments.size() && arguments[i] != L"--") {
        if (arguments[i] != L"--location") {
            ++i;
            continue;
        }
        if (location) {
            throw UsageError(L"--location given twice");
        }
        if (i + 1 >= arguments.size()) {
            throw UsageError(L"--location needs a location");
        }
        location = arguments[i + 1];
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                        arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    return location;
}

// A Startup folder ("C:\..." or "\\server\..."), not a registry key.
bool IsFolderLocation(const std::wstring& location) {
    return (location.size() >= 3 && location[1] == L':' && location[2] == L'\\') ||
           location.starts_with(L"\\\\");
}

bool SameText(const wchar_t* a, const wchar_t* b, size_t length) {
    return CompareStringOrdinal(a, static_cast<int>(length), b, static_cast<int>(length), TRUE) ==
           CSTR_EQUAL;
}

// A short root name, exactly, then "\" and a key path in any letter case; a folder in any
// letter case.
bool SameLocation(const std::wstring& listed, const std::wstring& given) {
    if (given.size() != listed.size()) {
        return false;
    }
    if (IsFolderLocation(listed)) {
        return SameText(listed.c_str(), given.c_str(), listed.size());
    }
    const size_t slash = listed.find(L'\\');
    return slash != std::wstring::npos && given.compare(0, slash + 1, listed, 0, slash + 1) == 0 &&
           SameText(listed.c_str() + slash, given.c_str() + slash, listed.size() - slash);
}

void CheckLocation(const std::wstring& location) {
    if (IsFolderLocation(location)) {
        return;
    }
    const size_t slash = location.find(L'\\');
    if (slash == std::wstring::npos || slash + 1 == location.size() ||
        ShortNameToRootKey(location.substr(0, slash)) == nullptr) {
        throw UsageError(L"'" + location +
                         L"' is not a location: a root (HKLM, HKCU, HKU, HKCC, HKCR, HKDD), \"\\\" "
                         L"and a key path, or a Startup folder, as startup list shows it");
    }
}

int Move(const std::wstring& action, const std::wstring& name, const std::wstring& location) {
    const bool enable = action == L"enable";
    const StartupPlaces places = SystemStartupPlaces();
    if (places.scheme == StartupScheme::None) {
        return Fail(kCommand,
                    L"startup programs are not managed on this version of Windows (version "
                    L"class " +
                        std::to_wstring(WindowsVersionClass()) + L")");
    }
    const std::vector<StartupEntry> entries = ListStartupEntries(places);
    const StartupEntry* target = nullptr;
    bool inOtherState = false;
    for (const StartupEntry& entry : entries) {
        if (entry.name == name && SameLocation(entry.location, location)) {
            if (entry.enabled != enable) {
                target = &entry;
                break;
            }
            inOtherState = true;
        }
    }
    const std::wstring what = L"'" + name + L"' in " + location;
    if (target == nullptr) {
        return Fail(kCommand, inOtherState ? what + L" is " + action + L"d already"
                                           : L"there is no startup entry " + what);
    }
    const ChangeResult result = ApplyStartupChange(*target, places, enable);
    if (!result.done) {
        return Fail(kCommand, what + L" was not " + action + L"d: " + result.reason);
    }
    WriteOut((enable ? L"Enabled " : L"Disabled ") + what + L"\n");
    return kExitDone;
}

}  // namespace

int RunStartupCommand(const std::vector<std::wstring>& arguments) {
    std::vector<std::wstring> rest = arguments;
    const std::optional<std::wstring> location = TakeLocation(rest);
    const CommandLine line = ReadCommandLine(rest, {L"--json", kCsvFlag});
    if (line.operands.empty()) {
        throw UsageError(L"name what to do: list, disable or enable");
    }
    const std::wstring& action = line.operands.front();
    const OutputForm form = OutputFormOf(line.flags);
    if (action == L"list") {
        if (line.operands.size() != 1) {
            throw UsageError(L"startup list takes no operands");
        }
        if (location) {
            throw UsageError(L"--location goes with disable and enable only");
        }
        const StartupPlaces places = SystemStartupPlaces();
        const std::vector<StartupEntry> entries = ListStartupEntries(places);
        if (form == OutputForm::Json) {
            WriteOut(ListJson(entries, WindowsVersionClass(), places.scheme));
        } else if (form == OutputForm::Csv) {
            WriteOut(ListCsv(entries));
        } else {
            WriteOut(ListText(entries));
        }
        return kExitDone;
    }
    if (action != L"disable" && action != L"enable") {
        throw UsageError(L"unknown action '" + action + L"' (list, disable or enable)");
    }
    if (line.operands.size() != 2) {
        throw UsageError(L"startup " + action + L" takes one NAME (\"\" for an unnamed value)");
    }
    if (!location) {
        throw UsageError(L"startup " + action + L" needs --location LOC");
    }
    if (form != OutputForm::Text) {
        throw UsageError(L"--json and --csv go with startup list only");
    }
    CheckLocation(*location);
    return Move(action, line.operands[1], *location);
}

}  // namespace kestrova::cli
