#pragma once
// The first-activation check: the first time the window is activated on a machine, the
// program offers one full registry scan, and remembers in the program state key under
// HKEY_LOCAL_MACHINE that it did.

#include <string>

namespace kestrova {

// The program's own class identifier; its "Info" key is the program state key.
inline constexpr wchar_t kProgramGuid[] = L"{EBAAED7E-C97D-4E29-8E0A-8FFA2E7E4E46}";
inline constexpr wchar_t kProgramStateKeyPath[] =
    L"Software\\Classes\\CLSID\\{EBAAED7E-C97D-4E29-8E0A-8FFA2E7E4E46}\\Info";
inline constexpr wchar_t kActivatedFirstScanValue[] = L"ActivatedFirstScan";

inline constexpr wchar_t kFirstScanMessage[] =
    L"Kestrova will now begin a full scan of your system to check for possible error files "
    L"that are negatively affecting your PC's performance. Please click OK to begin the "
    L"scanning process now.";

// What the window does after one activation.
struct FirstActivationStep {
    enum class Action {
        Nothing,        // the scan was offered before, or a failure was reported this run
        OfferScan,      // show kFirstScanMessage, then start the scan
        ReportFailure,  // the state key could not be written: show error, start nothing
    };
    Action action = Action::Nothing;
    std::wstring error;  // for ReportFailure
};

class FirstActivationCheck {
public:
    // Runs on every activation. Reads ActivatedFirstScan (without creating the key); unless
    // it is exactly "1", writes "1" and answers OfferScan. A failure to read or write is
    // answered once with ReportFailure; later activations of the same run answer Nothing
    // instead of repeating it.
    FirstActivationStep Run();

private:
    bool failureReported_ = false;
};

}  // namespace kestrova
