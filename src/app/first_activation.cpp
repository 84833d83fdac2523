#include "app/first_activation.h"

#include "platform/error.h"
#include "platform/registry.h"

namespace kestrova {

FirstActivationStep FirstActivationCheck::Run() {
    if (failureReported_) {
        return {};
    }
    try {
        std::wstring state;
        {
            Registry reg(HKEY_LOCAL_MACHINE);
            if (reg.OpenKeyReadOnly(kProgramStateKeyPath)) {
                state = reg.ReadString(kActivatedFirstScanValue);
            }
        }
        if (state == L"1") {
            return {};
        }
        Registry reg(HKEY_LOCAL_MACHINE);
        if (!reg.OpenKey(kProgramStateKeyPath, true)) {
            throw RegistryError(RegistryError::Kind::SetDataFailed, kActivatedFirstScanValue);
        }
        reg.WriteString(kActivatedFirstScanValue, L"1");
        return {FirstActivationStep::Action::OfferScan, {}};
    } catch (...) {
        failureReported_ = true;
        return {FirstActivationStep::Action::ReportFailure, ErrorText(std::current_exception())};
    }
}

}  // namespace kestrova
