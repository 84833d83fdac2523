#pragma once
// The Windows registry editor (regedit.exe), run hidden as a child process to export a key to
// a .reg file and to import such a file. The editor tells nothing of how it went (it exits
// with 0 even when it failed, and some editors refuse switches others take), so an export is
// judged by the file it leaves behind, and only the switches every editor takes are used:
// "/e FILE KEY" and "/s FILE".

#include <functional>
#include <optional>
#include <string>

namespace kestrova {

// Runs the registry editor with commandLine (its arguments, beginning with a blank) and,
// unless empty, workingFolder as its current folder; waits for it to end. Returns whether it
// could be started.
using RegistryEditorRun =
    std::function<bool(const std::wstring& commandLine, const std::wstring& workingFolder)>;

// WindowsFolder() + "regedit.exe", hidden.
bool RunRegistryEditor(const std::wstring& commandLine, const std::wstring& workingFolder);

// text in double quotes as one argument of a command line: a quote inside is escaped, and
// backslashes are doubled where they come before a quote.
std::wstring QuotedArgument(const std::wstring& text);
// " /e \"FILE\" \"KEY\"": the key (a root's long name, perhaps with a path) with everything
// below it into the file.
std::wstring ExportCommandLine(const std::wstring& file, const std::wstring& keyName);
// " /s \"FILE\"": the file imported without a question.
std::wstring ImportCommandLine(const std::wstring& file);

// Exports keyName into file (a full path, or a name in workingFolder). A file of that name is
// deleted first, so that only what this run writes counts. Returns nothing when the editor
// left a file that is not empty, else why not: "the registry editor could not be started",
// "the registry editor wrote no file", "the registry editor wrote an empty file", or that the
// old file could not be replaced.
std::optional<std::wstring> ExportKey(const RegistryEditorRun& run, const std::wstring& file,
                                      const std::wstring& keyName,
                                      const std::wstring& workingFolder);

// Imports file (a full path, or a name in workingFolder). Returns nothing when the editor ran
// on it, else why not: the file is missing (FILE " is missing") or empty (FILE " is empty"),
// or the editor could not be started. What the editor did with the file cannot be told.
std::optional<std::wstring> ImportFile(const RegistryEditorRun& run, const std::wstring& file,
                                       const std::wstring& workingFolder);

// The size of a file in bytes; -1 when it does not exist or is a folder.
long long FileSizeOf(const std::wstring& path);

}  // namespace kestrova
