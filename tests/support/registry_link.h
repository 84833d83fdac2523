#pragma once
// Registry links (symbolic-link keys) for tests: made with REG_OPTION_CREATE_LINK and a
// SymbolicLinkValue naming the target's full registry path, and removed without following.

#include <windows.h>

#include <string>

namespace kestrova::test {

// Makes root + linkPath a volatile link to targetRoot + targetPath (which must exist). Throws
// std::runtime_error when the registry refuses.
void MakeRegistryLink(HKEY root, const std::wstring& linkPath, HKEY targetRoot,
                      const std::wstring& targetPath);

// Removes the link itself (never its target); true when it went.
bool RemoveRegistryLink(HKEY root, const std::wstring& linkPath);

}  // namespace kestrova::test
