#pragma once
// One run of the registry scan: the checked groups in index order, each reporting through the
// sink. The caller prepares the list and the counters before (cleared, every counter "0") and
// shows the end afterwards; the run itself only appends and writes.

#include <string>

#include "platform/xml_document.h"
#include "scan/scan_sink.h"

namespace kestrova {

struct ScanOutcome {
    enum class End {
        Completed,  // every group was reached
        Stopped,    // a stop was asked for before a group
        Failed,     // an error inside a check ended the run
    };
    End end = End::Completed;
    std::wstring error;  // the error's message when the run failed
};

// Runs the scan on the calling thread, which must have COM initialised (the ignore list is an
// MSXML document). The stop flag is tested before each group; each group's check box is read
// when the run reaches it. An error inside a check, of whatever kind, ends the run: the rows
// found so far stay, that group's counter stays unwritten, and the error's text comes back in
// the outcome; nothing is thrown.
ScanOutcome RunScan(ScanSink& sink, const XmlDocument& ignoreList);

// The status line once a run has ended: "Scan done !" after a run that completed or was
// stopped, "Scan failed: " and the error's text after a run that an error ended.
std::wstring ScanEndStatus(const ScanOutcome& outcome);

}  // namespace kestrova
