#pragma once
// The data folder's ignore list (ignore.xml) from the console, as the Ignore List section
// shows and changes it:
//   kestrova-cli ignore list [--json | --csv] [--data-folder DIR]
//   kestrova-cli ignore add ROOT KEY VALUE [--data-folder DIR]
//   kestrova-cli ignore remove N [N ...] [--data-folder DIR]
// Every change saves ignore.xml at once. A list with an entry that lacks one of its
// attributes is refused whole by add and remove, before anything changes; list shows the
// other entries (by their index in the file), tells the bad ones and exits with 1.

#include <string>
#include <vector>

namespace kestrova::cli {

int RunIgnoreCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
