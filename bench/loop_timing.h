#pragma once
// Time keeping of the benchmark: milliseconds on the steady clock, and the pauses of a message
// loop.

#include <windows.h>

#include <algorithm>
#include <chrono>

namespace kestrova::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The longest pauses of a message loop, measured from its creation. Run a thread timer (10 ms)
// meanwhile: it keeps the loop waking while it idles, so a gap between two messages longer
// than its period means the message before held the loop up, and the timer's own gaps show
// how long low-priority messages (timers, painting) waited behind posted ones.
class LoopPauses {
public:
    // For each message the loop takes, before it is handled.
    void Took(const MSG& message) {
        const Clock::time_point now = Clock::now();
        longestPauseMs_ = std::max(longestPauseMs_, Ms(now - lastMessage_));
        if (message.message == WM_TIMER && message.hwnd == nullptr) {
            longestTimerGapMs_ = std::max(longestTimerGapMs_, Ms(now - lastTick_));
            lastTick_ = now;
        }
        lastMessage_ = now;
    }

    double LongestPauseMs() const { return longestPauseMs_; }
    double LongestTimerGapMs() const { return longestTimerGapMs_; }

private:
    Clock::time_point lastMessage_ = Clock::now();
    Clock::time_point lastTick_ = lastMessage_;
    double longestPauseMs_ = 0;
    double longestTimerGapMs_ = 0;
};

}  // namespace kestrova::bench
