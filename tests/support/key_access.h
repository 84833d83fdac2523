#pragma once
// Changes who may do what with a registry key, so a test can make the program's registry
// calls fail as they would without rights.

#include <windows.h>

#include <string>

namespace kestrova::test {

// Gives the key at path (below root; a leading "\" is allowed) the access rules of sddl, a
// DACL in the security descriptor language ("D:(A;;GA;;;WD)" lets everybody do everything).
// The test fails when that cannot be done.
void SetKeyAccess(HKEY root, const std::wstring& path, const wchar_t* sddl);

}  // namespace kestrova::test
