#include "tools/file_association_store.h"

#include <windows.h>

#include "platform/error.h"
#include "platform/file_paths.h"
#include "platform/registry.h"
#include "scan/registry_text.h"
#include "scan/system_folders.h"
#include "tools/association_backup_file.h"

namespace kestrova {

namespace {

const std::wstring kDefaultIcon = L"\\DefaultIcon";
const std::wstring kOpenCommand = L"\\shell\\open\\command";

// The store's classes root opened for one operation: the predefined root itself, or the key
// standing in for it. Without that key (reading) every read finds nothing.
class ClassesRoot {
public:
    ClassesRoot(const KeyPath& where, bool create) : base_(where.root) {
        if (where.path.empty()) {
            handle_ = where.root;
        } else if (create ? base_.OpenKey(where.path, true) : base_.OpenKeyReadOnly(where.path)) {
            handle_ = base_.CurrentKey();
        } else if (create) {
            throw RegistryError(RegistryError::Kind::SetDataFailed, where.Text());
        }
    }
    // nullptr when the stand-in key does not exist.
    HKEY Handle() const { return handle_; }

private:
    Registry base_;
    HKEY handle_ = nullptr;
};

// The default value of the key at path (from the root) as text; empty when the key or value
// is missing or holds no text.
std::wstring DefaultText(Registry& registry, const std::wstring& path) {
    if (!registry.OpenKeyReadOnly(path)) {
        return {};
    }
    std::wstring text = ReadTextData(registry, L"").value_or(std::wstring());
    registry.CloseKey();
    return text;
}

TExtInfo ReadFrom(Registry& registry, const std::wstring& extension) {
    TExtInfo info;
    info.extension = extension;
    info.fileType = DefaultText(registry, L"\\" + extension);
    // Without a file type the paths below would name the classes root itself.
    if (info.fileType.empty()) {
        return info;
    }
    const std::wstring fileTypeKey = L"\\" + info.fileType;
    info.description = DefaultText(registry, fileTypeKey);
    if (info.description.empty()) {
        info.description = info.fileType;
    }
    info.fileIcon = DefaultText(registry, fileTypeKey + kDefaultIcon);
    info.filePath = DefaultText(registry, fileTypeKey + kOpenCommand);
    return info;
}

void RequireExtension(const std::wstring& extension) {
    if (extension.empty() || extension.find(L'\\') != std::wstring::npos) {
        throw Error(L"\"" + extension + L"\" is not a file name extension");
    }
}

// Opens (creating) the key at path, from the root; throws when it cannot.
void OpenForWriting(Registry& registry, const std::wstring& path) {
    if (!registry.OpenKey(path, true)) {
        throw RegistryError(RegistryError::Kind::SetDataFailed, path.substr(1));
    }
}

void WriteDefault(Registry& registry, const std::wstring& path, const std::wstring& text) {
    OpenForWriting(registry, path);
    registry.WriteString(L"", text);
    registry.CloseKey();
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The names of the root's subkeys that begin with ".", in the registry's order.
std::vector<std::wstring> ExtensionKeys(Registry& registry) {
    std::vector<std::wstring> names;
    if (registry.OpenKeyReadOnly(L"\\")) {
        registry.GetKeyNames(names);
        registry.CloseKey();
    }
    std::erase_if(names, [](const std::wstring& name) { return name.empty() || name[0] != L'.'; });
    return names;
}

// The first extension whose default value names fileType, or empty.
std::wstring ExtensionNaming(Registry& registry, const std::wstring& fileType) {
    for (const std::wstring& extension : ExtensionKeys(registry)) {
        if (SameName(DefaultText(registry, L"\\" + extension), fileType)) {
            return extension;
        }
    }
    return {};
}

// Deletes the temporary files of a backup or restore when it ends, however it ends.
class TemporaryFiles {
public:
    explicit TemporaryFiles(const std::wstring& folder)
        : first_(folder + kFirstTempFile), second_(folder + kSecondTempFile) {}
    ~TemporaryFiles() {
        DeleteFileW(first_.c_str());
        DeleteFileW(second_.c_str());
    }
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;

    const std::wstring& First() const { return first_; }
    const std::wstring& Second() const { return second_; }

private:
    std::wstring first_;
    std::wstring second_;
};

}  // namespace

TFileAssociator::TFileAssociator(FileAssociatorOptions options) : options_(std::move(options)) {
    if (options_.tempFolder.empty()) {
        options_.tempFolder = TempFolder();
    }
    options_.tempFolder = WithTrailingBackslash(options_.tempFolder);
}

void TFileAssociator::ReadAll(const AssociationReadEvents& events) {
    const ClassesRoot root(options_.classesRoot, false);
    Registry registry(root.Handle());
    extensionNames_.clear();
    if (root.Handle()) {
        extensionNames_ = ExtensionKeys(registry);
    }
    if (events.onReadBegin) {
        events.onReadBegin(static_cast<int32_t>(extensionNames_.size()));
    }
    for (size_t i = 0; i < extensionNames_.size(); ++i) {
        if (events.stopRequested && events.stopRequested()) {
            break;
        }
        TExtInfo info = ReadFrom(registry, extensionNames_[i]);
        info.position = static_cast<int32_t>(i + 1);
        if (events.onReadItem) {
            events.onReadItem(info);
        }
    }
    if (events.onReadEnd) {
        events.onReadEnd();
    }
}

TExtInfo TFileAssociator::ReadAssociation(const std::wstring& extension) const {
    const ClassesRoot root(options_.classesRoot, false);
    if (!root.Handle()) {
        TExtInfo info;
        info.extension = extension;
        return info;
    }
    Registry registry(root.Handle());
    return ReadFrom(registry, extension);
}

bool TFileAssociator::HasExtension(const std::wstring& extension) const {
    const ClassesRoot root(options_.classesRoot, false);
    const Registry registry(root.Handle());
    return root.Handle() && !extension.empty() && extension.find(L'\\') == std::wstring::npos &&
           registry.KeyExists(L"\\" + extension);
}

void TFileAssociator::WriteAssociation(const TExtInfo& info) const {
    RequireExtension(info.extension);
    const ClassesRoot root(options_.classesRoot, true);
    Registry registry(root.Handle());
    std::wstring base = L"\\" + info.extension;
    if (!info.fileType.empty()) {
        WriteDefault(registry, base, info.fileType);
        base = L"\\" + info.fileType;
        WriteDefault(registry, base, info.description);
    } else if (!info.description.empty()) {
        WriteDefault(registry, base, info.description);
    }
    WriteDefault(registry, base + kOpenCommand, info.filePath);
    if (!info.fileIcon.empty()) {
        WriteDefault(registry, base + kDefaultIcon, info.fileIcon);
    }
}

AssociationDeletion TFileAssociator::DeleteAssociation(const std::wstring& extension) const {
    RequireExtension(extension);
    AssociationDeletion deletion;
    const ClassesRoot root(options_.classesRoot, false);
    if (!root.Handle()) {
        return deletion;
    }
    Registry registry(root.Handle());
    deletion.fileType = ReadFrom(registry, extension).fileType;
    deletion.extensionDeleted = registry.DeleteKey(L"\\" + extension);
    if (!deletion.fileType.empty()) {
        // Looked for after the extension's own key went: if that could not be deleted, it
        // still names the file type, which then stays too.
        deletion.fileTypeSharedWith = ExtensionNaming(registry, deletion.fileType);
        if (deletion.fileTypeSharedWith.empty()) {
            deletion.fileTypeDeleted = registry.DeleteKey(L"\\" + deletion.fileType);
        }
    }
    return deletion;
}

std::wstring TFileAssociator::RegistryEditorKey(const std::wstring& key) const {
    return options_.classesRoot.TextOf(key);
}

void TFileAssociator::BackupAssociation(const std::wstring& extension,
                                        const std::wstring& fileName) const {
    RequireExtension(extension);
    const TExtInfo info = ReadAssociation(extension);
    const TemporaryFiles temporary(options_.tempFolder);
    const auto exportKey = [&](const std::wstring& file, const std::wstring& key) {
        const std::wstring keyName = RegistryEditorKey(key);
        if (const auto why = ExportKey(options_.registryEditor, file, keyName, L"")) {
            throw Error(L"Cannot back up " + keyName + L": " + *why);
        }
    };
    exportKey(temporary.First(), extension);
    // No file type, or one whose key is gone: the second part stays empty (an export of the
    // empty name would hold the whole classes root).
    bool withFileType = false;
    if (!info.fileType.empty()) {
        const ClassesRoot root(options_.classesRoot, false);
        withFileType = root.Handle() && Registry(root.Handle()).KeyExists(L"\\" + info.fileType);
    }
    if (withFileType) {
        exportKey(temporary.Second(), info.fileType);
    }
    WriteAssociationBackupFile(fileName, temporary.First(),
                               withFileType ? temporary.Second() : std::wstring());
}

void TFileAssociator::RestoreAssociation(const std::wstring& fileName) const {
    const AssociationBackupSizes sizes = ReadAssociationBackupSizes(fileName);
    const TemporaryFiles temporary(options_.tempFolder);
    SplitAssociationBackupFile(fileName, sizes, temporary.First(), temporary.Second());
    const auto import = [&](const std::wstring& file) {
        if (const auto why = ImportFile(options_.registryEditor, file, L"")) {
            throw Error(L"Cannot restore from \"" + fileName + L"\": " + *why);
        }
    };
    import(temporary.First());
    if (sizes.second > 0) {
        import(temporary.Second());
    }
}

}  // namespace kestrova
