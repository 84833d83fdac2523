#pragma once
// The programs registered for removal, from the console, as the Uninstall Manager section
// lists them and deletes their registration keys:
//   kestrova-cli uninstall list [--json | --csv]
//   kestrova-cli uninstall delete KEYPATH [KEYPATH ...]
// KEYPATH is a registration's key path under HKEY_LOCAL_MACHINE as the list shows it;
// nothing but the Uninstall key's own subkeys is ever deleted.

#include <string>
#include <vector>

namespace kestrova::cli {

int RunUninstallCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
