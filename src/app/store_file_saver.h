#pragma once
// How a section saves one of the window's stores: through the store itself, so a store that
// refuses to write over an unreadable file it could not set aside refuses here too.

#include "app/store_file.h"
#include "repair/store_saver.h"

namespace kestrova {

// Saves store; throws XmlError when the file cannot be written or the store refuses to.
StoreSaver SaverFor(const StoreFile& store);

}  // namespace kestrova
