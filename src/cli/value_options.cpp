#include "cli/value_options.h"

#include "cli/exit_codes.h"

namespace kestrova::cli {

std::wstring OptionValues::Value(const std::wstring& name) const {
    const auto found = values.find(name);
    return found == values.end() ? std::wstring() : found->second.front();
}

std::vector<std::wstring> OptionValues::All(const std::wstring& name) const {
    const auto found = values.find(name);
    return found == values.end() ? std::vector<std::wstring>() : found->second;
}

OptionValues ReadOptionValues(const std::vector<std::wstring>& arguments,
                              std::initializer_list<ValueOption> options,
                              std::initializer_list<std::wstring_view> flags) {
    OptionValues line;
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
        const ValueOption* option = nullptr;
        for (const ValueOption& known : options) {
            option = argument == known.name ? &known : option;
        }
        if (option || argument == L"--data-folder") {
            if (i + 1 >= arguments.size() ||
                (arguments[i + 1].empty() && !(option && option->emptyAllowed))) {
                throw UsageError(argument + L" needs a value");
            }
            std::vector<std::wstring>& values = line.values[argument];
            if (!values.empty() && !(option && option->repeatable)) {
                throw UsageError(argument + L" may be given once");
            }
            values.push_back(arguments[++i]);
            continue;
        }
        bool known = false;
        for (const std::wstring_view flag : flags) {
            known = known || argument == flag;
        }
        if (!known || !line.flags.insert(argument).second) {
            throw UsageError(L"unexpected argument '" + argument + L"'");
        }
    }
    bool keepDataFolder = false;
    for (const ValueOption& known : options) {
        keepDataFolder = keepDataFolder || known.name == L"--data-folder";
    }
    if (!keepDataFolder) {
        line.values.erase(L"--data-folder");
    }
    return line;
}

unsigned long long ParseByteCount(const std::wstring& text, const std::wstring& option) {
    const bool digits = !text.empty() && text.size() <= 19 &&
                        text.find_first_not_of(L"0123456789") == std::wstring::npos;
    if (!digits) {
        throw UsageError(option + L" takes a number of bytes, not '" + text + L"'");
    }
    return std::stoull(text);
}

}  // namespace kestrova::cli
