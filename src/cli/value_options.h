#pragma once
// A command line of options that take values ("--location DIR", "--exclude PATH" given any
// number of times), flags and operands, for the commands of the file tools.

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::cli {

struct ValueOption {
    std::wstring_view name;
    bool repeatable = false;    // may be given more than once
    bool emptyAllowed = false;  // "" is a value of its own (a list of nothing)
};

struct OptionValues {
    std::map<std::wstring, std::vector<std::wstring>> values;  // by option, in order given
    std::set<std::wstring> flags;
    std::vector<std::wstring> operands;

    bool Has(const std::wstring& name) const { return values.count(name) + flags.count(name) > 0; }
    // The value of a single option, or empty when it was not given.
    std::wstring Value(const std::wstring& name) const;
    // Every value of a repeatable option.
    std::vector<std::wstring> All(const std::wstring& name) const;
};

// Reads the options (each needs a value, non-empty unless allowed), the flags (each at most
// once) and the operands; "--" ends the options. "--data-folder DIR" is always taken, and kept
// only when it is one of the options: the other commands keep no files in the data folder.
// Throws UsageError for anything else that begins with "--".
OptionValues ReadOptionValues(const std::vector<std::wstring>& arguments,
                              std::initializer_list<ValueOption> options,
                              std::initializer_list<std::wstring_view> flags);

// A decimal byte count; throws UsageError naming the option otherwise.
unsigned long long ParseByteCount(const std::wstring& text, const std::wstring& option);

}  // namespace kestrova::cli
