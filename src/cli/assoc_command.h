#pragma once
// File associations of HKEY_CLASSES_ROOT from the console, as the File Extensions Manager
// lists and changes them:
//   kestrova-cli assoc list [--json | --csv]          every extension, in the order read
//   kestrova-cli assoc show EXT [--json | --csv]
//   kestrova-cli assoc set EXT [--type T] [--description D] --command C [--icon I]
//   kestrova-cli assoc delete EXT             its file type too, unless another extension
//                                             names it
//   kestrova-cli assoc backup EXT FILE        FILE as given (no ".dat" added)
//   kestrova-cli assoc restore FILE
// EXT is the extension's key with its leading ".".

#include <string>
#include <vector>

namespace kestrova::cli {

int RunAssocCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
