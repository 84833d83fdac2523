#pragma once
// A store file of the data folder (Backup.xml, ignore.xml) that more than one program may
// change while each holds it in memory: the window in the notification area and a
// "kestrova-cli fix" run meanwhile, or two of either.
//
// Two rules keep every program's entries:
// - One at a time: each read and each write of a store holds the data folder's lock, the
//   file "kestrova.lock" there, locked (LockFileEx) for as long as the read or write takes.
//   The system lets the lock go when its program ends, however it ends.
// - Reload and merge before every write: under the lock the file is read again, and when
//   another program changed it since this one last read or wrote it, the file's entries are
//   taken as they are now, with this program's own changes since then applied to them (the
//   entries it added are appended, the entries it removed are removed). So a save never
//   erases what another program added, and never brings back what another program removed.
//   Entries are told apart by their whole content (tag, attributes, records below them).

#include <map>
#include <string>

#include "platform/xml_document.h"

namespace kestrova {

// The data folder's lock stayed held by another program for longer than a store waits.
class StoreBusyError : public XmlError {
public:
    explicit StoreBusyError(const std::wstring& message) : XmlError(message) {}
};

// The lock file's name in the data folder.
inline constexpr wchar_t kStoreLockFileName[] = L"kestrova.lock";

class SharedStore {
public:
    // The document the program holds, the store file's full path, and the root element's tag
    // for a store that does not exist yet.
    SharedStore(XmlDocument& document, std::wstring path, std::wstring rootTag);
    SharedStore(const SharedStore&) = delete;
    SharedStore& operator=(const SharedStore&) = delete;

    // Loads the file under the lock; only a missing file gives an empty store (anything else
    // of that name, a folder too, is loaded). Throws XmlError when it cannot be read, and
    // StoreBusyError when the lock cannot be had; the file is left as it is and the document
    // unchanged. Save and Update throw StoreBusyError likewise.
    void Open();
    // Takes the document as it is (an empty root) for what the file holds: after an unreadable
    // file was set aside, say.
    void Adopt();

    // Writes the document to the file, merged first with what other programs saved there
    // since this one last read or wrote it; the document then holds what the file holds.
    // Nothing is written when the document holds no change of its own. Throws XmlError when
    // the file cannot be read or written: then neither the file nor the document changed.
    void Save();
    // Brings the document up to date with the file without writing it: other programs'
    // entries come in, this program's unsaved changes stay. Throws XmlError as Save does.
    void Update();

    const std::wstring& Path() const { return path_; }

private:
    using EntryCounts = std::map<std::wstring, size_t>;
    // The file's bytes as this program last read or wrote them, or the absence of the file.
    // Kept whole: what the file held then is worked out from them only when another program
    // has changed it since, so a save with nobody else about costs no more than the write.
    struct FileState {
        bool exists = false;
        std::string bytes;
        friend bool operator==(const FileState&, const FileState&) = default;
    };

    FileState ReadState() const;
    // The entries of a state of the file.
    EntryCounts EntriesOf(const FileState& state) const;
    // Under the lock: when the file changed since the last read or write, `merged` holds it
    // with this program's changes applied, and `file` what it holds now; otherwise false.
    bool MergeWithFile(XmlDocument& merged, FileState& file, bool& ownChanges) const;
    // Save (write) or Update.
    void Sync(bool write);

    XmlDocument& document_;
    std::wstring path_;
    std::wstring rootTag_;
    FileState base_;  // the file as last read or written
};

// The content of an element and everything below it as one text: equal texts, equal entries.
std::wstring EntryIdentity(const XmlElement& element);

}  // namespace kestrova
