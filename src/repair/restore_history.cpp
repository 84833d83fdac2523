#include "repair/restore_history.h"

#include "platform/registry_error.h"
#include "repair/entry_rows.h"
#include "repair/snapshot_records.h"
#include "repair/value_encoding.h"

namespace kestrova {

namespace {

std::wstring Label(const XmlElement& entry, const wchar_t* attribute) {
    return entry.Attribute(attribute).value_or(std::wstring());
}

// Writes every record of the entry back; the failure's message, or none.
std::optional<std::wstring> WriteBackEntry(const XmlElement& entry) {
    try {
        const size_t count = entry.ChildCount();
        for (size_t i = 0; i < count; ++i) {
            WriteBackItem(entry.Child(i));
        }
    } catch (const RegistryError& error) {
        return error.message();
    } catch (const ValueRecordError& error) {
        return error.message();
    } catch (const XmlError& error) {
        return error.message();
    }
    return std::nullopt;
}

}  // namespace

std::wstring RestoreSummaryText(const RestoreResult& result) {
    constexpr size_t kListed = 20;
    if (result.failures.empty() && !result.saveError) {
        return {};
    }
    std::wstring text = std::to_wstring(result.restored) + L" entries were restored.";
    if (!result.failures.empty()) {
        text += L"\n\n" + std::to_wstring(result.failures.size()) +
                L" entries could not be restored and stay in the restore history:";
        for (size_t i = 0; i < result.failures.size() && i < kListed; ++i) {
            const RestoreFailure& failure = result.failures[i];
            text += L"\n- " + failure.name + L" (" + failure.type + L"): " + failure.message;
        }
        if (result.failures.size() > kListed) {
            text += L"\n... and " + std::to_wstring(result.failures.size() - kListed) + L" more.";
        }
    }
    if (result.saveError) {
        text += L"\n\nThe restore history could not be saved: " + *result.saveError;
    }
    return text;
}

RestoreHistory::RestoreHistory(XmlDocument& history, StoreSaver save, TextRows& rows)
    : history_(history), save_(std::move(save)), rows_(rows) {}

void RestoreHistory::Refresh() {
    FillEntryRows(history_, rows_, [](const XmlElement& entry) {
        return std::vector<std::wstring>{Label(entry, kEntryNameAttribute),
                                         Label(entry, kEntryTypeAttribute),
                                         Label(entry, kEntryPathAttribute)};
    });
}

RestoreResult RestoreHistory::Restore() {
    RestoreResult result;
    {
        const auto lock = history_.Lock();
        ListModel::Batch batch(rows_);
        XmlElement root = history_.Root();
        for (size_t i = rows_.RowCount(); i-- > 0;) {
            if (!rows_.Checked(i) || !root.Valid() || i >= root.ChildCount()) {
                continue;
            }
            const XmlElement entry = root.Child(i);
            if (auto error = WriteBackEntry(entry)) {
                result.failures.push_back({Label(entry, kEntryNameAttribute),
                                           Label(entry, kEntryTypeAttribute), std::move(*error)});
                continue;
            }
            root.DeleteChild(i);
            rows_.Remove(i);
            ++result.restored;
        }
        if (result.restored > 0) {
            result.saveError = TrySave(save_);
        }
    }
    Refresh();
    return result;
}

std::optional<std::wstring> RestoreHistory::Clear() {
    const auto lock = history_.Lock();
    rows_.Clear();
    XmlElement root = history_.Root();
    if (!root.Valid() || root.ChildCount() == 0) {
        return std::nullopt;
    }
    root.DeleteAllChildren();
    return TrySave(save_);
}

void RestoreHistory::ToggleCheckAll() {
    if (rows_.RowCount() == 0) {
        return;
    }
    const bool check = checkAllCaption_ == kHistoryCheckAllCaption;
    rows_.SetAllChecked(check);
    checkAllCaption_ = check ? kHistoryUncheckAllCaption : kHistoryCheckAllCaption;
}

}  // namespace kestrova
