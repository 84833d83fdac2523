// What the restore history's XML costs at size: a Backup.xml-like document of many entries
// with four attributes each is built, saved, loaded, walked by index and half deleted through
// XmlDocument over MSXML 6. Needs no registry data and no display.
//
// Usage: history_benchmark [--entries N]
//   --entries N  entries in the document (default 10,000)
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "platform/xml_document.h"
#include "run_with_com.h"

namespace kestrova::bench {

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A file name in the temporary folder that no other run uses.
std::wstring TemporaryPath() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder) + L"kestrova-history-" + std::to_wstring(GetCurrentProcessId()) +
           L".xml";
}

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return -1;
    }
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int Run(size_t entries) {
    const std::wstring path = TemporaryPath();

    auto start = Clock::now();
    XmlDocument document;
    document.Create(L"Kestrova");
    XmlElement built = document.Root();
    for (size_t i = 0; i < entries; ++i) {
        XmlElement entry = built.AppendChild(L"ELEMENT");
        entry.SetAttribute(
            L"NAME", L"HKEY_LOCAL_MACHINE\\\\Software\\\\Vendor\\\\Entry" + std::to_wstring(i));
        entry.SetAttribute(L"TYPE", L"Key");
        entry.SetAttribute(L"PATH", L"C:\\\\Program Files\\\\Vendor\\\\file" + std::to_wstring(i));
        entry.SetAttribute(L"DATE", L"2024-01-01 12:00:00");
    }
    const double build = MsSince(start);

    start = Clock::now();
    document.Save(path);
    const double save = MsSince(start);
    const LONGLONG bytes = FileSize(path);

    start = Clock::now();
    XmlDocument loaded;
    loaded.Load(path);
    const double load = MsSince(start);
    DeleteFileW(path.c_str());

    start = Clock::now();
    size_t characters = 0;
    const XmlElement root = loaded.Root();
    for (size_t i = 0; i < root.ChildCount(); ++i) {
        const XmlElement entry = root.Child(i);
        for (const wchar_t* name : {L"NAME", L"TYPE", L"PATH", L"DATE"}) {
            characters += entry.AttributeText(name).size();
        }
    }
    const double walk = MsSince(start);

    start = Clock::now();
    XmlElement history = loaded.Root();
    for (size_t i = history.ChildCount(); i-- > 0;) {
        if (i % 2 == 0) {
            history.DeleteChild(i);
        }
    }
    const double deleteHalf = MsSince(start);

    // The figures only count when the document came back whole.
    if (characters == 0 || root.ChildCount() != entries - (entries + 1) / 2) {
        std::fprintf(stderr, "the loaded document does not hold what was saved\n");
        return 1;
    }
    std::printf("%zu entries, %lld bytes saved\n", entries, bytes);
    std::printf("build %8.0f ms\n", build);
    std::printf("save  %8.0f ms\n", save);
    std::printf("load  %8.0f ms\n", load);
    std::printf("walk  %8.0f ms  (by index, 4 attributes each)\n", walk);
    std::printf("delete%8.0f ms  (every other entry, from the end)\n", deleteHalf);
    return 0;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    size_t entries = 10000;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--entries" && i + 1 < argc) {
            entries = static_cast<size_t>(std::stoul(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: history_benchmark [--entries N]\n");
            return 2;
        }
    }
    if (entries < 1) {
        std::fprintf(stderr, "--entries must be at least 1\n");
        return 2;
    }
    return kestrova::bench::RunWithCom(COINIT_MULTITHREADED,
                                       [&] { return kestrova::bench::Run(entries); });
}
