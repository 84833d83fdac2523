#include "managers/startup_approved.h"

#include <cstring>

#include "platform/registry.h"

namespace kestrova {

namespace {

constexpr BYTE kEnabledState = 2;
constexpr BYTE kDisabledState = 3;
constexpr size_t kTimeOffset = 4;

}  // namespace

std::vector<BYTE> ApprovalRecord(bool enabled, const FILETIME& disabledAt) {
    std::vector<BYTE> record(kApprovalRecordSize, 0);
    record[0] = enabled ? kEnabledState : kDisabledState;
    if (!enabled) {
        // Little-endian, low part first, as FILETIME lies in memory on Windows.
        std::memcpy(record.data() + kTimeOffset, &disabledAt.dwLowDateTime, sizeof(DWORD));
        std::memcpy(record.data() + kTimeOffset + sizeof(DWORD), &disabledAt.dwHighDateTime,
                    sizeof(DWORD));
    }
    return record;
}

bool ApprovalEnables(DWORD type, const std::vector<BYTE>& bytes) {
    return type != REG_BINARY || bytes.empty() || bytes[0] % 2 == 0;
}

bool ApprovalKey::Enables(const std::wstring& name) const {
    Registry registry(root);
    RawValue raw;
    if (!registry.OpenKeyReadOnly(path) || !registry.ReadRaw(name, raw)) {
        return true;
    }
    return ApprovalEnables(raw.type, raw.data);
}

bool ApprovalKey::Write(const std::wstring& name, bool enabled) const {
    Registry registry(root);
    if (!registry.OpenKey(path, true)) {
        return false;
    }
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    const std::vector<BYTE> record = ApprovalRecord(enabled, now);
    registry.WriteBinaryData(name, record.data(), record.size());
    return true;
}

}  // namespace kestrova
