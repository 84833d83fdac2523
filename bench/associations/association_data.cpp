#include "association_data.h"

#include <cstdio>
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

bool ParseAssociationArguments(int argc, wchar_t** argv, const char* program, size_t& extensions,
                               int& runs) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--extensions" && i + 1 < argc) {
            extensions = static_cast<size_t>(std::stoul(argv[++i]));
        } else if (argument == L"--runs" && i + 1 < argc) {
            runs = std::stoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--extensions N] [--runs N]\n", program);
            return false;
        }
    }
    if (extensions < 1 || runs < 1) {
        std::fprintf(stderr, "--extensions and --runs must be at least 1\n");
        return false;
    }
    return true;
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
