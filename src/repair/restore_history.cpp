#include "repair/restore_history.h"

#include "platform/registry_error.h"
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

RestoreHistory::RestoreHistory(XmlDocument& history, StoreSaver save)
    : history_(history), save_(std::move(save)) {}

std::vector<HistoryEntryLabels> RestoreHistory::Entries() const {
    std::vector<HistoryEntryLabels> entries;
    const auto lock = history_.Lock();
    const XmlElement root = history_.Root();
    const size_t count = root.Valid() ? root.ChildCount() : 0;
    for (size_t i = 0; i < count; ++i) {
        const XmlElement entry = root.Child(i);
        entries.push_back({Label(entry, kEntryNameAttribute), Label(entry, kEntryTypeAttribute),
                           Label(entry, kEntryPathAttribute)});
    }
    return entries;
}

RestoreResult RestoreHistory::Restore(const std::vector<size_t>& entries) {
    RestoreResult result;
    const auto lock = history_.Lock();
    XmlElement root = history_.Root();
    if (!root.Valid()) {
        return result;
    }
    std::vector<bool> chosen(root.ChildCount(), false);
    for (size_t index : entries) {
        if (index < chosen.size()) {
            chosen[index] = true;
        }
    }
    for (size_t i = chosen.size(); i-- > 0;) {
        if (!chosen[i]) {
            continue;
        }
        const XmlElement entry = root.Child(i);
        if (auto error = WriteBackEntry(entry)) {
            result.failures.push_back({Label(entry, kEntryNameAttribute),
                                       Label(entry, kEntryTypeAttribute), std::move(*error)});
            continue;
        }
        root.DeleteChild(i);
        ++result.restored;
    }
    if (result.restored > 0) {
        result.saveError = TrySave(save_);
    }
    return result;
}

RestoreResult RestoreHistory::RestoreAll() {
    const auto lock = history_.Lock();
    const XmlElement root = history_.Root();
    std::vector<size_t> all(root.Valid() ? root.ChildCount() : 0);
    for (size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    return Restore(all);
}

std::optional<std::wstring> RestoreHistory::Clear() {
    const auto lock = history_.Lock();
    XmlElement root = history_.Root();
    if (!root.Valid() || root.ChildCount() == 0) {
        return std::nullopt;
    }
    root.DeleteAllChildren();
    return TrySave(save_);
}

}  // namespace kestrova
