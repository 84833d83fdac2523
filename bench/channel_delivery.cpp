#include "channel_delivery.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#include <utility>

#include "loop_timing.h"
#include "platform/ui_channel.h"
#include "scan/error_list.h"
#include "scan/scan_driver.h"
#include "scan/scan_groups.h"

namespace kestrova::bench {

namespace {

// What the window thread keeps: the list, the status line and the counters.
struct WindowSide {
    ErrorList rows;
    std::wstring status;
    std::array<int, kScanGroupCount> counts{};
    Clock::time_point lastRow{};
    size_t batches = 0;
};

// The worker's sink: every call becomes work for the window thread, in order.
class ChannelSink : public ScanSink {
public:
    ChannelSink(UiPoster poster, WindowSide& window, Handover handover)
        : poster_(std::move(poster)), window_(window), handover_(handover) {}

    void AddRow(ErrorRow row) override {
        Hand([&window = window_, row = std::move(row)]() mutable {
            window.rows.Add(std::move(row));
            window.lastRow = Clock::now();
        });
    }
    void SetStatus(const std::wstring& text) override {
        Hand([&window = window_, text] { window.status = text; });
    }
    void SetGroupCount(int group, int count) override {
        Hand([&window = window_, group, count] { window.counts[group] = count; });
    }
    bool StopRequested() const override { return false; }
    bool GroupChecked(int) const override { return true; }

    // Posts what is still gathered; the worker calls it when the scan has ended.
    void Flush() {
        if (group_.empty()) {
            return;
        }
        poster_.Post([calls = std::move(group_)]() mutable {
            for (std::function<void()>& call : calls) {
                call();
            }
        });
        group_.clear();
        lastPost_ = Clock::now();
    }

private:
    void Hand(std::function<void()> call) {
        if (handover_ == Handover::EachCall) {
            poster_.Post(std::move(call));
            return;
        }
        group_.push_back(std::move(call));
        if (Clock::now() - lastPost_ >= kGroupPeriod) {
            Flush();
        }
    }

    UiPoster poster_;
    WindowSide& window_;
    Handover handover_;
    std::vector<std::function<void()>> group_;
    Clock::time_point lastPost_ = Clock::now();
};

}  // namespace

DeliveryFigures MeasureChannelDelivery(const XmlDocument& ignoreList, Handover handover) {
    UiChannel channel;
    WindowSide window;
    channel.SetBatchHooks(nullptr, [&window] { ++window.batches; });

    Clock::time_point started{};
    Clock::time_point scanEnded{};
    ChannelSink sink(channel.Poster(), window, handover);
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        started = Clock::now();
        RunScan(sink, ignoreList);
        sink.Flush();
        scanEnded = Clock::now();
        // Behind every row: the loop ends once everything before it has been taken.
        channel.Post([] { PostQuitMessage(0); });
        CoUninitialize();
    });

    const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
    DeliveryFigures figures;
    LoopPauses pauses;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        pauses.Took(message);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    KillTimer(nullptr, timer);
    worker.join();
    figures.longestPauseMs = pauses.LongestPauseMs();
    figures.longestTimerGapMs = pauses.LongestTimerGapMs();

    figures.rows = window.rows.Size();
    figures.scanMs = Ms(scanEnded - started);
    figures.lastRowMs = window.rows.Empty() ? 0 : Ms(window.lastRow - started);
    figures.batches = window.batches;
    return figures;
}

}  // namespace kestrova::bench
