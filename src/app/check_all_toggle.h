#pragma once
// A "Check All" button that checks every row of its list and then reads as its "uncheck"
// wording; pressed again, it unchecks every row and reads as before.

#include <string>

#include "platform/list_model.h"

namespace kestrova {

class CheckAllToggle {
public:
    CheckAllToggle(std::wstring checkCaption, std::wstring uncheckCaption)
        : checkCaption_(std::move(checkCaption)), uncheckCaption_(std::move(uncheckCaption)) {}

    // Nothing happens while the list has no rows. A refill of the list keeps the caption.
    void Press(ListModel& rows);
    // What the button reads now.
    const std::wstring& Caption() const { return checking_ ? checkCaption_ : uncheckCaption_; }

private:
    std::wstring checkCaption_;
    std::wstring uncheckCaption_;
    bool checking_ = true;
};

}  // namespace kestrova
