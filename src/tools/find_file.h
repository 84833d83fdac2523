#pragma once
// The file search engine: walks folder trees by the criteria, on the calling thread or on a
// thread of its own, and tells its caller through five events. It never touches a window:
// a threaded search raises its folder and match events on the search thread, and its caller
// decides how they (and the finish step, through deliverFinish) reach a window thread.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/unique_handles.h"
#include "tools/find_file_targets.h"
#include "tools/find_file_types.h"
#include "tools/search_criteria.h"

namespace kestrova {

enum class SearchThreadPriority { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

class FindFile {
public:
    using FileMatchEvent =
        std::function<void(FindFile& sender, const std::wstring& folder, const FoundFile& entry)>;
    using FolderChangeEvent =
        std::function<void(FindFile& sender, const std::wstring& folder, FolderIgnore& ignore)>;
    using NotifyEvent = std::function<void(FindFile& sender)>;
    // Receives the finish step of a threaded search on the search thread, just before the
    // thread ends, and runs it (now or later) on the thread that owns the engine.
    using FinishDelivery = std::function<void(std::function<void()> finishStep)>;

    FindFile();
    // Aborts a running search first, waiting for its thread.
    virtual ~FindFile();
    FindFile(const FindFile&) = delete;
    FindFile& operator=(const FindFile&) = delete;

    SearchCriteria& Criteria() { return criteria_; }
    const SearchCriteria& Criteria() const { return criteria_; }
    void SetCriteria(const SearchCriteria& criteria) { criteria_ = criteria; }

    bool threaded = false;
    SearchThreadPriority threadPriority = SearchThreadPriority::Normal;

    // Search thread when threaded, one folder and one file at a time, in search order.
    FileMatchEvent onFileMatch;
    FolderChangeEvent onFolderChange;
    // The thread calling Execute.
    NotifyEvent onSearchBegin;
    // The owner's thread: through deliverFinish when threaded (on the search thread when none
    // is set), the caller's thread otherwise.
    NotifyEvent onSearchFinish;
    // The thread calling Abort.
    NotifyEvent onSearchAbort;
    FinishDelivery deliverFinish;

    // Starts a search unless one is running. Not threaded, it returns when the search is
    // over; threaded, at once. An error in building or beginning ends the search (finish
    // step included) and goes on to the caller, as does one of an unthreaded search.
    void Execute();
    // Stops a running search: OnSearchAbort at once, then, with a search thread running,
    // waits for it to end while the thread's window messages (but not keyboard and mouse
    // input) are handled. The finish step follows as for a normal end.
    void Abort();

    bool Aborted() const { return aborted_.load(); }
    bool Busy() const { return busy_.load(); }
    // Depth of the folder being searched: a start folder is 1.
    uint16_t Level() const { return level_; }
    // The running search thread, or nullptr.
    HANDLE ThreadHandle() const;

protected:
    virtual void DoSearchBegin();
    virtual void DoSearchFinish();
    virtual void DoSearchAbort();
    virtual FolderIgnore DoFolderChange(const std::wstring& folder);
    virtual void DoFileMatch(const std::wstring& folder, const FoundFile& entry);
    virtual bool IsAcceptable(const std::wstring& folder, const FoundFile& entry);

private:
    // What a delivered finish step reaches: it may run after the engine is gone.
    struct Shared {
        std::mutex mutex;
        FindFile* owner = nullptr;
    };

    static unsigned __stdcall ThreadEntry(void* engine);
    void SearchAll();
    void SearchFolder(const std::wstring& path);
    void SearchFiles(const std::wstring& path);
    void SearchSubfolders(const std::wstring& path);
    void FinishStep();
    // Waits, handling messages, for a running search thread other than the calling one.
    void WaitForSearchThread();
    static void RunFinishStep(const std::shared_ptr<Shared>& shared);

    SearchCriteria criteria_;
    std::atomic<bool> aborted_{false};
    std::atomic<bool> busy_{false};
    std::atomic<bool> destroying_{false};
    uint16_t level_ = 0;
    std::unique_ptr<TargetSearch> targetSearch_;
    const TargetFolder* currentTarget_ = nullptr;
    mutable std::mutex threadMutex_;
    UniqueKernelHandle thread_;
    std::shared_ptr<Shared> shared_;
};

// Waits for handle up to limitMs (INFINITE for no limit) while handling this thread's
// messages: keyboard (0x100 to 0x108) and mouse (0x200 to 0x20A) messages are thrown away,
// the rest translated and dispatched. A quit message ends the wait and is posted again for the
// message loop. Returns whether the handle was signalled.
bool WaitWithMessages(HANDLE handle, DWORD limitMs);

}  // namespace kestrova
