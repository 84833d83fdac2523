#include "app/main_form.h"

#include "app/data_folder.h"
#include "app/scan_errors_section.h"
#include "app/section_table.h"
#include "platform/error.h"
#include "platform/ui_keyboard.h"

namespace kestrova {

namespace {

constexpr wchar_t kClassName[] = L"KestrovaMainForm";
constexpr wchar_t kTitle[] = L"Kestrova PC Optimizer";
// A sizing border, system menu, minimise and maximise boxes.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                         WS_THICKFRAME | WS_CLIPCHILDREN;
// Activation runs its check after the activation itself is complete.
constexpr UINT kFormActivateMessage = WM_APP + 2;
// WM_DPICHANGED, which older headers lack.
constexpr UINT kDpiChangedMessage = 0x02E0;

}  // namespace

TfmMainForm::TfmMainForm(IDialogs& dialogs, std::wstring dataFolder)
    : dialogs_(dialogs),
      dataFolderSource_(dataFolder.empty() ? FolderOf(ExecutablePath()) : std::move(dataFolder)),
      executablePath_(ExecutablePath()) {
    events_.SetErrorReporter([this](const std::wstring& message) { dialogs_.ShowError(message); });
    for (const SectionEntry& entry : MainSections()) {
        sections_.push_back(entry.make(*this));
    }
}

TfmMainForm::~TfmMainForm() {
    // The tooltip is owned by the window and goes with it.
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

bool TfmMainForm::Create(HINSTANCE instance) {
    bigIcon_ = RenderProgramIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = RenderProgramIcon(GetSystemMetrics(SM_CXSMICON));
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = OwnerWindowProc<TfmMainForm>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // WM_PAINT covers the whole client area
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);

    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;

    CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, kTitle, kStyle, x, y, width, height, nullptr,
                    nullptr, instance, this);
    if (!hwnd_) {
        return false;
    }
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    // Every control is placed at 96 dots per inch, then the whole window scales.
    SetLayoutDpi(hwnd_, kDesignDpi);
    const int dpi = dpiOverride_ != 0 ? dpiOverride_ : SystemDpi(hwnd_);
    scalableFace_ = dpi != kDesignDpi;
    BuildLayout();
    if (dpi != kDesignDpi) {
        ApplyDpi(dpi, nullptr);
    }
    RestorePlace();
    trayIcon.Add(hwnd_, kTrayMessage, smallIcon_.Get(), kTitle);
    events_.OnMenuCommand(TrayMenu::kRestoreCommand, [this] { KestrovaPCOptimizer1Click(); });
    events_.OnMenuCommand(TrayMenu::kExitCommand, [this] { Exit1Click(); });
    FormCreate();
    return true;
}

LRESULT TfmMainForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TrayIcon::TaskbarCreatedMessage()) {
        trayIcon.Readd();
        return 0;
    }
    if (LRESULT result = 0; events_.Dispatch(message, wparam, lparam, result)) {
        return result;
    }
    if (message == AnchorMessage()) {
        layout_.Add(hwnd_, reinterpret_cast<HWND>(wparam), static_cast<Anchors>(lparam));
        return 0;
    }
    if (HandleNextDialogControl(hwnd_, message, wparam, lparam)) {
        return 0;
    }
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
            // Back to the control that had the focus when the window was left, as a dialog
            // box does; the first tab stop the first time.
            if (!lastFocus_ || !IsChild(hwnd_, lastFocus_) || !IsWindowVisible(lastFocus_) ||
                !IsWindowEnabled(lastFocus_)) {
                lastFocus_ = FirstTabStop(hwnd_);
            }
            if (lastFocus_) {
                SetFocus(lastFocus_);
            }
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SHOWWINDOW:
            if (wparam) {
                events_.Run([this] { FormShow(); });
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wparam) != WA_INACTIVE) {
                PostMessageW(hwnd_, kFormActivateMessage, 0, 0);
            } else if (const HWND focus = GetFocus(); focus && IsChild(hwnd_, focus)) {
                lastFocus_ = focus;
            }
            break;
        case kFormActivateMessage:
            events_.Run([this] { FormActivate(); });
            return 0;
        case WM_SYSCOMMAND:
            return WMSysCommand(wparam, lparam);
        case WM_SIZE:
            if (wparam == SIZE_MINIMIZED && trayIcon.MinimizeToTray()) {
                ShowWindow(hwnd_, SW_HIDE);
            }
            if (wparam != SIZE_MINIMIZED) {
                Resized();
            }
            break;
        case WM_GETMINMAXINFO: {
            auto& info = *reinterpret_cast<MINMAXINFO*>(lparam);
            const SIZE minimum = MinimumWindowSize();
            info.ptMinTrackSize = {minimum.cx, minimum.cy};
            return 0;
        }
        case kDpiChangedMessage:
            ApplyDpi(LOWORD(wparam), reinterpret_cast<const RECT*>(lparam));
            return 0;
        case kTrayMessage:
            TrayIconMessage(lparam);
            return 0;
        case WM_CLOSE:
            // A close from outside (not the close box): the same as "Exit".
            CloseForReal();
            return 0;
        case WM_ENDSESSION:
            if (wparam) {
                SavePlace();
                // Windows is ending: keep the restore history, nobody is left to ask.
                try {
                    Restore_XMLDocument.Save();
                } catch (...) {
                }
            }
            return 0;
        case WM_DESTROY:
            trayIcon.Remove();
            tooltip_ = nullptr;  // destroyed with its owner, just before
            break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

// Window creation, in order: data folder, Backup folder, the two stores, then every section's
// first fill (the ignore rows; the More Tools frames), the error section shown, the autorun
// box. A step that fails is reported and the next one still runs: skipping the rest would
// leave a readable ignore.xml unloaded, to be overwritten by the first change of the ignore
// list.
void TfmMainForm::FormCreate() {
    dataFolder_ = WithTrailingBackslash(dataFolderSource_);
    events_.Run([this] { EnsureFolder(BackupFolderPath(dataFolder_)); });
    for (StoreFile* store : {&Restore_XMLDocument, &IgnoreXML}) {
        events_.Run([this, store] {
            if (const auto problem = store->Open(dataFolder_)) {
                dialogs_.ShowError(*problem);
            }
        });
    }
    ForEachSection([](Section& section) { section.Created(); });
    Show(*sections_.front());
    events_.Run([this] { cbAutoRun.SetChecked(IsAutorunSet()); });
}

void TfmMainForm::FormShow() {
    ForEachSection([](Section& section) { section.WindowShown(); });
}

void TfmMainForm::ForEachSection(const std::function<void(Section&)>& notify) {
    for (auto& section : sections_) {
        events_.Run([&] { notify(*section); });
    }
}

size_t TfmMainForm::IndexOf(const Section& section) const {
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i].get() == &section) {
            return i;
        }
    }
    throw std::logic_error("not a section of this window");
}

void TfmMainForm::Show(const Section& section) {
    const size_t index = IndexOf(section);
    MainControl_.ShowPage(index);
    for (size_t i = 0; i < toolButtons_.size(); ++i) {
        toolButtons_[i]->SetSelected(i == index);
    }
}

void TfmMainForm::StoreChanged(const StoreFile& store) {
    ForEachSection([&store](Section& section) { section.StoreChanged(store); });
}

void TfmMainForm::FormActivate() {
    // The message box below re-activates the window when it closes.
    if (activationCheckRunning_) {
        return;
    }
    activationCheckRunning_ = true;
    const FirstActivationStep step = firstActivation_.Run();
    switch (step.action) {
        case FirstActivationStep::Action::OfferScan:
            dialogs_.ShowMessage(kFirstScanMessage);
            events_.Run([this] { Get<ScanErrorsSection>().btnStartScanClick(); });
            break;
        case FirstActivationStep::Action::ReportFailure:
            dialogs_.ShowError(step.error);
            break;
        case FirstActivationStep::Action::Nothing:
            break;
    }
    activationCheckRunning_ = false;
}

// Every section is told (the frames shut down, a running scan is asked to stop), then the
// restore history is saved: when that fails the window simply stays.
bool TfmMainForm::FormClose() {
    ForEachSection([](Section& section) { section.Closing(); });
    try {
        Restore_XMLDocument.Save();
    } catch (...) {
        dialogs_.ShowError(
            L"The restore history could not be saved, so Kestrova PC Optimizer "
            L"stays open.\n\n" +
            ErrorText(std::current_exception()));
        return false;
    }
    return true;
}

void TfmMainForm::CloseForReal() {
    if (!FormClose()) {
        return;
    }
    SavePlace();
    DestroyWindow(hwnd_);
    if (onClosed_) {
        onClosed_();
    }
}

}  // namespace kestrova
