#include "cli/command_support.h"

#include "cli/console_output.h"
#include "platform/file_paths.h"
#include "cli/exit_codes.h"
#include "repair/shared_store.h"
#include "scan/path_exists.h"

namespace kestrova::cli {

CommandLine ReadCommandLine(const std::vector<std::wstring>& arguments,
                            std::initializer_list<std::wstring_view> flags) {
    CommandLine line;
    bool folderGiven = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (optionsEnded || argument.compare(0, 2, L"--") != 0) {
            line.operands.push_back(argument);
        } else if (argument == L"--") {
            optionsEnded = true;
        } else if (argument == L"--data-folder" && !folderGiven) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                throw UsageError(L"--data-folder needs a folder");
            }
            line.dataFolder = WithTrailingBackslash(arguments[++i]);
            folderGiven = true;
        } else {
            bool known = false;
            for (const std::wstring_view flag : flags) {
                known = known || argument == flag;
            }
            if (!known || !line.flags.insert(argument).second) {
                throw UsageError(L"unexpected argument '" + argument + L"'");
            }
        }
    }
    if (!folderGiven) {
        line.dataFolder = FolderOf(ExecutablePath());
    }
    return line;
}

size_t ParseIndex(const std::wstring& text, size_t count, const std::wstring& what) {
    const bool digits = !text.empty() && text.size() <= 9 &&
                        text.find_first_not_of(L"0123456789") == std::wstring::npos;
    const size_t index = digits ? static_cast<size_t>(std::stoul(text)) : count;
    if (index >= count) {
        const std::wstring range =
            count == 0 ? L"it is empty" : L"0 to " + std::to_wstring(count - 1);
        throw UsageError(L"'" + text + L"' is not an entry of the " + what + L" (" + range + L")");
    }
    return index;
}

void OpenStore(XmlDocument& document, const std::wstring& path, const wchar_t* rootTag) {
    SharedStore(document, path, rootTag).Open();
}

int Fail(std::wstring_view command, std::wstring_view message) {
    WriteErr(L"kestrova-cli " + std::wstring(command) + L": " + std::wstring(message) + L"\n");
    return kExitFailed;
}

bool DataFolderAvailable(std::wstring_view command, const std::wstring& dataFolder) {
    if (FolderExists(dataFolder)) {
        return true;
    }
    Fail(command, L"the data folder " + dataFolder + L" does not exist");
    return false;
}

}  // namespace kestrova::cli
