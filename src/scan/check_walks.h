#pragma once
// The walks that several checks share over the entries of HKEY_LOCAL_MACHINE keys: one key, or
// one key in each registry view (ScanContext::ViewsOf), walked in turn with one counter. Each
// shows an entry's Key Name as the status before judging it. A key that does not open is
// passed over; a stop after any entry ends the group with its counter unwritten; a walk that
// reaches the end writes the group's counter if any of its keys opened.

#include <functional>
#include <string>
#include <vector>

#include "platform/key_path.h"
#include "platform/registry.h"
#include "scan/scan_context.h"

namespace kestrova {

// Walks one opened key (the index-th of the keys); false when a stop ends the group.
using KeyWalk = std::function<bool(Registry& registry, const KeyPath& key, size_t index)>;

// Opens each key in turn with full access and walks it; a key that does not open is passed
// over. Writes the group's counter once every key was walked, if any of them opened; a walk
// that returns false ends the group there, its counter unwritten.
void WalkKeys(ScanContext& scan, const std::vector<KeyPath>& keys, int group, const int& counter,
              const KeyWalk& walk);

// Reports name (with counter) when it is stale; keyName is the value's Key Name.
using ValueNameJudge =
    std::function<void(const std::wstring& name, const std::wstring& keyName, int& counter)>;

// The value names of the keys, judged by name alone: their data is not read (shared DLLs,
// shared folders).
void WalkValueNames(ScanContext& scan, const std::vector<KeyPath>& keys, int group,
                    const ValueNameJudge& judge);

struct SubKeyFileWalk {
    // Under HKEY_LOCAL_MACHINE, from the root, with a leading "\"; walked in each view.
    std::wstring key;
    std::wstring valueName;  // the value of each subkey that names a file; "" is the default
    std::wstring errorType;
    int group = 0;
};

// The subkeys of walk.key whose value walk.valueName names a file that is gone (App Paths,
// uninstall entries). The row's Key Name is the subkey's, followed by "\" and the value name
// when that is not the default. A subkey that is listed but does not open (it vanished, or
// refuses access) is passed over without a stop test, and the walk goes on with the next.
void WalkSubKeyFiles(ScanContext& scan, const SubKeyFileWalk& walk);

}  // namespace kestrova
