#include "app/posting_scan_sink.h"

namespace kestrova {

void PostingScanSink::AddRow(ErrorRow row) {
    poster_.Post([receivers = &receivers_, row = std::move(row)]() mutable {
        receivers->addRow(std::move(row));
    });
}

void PostingScanSink::SetStatus(const std::wstring& text) {
    poster_.Post([receivers = &receivers_, text] { receivers->setStatus(text); });
}

void PostingScanSink::SetGroupCount(int group, int count) {
    poster_.Post(
        [receivers = &receivers_, group, count] { receivers->setGroupCount(group, count); });
}

}  // namespace kestrova
