// The Drive Cleaner page with a hundred thousand result rows: the real main window, its drive
// list pointed at a generated tree below the temporary folder (every file junk of one default
// type), "Search &Again" pressed, and this thread running the window's message loop until
// "Search Done !" shows. Next to it, the search engine alone as the page runs it, unthreaded,
// counting its matches. The two take turns round by round. Needs a display.
//
// Usage: cleaner_benchmark [--folders N] [--files N] [--runs N] [--keep]
//   --folders N  folders in the tree (default 5,000)
//   --files N    files in the tree, spread evenly; each is one result row (default 100,000)
//   --runs N     timed rounds of each, their sums compared (default 3)
//   --keep       keep the tree in the temporary folder and use it again next time
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "app/drive_cleaner_frame.h"
#include "app/first_activation.h"
#include "app/main_form.h"
#include "app/more_tools_section.h"
#include "file_search/junk_tree.h"
#include "loop_timing.h"
#include "registry_redirect.h"
#include "run_with_com.h"
#include "tools/drive_cleaner.h"
#include "tools/drive_cleaner_captions.h"
#include "tools/find_file.h"
#include "silent_dialogs.h"
#include "window_loop.h"

namespace kestrova::bench {

namespace {

// Far beyond any search the benchmark makes; only keeps a broken run from hanging.
constexpr std::chrono::minutes kLimit{30};

// Each name is selected by exactly one mask of the seven default types: one row per file.
constexpr const wchar_t* kJunkNames[] = {L"setup.tmp", L"page._mp", L"old.bak",  L"notes.old",
                                         L"run.log",   L"help.gid", L"temp.$$$", L"prev.prv"};

struct Options {
    size_t folders = 5000;
    size_t files = 100000;
    int runs = 3;
    bool keep = false;
};

std::vector<std::wstring> DefaultExtensions() {
    std::vector<std::wstring> extensions;
    for (const FileType& type : DefaultFileTypes()) {
        extensions.push_back(type.extensions);
    }
    return extensions;
}

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Time this thread has spent running (user and kernel), in milliseconds: what other programs
// on a busy machine disturb less than the wall clock.
double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return static_cast<double>(Ticks(kernel) + Ticks(user)) / 1e4;
}

// The same for every thread of the process, the search thread included.
double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return static_cast<double>(Ticks(kernel) + Ticks(user)) / 1e4;
}

struct EngineFigures {
    size_t files = 0;
    double ms = 0;
    double cpuMs = 0;
};

// The engine as the page runs it, on this thread, each match only counted.
EngineFigures RunEngineAlone(const std::wstring& root) {
    CleanerSelection selection;
    selection.locations = {root};
    selection.extensions = DefaultExtensions();
    FindFile search;
    search.Criteria().files = CleanerFileCriteria(selection);
    EngineFigures figures;
    search.onFileMatch = [&figures](FindFile&, const std::wstring&, const FoundFile&) {
        ++figures.files;
    };
    const double cpuStart = ProcessCpuMs();
    const Clock::time_point start = Clock::now();
    search.Execute();
    figures.ms = Ms(Clock::now() - start);
    figures.cpuMs = ProcessCpuMs() - cpuStart;
    return figures;
}

struct PageFigures {
    LoopFigures loop;
    size_t rows = 0;         // rows of the page's result model at the end
    size_t items = 0;        // items of the result list view at the end
    double windowCpuMs = 0;  // time the window thread ran meanwhile
    double cpuMs = 0;        // time every thread of the process ran meanwhile
};

// One press of "Search &Again", with this thread running the window's message loop.
PageFigures RunPage(TDriveCleanerFrame& page) {
    const double cpuStart = ThreadCpuMs();
    const double processCpuStart = ProcessCpuMs();
    const Clock::time_point pressed = Clock::now();
    page.btnSearchAgain.Click();
    const LoopFigures loop = RunLoopUntil(page.lvSearchResult.Handle(), pressed, kLimit, [&page] {
        return !page.Searching() && page.lblFileFound.Text() == kSearchDone;
    });
    PageFigures figures;
    figures.loop = loop;
    figures.windowCpuMs = ThreadCpuMs() - cpuStart;
    figures.cpuMs = ProcessCpuMs() - processCpuStart;
    figures.rows = page.results.RowCount();
    figures.items = static_cast<size_t>(ListView_GetItemCount(page.lvSearchResult.Handle()));
    return figures;
}

int Run(const Options& options) {
    const std::wstring root = JunkTreeRoot(L"cleaner", options.folders, options.files);
    MakeJunkTree(root, options.folders, options.files,
                 [](size_t i) { return kJunkNames[i % std::size(kJunkNames)]; });

    // Nothing of the prefix's registry is read or changed; the first-activation scan counts
    // as offered on an earlier run.
    RegistryRedirect redirect;
    SetText(CreateVolatileKey(HKEY_LOCAL_MACHINE, kProgramStateKeyPath).Get(),
            kActivatedFirstScanValue, L"1");
    // The window's Backup.xml and ignore.xml go beside the tree, not into it.
    const std::wstring dataFolder = JunkTreeRoot(L"cleaner-data", 0, 0);
    CreateDirectoryW(dataFolder.c_str(), nullptr);

    SilentDialogs dialogs;
    TfmMainForm form(dialogs, dataFolder);
    if (!form.Create(GetModuleHandleW(nullptr))) {
        std::printf("The window could not be created (is a display set?).\n");
        return 1;
    }
    ShowWindow(form.Handle(), SW_SHOW);
    UpdateWindow(form.Handle());
    PumpFor(300);

    // The page as a user leaves it before "Search &Again": the tree in place of the drives,
    // checked, every default type checked, the search page on screen.
    MoreToolsSection& tools = form.Get<MoreToolsSection>();
    TDriveCleanerFrame& page = tools.Get<TDriveCleanerFrame>();
    page.UseDriveSource([&root] { return std::vector<DriveInfo>{{root, 1ull << 40, 1ull << 39}}; });
    form.ToolButtonFor<MoreToolsSection>().Click();
    for (size_t i = 0; i < tools.pcMoreTools.PageCount(); ++i) {
        if (&tools.Get<TDriveCleanerFrame>() == &tools.Frame(i)) {
            tools.pcMoreTools.ShowPage(i);
        }
    }
    page.btnRefresh.Click();
    page.drives.SetChecked(0, true);
    page.btnNextToExtensions.Click();
    page.btnNextToSearch.Click();
    PumpFor(300);

    // One untimed pass brings the tree into the system's caches.
    const EngineFigures warm = RunEngineAlone(root);

    std::printf("Tree: %zu files in %zu folders; the engine reports %zu\n", options.files,
                options.folders + 1, warm.files);

    std::printf("%5s %9s %11s %7s %7s %7s %8s %9s %10s %10s %8s\n", "round", "engine ms",
                "last row ms", "done ms", "rows", "items", "pause ms", "timer gap", "engine cpu",
                "window cpu", "all cpu");
    double engineTotal = 0;
    double lastRowTotal = 0;
    double longestPause = 0;
    double engineCpuTotal = 0;
    double pageCpuTotal = 0;
    bool complete = true;
    for (int round = 0; round < options.runs; ++round) {
        EngineFigures engine;
        PageFigures shown;
        // The one going first alternates, so a change of load meets both alike.
        if (round % 2 == 0) {
            engine = RunEngineAlone(root);
            shown = RunPage(page);
        } else {
            shown = RunPage(page);
            engine = RunEngineAlone(root);
        }
        engineTotal += engine.ms;
        lastRowTotal += shown.loop.lastRowMs;
        longestPause = std::max(longestPause, shown.loop.longestPauseMs);
        complete = complete && shown.loop.finished && shown.rows == engine.files &&
                   shown.items == engine.files;
        std::printf("%5d %9.0f %11.0f %7.0f %7zu %7zu %8.1f %9.1f %10.0f %10.0f %8.0f\n", round + 1,
                    engine.ms, shown.loop.lastRowMs, shown.loop.doneMs, shown.rows, shown.items,
                    shown.loop.longestPauseMs, shown.loop.longestTimerGapMs, engine.cpuMs,
                    shown.windowCpuMs, shown.cpuMs);
        engineCpuTotal += engine.cpuMs;
        pageCpuTotal += shown.cpuMs;
    }
    std::printf(
        "all rounds: engine %.0f ms (cpu %.0f ms), last row shown %.0f ms (cpu of all threads "
        "%.0f ms, ratio %.2f); longest pause %.1f ms%s\n",
        engineTotal, engineCpuTotal, lastRowTotal, pageCpuTotal, pageCpuTotal / engineCpuTotal,
        longestPause, complete ? "" : "; NOT every row reached the list");
    if (dialogs.shown != 0) {
        std::printf("The window showed %zu message boxes\n", dialogs.shown);
    }
    DestroyWindow(form.Handle());
    PumpFor(100);
    RemoveJunkTree(dataFolder);
    if (!options.keep) {
        RemoveJunkTree(root);
    }
    std::printf("ratio %.2f\n", lastRowTotal / engineTotal);
    return complete ? 0 : 1;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--folders" && i + 1 < argc) {
            options.folders = static_cast<size_t>(std::stoul(argv[++i]));
        } else if (argument == L"--files" && i + 1 < argc) {
            options.files = static_cast<size_t>(std::stoul(argv[++i]));
        } else if (argument == L"--runs" && i + 1 < argc) {
            options.runs = std::stoi(argv[++i]);
        } else if (argument == L"--keep") {
            options.keep = true;
        } else {
            return false;
        }
    }
    return options.folders >= 1 && options.runs >= 1;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    kestrova::bench::Options options;
    if (!kestrova::bench::ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: cleaner_benchmark [--folders N] [--files N] [--runs N] [--keep]\n");
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    return kestrova::bench::RunWithCom(COINIT_APARTMENTTHREADED,
                                       [&options] { return kestrova::bench::Run(options); });
}
