#pragma once
// Removing Internet Explorer add-ons: each chosen row is recorded as one history entry in the
// restore history (Backup.xml), the history is saved, and only then is anything deleted, so
// the Restore History section can put every removed add-on back.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "managers/ie_addons.h"
#include "platform/xml_document.h"
#include "repair/store_saver.h"

namespace kestrova {

enum class AddonDeleteStatus {
    Deleted,      // recorded, then deleted (or already gone)
    Protected,    // refused with `message`; its history entry stays without records
    NotRecorded,  // left alone: something there could not be recorded exactly
    NotDeleted,   // recorded, but a key or value stayed in the registry; its entry stays
    NotSaved,     // left alone: the history could not be saved
};

struct AddonDeleteOutcome {
    size_t row;  // index into the rows given
    AddonDeleteStatus status;
    std::wstring message;  // the protected row's message, or what stayed
};

struct AddonDeleteResult {
    // One per row given, from the last row to the first (the order they were handled).
    std::vector<AddonDeleteOutcome> outcomes;
    // When the history could not be saved: its message. Nothing was deleted then and the new
    // entries are taken out of the document again.
    std::optional<std::wstring> saveError;
};

// Handles the rows from the last to the first (pass the checked ones, in list order). Each
// gets a history entry (NAME = its name, TYPE = its kind text, PATH = its path); a protected
// row's entry stays without records. The others record, in order, the class key
// (HKEY_CLASSES_ROOT\CLSID\<clsid>) and then the registration (the toolbar's or download
// handler's value, the browser extension's or explorer bar's key), or the menu extension's
// own key. Once the history is saved, each recorded row's class key and registration are
// deleted. A CLSID that is not a single key name leaves every class key alone.
AddonDeleteResult DeleteCheckedAddons(XmlDocument& history, const StoreSaver& save,
                                      const std::vector<AddonRow>& rows);

// DeleteClsidKey: deletes HKEY_CLASSES_ROOT\CLSID\<clsid> with everything below it. Touches
// nothing when clsid is not a single key name or CLSID cannot be opened. False when the key
// is still there afterwards.
bool DeleteClsidKey(const std::wstring& clsid);

}  // namespace kestrova
