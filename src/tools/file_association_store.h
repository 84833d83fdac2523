#pragma once
// The file association store: how a file name extension is tied to a program in
// HKEY_CLASSES_ROOT, read for every extension or one, written, deleted, and backed up into
// one file (two registry-editor exports and a trailer) and restored from it. Every item is a
// key's default value:
//   Extension                        -> FileType (the name of the file-type key)
//   FileType                         -> Description
//   FileType\DefaultIcon             -> FileIcon
//   FileType\shell\open\command      -> FilePath
// Without a file type the command and icon keys of a written association go under the
// extension's own key.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/key_path.h"
#include "repair/registry_editor.h"

namespace kestrova {

// One association, passed by value.
struct TExtInfo {
    std::wstring extension;    // the extension's key, with its leading "."
    std::wstring fileType;     // its default value (the "secondary extension")
    std::wstring description;  // the file type's default value; the file type when that is empty
    std::wstring filePath;     // the open command
    std::wstring fileIcon;     // the icon: a file, perhaps with "," and an icon index
    // Set by ReadAll only: the 1-based place of this association among all read.
    int32_t position = 0;

    friend bool operator==(const TExtInfo&, const TExtInfo&) = default;
};

// What ReadAll tells, in this order, on the thread that runs it: onReadBegin once with the
// number of extensions, onReadItem once for each, onReadEnd once. Any may be empty.
struct AssociationReadEvents {
    std::function<void(int32_t count)> onReadBegin;
    std::function<void(const TExtInfo& info)> onReadItem;
    std::function<void()> onReadEnd;
    // Asked before each item; when it answers true no more items are read (onReadEnd still
    // comes), so a window closing during a read need not wait for the rest.
    std::function<bool()> stopRequested;
};

struct AssociationDeletion {
    bool extensionDeleted = false;  // false when the key was missing or could not be deleted
    std::wstring fileType;          // the file type the extension named, or empty
    bool fileTypeDeleted = false;
    // Another extension whose default value names the same file type (letter case aside):
    // the file type's key is then kept. Empty when none does.
    std::wstring fileTypeSharedWith;
};

struct FileAssociatorOptions {
    // The key that stands for HKEY_CLASSES_ROOT, in this process and for the registry editor.
    KeyPath classesRoot{HKEY_CLASSES_ROOT, L""};
    // Where Temp1.txt and Temp2.txt are made; TempFolder() when empty.
    std::wstring tempFolder;
    RegistryEditorRun registryEditor = RunRegistryEditor;
};

// Names of the temporary files of a backup and a restore.
inline constexpr wchar_t kFirstTempFile[] = L"Temp1.txt";
inline constexpr wchar_t kSecondTempFile[] = L"Temp2.txt";

class TFileAssociator {
public:
    explicit TFileAssociator(FileAssociatorOptions options = {});

    // Reads every subkey of the classes root whose name begins with "." in the order the
    // registry lists them, raising the events (see AssociationReadEvents). A default value
    // that is not text reads as empty text and the read goes on.
    void ReadAll(const AssociationReadEvents& events);
    // The extension names of the last ReadAll.
    const std::vector<std::wstring>& ExtensionNames() const { return extensionNames_; }

    // One association; missing keys and values, and values that are not text, read as empty
    // text. Without a file type nothing else is read. position stays 0.
    TExtInfo ReadAssociation(const std::wstring& extension) const;
    // True when the extension's key exists.
    bool HasExtension(const std::wstring& extension) const;

    // Creates or overwrites the association of info.extension: with a file type, the extension
    // names it and the file type gets the description; without one, a description that is
    // not empty becomes the extension's default value. The open command is always written
    // (also when empty), the icon only when not empty. Throws RegistryError ("Failed to set
    // data for ...") when a key or value cannot be written, and Error for an extension that is
    // empty or holds a "\".
    void WriteAssociation(const TExtInfo& info) const;

    // Deletes the extension's key with its subkeys and, unless another extension still names
    // it, its file type's key. A deletion that fails is told in the result, not thrown.
    // Throws Error for an extension that is empty or holds a "\".
    AssociationDeletion DeleteAssociation(const std::wstring& extension) const;

    // Writes fileName (as given): the registry editor's export of the extension's key, that of
    // its file type's key (nothing when the extension names none or that key does not exist),
    // then both sizes as 32-bit little-endian numbers. Throws Error naming the key when an
    // export leaves no file or an empty one, or when the file cannot be written (a file left
    // half written is deleted).
    void BackupAssociation(const std::wstring& extension, const std::wstring& fileName) const;
    // Imports the two exports of a backup file (an empty one is not imported). A file that is
    // not an association backup (shorter than 8 bytes, sizes that are negative, a first part
    // that is empty, or sizes that do not add up to the file's) is refused with Error before
    // anything is imported or any temporary file is made.
    void RestoreAssociation(const std::wstring& fileName) const;

private:
    std::wstring RegistryEditorKey(const std::wstring& key) const;

    FileAssociatorOptions options_;
    std::vector<std::wstring> extensionNames_;
};

}  // namespace kestrova
