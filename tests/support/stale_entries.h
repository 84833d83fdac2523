#pragma once
// Stale registry entries for the fix-and-restore stress checks: entries in seven scan groups
// (application paths, COM servers, help files, fonts, shared DLLs, sound events, uninstall
// entries) whose data names files in a folder that does not exist, so a scan of those groups
// reports each one, checked. Keys that a fix deletes whole carry values of many types and a
// small tree below them, so a restore has more to bring back than one text.

#include <string>

namespace kestrova::test {

// The scan groups the entries lie in, as kestrova-cli's --groups takes them: "0,1,2,3,6,9,10".
std::wstring StaleEntryGroups();

// Writes `count` entries into the registry of this process (a sandbox), spread over the
// groups; `tag` goes into every name. Throws std::runtime_error when the registry refuses.
void MakeStaleEntries(size_t count, const std::wstring& tag);

}  // namespace kestrova::test
