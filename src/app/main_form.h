#pragma once
// The program's one window: the header, the tool buttons that switch the sections, the
// sections on the page control MainControl, the autorun box at the bottom, and the icon in
// the notification area. It owns the two XML stores for the whole run.
//
// The window's code is split by concern: main_form.cpp (creation, messages, closing),
// main_form_layout.cpp (placing the controls), main_form_navigation.cpp (tool buttons),
// main_form_tray.cpp (notification area, autorun and the first-activation check),
// main_form_scan.cpp (the scan, fixing, adding to the ignore list), main_form_repair.cpp (the
// ignore list and restore history sections); each section's page is built by its page_*.cpp.

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/artwork.h"
#include "app/first_activation.h"
#include "app/main_form_pages.h"
#include "app/posting_scan_sink.h"
#include "app/scan_group_checks.h"
#include "app/store_file.h"
#include "app/store_file_saver.h"
#include "app/tool_button.h"
#include "app/tray_icon.h"
#include "platform/dialogs.h"
#include "platform/gdi_handles.h"
#include "platform/ui_controls.h"
#include "platform/ui_page_control.h"
#include "platform/ui_panel.h"
#include "platform/window_owner.h"
#include "platform/worker_thread.h"
#include "repair/ignore_list.h"
#include "repair/restore_history.h"

namespace kestrova {

class TfmMainForm final : public Container {
public:
    // Client area of the window, in pixels.
    static constexpr int kClientWidth = 754;
    static constexpr int kClientHeight = 483;
    static constexpr UINT kTrayMessage = WM_APP + 1;

    // dataFolder: where Backup.xml, ignore.xml and the Backup folder live; empty means the
    // executable's folder, as the program always uses.
    explicit TfmMainForm(IDialogs& dialogs, std::wstring dataFolder = {});
    ~TfmMainForm() override;
    TfmMainForm(const TfmMainForm&) = delete;
    TfmMainForm& operator=(const TfmMainForm&) = delete;

    // Creates the window (hidden), centred on the desktop, and runs FormCreate; false when
    // the window could not be created. Showing it runs FormShow.
    bool Create(HINSTANCE instance);
    // Runs once the window has been closed for real and destroyed.
    void OnClosed(std::function<void()> handler) { onClosed_ = std::move(handler); }

    HWND Handle() const override { return hwnd_; }
    EventTable& Events() override { return events_; }
    HFONT Font() const override { return font_.Get(); }

    const std::wstring& DataFolder() const { return dataFolder_; }
    const std::wstring& BackupFolder() const { return backupFolder_; }
    StoreFile& RestoreXmlDocument() { return Restore_XMLDocument; }
    StoreFile& IgnoreXmlDocument() { return IgnoreXML; }

    // The controls, as the sections and the tests reach them.
    ToolButton& ToolButtonFor(Section section);
    PageControl& MainControl() { return MainControl_; }
    Section ShownSection() const { return static_cast<Section>(MainControl_.ActivePage()); }
    ScanErrorsPage& ScanErrors() { return scanErrors_; }
    BackupPage& Backup() { return backup_; }
    HistoryPage& History() { return history_; }
    StartupPage& Startup() { return startup_; }
    AddRemovePage& AddRemove() { return addRemove_; }
    IePage& IE() { return ie_; }
    ToolbarPage& Toolbar() { return toolbar_; }
    IgnoreListPage& IgnoreList() { return ignoreList_; }
    MoreToolsPage& MoreTools() { return moreTools_; }
    CheckBox& AutoRunBox() { return cbAutoRun; }
    TrayIcon& Tray() { return trayIcon; }
    const TrayMenu& PopupMenu() const { return PopupMenu1; }
    // From the scan's start until its terminate event.
    bool ScanRunning() const { return ScanErrorsThread.Running(); }

private:
    friend LRESULT CALLBACK OwnerWindowProc<TfmMainForm>(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void Paint();

    // main_form_layout.cpp
    void BuildLayout();
    void BuildToolButtons();
    void BuildPages();
    void BuildAutorunPanel();
    void PaintNavigation(HDC dc, const RECT& area) const;

    // main_form.cpp: the window's life.
    void FormCreate();
    void FormShow();
    void FormActivate();
    // Saves the restore history; false (and the window stays) when it cannot.
    bool FormClose();
    void CloseForReal();
    void FillScanGroups();

    // main_form_navigation.cpp
    void ShowSection(Section section);
    void toolScanErrorsClick();
    void toolToolbarClick();
    void toolBackupClick();
    void toolHistoryClick();
    void toolIgnoreClick();
    void toolAddRemoveClick();
    void toolStartupClick();
    void toolEClick();
    void toolMoreToolsClick();

    // main_form_scan.cpp: the error section.
    void WireScanSection();
    void btnStartScanClick();
    void ScanErrorsThreadStart();
    void ScanErrorsThreadExecute(WorkerRun& run);
    void ScanErrorsThreadTerminate();
    void BeforeChannelBatch();
    void AfterChannelBatch();
    void btnFixSelectedClick();
    void btnAdd2IgnoreClick();

    // main_form_repair.cpp: the ignore list and restore history sections.
    void WireRepairSections();
    kestrova::IgnoreList IgnoreEngine();
    void btnAddClick();
    void btnRemoveClick();
    void btnRefresh6Click();
    void btnRestoreClick();
    void btnClearUndoClick();
    void btnRefresh2Click();
    void btnCheckAll1Click();

    // main_form_tray.cpp
    bool IsAutorunSet() const;
    void SetAutorun(bool on);
    void cbAutoRunClick();
    LRESULT WMSysCommand(WPARAM command, LPARAM lparam);
    void TrayIconMessage(LPARAM lparam);
    void KestrovaPCOptimizer1Click();
    void Exit1Click();

    GdiplusSession gdiplus_;
    IDialogs& dialogs_;
    const std::wstring dataFolderSource_;
    const std::wstring executablePath_;
    std::wstring dataFolder_;
    std::wstring backupFolder_;
    StoreFile Restore_XMLDocument{L"Backup.xml", L"Kestrova", L"restore history"};
    StoreFile IgnoreXML{L"ignore.xml", L"IgnoreList", L"ignore list"};
    FirstActivationCheck firstActivation_;
    bool activationCheckRunning_ = false;
    std::function<void()> onClosed_;

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    EventTable events_;
    UniqueFont font_;
    UniqueFont toolFont_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    UniqueBitmap header_;  // Image1
    UniqueImageList ImageList2;

    std::array<ToolButton, kSectionCount> toolButtons_;
    PageControl MainControl_;
    ScanErrorsPage scanErrors_;
    BackupPage backup_;
    HistoryPage history_;
    RestoreHistory restoreHistory_{Restore_XMLDocument.Document(), SaverFor(Restore_XMLDocument),
                                   history_.entries};
    StartupPage startup_;
    AddRemovePage addRemove_;
    IePage ie_;
    ToolbarPage toolbar_;
    IgnoreListPage ignoreList_;
    MoreToolsPage moreTools_;
    Panel pnlAutorun;
    CheckBox cbAutoRun;

    TrayIcon trayIcon;
    TrayMenu PopupMenu1;

    // The scan. Declared last so the worker is stopped and waited for first, while everything
    // its queued reports reach still exists.
    ScanGroupChecks groupChecks_;
    ScanReceivers scanReceivers_;
    // Rows and counters arriving during a scan reach each list view with one notice per
    // update interval of the worker, and the rest at the scan's end.
    std::optional<ListModel::Batch> errorsBatch_;
    std::optional<ListModel::Batch> groupsBatch_;
    std::optional<std::wstring> pendingStatus_;
    UiChannel channel_;
    WorkerThread ScanErrorsThread{channel_};
};

}  // namespace kestrova
