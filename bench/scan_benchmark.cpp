// Speed of the registry scan on tens of thousands of entries: the scan against a floor that
// makes only the same registry reads and file probes, and the road of the rows through the
// UiChannel to a message loop, and into the real main window. Runs on a registry redirected to
// scratch keys, so the machine's own registry is neither read nor changed.
//
// Usage: scan_benchmark [--scale F] [--runs N] [--ignore N]   (needs a display for the window)
//   --scale F  multiplies every entry count (default 1: 20,000 classes with three server keys
//              each, 5,000 App Paths, 10,000 shared DLLs, 2,000 uninstall entries, 3,000 file
//              extensions, 2,000 sound events with two schemes each)
//   --runs N   timed rounds of scan and floor (default 2); the best of each is also shown
//   --ignore N entries in the ignore list, none of which matches (default 0)
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "bench_data.h"
#include "call_counter.h"
#include "channel_delivery.h"
#include "floor_scan.h"
#include "loop_timing.h"
#include "platform/xml_document.h"
#include "registry_redirect.h"
#include "run_with_com.h"
#include "scan/error_list.h"
#include "scan/scan_driver.h"
#include "scan/scan_groups.h"
#include "scan/system_folders.h"
#include "window_delivery.h"

namespace kestrova::bench {

namespace {

// Collects a run as the console front end does: rows in an ErrorList, the last status text
// and the counters; every group checked, no stop.
class ListSink : public ScanSink {
public:
    void AddRow(ErrorRow row) override { rows.Add(std::move(row)); }
    void SetStatus(const std::wstring& text) override { status = text; }
    void SetGroupCount(int group, int count) override { counts[group] = count; }
    bool StopRequested() const override { return false; }
    bool GroupChecked(int) const override { return true; }

    ErrorList rows;
    std::wstring status;
    std::array<int, kScanGroupCount> counts{};
};

struct Options {
    double scale = 1.0;
    int runs = 2;
    int ignored = 0;
};

Options ParseOptions(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--scale" && i + 1 < argc) {
            options.scale = std::stod(argv[++i]);
        } else if (argument == L"--runs" && i + 1 < argc) {
            options.runs = std::stoi(argv[++i]);
        } else if (argument == L"--ignore" && i + 1 < argc) {
            options.ignored = std::stoi(argv[++i]);
        } else {
            throw std::invalid_argument(
                "usage: scan_benchmark [--scale F] [--runs N] [--ignore N]");
        }
    }
    if (options.scale <= 0 || options.runs < 1 || options.ignored < 0) {
        throw std::invalid_argument(
            "--scale must be above 0, --runs at least 1, --ignore 0 or more");
    }
    return options;
}

// A fresh folder under the temporary folder, removed with its files at the end.
class ScratchFolder {
public:
    ScratchFolder()
        : path_(TempFolder() + L"kestrova-bench-" + std::to_wstring(GetCurrentProcessId()) +
                L"\\") {
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { Remove(path_); }
    const std::wstring& Path() const { return path_; }

private:
    static void Remove(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        const HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    Remove(folder + name + L"\\");
                } else {
                    DeleteFileW((folder + name).c_str());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring path_;
};

struct ScanFigures {
    double ms = 0;
    size_t rows = 0;
    bool completed = false;
};

ScanFigures TimedScan(const XmlDocument& ignoreList) {
    ListSink sink;
    const Clock::time_point start = Clock::now();
    const ScanOutcome outcome = RunScan(sink, ignoreList);
    const Clock::time_point end = Clock::now();
    return ScanFigures{Ms(end - start), sink.rows.Size(),
                       outcome.end == ScanOutcome::End::Completed};
}

struct FloorFigures {
    double ms = 0;
    FloorResult result;
};

FloorFigures TimedFloor() {
    const Clock::time_point start = Clock::now();
    const FloorResult result = FloorScan();
    const Clock::time_point end = Clock::now();
    return FloorFigures{Ms(end - start), result};
}

int Run(const Options& options) {
    XmlDocument ignoreList;
    ignoreList.Create(L"IgnoreList");
    // Entries every report is compared with; none matches a benchmark entry.
    for (int i = 0; i < options.ignored; ++i) {
        XmlElement entry = ignoreList.Root().AppendChild(L"ERROR");
        entry.SetAttribute(L"ROOT", L"HKEY_LOCAL_MACHINE");
        entry.SetAttribute(L"KEY", L"SOFTWARE\\Kestrova Benchmark\\Kept");
        entry.SetAttribute(L"VALUE", L"entry" + std::to_wstring(i));
    }
    ScratchFolder folder;
    RegistryRedirect redirect;

    const Clock::time_point fillStart = Clock::now();
    const BenchData data = FillBenchData(BenchSizes{}.Scaled(options.scale), folder.Path());
    std::printf("Filled %zu entries (%zu stale) and %zu files in %.0f ms.\n", data.entries,
                data.stale, data.files, Ms(Clock::now() - fillStart));

    // One counted round first, untimed; it also warms the caches for the timed rounds.
    {
        CallCounter counter;
        const ScanFigures scan = TimedScan(ignoreList);
        const CallCounts scanCalls = counter.Take();
        const FloorFigures floor = TimedFloor();
        const CallCounts floorCalls = counter.Take();
        std::printf("\nCounted round (untimed figures; times in ms):\n");
        std::printf("%-6s %7s %7s %8s %9s %8s %8s %7s\n", "", "rows", "probes", "probe t",
                    "reg calls", "reg t", "other t", "total");
        const auto line = [](const char* name, size_t rows, const CallCounts& calls, double total) {
            std::printf("%-6s %7zu %7zu %8.0f %9zu %8.0f %8.0f %7.0f\n", name, rows,
                        calls.fileProbes, calls.probeMs, calls.registryCalls, calls.registryMs,
                        total - calls.probeMs - calls.registryMs, total);
        };
        line("scan", scan.rows, scanCalls, scan.ms);
        line("floor", floor.result.stale, floorCalls, floor.ms);
        std::printf("Same probed paths: %s%s\n",
                    scanCalls.fileProbes == floorCalls.fileProbes &&
                            scanCalls.probedPaths == floorCalls.probedPaths
                        ? "yes"
                        : "NO",
                    counter.Complete() ? "" : " (some calls could not be counted)");
        if (!scan.completed || scan.rows != data.stale || floor.result.stale != data.stale) {
            std::printf("WARNING: expected %zu rows from both.\n", data.stale);
        }
    }

    std::printf("\n%-5s %8s %7s %9s %9s %6s\n", "round", "entries", "rows", "scan ms", "floor ms",
                "ratio");
    double bestScan = 0;
    double bestFloor = 0;
    for (int round = 1; round <= options.runs; ++round) {
        // The order alternates, so a change in the machine's load does not always favour one.
        ScanFigures scan;
        FloorFigures floor;
        if (round % 2 == 1) {
            scan = TimedScan(ignoreList);
            floor = TimedFloor();
        } else {
            floor = TimedFloor();
            scan = TimedScan(ignoreList);
        }
        std::printf("%-5d %8zu %7zu %9.0f %9.0f %6.2f\n", round, data.entries, scan.rows, scan.ms,
                    floor.ms, scan.ms / floor.ms);
        bestScan = round == 1 ? scan.ms : std::min(bestScan, scan.ms);
        bestFloor = round == 1 ? floor.ms : std::min(bestFloor, floor.ms);
    }
    if (options.runs > 1) {
        // On a busy machine the fastest of each is the least disturbed.
        std::printf("%-5s %8zu %7s %9.0f %9.0f %6.2f\n", "best", data.entries, "", bestScan,
                    bestFloor, bestScan / bestFloor);
    }

    std::printf("\nRows through the UiChannel to a message loop (scan on a worker thread):\n");
    std::printf("%-14s %7s %8s %8s %12s %11s %10s\n", "handed over", "rows", "batches", "scan ms",
                "last row ms", "pause ms", "timer gap");
    for (const Handover handover : {Handover::EachCall, Handover::Grouped}) {
        const DeliveryFigures delivery = MeasureChannelDelivery(ignoreList, handover);
        std::printf("%-14s %7zu %8zu %8.0f %12.0f %11.1f %10.1f\n",
                    handover == Handover::EachCall ? "each call" : "every 20 ms", delivery.rows,
                    delivery.batches, delivery.scanMs, delivery.lastRowMs, delivery.longestPauseMs,
                    delivery.longestTimerGapMs);
    }

    std::printf(
        "\nRows into the main window (\"Start Scan\" pressed, this thread runs its loop):\n");
    const std::wstring windowData = folder.Path() + L"window-data\\";
    CreateDirectoryW(windowData.c_str(), nullptr);
    const WindowFigures window = MeasureWindowDelivery(windowData);
    if (!window.created) {
        std::printf("The window could not be created (is a display set?).\n");
        return 1;
    }
    std::printf("%7s %10s %12s %8s %11s %10s\n", "rows", "list items", "last row ms", "done ms",
                "pause ms", "timer gap");
    std::printf("%7zu %10zu %12.0f %8.0f %11.1f %10.1f\n", data.stale, window.itemCount,
                window.lastRowMs, window.doneMs, window.longestPauseMs, window.longestTimerGapMs);
    if (!window.finished || window.itemCount != data.stale || window.shownDialogs != 0) {
        std::printf("WARNING: expected \"Scan done !\" with %zu list items and no message box.\n",
                    data.stale);
    }
    return 0;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return kestrova::bench::RunWithCom(COINIT_APARTMENTTHREADED, [&] {
        return kestrova::bench::Run(kestrova::bench::ParseOptions(argc, argv));
    });
}
