#include "support/message_pump.h"

namespace kestrova::test {

namespace {

void DispatchWaiting() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    for (;;) {
        DispatchWaiting();
        if (done()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return done();
        }
        // Wake on the next message, or look again soon for conditions set by other threads.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpMessagesFor(DWORD ms) {
    PumpMessagesUntil([] { return false; }, ms);
}

}  // namespace kestrova::test
