#pragma once
// The name and path rules of the file search: splitting lists, the subfolder marks of a folder
// entry, the folder form targets are kept in, and the exclusion masks with their simple
// wildcard matcher (not a glob: a "*" ends the match).

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// Equal without regard to case (the system's ordinal comparison).
bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b);
// Letters a to z as capitals; every other character as it is.
wchar_t UpperAscii(wchar_t c);
std::wstring UpperAscii(std::wstring text);

// Cuts text at every ";", trims blanks and control characters from each piece, and keeps the
// non-empty pieces in order, each once (compared without regard to case).
std::vector<std::wstring> SplitList(std::wstring_view text);

// Takes a leading ">" (subfolders searched) or "<" (this folder alone) off entry; without
// either the flag is `otherwise`.
bool TakeSubfolderFlag(std::wstring& entry, bool otherwise);

// path with "\" added unless it is empty or ends in "\" or ":".
std::wstring IncludeTrailingDelimiter(std::wstring path);

// The full path of path; a path on a network drive comes back in its \\server\share form.
// An empty path stays empty.
std::wstring ExpandUncFileName(const std::wstring& path);

// The part of path up to and including its last "\" or ":", and the rest.
std::wstring PathPart(std::wstring_view path);
std::wstring NamePart(std::wstring_view path);

// The drive of a path: a letter and ":", or a \\server\share prefix; empty otherwise.
std::wstring DrivePart(std::wstring_view path);

// Both walked from the start; a "*" in the mask ends the match with true, a "?" takes any one
// character, others must be equal (letters a to z compared as capitals). A mask that runs out
// first fails; when the name runs out, only "*" and "?" may be left in the mask.
bool WildcardMatch(std::wstring_view name, std::wstring_view mask);

// Base names and extensions (from the last ".") compared apart with WildcardMatch; a mask
// without extension ignores the file's extension, and a file without one counts as ".".
bool FileNameMatchesMask(std::wstring_view fileName, std::wstring_view mask);

// Whether a file's drive fits the drive of an exclusion mask.
bool DriveMatchesMask(std::wstring_view fileDrive, std::wstring_view maskDrive);

// Whether an exclusion mask (optional drive, optional folder path, optional file mask) takes
// the file fileName in folder. A folder path in the mask is matched against the end of the
// file's folder.
bool ExcludeMaskMatches(std::wstring_view folder, std::wstring_view fileName,
                        std::wstring_view mask);

}  // namespace kestrova
