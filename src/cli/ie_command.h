#pragma once
// "kestrova-cli ie": the Internet Explorer traces cleaner and add-ons manager.
//   ie traces scan [--actions N,N] [--json | --csv]   the files the marked actions' searches find
//   ie traces clean [--actions N,N]           the marked registry actions, then those files
//   ie addons list [--kinds K,K] [--json | --csv]     the add-ons of the given kinds
//   ie addons delete ID [ID ...] [--data-folder DIR]
//                                             removes add-ons, recorded in Backup.xml
// Actions are 0 to 6 as the section lists them (2, 4 and 6 by default); kinds are toolbars,
// browser-extensions, explorer-bars, menu-extensions and download-handler (all by default).

#include <string>
#include <vector>

namespace kestrova::cli {

int RunIeCommand(const std::vector<std::wstring>& arguments);

}  // namespace kestrova::cli
