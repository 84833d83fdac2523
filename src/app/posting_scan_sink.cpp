#include "app/posting_scan_sink.h"

#include <utility>

namespace kestrova {

PostingScanSink::PostingScanSink(UiPoster poster, const ScanReceivers& receivers,
                                 const WorkerRun& run, const ScanGroupChecks& checks)
    : run_(run),
      checks_(checks),
      gathered_(std::move(poster), [receivers = &receivers](std::vector<scan_calls::Call>& calls) {
          for (scan_calls::Call& call : calls) {
              if (ErrorRow* row = std::get_if<ErrorRow>(&call)) {
                  receivers->addRow(std::move(*row));
              } else if (const auto* status = std::get_if<scan_calls::Status>(&call)) {
                  receivers->setStatus(status->text);
              } else {
                  const auto& count = std::get<scan_calls::Count>(call);
                  receivers->setGroupCount(count.group, count.count);
              }
          }
      }) {}

void PostingScanSink::AddRow(ErrorRow row) {
    gathered_.Gather(std::move(row));
}

void PostingScanSink::SetStatus(const std::wstring& text) {
    gathered_.Gather(scan_calls::Status{text});
}

void PostingScanSink::SetGroupCount(int group, int count) {
    gathered_.Gather(scan_calls::Count{group, count});
}

bool PostingScanSink::StopRequested() const {
    gathered_.FlushIfDue();
    return run_.StopRequested();
}

}  // namespace kestrova
