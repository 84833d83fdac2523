#pragma once
// One XML store of the data folder (the restore history in Backup.xml, the ignore list in
// ignore.xml): held in memory for the whole run, loaded at start-up, saved to the same file.
//
// A file that cannot be read is never overwritten by the empty store that replaces it for the
// run: it is first renamed to a name that says so, and when even that fails the store refuses
// to save over it for the rest of the run.
//
// The file is shared with kestrova-cli and any other copy of the program (SharedStore): every
// save is merged with what they saved since, so none of their entries is lost, and Update
// brings their entries in without saving.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/xml_document.h"
#include "repair/shared_store.h"

namespace kestrova {

class StoreFile {
public:
    // fileName in the data folder, the tag of the root element, and what the store holds in
    // the user's words ("restore history").
    StoreFile(std::wstring fileName, std::wstring rootTag, std::wstring contents);
    StoreFile(const StoreFile&) = delete;
    StoreFile& operator=(const StoreFile&) = delete;

    // Loads dataFolder + fileName when that file exists, else makes a document holding only
    // the root element. When the file cannot be read or parsed, the store starts with only the
    // root element as well, the file is set aside, and the returned message tells the user
    // what happened and where the file went.
    std::optional<std::wstring> Open(const std::wstring& dataFolder);

    // Writes the whole document to the file; throws XmlError when it cannot. Returns false
    // without writing while an unreadable file that could not be set aside is in the way.
    bool Save() const;
    bool SaveAllowed() const { return saveAllowed_; }
    // Takes in what other programs saved to the file since this one last read or wrote it
    // (their new entries, the entries they removed), keeping this program's unsaved changes;
    // the caller refreshes its rows afterwards. Throws XmlError when the file cannot be read;
    // does nothing before Open or while saving is refused.
    void Update();

    XmlDocument& Document() { return document_; }
    const XmlDocument& Document() const { return document_; }
    XmlElement Root() const { return document_.Root(); }
    // The file's full path; empty before Open.
    const std::wstring& Path() const { return path_; }
    // Where an unreadable file was set aside during Open; empty when nothing was.
    const std::wstring& SetAsidePath() const { return setAsidePath_; }

private:
    std::wstring fileName_;
    std::wstring rootTag_;
    std::wstring contents_;
    std::wstring path_;
    std::wstring setAsidePath_;
    bool saveAllowed_ = true;
    XmlDocument document_;
    std::unique_ptr<SharedStore> shared_;  // made by Open, for the file it opened
};

// A free name beside path for a file that could not be read:
// "Backup.xml" becomes "Backup (unreadable 2024-05-17 09-30-12).xml", with " 2", " 3"... added
// inside the brackets while that name is taken. now is the local time to name it after.
std::wstring UnreadableFileName(const std::wstring& path, const SYSTEMTIME& now);
std::wstring UnreadableFileName(const std::wstring& path);

}  // namespace kestrova
