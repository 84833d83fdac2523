#pragma once
// What the commands that read and change the data folder's stores share: their command line
// (options, flags, operands), list indices, the stores' files, and how a failure is told.

#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/xml_document.h"

namespace kestrova::cli {

inline constexpr wchar_t kHistoryFileName[] = L"Backup.xml";
inline constexpr wchar_t kIgnoreFileName[] = L"ignore.xml";

struct CommandLine {
    std::wstring dataFolder;             // with a trailing "\"; the program's folder by default
    std::set<std::wstring> flags;        // the flags given
    std::vector<std::wstring> operands;  // everything else, in order
};

// Reads "--data-folder DIR", the named flags (each at most once) and the operands. "--" ends
// the options: what follows is taken as operands, so an operand may begin with "--". Throws
// UsageError for any other argument that begins with "--".
CommandLine ReadCommandLine(const std::vector<std::wstring>& arguments,
                            std::initializer_list<std::wstring_view> flags);

// A decimal index below count; throws UsageError naming the list (`what`) otherwise.
size_t ParseIndex(const std::wstring& text, size_t count, const std::wstring& what);

// Loads the file into the document, or makes the document hold only a root element of the
// given tag when nothing of that name exists, under the data folder's lock (SharedStore), for
// a command that only reads. Throws XmlError naming the file when it cannot be read; the file
// is left as it is. A command that changes the store keeps its own SharedStore instead.
void OpenStore(XmlDocument& document, const std::wstring& path, const wchar_t* rootTag);

// Writes "kestrova-cli <command>: <message>" as a line to stderr; returns kExitFailed.
int Fail(std::wstring_view command, std::wstring_view message);

// True when the data folder exists; otherwise tells so and returns false.
bool DataFolderAvailable(std::wstring_view command, const std::wstring& dataFolder);

}  // namespace kestrova::cli
