#pragma once
// The floor a scan is measured against: the same registry reads and file probes as the
// thirteen groups' checks, made with raw API calls and nothing else (no wrapper objects, no
// rows, no status texts, no ignore list). It understands only the data forms the benchmark
// writes (plain paths, and quoted programs followed by arguments).

#include <cstddef>

namespace kestrova::bench {

struct FloorResult {
    size_t entries = 0;  // entries judged
    size_t stale = 0;    // entries a scan reports
};

FloorResult FloorScan();

}  // namespace kestrova::bench
