#pragma once
// The one ordered road from worker threads to the window thread. Items posted from any
// thread run on the window thread in the order posted, in batches small enough to keep
// the message loop responsive while a worker produces rows faster than they can be shown.

#include <windows.h>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>

namespace kestrova {

namespace detail {
class UiChannelState;
}

// A copyable way to post to a channel that may already be gone: items posted after the
// channel's destruction are dropped. Workers keep one of these rather than the channel.
class UiPoster {
public:
    UiPoster() = default;
    // Queues item to run on the window thread; dropped when the channel is gone.
    void Post(std::function<void()> item) const;

private:
    friend class UiChannel;
    explicit UiPoster(std::shared_ptr<detail::UiChannelState> state) : state_(std::move(state)) {}

    std::shared_ptr<detail::UiChannelState> state_;
};

// Created and destroyed on the window thread; owns a message-only window there. Items
// still queued when it is destroyed are dropped without running.
class UiChannel {
public:
    // A drain stops once it has run this long and lets the message loop take its turn.
    static constexpr std::chrono::milliseconds kBatchBudget{30};

    UiChannel();
    ~UiChannel();
    UiChannel(const UiChannel&) = delete;
    UiChannel& operator=(const UiChannel&) = delete;

    // Any thread. Queues item to run on the window thread after everything posted before.
    void Post(std::function<void()> item) const;
    UiPoster Poster() const { return UiPoster(state_); }

    // Window thread. before runs ahead of each batch of items and after behind it, so a list
    // view can turn redraw off and set its item count once per batch. Either may be empty.
    void SetBatchHooks(std::function<void()> before, std::function<void()> after);
    // Window thread. Receives what an item, hook or timer throws; without one it is dropped
    // and the next item runs.
    void SetErrorHandler(std::function<void(std::exception_ptr)> handler);

    // Any thread. Calls tick on the window thread every intervalMs until StopTimer; returns
    // the timer's id (never 0). From another thread the timer starts once the items posted
    // before it have run.
    UINT_PTR StartTimer(UINT intervalMs, std::function<void()> tick);
    // Any thread. No tick of the timer starts after this returns.
    void StopTimer(UINT_PTR id);

    HWND Window() const;
    DWORD WindowThreadId() const;

private:
    std::shared_ptr<detail::UiChannelState> state_;
};

}  // namespace kestrova
