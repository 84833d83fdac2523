#include "tools/find_file.h"

#include <process.h>

#include <array>
#include <cerrno>
#include <system_error>
#include <utility>

namespace kestrova {

namespace {

constexpr std::array<int, 7> kThreadPriorities = {
    THREAD_PRIORITY_IDLE,          THREAD_PRIORITY_LOWEST,       THREAD_PRIORITY_BELOW_NORMAL,
    THREAD_PRIORITY_NORMAL,        THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
    THREAD_PRIORITY_TIME_CRITICAL,
};

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// One pass over the entries of pattern that the system's own wildcard rules select.
HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data) {
    return FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                            FIND_FIRST_EX_LARGE_FETCH);
}

FoundFile ToFoundFile(const WIN32_FIND_DATAW& data) {
    FoundFile entry;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.creationTime = data.ftCreationTime;
    entry.lastAccessTime = data.ftLastAccessTime;
    entry.lastWriteTime = data.ftLastWriteTime;
    return entry;
}

// What a search thread needs once it no longer may touch its engine.
struct ThreadContext {
    FindFile* engine;
    FindFile::FinishDelivery deliverFinish;
    std::function<void()> finishStep;
};

}  // namespace

uint32_t PackedLocalTime(const FILETIME& utc) {
    FILETIME local = {};
    WORD date = 0;
    WORD time = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &date, &time)) {
        return 0;
    }
    return (static_cast<uint32_t>(date) << 16) | time;
}

FindFile::FindFile() : shared_(std::make_shared<Shared>()) {
    shared_->owner = this;
}

FindFile::~FindFile() {
    destroying_ = true;
    if (Busy()) {
        Abort();
    }
    WaitForSearchThread();
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->owner = nullptr;
}

HANDLE FindFile::ThreadHandle() const {
    std::lock_guard<std::mutex> lock(threadMutex_);
    return thread_.Get();
}

void FindFile::Execute() {
    if (busy_.exchange(true)) {
        return;
    }
    aborted_ = false;
    try {
        targetSearch_ = std::make_unique<TargetSearch>(criteria_);
        DoSearchBegin();
        if (threaded) {
            auto context = std::make_unique<ThreadContext>(
                ThreadContext{this, deliverFinish, [shared = shared_] { RunFinishStep(shared); }});
            const uintptr_t thread =
                _beginthreadex(nullptr, 0, &ThreadEntry, context.get(), CREATE_SUSPENDED, nullptr);
            if (!thread) {
                throw std::system_error(errno, std::generic_category(),
                                        "cannot create the search thread");
            }
            context.release();  // the thread owns it now
            HANDLE handle = reinterpret_cast<HANDLE>(thread);
            SetThreadPriority(handle, kThreadPriorities[static_cast<size_t>(threadPriority)]);
            {
                std::lock_guard<std::mutex> lock(threadMutex_);
                thread_.Reset(handle);
            }
            ResumeThread(handle);
            return;
        }
        SearchAll();
    } catch (...) {
        FinishStep();
        throw;
    }
    FinishStep();
}

unsigned __stdcall FindFile::ThreadEntry(void* argument) {
    std::unique_ptr<ThreadContext> context(static_cast<ThreadContext*>(argument));
    try {
        context->engine->SearchAll();
    } catch (...) {
        // An error ends the search; the finish step still follows.
    }
    // From here on the engine may be gone as soon as the finish step has run.
    if (context->deliverFinish) {
        try {
            context->deliverFinish(context->finishStep);
            return 0;
        } catch (...) {
            // Not delivered: run it here rather than leave the engine busy for ever.
        }
    }
    context->finishStep();
    return 0;
}

void FindFile::RunFinishStep(const std::shared_ptr<Shared>& shared) {
    std::lock_guard<std::mutex> lock(shared->mutex);
    if (shared->owner) {
        shared->owner->FinishStep();
    }
}

void FindFile::FinishStep() {
    {
        std::lock_guard<std::mutex> lock(threadMutex_);
        thread_.Reset();
    }
    try {
        DoSearchFinish();
    } catch (...) {
        targetSearch_.reset();
        busy_ = false;
        throw;
    }
    targetSearch_.reset();
    busy_ = false;
}

void FindFile::Abort() {
    if (!Busy() || aborted_.exchange(true)) {
        return;
    }
    DoSearchAbort();
    WaitForSearchThread();
}

void FindFile::WaitForSearchThread() {
    // A handle of our own: the finish step may close the engine's while we wait.
    UniqueKernelHandle thread;
    {
        std::lock_guard<std::mutex> lock(threadMutex_);
        HANDLE copy = nullptr;
        // From the search thread itself (an event handler) there is nothing to wait for.
        if (thread_ && GetThreadId(thread_.Get()) != GetCurrentThreadId() &&
            DuplicateHandle(GetCurrentProcess(), thread_.Get(), GetCurrentProcess(), &copy,
                            SYNCHRONIZE, FALSE, 0)) {
            thread.Reset(copy);
        }
    }
    if (thread) {
        WaitWithMessages(thread.Get(), INFINITE);
    }
}

void FindFile::DoSearchBegin() {
    if (onSearchBegin && !destroying_) {
        onSearchBegin(*this);
    }
}

void FindFile::DoSearchFinish() {
    if (onSearchFinish && !destroying_) {
        onSearchFinish(*this);
    }
}

void FindFile::DoSearchAbort() {
    if (onSearchAbort && !destroying_) {
        onSearchAbort(*this);
    }
}

FolderIgnore FindFile::DoFolderChange(const std::wstring& folder) {
    if (Aborted()) {
        return FolderIgnore::ThisAndSubfolders;
    }
    FolderIgnore ignore = FolderIgnore::None;
    if (onFolderChange) {
        onFolderChange(*this, folder, ignore);
    }
    return ignore;
}

void FindFile::DoFileMatch(const std::wstring& folder, const FoundFile& entry) {
    if (onFileMatch && !Aborted()) {
        onFileMatch(*this, folder, entry);
    }
}

bool FindFile::IsAcceptable(const std::wstring& folder, const FoundFile& entry) {
    return targetSearch_->Matches(folder, entry);
}

void FindFile::SearchAll() {
    const auto& targets = targetSearch_->TargetFolders().Targets();
    // The list holds the newest target at its front: from the back is the order added.
    for (auto target = targets.rbegin(); target != targets.rend() && !Aborted(); ++target) {
        level_ = 0;
        currentTarget_ = &*target;
        SearchFolder(target->folderPath);
    }
}

void FindFile::SearchFolder(const std::wstring& path) {
    // Excluded folders are left out whole, not even entered.
    if (targetSearch_->FolderExcluded(path)) {
        return;
    }
    struct LevelScope {
        uint16_t& level;
        explicit LevelScope(uint16_t& l) : level(l) { ++level; }
        ~LevelScope() { --level; }
    } scope(level_);
    const FolderIgnore ignore = DoFolderChange(path);
    const TargetFolder& target = *currentTarget_;
    if ((ignore == FolderIgnore::None || ignore == FolderIgnore::JustSubfolders) &&
        level_ >= target.minLevel) {
        SearchFiles(path);
    }
    if (target.subfolders && (ignore == FolderIgnore::None || ignore == FolderIgnore::JustThis) &&
        (target.maxLevel == 0 || target.maxLevel > level_) && !Aborted()) {
        SearchSubfolders(path);
    }
}

void FindFile::SearchFiles(const std::wstring& path) {
    const std::vector<std::wstring>& masks = currentTarget_->fileNames;
    for (auto mask = masks.rbegin(); mask != masks.rend() && !Aborted(); ++mask) {
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(FindFirst(path + *mask, data));
        if (!find) {
            continue;
        }
        do {
            if (IsDotEntry(data.cFileName)) {
                continue;
            }
            const FoundFile entry = ToFoundFile(data);
            if (IsAcceptable(path, entry)) {
                DoFileMatch(path, entry);
            }
        } while (!Aborted() && FindNextFileW(find.Get(), &data));
    }
}

void FindFile::SearchSubfolders(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirst(path + L"*.*", data));
    if (!find) {
        return;
    }
    do {
        // Links (junctions, symbolic links) are never followed: they may lead out of the
        // searched tree, or round in a circle.
        const DWORD attributes = data.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !IsDotEntry(data.cFileName)) {
            SearchFolder(path + data.cFileName + L"\\");
        }
    } while (!Aborted() && FindNextFileW(find.Get(), &data));
}

bool WaitWithMessages(HANDLE handle, DWORD limitMs) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD remaining = INFINITE;
        if (limitMs != INFINITE) {
            const ULONGLONG spent = GetTickCount64() - start;
            if (spent >= limitMs) {
                return false;
            }
            remaining = static_cast<DWORD>(limitMs - spent);
        }
        const DWORD result = MsgWaitForMultipleObjects(
            1, &handle, FALSE, remaining, QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER | QS_PAINT);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        if (result != WAIT_OBJECT_0 + 1) {
            return false;  // failed, or out of time
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the message loop
                return false;
            }
            const bool keyboard = message.message >= 0x100 && message.message <= 0x108;
            const bool mouse = message.message >= 0x200 && message.message <= 0x20A;
            if (!keyboard && !mouse) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
}

}  // namespace kestrova
