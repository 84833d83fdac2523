#pragma once
// The sections of the main window: the controls of each page of MainControl and the rows its
// lists show. Each Build places the controls on the page; what the buttons do is wired by the
// window (handlers named after the control, as btnStartScanClick).

#include <windows.h>

#include "app/error_list_model.h"
#include "platform/list_model.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "platform/ui_page_control.h"

namespace kestrova {

// The pages of MainControl in their order; each tool button shows one.
enum class Section {
    ScanErrors,  // tabScanErrors
    Backup,      // tabBackup
    History,     // tabHistory
    Startup,     // tabStartup
    AddRemove,   // tabAddRemove
    IE,          // tabIE
    Toolbar,     // tabToolbar
    IgnoreList,  // tabIgnoreList
    MoreTools,   // tsMoreTools
};
inline constexpr int kSectionCount = 9;

struct ScanErrorsPage {
    TextRows scanGroups;    // lvScanGroups: "Scan Groups", "Errors"
    ErrorListModel errors;  // lvErrors
    VirtualListView lvScanGroups;
    VirtualListView lvErrors;
    Label lblScanLabel;
    GroupBox gbControlPanel;
    Button btnStartScan;
    Button btnFixSelected;
    Button btnAdd2Ignore;

    void Build(Panel& page, HIMAGELIST smallImages);
};

struct BackupPage {
    Label lblBRScan;
    ListBox ltbk;
    Memo mWarning;
    GroupBox gbControlPanel;
    Label RestoreBackupStatus_Label;
    Label lbStatus;
    Button btnBackup;
    Button btnRestore1;
    Button btRefresh;
    Button btDel;

    void Build(Panel& page);
};

struct HistoryPage {
    TextRows entries;
    VirtualListView lvHistory;
    GroupBox gbControlPanel;
    Button btnRestore;
    Button btnClearUndo;
    Button btnRefresh2;
    Button btnCheckAll1;

    void Build(Panel& page);
};

struct StartupPage {
    TextRows entries;
    VirtualListView lvStartup;
    GroupBox gbControlPanel;
    Button btnRefresh;
    Button btnApply;
    Button btnEnable;
    Button btnDisable;

    void Build(Panel& page);
};

struct AddRemovePage {
    TextRows entries{LocaleLess};  // sorted by caption
    VirtualListView lvAddRemove;
    GroupBox gbControlPanel;
    Button btnUninstall;
    Button btnDeleteEntry;
    Button btnRefresh1;
    Button btnCheckAlll2;

    void Build(Panel& page);
};

struct IePage {
    TextRows actions;  // the seven fixed actions
    TextRows deletedFiles;
    VirtualListView lvIE;
    VirtualListView lvDeletedFiles;
    GroupBox gbControlPanel;
    Label lblDeleting;
    Button btnTempScan;
    Button btnCleanIE;
    Button btnCheckIE;
    Button btnUncheckIE;

    void Build(Panel& page);
};

struct ToolbarPage {
    GroupBox gbDisplay;
    CheckBox DisplayToolbar_CheckBox;
    CheckBox DisplayBHO_CheckBox;
    CheckBox DisplayExpBar_CheckBox;
    CheckBox DisplayMenuExt_CheckBox;
    CheckBox DisplayDownHandle_CheckBox;
    TextRows addOns{LocaleLess};  // sorted by caption
    VirtualListView lvBHO;
    GroupBox gbControlPanel;
    Button ScanToolbar_BitBtn;
    Button Del_SpeedButton;

    void Build(Panel& page);
};

struct IgnoreListPage {
    TextRows entries;
    VirtualListView lvIgnore;
    GroupBox gbControlPanel;
    GroupBox gbRoot;
    GroupBox gbKeyName;
    GroupBox gbValue;
    Edit edRoot;
    Edit edKeyName;
    Edit edValue;
    Button btnAdd;
    Button btnRemove;
    Button btnRefresh6;
    Button btnCheckall2;
    Button btnUncheckall;

    void Build(Panel& page);
};

struct MoreToolsPage {
    PageControl pcMoreTools;
    // The pages the frames sit on, in tab order.
    Panel* tsFileExtensions = nullptr;
    Panel* tsUserAssist = nullptr;
    Panel* tsDriveCleaner = nullptr;

    void Build(Panel& page);
};

}  // namespace kestrova
