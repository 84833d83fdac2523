#pragma once
// Counts and times the file probes and registry calls this program makes while the object
// lives, by pointing its own import table entries at counting stand-ins. It shows that the
// scan and the floor make the same probes, how many registry calls each needs, and how much
// of a run is spent outside both. Not for timed runs.

#include <cstddef>
#include <cstdint>

namespace kestrova::bench {

struct CallCounts {
    size_t fileProbes = 0;     // GetFileAttributesW
    uint64_t probedPaths = 0;  // sum of a hash of every probed path: equal sums, equal probes
    double probeMs = 0;        // time inside the probes
    size_t registryCalls = 0;  // opens, closes, enumerations, value and key queries
    double registryMs = 0;     // time inside the registry calls
};

class CallCounter {
public:
    CallCounter();
    ~CallCounter();
    CallCounter(const CallCounter&) = delete;
    CallCounter& operator=(const CallCounter&) = delete;

    // The counts since the last Take, which starts the next count at zero.
    CallCounts Take();
    // False when some import could not be found: the counts then miss those calls.
    bool Complete() const { return complete_; }

private:
    bool complete_ = true;
};

}  // namespace kestrova::bench
