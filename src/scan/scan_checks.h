#pragma once
// The checks of the scan groups. Each walks one part of the registry, reports what it finds
// through the context and writes its counter when it finishes (each check's file says when it
// does not). The "Most Recently Used List (MRU)" group has no check.

#include <string>

#include "scan/scan_context.h"

namespace kestrova {

// Data pointing at missing files.
void ScanAppPaths(ScanContext& scan);         // group 0
void ScanClsid(ScanContext& scan);            // group 1
void ScanHelpFiles(ScanContext& scan);        // group 2
void ScanFonts(ScanContext& scan);            // group 3
void ScanSharedDlls(ScanContext& scan);       // group 6
void ScanShellExtensions(ScanContext& scan);  // group 8
void ScanSoundEvents(ScanContext& scan);      // group 9
void ScanUninstall(ScanContext& scan);        // group 10

// Entries judged by other tests.
void ScanStartMenuOrder(ScanContext& scan);  // group 5
void ScanSharedFolders(ScanContext& scan);   // group 7
void ScanFileExtensions(ScanContext& scan);  // group 11
void ScanVxd(ScanContext& scan);             // group 12

// Keys that moved between Windows versions, by Windows version class: the Windows 9x family
// (classes 1 to 3) keeps them in one place, every other system in another.
std::wstring FontsKeyPath(int windowsVersionClass);
std::wstring SharesKeyPath(int windowsVersionClass);

// Whether a share name stands for a shared folder that is gone (see shared_folders_check.cpp).
bool ShareNameStale(const std::wstring& shareName);

}  // namespace kestrova
