#include "app/posting_scan_sink.h"

#include <utility>

namespace kestrova {

PostingScanSink::PostingScanSink(UiPoster poster, const ScanReceivers& receivers,
                                 const WorkerRun& run, const ScanGroupChecks& checks)
    : run_(run), checks_(checks), calls_(std::move(poster), [receivers = &receivers](Call& call) {
          if (ErrorRow* row = std::get_if<ErrorRow>(&call)) {
              receivers->addRow(std::move(*row));
          } else if (const StatusCall* status = std::get_if<StatusCall>(&call)) {
              receivers->setStatus(status->text);
          } else {
              const CountCall& count = std::get<CountCall>(call);
              receivers->setGroupCount(count.group, count.count);
          }
      }) {}

void PostingScanSink::AddRow(ErrorRow row) {
    calls_.Add(std::move(row));
}

void PostingScanSink::SetStatus(const std::wstring& text) {
    calls_.Add(StatusCall{text});
}

void PostingScanSink::SetGroupCount(int group, int count) {
    calls_.Add(CountCall{group, count});
}

bool PostingScanSink::StopRequested() const {
    calls_.FlushIfDue();
    return run_.StopRequested();
}

}  // namespace kestrova
