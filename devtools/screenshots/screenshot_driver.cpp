// Takes a picture of every section of the real main window, and of every tab of More Tools,
// for the README and docs/. The window is the program's own (TfmMainForm, made as the
// program's start makes it), its data folder the folder of this executable, over the registry
// of the Wine prefix it runs in, where scripts/screenshots.sh has imported the sample stale
// entries. Before the pictures it scans, fixes two sample rows, sends two others to the ignore
// list and scans again, so the error list, the restore history and the ignore list all have rows
// to show; on their pages it takes a restore point, runs the IE traces search and reads the file
// associations, as a user would before looking.
//
// Usage: kestrova_screenshots OUTPUT_FOLDER
// Each picture is OUTPUT_FOLDER\NAME.png, NAME made from the tool button's caption or hint, or
// from the More Tools tab's caption: "Scan and Fix Errors " gives scan-and-fix-errors.png.
// Exit status 0 when every picture was saved and the window showed no message box; 1 otherwise,
// with the reason on stderr.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/backup_section.h"
#include "app/drive_cleaner_frame.h"
#include "app/file_extensions_frame.h"
#include "app/first_activation.h"
#include "app/ie_traces_section.h"
#include "app/main_form.h"
#include "app/more_tools_section.h"
#include "app/scan_errors_section.h"
#include "app/section_table.h"
#include "managers/ie_traces.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "platform/file_paths.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "support/message_pump.h"
#include "window_capture.h"

namespace kestrova::shots {

namespace {

// How the class identifiers of the sample entries begin ("KestrovaSample" in hex).
constexpr wchar_t kSampleClassPrefix[] = L"4B657374-726F-7661-5361-6D706C65";

// Far beyond what any step takes on a loaded machine; only keeps a broken run from hanging.
constexpr DWORD kStepLimitMs = 5 * 60 * 1000;

// No box may wait for a person, and none belongs in a picture: each is answered "No" or
// cancelled, and remembered so that the run fails.
class ShotDialogs final : public IDialogs {
public:
    void ShowMessage(const std::wstring& text) override { shown.push_back(text); }
    void ShowInformation(const std::wstring& text, const std::wstring&) override {
        shown.push_back(text);
    }
    void ShowError(const std::wstring& text) override { shown.push_back(text); }
    bool Confirm(const std::wstring& text) override {
        shown.push_back(text);
        return false;
    }
    std::optional<std::wstring> OpenFile(const FileDialogOptions& options) override {
        shown.push_back(L"open file dialog " + options.title);
        return std::nullopt;
    }
    std::optional<std::wstring> SaveFile(const FileDialogOptions& options) override {
        shown.push_back(L"save file dialog " + options.title);
        return std::nullopt;
    }
    std::optional<std::wstring> BrowseFolder(const std::wstring& title) override {
        shown.push_back(L"folder dialog " + title);
        return std::nullopt;
    }

    std::vector<std::wstring> shown;
};

void Print(const std::wstring& text, FILE* stream = stdout) {
    std::fputs((ToUtf8(text) + "\n").c_str(), stream);
    std::fflush(stream);
}

// "Scan and Fix Errors " -> "scan-and-fix-errors".
std::wstring FileNameOf(const std::wstring& caption) {
    std::wstring name;
    for (wchar_t c : caption) {
        if ((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9')) {
            name += c;
        } else if (c >= L'A' && c <= L'Z') {
            name += static_cast<wchar_t>(c - L'A' + L'a');
        } else if (c != L'&' && !name.empty() && name.back() != L'-') {
            name += L'-';
        }
    }
    while (!name.empty() && name.back() == L'-') {
        name.pop_back();
    }
    return name;
}

std::wstring TabCaption(HWND tabs, int index) {
    wchar_t text[256] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    TabCtrl_GetItem(tabs, index, &item);
    return text;
}

// Presses a tab with the mouse, as a user switches the More Tools pages.
void PressTab(HWND tabs, int index) {
    RECT r = {};
    if (!TabCtrl_GetItemRect(tabs, index, &r)) {
        throw Error(L"no tab " + std::to_wstring(index));
    }
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tabs, WM_LBUTTONUP, 0, at);
}

// A few files of the kinds Internet Explorer leaves, in the folders the IE traces search reads
// (those of the current user of the prefix), so that its picture lists something. They are
// made afresh each run; their names say where they came from.
void PlaceShowcaseTraces() {
    const IeFolders folders = ReadIeFolders();
    const auto place = [](const std::wstring& folder, const wchar_t* relativePath) {
        if (folder.empty()) {
            return;
        }
        const std::filesystem::path file = std::filesystem::path(folder) / relativePath;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << "Kestrova PC Optimizer screenshot sample\n";
    };
    place(folders.cache, L"Content.IE5\\KSAMPLE1\\kestrova-sample-logo[1].png");
    place(folders.cache, L"Content.IE5\\KSAMPLE1\\kestrova-sample-styles[1].css");
    place(folders.cache, L"Content.IE5\\KSAMPLE2\\kestrova-sample-page[2].htm");
    place(folders.history, L"History.IE5\\index.dat");
    place(folders.temp, L"~DFKestrovaSample.tmp");
}

class ScreenshotRun {
public:
    ScreenshotRun(TfmMainForm& form, ShotDialogs& dialogs, std::wstring outputFolder)
        : form_(form), dialogs_(dialogs), outputFolder_(WithTrailingBackslash(outputFolder)) {}

    void Run() {
        WaitIdle(L"the window's first fill");
        ScanFixAndIgnore();
        const auto entries = MainSections();
        for (size_t i = 0; i < form_.SectionCount(); ++i) {
            form_.ToolButtonAt(i).Click();
            WaitIdle(L"the section's first fill");
            Section& section = form_.SectionAt(i);
            if (auto* tools = dynamic_cast<MoreToolsSection*>(&section)) {
                CaptureTabs(*tools);
            } else {
                Fill(section);
                Capture(i < entries.size() ? entries[i].label : L"section " + std::to_wstring(i));
            }
        }
        // Back to the start page, as the program opens.
        form_.ToolButtonAt(0).Click();
        WaitIdle(L"the last page");
    }

private:
    // True while a worker of any section is still filling its page.
    bool Busy() {
        auto& tools = form_.Get<MoreToolsSection>();
        const auto& backup = form_.Get<BackupSection>();
        return form_.Get<ScanErrorsSection>().ScanRunning() || backup.BackupRunning() ||
               backup.RestoreRunning() || form_.Get<IeTracesSection>().SearchRunning() ||
               tools.Get<TfrmFileAssociator>().ReadRunning() ||
               tools.Get<TDriveCleanerFrame>().Searching();
    }

    // Until every worker has ended and what it posted has been shown, then every window has
    // painted what it now holds.
    void WaitIdle(const std::wstring& what) {
        if (!test::PumpMessagesUntil([this] { return !Busy(); }, kStepLimitMs)) {
            throw Error(what + L" did not end");
        }
        // What the workers' last batches and the list views' update timers still post.
        test::PumpMessagesFor(200);
        RedrawWindow(form_.Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        test::PumpMessagesFor(100);
        FailOnBoxes(what);
    }

    void FailOnBoxes(const std::wstring& during) {
        if (!dialogs_.shown.empty()) {
            throw Error(L"a message box came up during " + during + L": " + dialogs_.shown[0]);
        }
    }

    void Scan(ScanErrorsSection& page) {
        page.btnStartScan.Click();
        WaitIdle(L"the scan");
    }

    // Leaves exactly the given rows of the error list checked.
    static void CheckOnly(ErrorListModel& errors, const std::vector<size_t>& rows) {
        errors.SetAllChecked(false);
        for (size_t row : rows) {
            errors.SetChecked(row, true);
        }
    }

    // The rows of the sample stale entries, in list order, at most one per error type; the
    // prefix's own stale entries stay as they are.
    static std::vector<size_t> SampleRows(const ErrorListModel& errors) {
        const auto isSample = [](const std::wstring& text) {
            return text.find(L"KestrovaSample") != std::wstring::npos ||
                   text.find(L"Kestrova Sample") != std::wstring::npos ||
                   text.find(kSampleClassPrefix) != std::wstring::npos;
        };
        std::vector<size_t> rows;
        for (size_t i = 0; i < errors.RowCount(); ++i) {
            const ErrorRow& row = errors.At(i);
            if ((isSample(row.keyName) || isSample(row.keyValue) || isSample(row.guessPath)) &&
                (rows.empty() || errors.At(rows.back()).type != row.type)) {
                rows.push_back(i);
            }
        }
        return rows;
    }

    // The sample entries scanned; two of their rows fixed (into the restore history), two
    // others sent to the ignore list, then scanned again so the list shows what a user would
    // see next, scrolled to the first sample row.
    void ScanFixAndIgnore() {
        form_.ToolButtonFor<ScanErrorsSection>().Click();
        ScanErrorsSection& page = form_.Get<ScanErrorsSection>();
        Scan(page);
        std::vector<size_t> samples = SampleRows(page.errors);
        if (samples.size() < 6) {
            throw Error(L"the scan found " + std::to_wstring(samples.size()) +
                        L" kinds of sample rows: are the sample stale entries in this registry?");
        }
        CheckOnly(page.errors, {samples[0], samples[1]});
        page.btnFixSelected.Click();
        WaitIdle(L"fixing two rows");
        samples = SampleRows(page.errors);
        CheckOnly(page.errors, {samples[samples.size() - 2], samples.back()});
        page.btnAdd2Ignore.Click();
        WaitIdle(L"adding two rows to the ignore list");
        Scan(page);
        samples = SampleRows(page.errors);
        if (!samples.empty()) {
            ScrollToTop(page.lvErrors.Handle(), samples.front());
            WaitIdle(L"scrolling the error list");
        }
    }

    // Scrolls a report list view so that row is its top row, or as near as it goes. The list
    // shows the model's rows in the model's order: nobody has sorted or filtered it.
    static void ScrollToTop(HWND list, size_t row) {
        RECT target = {};
        RECT top = {};
        if (ListView_GetItemRect(list, static_cast<int>(row), &target, LVIR_BOUNDS) &&
            ListView_GetItemRect(list, ListView_GetTopIndex(list), &top, LVIR_BOUNDS)) {
            ListView_Scroll(list, 0, target.top - top.top);
        }
    }

    // What a user does on a page before it shows anything worth seeing.
    void Fill(Section& section) {
        if (auto* backup = dynamic_cast<BackupSection*>(&section)) {
            if (backup->ltbk.Count() == 0) {
                backup->btnBackup.Click();
                WaitIdle(L"the backup");
            }
        } else if (auto* traces = dynamic_cast<IeTracesSection*>(&section)) {
            PlaceShowcaseTraces();
            traces->btnTempScan.Click();
            WaitIdle(L"the IE traces search");
        } else if (auto* extensions = dynamic_cast<TfrmFileAssociator*>(&section)) {
            extensions->btnRefresh.Click();
            WaitIdle(L"reading the file associations");
        }
    }

    void CaptureTabs(MoreToolsSection& tools) {
        const HWND tabs = tools.pcMoreTools.Handle();
        for (size_t tab = 0; tab < tools.FrameCount(); ++tab) {
            PressTab(tabs, static_cast<int>(tab));
            if (!test::PumpMessagesUntil(
                    [&tools, tab] { return tools.pcMoreTools.ActivePage() == tab; })) {
                throw Error(L"the More Tools tab " + std::to_wstring(tab) + L" did not open");
            }
            WaitIdle(L"the tab's first fill");
            Fill(tools.Frame(tab));
            Capture(TabCaption(tabs, static_cast<int>(tab)));
        }
        // Back to the first tab, as the page opens.
        PressTab(tabs, 0);
        WaitIdle(L"the first tab");
    }

    void Capture(const std::wstring& caption) {
        const std::wstring path = outputFolder_ + FileNameOf(caption) + L".png";
        SaveWindowPng(form_.Handle(), path);
        Print(L"saved " + path);
    }

    TfmMainForm& form_;
    ShotDialogs& dialogs_;
    const std::wstring outputFolder_;
};

int Run(const std::wstring& outputFolder) {
    if (!IsExistingFolder(outputFolder)) {
        Print(L"no such folder: " + outputFolder, stderr);
        return 1;
    }
    // The first-activation scan was offered on an earlier run: the run scans when it chooses,
    // and no message box covers the window.
    Registry state(HKEY_LOCAL_MACHINE);
    if (!state.OpenKey(L"\\" + std::wstring(kProgramStateKeyPath), true)) {
        Print(L"the program state key could not be made", stderr);
        return 1;
    }
    state.WriteString(kActivatedFirstScanValue, L"1");

    ShotDialogs dialogs;
    int result = 0;
    {
        TfmMainForm form(dialogs);
        bool closed = false;
        form.OnClosed([&closed] { closed = true; });
        if (!form.Create(GetModuleHandleW(nullptr))) {
            Print(L"the main window could not be created (no display?)", stderr);
            return 1;
        }
        ShowWindow(form.Handle(), SW_SHOWNORMAL);
        UpdateWindow(form.Handle());
        SetForegroundWindow(form.Handle());
        try {
            ScreenshotRun(form, dialogs, outputFolder).Run();
        } catch (...) {
            Print(ErrorText(std::current_exception()), stderr);
            result = 1;
        }
        // The tray menu's "Exit", as the program ends: the restore history is saved.
        SendMessageW(form.Handle(), WM_COMMAND, TrayMenu::kExitCommand, 0);
        test::PumpMessagesUntil([&closed] { return closed; }, kStepLimitMs);
    }
    for (const std::wstring& text : dialogs.shown) {
        Print(L"message box: " + text, stderr);
        result = 1;
    }
    return result;
}

}  // namespace

}  // namespace kestrova::shots

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: kestrova_screenshots OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    int result = 1;
    try {
        result = kestrova::shots::Run(argv[1]);
    } catch (...) {
        kestrova::shots::Print(kestrova::ErrorText(std::current_exception()), stderr);
    }
    CoUninitialize();
    return result;
}
