#include "association_data.h"

#include <string>

#include "registry_redirect.h"

namespace kestrova::bench {

void FillClassesRoot(size_t extensions) {
    for (size_t i = 0; i < extensions; ++i) {
        const std::wstring number = std::to_wstring(i);
        const UniqueHKey extension = CreateVolatileKey(HKEY_CLASSES_ROOT, L".x" + number);
        if (i % 10 == 9) {
            continue;
        }
        const bool shared = i % 5 == 1;
        const std::wstring fileType = L"type" + std::to_wstring(shared ? i - 1 : i) + L"file";
        SetText(extension.Get(), L"", fileType);
        if (shared) {
            continue;
        }
        const UniqueHKey type = CreateVolatileKey(HKEY_CLASSES_ROOT, fileType);
        SetText(type.Get(), L"", L"Document of kind " + number);
        if (i % 3 != 2) {
            const UniqueHKey icon = CreateVolatileKey(type.Get(), L"DefaultIcon");
            SetText(icon.Get(), L"", L"C:\\Program Files\\App " + number + L"\\app.exe,1");
        }
        if (i % 4 != 3) {
            const UniqueHKey shell = CreateVolatileKey(type.Get(), L"shell");
            const UniqueHKey open = CreateVolatileKey(shell.Get(), L"open");
            const UniqueHKey command = CreateVolatileKey(open.Get(), L"command");
            SetText(command.Get(), L"",
                    L"\"C:\\Program Files\\App " + number + L"\\app.exe\" \"%1\"");
        }
    }
    // Keys that are no extension, listed among them.
    for (const wchar_t* name : {L"CLSID", L"Folder", L"Interface", L"*"}) {
        CreateVolatileKey(HKEY_CLASSES_ROOT, name);
    }
}

std::vector<TExtInfo> StoreRead() {
    std::vector<TExtInfo> rows;
    AssociationReadEvents events;
    events.onReadBegin = [&](int32_t count) { rows.reserve(static_cast<size_t>(count)); };
    events.onReadItem = [&](const TExtInfo& info) { rows.push_back(info); };
    TFileAssociator store;
    store.ReadAll(events);
    return rows;
}

}  // namespace kestrova::bench
