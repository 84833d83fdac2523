#pragma once
// Where a scan run sends what it finds and where it learns what to do. The window implements
// it by handing each call to its own thread in order; tests and the console front end collect
// the calls directly. Every call comes from the thread that runs the scan.

#include <string>

#include "scan/error_row.h"

namespace kestrova {

class ScanSink {
public:
    virtual ~ScanSink() = default;

    // Appends a row to the error list.
    virtual void AddRow(ErrorRow row) = 0;
    // The status line: the key in hand.
    virtual void SetStatus(const std::wstring& text) = 0;
    // Writes a group's count of rows into its "Errors" cell.
    virtual void SetGroupCount(int group, int count) = 0;
    // True once a stop was asked for.
    virtual bool StopRequested() const = 0;
    // The group's check box, read when the run reaches the group.
    virtual bool GroupChecked(int group) const = 0;
};

}  // namespace kestrova
