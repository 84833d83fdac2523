#pragma once
// The road of a scan's rows to the window: the scan runs on a worker thread and hands every
// row, status text and counter through the UiChannel to this thread, which adds the rows to
// an ErrorList while it runs a message loop. Measures how long the loop goes without taking
// a message, and when the last row arrives.

#include <chrono>
#include <cstddef>

#include "platform/xml_document.h"

namespace kestrova::bench {

struct DeliveryFigures {
    size_t rows = 0;               // rows in the list at the end
    double scanMs = 0;             // the scan on the worker, start to end
    double lastRowMs = 0;          // scan start to the last row added to the list
    double longestPauseMs = 0;     // longest time between two messages taken by the loop
    double longestTimerGapMs = 0;  // longest time between two ticks of a 10 ms timer
    size_t batches = 0;            // channel batches that ran
};

// How the worker's sink hands its calls over: each call as an item of its own, or the calls
// of up to kGroupPeriod gathered into one item (in order, so rows, status texts and counters
// still arrive as they were made).
enum class Handover { EachCall, Grouped };
inline constexpr std::chrono::milliseconds kGroupPeriod{20};

// Runs on the calling thread, which must have COM initialised and no window of its own.
DeliveryFigures MeasureChannelDelivery(const XmlDocument& ignoreList, Handover handover);

}  // namespace kestrova::bench
