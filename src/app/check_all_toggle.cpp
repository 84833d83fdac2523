#include "app/check_all_toggle.h"

namespace kestrova {

void CheckAllToggle::Press(ListModel& rows) {
    if (rows.RowCount() == 0) {
        return;
    }
    ListModel::Batch batch(rows);
    for (size_t i = 0; i < rows.RowCount(); ++i) {
        rows.SetChecked(i, checking_);
    }
    checking_ = !checking_;
}

}  // namespace kestrova
