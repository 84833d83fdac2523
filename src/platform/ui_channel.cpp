#include "platform/ui_channel.h"

#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <utility>

namespace kestrova {

namespace {

constexpr wchar_t kWindowClass[] = L"KestrovaUiChannel";
// Private window class, so an application message number cannot clash with anyone's.
constexpr UINT kDrainMessage = WM_APP + 1;

}  // namespace

namespace detail {

class UiChannelState : public std::enable_shared_from_this<UiChannelState> {
public:
    void Post(std::function<void()> item);
    UINT_PTR StartTimer(UINT intervalMs, std::function<void()> tick);
    void StopTimer(UINT_PTR id);
    void Drain();
    void Tick(UINT_PTR id);
    void Close();
    // Runs fn and passes anything it throws to the error handler.
    void Guarded(const std::function<void()>& fn);

    HWND window = nullptr;
    DWORD threadId = 0;
    std::function<void()> beforeBatch;
    std::function<void()> afterBatch;
    std::function<void(std::exception_ptr)> errorHandler;

private:
    bool OnWindowThread() const { return GetCurrentThreadId() == threadId; }
    // Posts the drain message unless one is already on its way. Caller holds mutex_.
    void RequestDrainLocked();

    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
    // A drain message is in the window's queue: further posts need not send another.
    bool drainPending_ = false;
    bool open_ = true;
    std::map<UINT_PTR, std::function<void()>> timers_;
    UINT_PTR nextTimerId_ = 1;
};

void UiChannelState::RequestDrainLocked() {
    if (drainPending_ || !open_) {
        return;
    }
    drainPending_ = PostMessageW(window, kDrainMessage, 0, 0) != FALSE;
}

void UiChannelState::Post(std::function<void()> item) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!open_) {
        return;
    }
    queue_.push_back(std::move(item));
    RequestDrainLocked();
}

void UiChannelState::Guarded(const std::function<void()>& fn) {
    try {
        fn();
    } catch (...) {
        if (errorHandler) {
            try {
                errorHandler(std::current_exception());
            } catch (...) {
                // An error while reporting an error has nowhere left to go.
            }
        }
    }
}

void UiChannelState::Drain() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Cleared first so an item that pumps messages (a dialog, a wait) still sees later
        // posts drained; pop-one-at-a-time keeps their order even then.
        drainPending_ = false;
        if (queue_.empty() || !open_) {
            return;
        }
    }
    const auto self = shared_from_this();  // an item may destroy the channel
    const auto before = beforeBatch;
    const auto after = afterBatch;
    if (before) {
        Guarded(before);
    }
    const auto started = std::chrono::steady_clock::now();
    for (;;) {
        std::function<void()> item;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (queue_.empty() || !open_) {
                break;
            }
            item = std::move(queue_.front());
            queue_.pop_front();
        }
        Guarded(item);
        item = nullptr;  // whatever the item holds is freed outside the lock, in order
        if (std::chrono::steady_clock::now() - started >= UiChannel::kBatchBudget) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!queue_.empty()) {
                RequestDrainLocked();
            }
            break;
        }
    }
    bool open;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open = open_;
    }
    if (after && open) {
        Guarded(after);
    }
}

UINT_PTR UiChannelState::StartTimer(UINT intervalMs, std::function<void()> tick) {
    UINT_PTR id;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        id = nextTimerId_++;
        timers_[id] = std::move(tick);
    }
    if (OnWindowThread()) {
        SetTimer(window, id, intervalMs, nullptr);
    } else {
        // SetTimer needs the window's own thread. The state outlives every queued item.
        Post([this, id, intervalMs] {
            bool wanted;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                wanted = timers_.count(id) != 0;
            }
            if (wanted) {
                SetTimer(window, id, intervalMs, nullptr);
            }
        });
    }
    return id;
}

void UiChannelState::StopTimer(UINT_PTR id) {
    std::function<void()> tick;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = timers_.find(id);
        if (found == timers_.end()) {
            return;
        }
        tick = std::move(found->second);
        timers_.erase(found);
    }
    if (OnWindowThread()) {
        KillTimer(window, id);
    } else {
        Post([this, id] { KillTimer(window, id); });
    }
}

void UiChannelState::Tick(UINT_PTR id) {
    std::function<void()> tick;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = timers_.find(id);
        if (found == timers_.end()) {
            KillTimer(window, id);  // a WM_TIMER already queued when the timer stopped
            return;
        }
        tick = found->second;
    }
    const auto self = shared_from_this();
    Guarded(tick);
}

void UiChannelState::Close() {
    std::deque<std::function<void()>> dropped;
    std::map<UINT_PTR, std::function<void()>> timers;
    HWND closing;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = false;
        dropped.swap(queue_);
        timers.swap(timers_);
        closing = std::exchange(window, nullptr);
    }
    if (closing) {
        DestroyWindow(closing);  // also ends its timers
    }
    // dropped and timers are freed here, outside the lock: their captures may post again.
}

}  // namespace detail

namespace {

LRESULT CALLBACK ChannelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state =
        reinterpret_cast<detail::UiChannelState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (state) {
        if (message == kDrainMessage) {
            state->Drain();
            return 0;
        }
        if (message == WM_TIMER) {
            state->Tick(wParam);
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ChannelWindowProc), &module);
    return module;
}

void RegisterChannelClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass = {sizeof(windowClass)};
        windowClass.lpfnWndProc = &ChannelWindowProc;
        windowClass.hInstance = ThisModule();
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass);
    }();
    if (!atom) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "cannot register the UI channel window class");
    }
}

}  // namespace

void UiPoster::Post(std::function<void()> item) const {
    if (state_) {
        state_->Post(std::move(item));
    }
}

UiChannel::UiChannel() : state_(std::make_shared<detail::UiChannelState>()) {
    RegisterChannelClass();
    state_->threadId = GetCurrentThreadId();
    state_->window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ThisModule(), nullptr);
    if (!state_->window) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "cannot create the UI channel window");
    }
    SetWindowLongPtrW(state_->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state_.get()));
}

UiChannel::~UiChannel() {
    state_->Close();
}

void UiChannel::Post(std::function<void()> item) const {
    state_->Post(std::move(item));
}

void UiChannel::SetBatchHooks(std::function<void()> before, std::function<void()> after) {
    state_->beforeBatch = std::move(before);
    state_->afterBatch = std::move(after);
}

void UiChannel::SetErrorHandler(std::function<void(std::exception_ptr)> handler) {
    state_->errorHandler = std::move(handler);
}

UINT_PTR UiChannel::StartTimer(UINT intervalMs, std::function<void()> tick) {
    return state_->StartTimer(intervalMs, std::move(tick));
}

void UiChannel::StopTimer(UINT_PTR id) {
    state_->StopTimer(id);
}

HWND UiChannel::Window() const {
    return state_->window;
}

DWORD UiChannel::WindowThreadId() const {
    return state_->threadId;
}

}  // namespace kestrova
