#pragma once
// Tests that change the real registry of the test prefix (outside any sandbox), and tests
// that compare two scans of it, take this lock so that they never overlap: test programs run
// side by side under one wineserver, where a named mutex is seen by every process.

#include <windows.h>

#include <stdexcept>

#include "platform/unique_handles.h"

namespace kestrova::test {

class RealRegistryLock {
public:
    RealRegistryLock() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\KestrovaTestRealRegistry")) {
        if (!mutex_) {
            throw std::runtime_error("cannot create the real-registry test lock");
        }
        // An owner that ended without releasing leaves the mutex abandoned, and ours.
        const DWORD waited = WaitForSingleObject(mutex_.Get(), 5 * 60 * 1000);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
            throw std::runtime_error("timed out waiting for the real-registry test lock");
        }
    }
    ~RealRegistryLock() { ReleaseMutex(mutex_.Get()); }
    RealRegistryLock(const RealRegistryLock&) = delete;
    RealRegistryLock& operator=(const RealRegistryLock&) = delete;

private:
    UniqueKernelHandle mutex_;
};

}  // namespace kestrova::test
