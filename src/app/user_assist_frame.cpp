#include "app/user_assist_frame.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/page_layout.h"
#include "platform/dialogs.h"
#include "tools/user_assist_captions.h"

namespace kestrova {

using namespace layout;

namespace {

const std::wstring& UserAssistCell(const UserAssistRecord& record, size_t column) {
    static const std::wstring empty;
    return column == 0 ? record.fileName : column == 1 ? record.type : empty;
}

}  // namespace

TfrmUserAssist::TfrmUserAssist(SectionHost& host)
    : Section(host), records(UserAssistCell), layout_(SystemUserAssistLayout) {}

void TfrmUserAssist::Build(Panel& page) {
    RECT client = {};
    GetClientRect(page.Handle(), &client);
    constexpr int kPanelHeight = kButtonHeight + 2 * kMargin + 2;
    const int panelTop = client.bottom - kPanelHeight;
    lvUserAssist.Create(
        page, records, Bounds{0, 0, client.right, panelTop},
        {{kUserAssistFileNameColumn, kAutoWidth}, {kUserAssistTypeColumn, kAutoWidth}});
    lvUserAssistTools.Create(page, lvUserAssist, host_.Dialogs(), L"UserAssist");
    Panel1.Create(page, Bounds{0, panelTop, client.right, kPanelHeight});
    Panel1.Anchor(kAnchorBottomWide);

    int x = kMargin;
    for (auto [button, caption] : {std::pair{&btnRefresh, kUserAssistRefreshCaption},
                                   std::pair{&btnSelectAll, kUserAssistSelectAllCaption},
                                   std::pair{&btnDelete, kUserAssistDeleteCaption}}) {
        const int width = std::max(ButtonWidth(page, kUserAssistSelectAllCaption),
                                   ButtonWidth(page, kUserAssistUnselectAllCaption));
        button->Create(Panel1, caption, Bounds{x, kMargin + 1, width, kButtonHeight});
        x += width + kGap;
    }
    btnRefresh.OnClick(Panel1, [this] { btnRefreshClick(); });
    btnSelectAll.OnClick(Panel1, [this] { btnSelectAllClick(); });
    btnDelete.OnClick(Panel1, [this] { btnDeleteClick(); });
}

void TfrmUserAssist::Created() {
    btnRefreshClick();
}

void TfrmUserAssist::btnRefreshClick() {
    records.Assign(ListUserAssistRecords(layout_()));
}

void TfrmUserAssist::btnSelectAllClick() {
    selectAllTag_ = !selectAllTag_;
    btnSelectAll.SetText(selectAllTag_ ? kUserAssistUnselectAllCaption
                                       : kUserAssistSelectAllCaption);
    records.SetAllChecked(selectAllTag_);
}

void TfrmUserAssist::btnDeleteClick() {
    const std::vector<size_t> checked = records.CheckedRows();
    if (checked.empty()) {
        return;
    }
    std::vector<UserAssistRecord> chosen;
    chosen.reserve(checked.size());
    for (size_t row : checked) {
        chosen.push_back(records.At(row));
    }
    const std::vector<UserAssistRecord> failed = DeleteListedUserAssistRecords(chosen);

    // Only the rows whose value went: a value still there keeps its row, checked.
    std::vector<size_t> gone;
    std::wstring kept;
    for (size_t row : checked) {
        const UserAssistRecord& record = records.At(row);
        const bool stayed =
            std::any_of(failed.begin(), failed.end(), [&record](const UserAssistRecord& left) {
                return left.rawName == record.rawName && left.keyPath == record.keyPath;
            });
        if (stayed) {
            kept += L"\r\n" + record.fileName;
        } else {
            gone.push_back(row);
        }
    }
    records.Remove(gone);
    if (!kept.empty()) {
        host_.Dialogs().ShowError(L"These records could not be deleted:\r\n" + kept);
    }
}

}  // namespace kestrova
