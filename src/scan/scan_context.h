#pragma once
// What a scan check may do while it runs: test whether data names a file that is gone, report
// an error through the ignore-list filter, add a row directly, show the key in hand, write its
// counter and ask whether to stop.

#include <string>
#include <utility>
#include <vector>

#include "platform/key_path.h"
#include "platform/xml_document.h"
#include "scan/error_row.h"
#include "scan/ignore_list_index.h"
#include "scan/registry_views.h"
#include "scan/scan_sink.h"
#include "scan/search_places.h"
#include "scan/target_missing.h"

namespace kestrova {

class ScanContext {
public:
    // Files are probed on the system's own file system, bare names looked up in its folders;
    // the 32-bit registry view is walked where the system has one (registry_views.h).
    ScanContext(ScanSink& sink, const XmlDocument& ignoreList)
        : ScanContext(sink, ignoreList, ownProbe_, SystemSearchPlaces(), Has32BitRegistryView()) {}
    // Files are probed through probe and bare names looked up in places, which a test makes
    // to show what its machine cannot have; the 32-bit view is walked only when asked.
    ScanContext(ScanSink& sink, const XmlDocument& ignoreList, FileProbe& probe,
                SearchPlaces places, bool walk32BitView = false)
        : sink_(sink),
          ignoreList_(ignoreList),
          targets_(probe, std::move(places)),
          walk32BitView_(walk32BitView) {}
    ScanContext(const ScanContext&) = delete;
    ScanContext& operator=(const ScanContext&) = delete;

    // The test of the groups whose data names files; it remembers what it learnt of each
    // drive for the run.
    TargetTest& Targets() { return targets_; }

    // The keys to walk for a key that 64-bit Windows keeps apart for 32-bit programs (see
    // registry_views.h): the key itself, then the 32-bit view's copy when this scan walks
    // that view and the copy is a key of its own (not a link to the same key, as Windows 7
    // and later share some). Rows found there carry the "Wow6432Node" path in their Key Name.
    std::vector<KeyPath> ViewsOf(const KeyPath& key) const;

    // Unless the ignore list matches keyName, appends a checked row (image 1) and adds one
    // to counter; a matched entry adds nothing and leaves counter alone.
    void ReportError(const std::wstring& errorType, const std::wstring& keyName,
                     const std::wstring& keyValue, int& counter, const std::wstring& guessPath);
    // Appends a row as it is, without consulting the ignore list.
    void AddRow(ErrorRow row) { sink_.AddRow(std::move(row)); }

    void SetStatus(const std::wstring& text) { sink_.SetStatus(text); }
    void WriteCounter(int group, int count) { sink_.SetGroupCount(group, count); }
    bool StopRequested() const { return sink_.StopRequested(); }

private:
    ScanSink& sink_;
    // Follows every change made to the ignore list during the run.
    IgnoreListIndex ignoreList_;
    FileProbe ownProbe_;  // unused when a probe is given
    TargetTest targets_;
    bool walk32BitView_;
};

}  // namespace kestrova
