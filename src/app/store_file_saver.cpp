#include "app/store_file_saver.h"

namespace kestrova {

StoreSaver SaverFor(const StoreFile& store) {
    return [&store] {
        if (!store.Save()) {
            throw XmlError(L"\"" + store.Path() +
                           L"\" was not written: the unreadable file there could not be set "
                           L"aside, and it is not overwritten.");
        }
    };
}

}  // namespace kestrova
