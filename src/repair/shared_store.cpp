#include "repair/shared_store.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/error.h"
#include "platform/file_paths.h"
#include "platform/unique_handles.h"
#include "scan/path_exists.h"

namespace kestrova {

namespace {

constexpr DWORD kLockWaitMs = 30000;
constexpr DWORD kLockRetryMs = 20;

// The data folder's lock, held while the object lives. A folder where the lock file cannot
// be made is one where nothing can be written either: reads go on without the lock there.
class StoreLock {
public:
    explicit StoreLock(const std::wstring& storePath) {
        const std::wstring lockPath = FolderOf(storePath) + kStoreLockFileName;
        file_.Reset(CreateFileW(lockPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) {
            return;
        }
        for (DWORD waited = 0;; waited += kLockRetryMs) {
            OVERLAPPED start = {};
            if (LockFileEx(file_.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                           0, &start)) {
                return;
            }
            if (waited >= kLockWaitMs) {
                file_.Reset();
                throw StoreBusyError(L"\"" + storePath + L"\" is in use by another program: \"" +
                                     lockPath + L"\" stayed locked for " +
                                     std::to_wstring(kLockWaitMs / 1000) + L" seconds");
            }
            Sleep(kLockRetryMs);
        }
    }
    ~StoreLock() {
        if (file_) {
            OVERLAPPED start = {};
            UnlockFileEx(file_.Get(), 0, 1, 0, &start);
        }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    UniqueKernelHandle file_;
};

void AppendCounted(std::wstring& text, const std::wstring& part) {
    text += std::to_wstring(part.size());
    text += L':';
    text += part;
}

std::map<std::wstring, size_t> CountEntries(const XmlElement& root) {
    std::map<std::wstring, size_t> counts;
    const size_t count = root.Valid() ? root.ChildCount() : 0;
    for (size_t i = 0; i < count; ++i) {
        ++counts[EntryIdentity(root.Child(i))];
    }
    return counts;
}

// Appends a copy of source, with everything below it, to parent (of any document).
void AppendCopy(XmlElement parent, const XmlElement& source) {
    XmlElement copy = parent.AppendChild(source.Tag());
    for (const auto& [name, value] : source.Attributes()) {
        copy.SetAttribute(name, value);
    }
    const size_t count = source.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        AppendCopy(copy, source.Child(i));
    }
}

// Makes target's children copies of source's, in order.
void ReplaceChildren(XmlElement target, const XmlElement& source) {
    target.DeleteAllChildren();
    const size_t count = source.ChildCount();
    for (size_t i = 0; i < count; ++i) {
        AppendCopy(target, source.Child(i));
    }
}

}  // namespace

std::wstring EntryIdentity(const XmlElement& element) {
    std::wstring text;
    AppendCounted(text, element.Tag());
    auto attributes = element.Attributes();
    // Attribute order carries no meaning.
    std::sort(attributes.begin(), attributes.end());
    text += std::to_wstring(attributes.size()) + L'(';
    for (const auto& [name, value] : attributes) {
        AppendCounted(text, name);
        AppendCounted(text, value);
    }
    const size_t count = element.ChildCount();
    text += std::to_wstring(count) + L'[';
    for (size_t i = 0; i < count; ++i) {
        AppendCounted(text, EntryIdentity(element.Child(i)));
    }
    return text;
}

SharedStore::SharedStore(XmlDocument& document, std::wstring path, std::wstring rootTag)
    : document_(document), path_(std::move(path)), rootTag_(std::move(rootTag)) {}

SharedStore::FileState SharedStore::ReadState() const {
    FileState state;
    UniqueKernelHandle file(CreateFileW(path_.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return state;
    }
    state.exists = true;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        state.bytes.append(buffer, read);
    }
    return state;
}

SharedStore::EntryCounts SharedStore::EntriesOf(const FileState& state) const {
    if (!state.exists) {
        return {};
    }
    // Parsed from a copy beside the store: the file itself may hold something else by now.
    const std::wstring copy = path_ + L".base.tmp";
    struct Remove {
        const std::wstring& path;
        ~Remove() { DeleteFileW(path.c_str()); }
    } remove{copy};
    UniqueKernelHandle file(CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_TEMPORARY, nullptr));
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.Get(), state.bytes.data(), static_cast<DWORD>(state.bytes.size()), &written,
                   nullptr) ||
        written != state.bytes.size()) {
        throw XmlError(L"Cannot write \"" + copy + L"\": " + SystemErrorText(GetLastError()));
    }
    file.Reset();
    XmlDocument base;
    base.Load(copy);
    return CountEntries(base.Root());
}

void SharedStore::Open() {
    const StoreLock lock(path_);
    if (KindOfPath(path_) == PathKind::Missing) {
        document_.Create(rootTag_);
    } else {
        document_.Load(path_);
    }
    base_ = ReadState();
}

void SharedStore::Adopt() {
    base_ = ReadState();
}

bool SharedStore::MergeWithFile(XmlDocument& merged, FileState& file, bool& ownChanges) const {
    file = ReadState();
    // A file gone since: nothing is known to have changed, so nothing of ours is dropped.
    if (file == base_ || !file.exists) {
        return false;
    }
    merged.Load(path_);
    const EntryCounts base = EntriesOf(base_);
    const EntryCounts ours = CountEntries(document_.Root());
    ownChanges = ours != base;
    // What this program removed since the last read or write, then what it added.
    EntryCounts removed;
    for (const auto& [identity, count] : base) {
        const auto found = ours.find(identity);
        const size_t kept = found == ours.end() ? 0 : found->second;
        if (count > kept) {
            removed[identity] = count - kept;
        }
    }
    XmlElement root = merged.Root();
    for (size_t i = root.ChildCount(); i-- > 0 && !removed.empty();) {
        const auto found = removed.find(EntryIdentity(root.Child(i)));
        if (found != removed.end()) {
            root.DeleteChild(i);
            if (--found->second == 0) {
                removed.erase(found);
            }
        }
    }
    EntryCounts added;
    for (const auto& [identity, count] : ours) {
        const auto found = base.find(identity);
        const size_t before = found == base.end() ? 0 : found->second;
        if (count > before) {
            added[identity] = count - before;
        }
    }
    const XmlElement own = document_.Root();
    // Each added entry in the document's order: the last copies of an identity are the new ones.
    std::vector<size_t> toAppend;
    for (size_t i = own.ChildCount(); i-- > 0 && !added.empty();) {
        const auto found = added.find(EntryIdentity(own.Child(i)));
        if (found != added.end()) {
            toAppend.push_back(i);
            if (--found->second == 0) {
                added.erase(found);
            }
        }
    }
    for (auto i = toAppend.rbegin(); i != toAppend.rend(); ++i) {
        AppendCopy(root, own.Child(*i));
    }
    return true;
}

void SharedStore::Sync(bool write) {
    const StoreLock lock(path_);
    const auto documentLock = document_.Lock();
    XmlDocument merged;
    FileState file;
    bool ownChanges = true;
    if (!MergeWithFile(merged, file, ownChanges)) {
        if (write) {
            document_.Save(path_);
            base_ = ReadState();
        }
        return;
    }
    if (write && ownChanges) {
        merged.Save(path_);
        file = ReadState();
    }
    // Not written: unsaved changes stay changes, measured from the file as it is now; with
    // no change of our own the file stays as the other program left it.
    ReplaceChildren(document_.Root(), merged.Root());
    base_ = std::move(file);
}

void SharedStore::Save() {
    Sync(true);
}

void SharedStore::Update() {
    Sync(false);
}

}  // namespace kestrova
