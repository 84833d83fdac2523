#pragma once
// The history entries of one removal (fixing errors, deleting add-ons): each is appended and
// recorded first, the history is saved once, and only then is anything deleted. An entry that
// could not be recorded whole is taken out again, and a failed save takes out every entry of
// the batch, so the history never holds entries of what was not deleted for want of a save.

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

#include "platform/xml_document.h"
#include "repair/snapshot_records.h"
#include "repair/store_saver.h"

namespace kestrova {

class HistoryBatch {
public:
    // Holds the document's lock until the batch ends.
    explicit HistoryBatch(XmlDocument& history)
        : lock_(history.Lock()), root_(history.Root()), firstNew_(root_.ChildCount()) {}

    // A new entry with its three labels, at the end of the history.
    XmlElement Append(const std::wstring& name, const std::wstring& type,
                      const std::wstring& path) {
        return AppendHistoryEntry(root_, name, type, path);
    }
    // Takes the last entry of this batch out again.
    void DropLast() {
        if (!Empty()) {
            root_.DeleteChild(root_.ChildCount() - 1);
        }
    }
    bool Empty() const { return root_.ChildCount() == firstNew_; }

    // Saves the history. When that fails every entry of the batch is taken out again and the
    // failure's message returned.
    std::optional<std::wstring> Save(const StoreSaver& save) {
        std::optional<std::wstring> error = TrySave(save);
        if (error) {
            while (!Empty()) {
                DropLast();
            }
        }
        return error;
    }

private:
    std::unique_lock<std::recursive_mutex> lock_;
    XmlElement root_;
    size_t firstNew_;
};

}  // namespace kestrova
