// What the ignore list costs the scan for each row it reports: ScanContext::ReportError over
// ignore lists of several lengths, none of whose entries matches, once with the list left
// alone and once with a change made to it before every report (as "Add to Ignore List" does
// while a scan runs). Needs no registry data and no display.
//
// Usage: ignore_benchmark [--rows N] [--runs N]
//   --rows N  reports made for each list length (default 2,000)
//   --runs N  timed rounds; the best of each figure is shown (default 3)
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "platform/xml_document.h"
#include "run_with_com.h"
#include "scan/scan_context.h"
#include "scan/scan_sink.h"

namespace kestrova::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kListLengths[] = {0, 50, 500};

// Counts the rows and keeps none, so the figure is the filter's own.
class CountingSink : public ScanSink {
public:
    void AddRow(ErrorRow) override { ++rows; }
    void SetStatus(const std::wstring&) override {}
    void SetGroupCount(int, int) override {}
    bool StopRequested() const override { return false; }
    bool GroupChecked(int) const override { return true; }

    size_t rows = 0;
};

// Entries shaped like those "Add to Ignore List" makes from Shared DLLs rows.
void FillIgnoreList(XmlDocument& document, size_t entries) {
    document.Create(L"IgnoreList");
    XmlElement root = document.Root();
    for (size_t i = 0; i < entries; ++i) {
        XmlElement entry = root.AppendChild(L"ERROR");
        entry.SetAttribute(L"ROOT", L"HKEY_LOCAL_MACHINE");
        entry.SetAttribute(L"KEY",
                           L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls\\C:\\Program "
                           L"Files\\Kept " +
                               std::to_wstring(i));
        entry.SetAttribute(L"VALUE", L"library.dll");
    }
}

std::wstring ReportedKeyName(size_t row) {
    return L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls\\C:\\"
           L"Program Files\\Gone " +
           std::to_wstring(row) + L"\\library.dll";
}

// The change the window makes most, undone every other time so the list keeps its length:
// an entry appended with its three attributes, then deleted.
class ListChange {
public:
    ListChange(XmlDocument& document, size_t entries) : root_(document.Root()), at_(entries) {}

    void operator()() {
        if (appended_) {
            root_.DeleteChild(at_);
        } else {
            XmlElement entry = root_.AppendChild(L"ERROR");
            entry.SetAttribute(L"ROOT", L"HKEY_CURRENT_USER");
            entry.SetAttribute(L"KEY", L"Software\\Kestrova Benchmark");
            entry.SetAttribute(L"VALUE", L"added");
        }
        appended_ = !appended_;
    }

private:
    XmlElement root_;
    size_t at_;
    bool appended_ = false;
};

// Microseconds per round of `rows`: a change first when `change` is given, then a report
// unless `report` is false.
double MicrosecondsPerRow(const XmlDocument& document, size_t rows, ListChange* change,
                          bool report) {
    CountingSink sink;
    ScanContext scan(sink, document);
    int counter = 0;
    const std::wstring type = L"Invalid shared DLL";
    const std::wstring value = L"1";
    const std::wstring guess = L"c:\\program files\\gone\\library.dll";
    const Clock::time_point start = Clock::now();
    for (size_t row = 0; row < rows; ++row) {
        if (change != nullptr) {
            (*change)();
        }
        if (report) {
            scan.ReportError(type, ReportedKeyName(row), value, counter, guess);
        }
    }
    const Clock::time_point end = Clock::now();
    if (report && sink.rows != rows) {
        throw std::runtime_error("an ignore entry matched a benchmark row");
    }
    return std::chrono::duration<double, std::micro>(end - start).count() /
           static_cast<double>(rows);
}

struct Figures {
    double report = 0;           // a report, the list unchanged
    double changeAndReport = 0;  // a change and a report
    double changeAlone = 0;      // the change without a report
};

Figures Measure(size_t entries, size_t rows) {
    XmlDocument document;
    FillIgnoreList(document, entries);
    ListChange change(document, entries);
    Figures figures;
    figures.report = MicrosecondsPerRow(document, rows, nullptr, true);
    figures.changeAndReport = MicrosecondsPerRow(document, rows, &change, true);
    figures.changeAlone = MicrosecondsPerRow(document, rows, &change, false);
    return figures;
}

int Run(size_t rows, int runs) {
    std::printf("ReportError per row, %zu rows, none ignored (microseconds, best of %d):\n", rows,
                runs);
    std::printf("%8s %9s %15s %13s\n", "entries", "report", "change+report", "change alone");
    for (const size_t entries : kListLengths) {
        Figures best;
        for (int round = 0; round < runs; ++round) {
            const Figures figures = Measure(entries, rows);
            best.report = round == 0 ? figures.report : std::min(best.report, figures.report);
            best.changeAndReport = round == 0
                                       ? figures.changeAndReport
                                       : std::min(best.changeAndReport, figures.changeAndReport);
            best.changeAlone =
                round == 0 ? figures.changeAlone : std::min(best.changeAlone, figures.changeAlone);
        }
        std::printf("%8zu %9.1f %15.1f %13.1f\n", entries, best.report, best.changeAndReport,
                    best.changeAlone);
    }
    return 0;
}

}  // namespace

}  // namespace kestrova::bench

int wmain(int argc, wchar_t** argv) {
    size_t rows = 2000;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--rows" && i + 1 < argc) {
            rows = static_cast<size_t>(std::stoul(argv[++i]));
        } else if (argument == L"--runs" && i + 1 < argc) {
            runs = std::stoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: ignore_benchmark [--rows N] [--runs N]\n");
            return 2;
        }
    }
    if (rows < 1 || runs < 1) {
        std::fprintf(stderr, "--rows and --runs must be at least 1\n");
        return 2;
    }
    return kestrova::bench::RunWithCom(COINIT_MULTITHREADED,
                                       [&] { return kestrova::bench::Run(rows, runs); });
}
