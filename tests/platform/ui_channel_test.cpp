#include "platform/ui_channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/message_pump.h"

namespace kestrova {
namespace {

using test::PumpMessagesFor;
using test::PumpMessagesUntil;

TEST(UiChannelTest, KeepsPostOrderAcrossThreadsAndRunsOnWindowThread) {
    UiChannel channel;
    constexpr int kThreads = 4;
    constexpr int kPerThread = 5000;
    // A ticket drawn under the same lock as the post gives the order the posts were made in.
    std::mutex postMutex;
    int nextTicket = 0;
    std::vector<int> delivered;
    std::atomic<int> offThread{0};
    const DWORD windowThread = GetCurrentThreadId();

    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([&] {
            for (int i = 0; i < kPerThread; ++i) {
                std::lock_guard<std::mutex> lock(postMutex);
                const int ticket = nextTicket++;
                channel.Post([&, ticket] {
                    delivered.push_back(ticket);
                    if (GetCurrentThreadId() != windowThread) {
                        ++offThread;
                    }
                });
            }
        });
    }
    // Drain while the producers are still posting.
    ASSERT_TRUE(PumpMessagesUntil([&] { return delivered.size() == kThreads * kPerThread; }));
    for (auto& producer : producers) {
        producer.join();
    }
    for (int i = 0; i < static_cast<int>(delivered.size()); ++i) {
        ASSERT_EQ(i, delivered[i]);
    }
    EXPECT_EQ(0, offThread.load());
}

TEST(UiChannelTest, ItemPostedByAnItemRunsAfterThoseAlreadyQueued) {
    UiChannel channel;
    std::string order;
    channel.Post([&] {
        order += 'A';
        channel.Post([&] { order += 'C'; });
    });
    channel.Post([&] { order += 'B'; });
    ASSERT_TRUE(PumpMessagesUntil([&] { return order.size() == 3; }));
    EXPECT_EQ("ABC", order);
}

TEST(UiChannelTest, HooksBracketEveryBatch) {
    UiChannel channel;
    std::string log;
    channel.SetBatchHooks([&] { log += '('; }, [&] { log += ')'; });
    std::atomic<int> done{0};
    std::thread producer([&] {
        for (int i = 0; i < 2000; ++i) {
            channel.Post([&] {
                log += 'x';
                ++done;
            });
            if (i % 100 == 0) {
                Sleep(1);  // spread the items over several drains
            }
        }
    });
    ASSERT_TRUE(PumpMessagesUntil([&] { return done == 2000; }));
    producer.join();
    PumpMessagesFor(50);  // a drain message that finds the queue empty must add no hooks

    int depth = 0;
    int items = 0;
    for (const char c : log) {
        if (c == '(') {
            ASSERT_EQ(0, depth) << log;
            ++depth;
        } else if (c == ')') {
            ASSERT_EQ(1, depth) << log;
            --depth;
        } else {
            ASSERT_EQ(1, depth) << "item outside a batch";
            ++items;
        }
    }
    EXPECT_EQ(0, depth);
    EXPECT_EQ(2000, items);
    EXPECT_EQ(std::string::npos, log.find("()")) << "empty batch";
}

TEST(UiChannelTest, HugeBurstArrivesWholeInOrderSplitIntoBatches) {
    UiChannel channel;
    UiChannel other;  // stands for the rest of the window: its messages must get a turn
    constexpr int kItems = 100000;
    std::vector<int> delivered;
    delivered.reserve(kItems);
    int batches = 0;
    size_t deliveredWhenOtherRan = 0;
    bool otherRan = false;
    channel.SetBatchHooks([&] { ++batches; }, nullptr);

    for (int i = 0; i < kItems; ++i) {
        channel.Post([&, i] {
            if (i == 0) {
                other.Post([&] {
                    otherRan = true;
                    deliveredWhenOtherRan = delivered.size();
                });
            }
            // Rows that take a while to show: together far more than one batch's budget.
            if (i % 1000 == 999) {
                Sleep(3);
            }
            delivered.push_back(i);
        });
    }
    ASSERT_TRUE(PumpMessagesUntil([&] { return delivered.size() == kItems; }));
    for (int i = 0; i < kItems; ++i) {
        ASSERT_EQ(i, delivered[i]);
    }
    EXPECT_GE(batches, 2);
    ASSERT_TRUE(otherRan);
    EXPECT_LT(deliveredWhenOtherRan, static_cast<size_t>(kItems))
        << "another window's message waited for the whole burst";
}

TEST(UiChannelTest, ThrowingItemGoesToErrorHandlerAndLaterItemsRun) {
    UiChannel channel;
    std::vector<std::string> errors;
    channel.SetErrorHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            errors.push_back(e.what());
        }
    });
    std::string order;
    channel.Post([&] { order += 'A'; });
    channel.Post([] { throw std::runtime_error("broken row"); });
    channel.Post([&] { order += 'B'; });
    ASSERT_TRUE(PumpMessagesUntil([&] { return order.size() == 2; }));
    EXPECT_EQ("AB", order);
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ("broken row", errors[0]);
}

TEST(UiChannelTest, DestroyingDropsPendingItemsAndLaterPostsAreHarmless) {
    auto channel = std::make_unique<UiChannel>();
    const UiPoster poster = channel->Poster();
    int ran = 0;
    auto lifetime = std::make_shared<int>(0);
    channel->Post([&ran, lifetime] { ++ran; });
    poster.Post([&ran] { ++ran; });
    channel.reset();

    EXPECT_EQ(1, lifetime.use_count()) << "a dropped item was not freed";
    poster.Post([&ran] { ++ran; });
    std::thread([&] { poster.Post([&ran] { ++ran; }); }).join();
    PumpMessagesFor(100);
    EXPECT_EQ(0, ran);
}

TEST(UiChannelTest, TimerTicksOnWindowThreadUntilStopped) {
    UiChannel channel;
    const DWORD windowThread = GetCurrentThreadId();
    // Started from the window thread and from a worker; both tick on the window thread.
    for (const bool fromWorker : {false, true}) {
        SCOPED_TRACE(fromWorker ? "started by a worker" : "started on the window thread");
        int ticks = 0;
        bool offThread = false;
        const auto tick = [&] {
            ++ticks;
            offThread = offThread || GetCurrentThreadId() != windowThread;
        };
        UINT_PTR id = 0;
        if (fromWorker) {
            std::thread([&] { id = channel.StartTimer(10, tick); }).join();
        } else {
            id = channel.StartTimer(10, tick);
        }
        ASSERT_NE(0u, id);
        ASSERT_TRUE(PumpMessagesUntil([&] { return ticks >= 3; }));
        EXPECT_FALSE(offThread);
        if (fromWorker) {
            std::thread([&] { channel.StopTimer(id); }).join();
        } else {
            channel.StopTimer(id);
        }
        const int stoppedAt = ticks;
        PumpMessagesFor(100);
        EXPECT_EQ(stoppedAt, ticks);
    }
}

}  // namespace
}  // namespace kestrova
