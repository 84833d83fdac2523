#pragma once
// Gathers a worker's calls and posts them to the window thread together: one channel item
// (and at most one window message) per kGatherPeriod or kGatherLimit calls instead of one per
// call, which under Wine keeps the message traffic from slowing the worker's own registry
// calls. The window thread receives every call, in the order made.

#include <chrono>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "platform/ui_channel.h"

namespace kestrova {

template <typename Call>
class CallGatherer {
public:
    // Gathered calls are posted once the oldest is this old, or once there are this many.
    static constexpr std::chrono::milliseconds kGatherPeriod{20};
    static constexpr size_t kGatherLimit = 256;

    // Runs on the window thread with the calls of one post, in order.
    using Deliver = std::function<void(std::vector<Call>& calls)>;

    CallGatherer(UiPoster poster, Deliver deliver)
        : poster_(std::move(poster)), deliver_(std::move(deliver)) {}
    // Posts what is still gathered, so everything the run made is queued before the run
    // returns and its terminate event is queued behind it.
    ~CallGatherer() {
        try {
            Flush();
        } catch (...) {
            // Out of memory while queuing: the calls gathered last cannot reach the window.
        }
    }
    CallGatherer(const CallGatherer&) = delete;
    CallGatherer& operator=(const CallGatherer&) = delete;

    void Gather(Call call) {
        if (gathered_.empty()) {
            firstGathered_ = Clock::now();
        }
        gathered_.push_back(std::move(call));
        FlushIfDue();
    }

    // Posts the gathered calls when they are due, so they also go out in a stretch in which
    // the worker makes no call.
    void FlushIfDue() {
        if (!gathered_.empty() &&
            (gathered_.size() >= kGatherLimit || Clock::now() - firstGathered_ >= kGatherPeriod)) {
            Flush();
        }
    }

    // Posts the gathered calls as one item.
    void Flush() {
        if (gathered_.empty()) {
            return;
        }
        std::vector<Call> calls;
        calls.reserve(kGatherLimit);
        calls.swap(gathered_);
        poster_.Post([deliver = deliver_, calls = std::move(calls)]() mutable { deliver(calls); });
    }

private:
    using Clock = std::chrono::steady_clock;

    UiPoster poster_;
    Deliver deliver_;
    std::vector<Call> gathered_;
    Clock::time_point firstGathered_{};
};

}  // namespace kestrova
