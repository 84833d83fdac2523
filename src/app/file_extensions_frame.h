#pragma once
// The More Tools page "File Extensions Manager": the file associations of HKEY_CLASSES_ROOT,
// read on a worker thread of the frame into its list, searched, deleted, backed up to a file
// and restored, added and changed through two dialogs of their own.

#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "app/association_rows.h"
#include "app/extension_dialogs.h"
#include "app/extension_menu.h"
#include "app/list_tools.h"
#include "app/section.h"
#include "platform/list_model.h"
#include "platform/ui_channel.h"
#include "platform/ui_controls.h"
#include "platform/ui_list_view.h"
#include "platform/worker_thread.h"
#include "tools/file_association_store.h"

namespace kestrova {

class TfrmFileAssociator final : public Section {
public:
    explicit TfrmFileAssociator(SectionHost& host);

    void Build(Panel& page) override;
    // InitFrame: the store is made; nothing is read until the user refreshes.
    void Created() override;
    // DoneFrame: a running read is asked to stop and the store let go (a read still running
    // keeps it until it has ended).
    void Closing() override;

    // From the start of a read until its last row has been handed over.
    bool ReadRunning() const { return bmdReadAssociations.Running(); }
    // Whether the frame holds its store (between InitFrame and DoneFrame).
    bool HasStore() const { return store_ != nullptr; }
    // For tests: the classes root, temporary folder and registry editor of the stores made
    // from now on (the one held is made again), and the dialogs the frame shows.
    void SetStoreOptions(FileAssociatorOptions options);
    void SetExtensionDialogs(IExtensionDialogs& dialogs) { extensionDialogs_ = &dialogs; }

    AssociationRows rows;  // lvExtensions
    GroupBox gbPanel;
    Button btnRefresh;
    Button btnDelete;
    Button btnBackup;
    Button btnRestore;
    Button btnAdd;
    Button btnChange;
    ProgressBar prgbarExtensions;
    AccessLabel lblSearchBy;
    ComboBox cboSearchBy;
    LabeledEdit lblSearch;
    Button btnSearch;
    VirtualListView lvExtensions;
    ListTools lvExtensionsTools;  // filter, count and export above the list
    ExtensionMenu pmExtension;

private:
    struct ReadBegin {
        int32_t count;
    };
    struct ReadEnd {};
    using ReadCall = std::variant<ReadBegin, TExtInfo, ReadEnd>;

    // The store, made again when the frame has let it go (a closing that did not end the
    // program leaves the page usable).
    TFileAssociator& Store();
    IExtensionDialogs& ExtensionDialogs() const { return *extensionDialogs_; }
    // The selected row, or nothing.
    std::optional<size_t> SelectedRow() const;

    void btnRefreshClick();
    void btnDeleteClick();
    void btnBackupClick();
    void btnRestoreClick();
    void btnAddClick();
    void btnChangeClick();
    void btnSearchClick();
    void lvExtensionsContextMenu(POINT at);

    void bmdReadAssociationsStart();
    void bmdReadAssociationsExecute(WorkerRun& run);
    void bmdReadAssociationsTerminate();
    void DeliverRead(std::vector<ReadCall>& calls);
    void AssociatorReadBegin(int32_t count);
    void AssociatorReadItem(TExtInfo info);
    void AssociatorReadEnd() {}
    void BeforeChannelBatch();
    void AfterChannelBatch();

    Panel* page_ = nullptr;
    FileAssociatorOptions options_;
    std::shared_ptr<TFileAssociator> store_;
    std::unique_ptr<IExtensionDialogs> windowDialogs_;
    IExtensionDialogs* extensionDialogs_ = nullptr;
    // The store of the read in progress, set by its start event: the worker keeps it alive
    // whatever happens to store_ meanwhile.
    std::shared_ptr<TFileAssociator> reading_;
    // "Refresh" was pressed during a read: a new one starts when it has ended.
    bool readAgain_ = false;
    // Rows arriving during a read reach the list view with one notice per update interval of
    // the worker, and the rest at the read's end.
    std::optional<ListModel::Batch> rowsBatch_;
    // The progress of the last row of the calls being handed over.
    std::optional<int32_t> pendingPosition_;
    // Declared last: the read is stopped and waited for first, while everything its queued
    // rows reach still exists.
    UiChannel channel_;
    WorkerThread bmdReadAssociations{channel_};
};

}  // namespace kestrova
