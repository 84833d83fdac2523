#pragma once
// What a scan check may do while it runs: report an error through the ignore-list filter,
// add a row directly, show the key in hand, write its counter and ask whether to stop.

#include <string>
#include <utility>

#include "platform/xml_document.h"
#include "scan/error_row.h"
#include "scan/ignore_list_index.h"
#include "scan/scan_sink.h"

namespace kestrova {

class ScanContext {
public:
    ScanContext(ScanSink& sink, const XmlDocument& ignoreList)
        : sink_(sink), ignoreList_(ignoreList) {}

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
};

}  // namespace kestrova
