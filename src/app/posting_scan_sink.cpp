#include "app/posting_scan_sink.h"

#include <utility>

namespace kestrova {

PostingScanSink::~PostingScanSink() {
    try {
        Flush();
    } catch (...) {
        // Out of memory while queuing: the rows gathered last cannot reach the window.
    }
}

void PostingScanSink::AddRow(ErrorRow row) {
    Gather(std::move(row));
}

void PostingScanSink::SetStatus(const std::wstring& text) {
    Gather(StatusCall{text});
}

void PostingScanSink::SetGroupCount(int group, int count) {
    Gather(CountCall{group, count});
}

bool PostingScanSink::StopRequested() const {
    FlushIfDue();
    return run_.StopRequested();
}

void PostingScanSink::Gather(Call call) {
    if (gathered_.empty()) {
        firstGathered_ = Clock::now();
    }
    gathered_.push_back(std::move(call));
    FlushIfDue();
}

void PostingScanSink::FlushIfDue() const {
    if (!gathered_.empty() &&
        (gathered_.size() >= kGatherLimit || Clock::now() - firstGathered_ >= kGatherPeriod)) {
        Flush();
    }
}

void PostingScanSink::Flush() const {
    if (gathered_.empty()) {
        return;
    }
    std::vector<Call> calls;
    calls.reserve(kGatherLimit);
    calls.swap(gathered_);
    poster_.Post([receivers = &receivers_, calls = std::move(calls)]() mutable {
        for (Call& call : calls) {
            if (ErrorRow* row = std::get_if<ErrorRow>(&call)) {
                receivers->addRow(std::move(*row));
            } else if (const StatusCall* status = std::get_if<StatusCall>(&call)) {
                receivers->setStatus(status->text);
            } else {
                const CountCall& count = std::get<CountCall>(call);
                receivers->setGroupCount(count.group, count.count);
            }
        }
    });
}

}  // namespace kestrova
