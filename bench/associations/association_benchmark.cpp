// What the file association store's full read costs: TFileAssociator::ReadAll over a
// HKEY_CLASSES_ROOT of many extensions and their file types, next to a floor that makes the
// same registry reads with raw calls and keeps the same records. The roots of this process
// point at volatile scratch keys, so the prefix's registry is neither read nor changed. Needs
// no display.
//
// Usage: association_benchmark [--extensions N] [--runs N]
//   --extensions N  extensions in the classes root (default 10,000)
//   --runs N        timed rounds of each, in alternating order (default 3)
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "association_data.h"
#include "call_counter.h"
#include "platform/unique_handles.h"
#include "registry_redirect.h"
#include "run_with_com.h"
#include "tools/file_association_store.h"

namespace kestrova::bench {

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The default value of parent\path as text; empty when missing or not text.
std::wstring FloorDefault(HKEY parent, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t buffer[512];
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = REG_NONE;
    const LSTATUS status =
        RegQueryValueExW(key, L"", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    buffer[size / sizeof(wchar_t)] = L'\0';
    return buffer;
}

// The same reads as the store's, with raw calls and no wrapper.
std::vector<TExtInfo> FloorRead() {
    std::vector<std::wstring> names;
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"", 0, KEY_READ, &root) == ERROR_SUCCESS) {
        DWORD longest = 0;
        RegQueryInfoKeyW(root, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr);
        std::vector<wchar_t> buffer(longest + 1);
        for (DWORD i = 0;; ++i) {
            DWORD length = static_cast<DWORD>(buffer.size());
            if (RegEnumKeyExW(root, i, buffer.data(), &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS) {
                break;
            }
            if (buffer[0] == L'.') {
                names.emplace_back(buffer.data(), length);
            }
        }
        RegCloseKey(root);
    }
    std::vector<TExtInfo> rows;
    rows.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        TExtInfo info;
        info.extension = names[i];
        info.fileType = FloorDefault(HKEY_CLASSES_ROOT, names[i]);
        if (!info.fileType.empty()) {
            info.description = FloorDefault(HKEY_CLASSES_ROOT, info.fileType);
            if (info.description.empty()) {
                info.description = info.fileType;
            }
            info.fileIcon = FloorDefault(HKEY_CLASSES_ROOT, info.fileType + L"\\DefaultIcon");
            info.filePath =
                FloorDefault(HKEY_CLASSES_ROOT, info.fileType + L"\\shell\\open\\command");
        }
        info.position = static_cast<int32_t>(i + 1);
        rows.push_back(std::move(info));
    }
    return rows;
}

int Run(size_t extensions, int runs) {
    const RegistryRedirect redirect;
    auto start = Clock::now();
    FillClassesRoot(extensions);
    std::printf("Classes root: %zu extensions filled in %.0f ms\n", extensions, MsSince(start));

    const std::vector<TExtInfo> fromStore = StoreRead();
    const std::vector<TExtInfo> fromFloor = FloorRead();
    const bool same = fromStore == fromFloor;
    const auto withCommand =
        std::count_if(fromStore.begin(), fromStore.end(),
                      [](const TExtInfo& info) { return !info.filePath.empty(); });
    std::printf("Records: store %zu, floor %zu, %lld with an open command; same records: %s\n",
                fromStore.size(), fromFloor.size(), static_cast<long long>(withCommand),
                same ? "yes" : "NO");
    if (!same || fromStore.size() != extensions) {
        std::fprintf(stderr, "the store and the floor read different records\n");
        return 1;
    }

    {
        // A counted round apart from the timed ones: the counting stand-ins cost time.
        CallCounter counter;
        counter.Take();
        start = Clock::now();
        StoreRead();
        const double storeMs = MsSince(start);
        const CallCounts store = counter.Take();
        start = Clock::now();
        FloorRead();
        const double floorMs = MsSince(start);
        const CallCounts floor = counter.Take();
        std::printf(
            "Counted round%s: registry calls store %zu, floor %zu; time in them store "
            "%.0f of %.0f ms, floor %.0f of %.0f ms\n",
            counter.Complete() ? "" : " (some calls not counted)", store.registryCalls,
            floor.registryCalls, store.registryMs, storeMs, floor.registryMs, floorMs);
    }

    double bestStore = 1e300;
    double bestFloor = 1e300;
    for (int round = 0; round < runs; ++round) {
        double storeMs = 0;
        double floorMs = 0;
        for (int part = 0; part < 2; ++part) {
            const bool storeNow = (round + part) % 2 == 0;
            start = Clock::now();
            const size_t count = storeNow ? StoreRead().size() : FloorRead().size();
            (storeNow ? storeMs : floorMs) = MsSince(start);
            if (count != extensions) {
                std::fprintf(stderr, "a round read %zu records\n", count);
                return 1;
            }
        }
        bestStore = std::min(bestStore, storeMs);
        bestFloor = std::min(bestFloor, floorMs);
        std::printf("round %d: ReadAll %.0f ms, floor %.0f ms, ratio %.2f\n", round + 1, storeMs,
                    floorMs, storeMs / floorMs);
    }
    std::printf("best: ReadAll %.0f ms (%.1f us per extension), floor %.0f ms\n", bestStore,
                1000.0 * bestStore / static_cast<double>(extensions), bestFloor);
    std::printf("ratio %.2f\n", bestStore / bestFloor);
    return 0;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    size_t extensions = 10000;
    int runs = 3;
    if (!kestrova::bench::ParseAssociationArguments(argc, argv, "association_benchmark", extensions,
                                                    runs)) {
        return 2;
    }
    return kestrova::bench::RunWithCom(COINIT_MULTITHREADED,
                                       [&] { return kestrova::bench::Run(extensions, runs); });
}
