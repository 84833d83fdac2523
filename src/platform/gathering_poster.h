#pragma once
// What a worker hands the window thread, gathered on the worker and posted together: one
// channel item (and at most one window message) per kGatherPeriod or kGatherLimit items
// instead of one per item, which under Wine keeps the message traffic from slowing the
// worker's own work. The window thread receives every item in the order added.

#include <chrono>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "platform/ui_channel.h"

namespace kestrova {

template <class Item>
class GatheringPoster {
public:
    // Gathered items are posted once the oldest is this old, or once there are this many.
    static constexpr std::chrono::milliseconds kGatherPeriod{20};
    static constexpr size_t kGatherLimit = 256;

    // Runs on the window thread for each item; each posted batch holds a copy, so what it
    // reaches must outlive the items posted (items left when the channel goes are dropped).
    using Receiver = std::function<void(Item& item)>;

    GatheringPoster(UiPoster poster, Receiver receive)
        : poster_(std::move(poster)), receive_(std::move(receive)) {}
    // Posts what is still gathered, so everything the worker added is queued before its run
    // returns and the run's terminate event is queued behind it.
    ~GatheringPoster() {
        try {
            Flush();
        } catch (...) {
            // Out of memory while queuing: the items gathered last cannot reach the window.
        }
    }
    GatheringPoster(const GatheringPoster&) = delete;
    GatheringPoster& operator=(const GatheringPoster&) = delete;

    // Worker thread, as everything below.
    void Add(Item item) {
        if (gathered_.empty()) {
            firstGathered_ = Clock::now();
        }
        gathered_.push_back(std::move(item));
        FlushIfDue();
    }

    // Posts the gathered items when they are due; a worker polling for a stop calls it too,
    // so items go out during a stretch in which nothing new is added.
    void FlushIfDue() {
        if (!gathered_.empty() &&
            (gathered_.size() >= kGatherLimit || Clock::now() - firstGathered_ >= kGatherPeriod)) {
            Flush();
        }
    }

    // Posts the gathered items as one channel item.
    void Flush() {
        if (gathered_.empty()) {
            return;
        }
        std::vector<Item> items;
        items.reserve(kGatherLimit);
        items.swap(gathered_);
        poster_.Post([receive = receive_, items = std::move(items)]() mutable {
            for (Item& item : items) {
                receive(item);
            }
        });
    }

private:
    using Clock = std::chrono::steady_clock;

    UiPoster poster_;
    Receiver receive_;
    std::vector<Item> gathered_;
    Clock::time_point firstGathered_{};
};

}  // namespace kestrova
