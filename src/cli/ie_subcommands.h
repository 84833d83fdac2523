#pragma once
// The four actions of "kestrova-cli ie" (ie_command.h), with their command line read.

#include <string>
#include <vector>

#include "cli/csv_output.h"
#include "managers/ie_addons.h"
#include "managers/ie_traces.h"

namespace kestrova::cli {

// Prints the files the marked actions' searches find; searches whose folder is not known are
// told on stderr (in the JSON, in its "skipped" instead). Exit 0.
int RunIeTracesScan(const IeActionMarks& marks, OutputForm form);

// Runs the marked registry actions and deletes every file the marked searches find. Exit 1
// when an action failed, a search could not run, or a file could not be deleted, each told
// on stderr.
int RunIeTracesClean(const IeActionMarks& marks);

int RunIeAddonsList(const AddonKinds& kinds, OutputForm form);

// Removes the add-ons of these IDs (AddonRow::id), recorded in dataFolder's Backup.xml. An
// ID that is not listed is a usage error, before anything changes. Exit 1 when an add-on is
// protected or was not removed whole.
int RunIeAddonsDelete(const std::vector<std::wstring>& ids, const std::wstring& dataFolder);

}  // namespace kestrova::cli
