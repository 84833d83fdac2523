#pragma once
// The classes root of the association benchmarks, and the store's full read of it.

#include <cstddef>
#include <vector>

#include "tools/file_association_store.h"

namespace kestrova::bench {

// Fills HKEY_CLASSES_ROOT (already redirected to volatile scratch keys) with extensions
// extensions and their file types: every tenth extension names no file type, every fifth
// file type is shared by the next extension, a third of the file types have no icon and a
// quarter no open command (the holes a real classes root has); four keys that are no
// extension sit among them.
void FillClassesRoot(size_t extensions);

// Reads "--extensions N" and "--runs N" into extensions and runs; false, with the usage of
// program told on stderr, for anything else or a value below 1.
bool ParseAssociationArguments(int argc, wchar_t** argv, const char* program, size_t& extensions,
                               int& runs);

// TFileAssociator::ReadAll of HKEY_CLASSES_ROOT: every record, in order.
std::vector<TExtInfo> StoreRead();

}  // namespace kestrova::bench
