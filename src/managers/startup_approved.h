#pragma once
// The records in which Windows 8 and later keep whether a startup program may run, as Task
// Manager and Settings read and write them: one REG_BINARY value per program, named like the
// program's Run value or its file in a Startup folder, under
// ...\Explorer\StartupApproved\Run, Run32 (the 32-bit Run key) or StartupFolder, of
// HKEY_LOCAL_MACHINE for programs of all users and HKEY_CURRENT_USER for the user's own.
//
// A record is 12 bytes: a 32-bit state, then the FILETIME (UTC) at which the program was
// disabled, zero while it is enabled. Windows writes the state 2 for enabled and 3 for
// disabled, and 6 and 0 have been seen for enabled programs too: a record whose first byte is
// odd disables its program, one whose first byte is even (or no record, or a value that is not
// such a record) leaves it enabled. Nothing is moved: the Run value or the file stays where
// it is.

#include <windows.h>

#include <string>
#include <vector>

namespace kestrova {

// Under both HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
inline constexpr wchar_t kStartupApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved";

inline constexpr size_t kApprovalRecordSize = 12;

// The record for a program enabled (state 2, no time) or disabled at disabledAt (state 3).
std::vector<BYTE> ApprovalRecord(bool enabled, const FILETIME& disabledAt);

// Whether a record of that type and bytes lets its program run.
bool ApprovalEnables(DWORD type, const std::vector<BYTE>& bytes);

// One kind of record: the key that holds the records of one Run key or Startup folder.
struct ApprovalKey {
    HKEY root = nullptr;
    std::wstring path;  // kStartupApprovedKey + "\Run", "\Run32" or "\StartupFolder"

    // Whether the record named name lets its program run; true when the key or the record
    // is missing.
    bool Enables(const std::wstring& name) const;
    // Writes the record named name, creating the key; false when the key cannot be opened or
    // created, RegistryError when the value cannot be written. A disabled record's time is
    // now.
    bool Write(const std::wstring& name, bool enabled) const;
};

}  // namespace kestrova
