#include "app/drive_cleaner_frame.h"

namespace kestrova {

void TDriveCleanerFrame::Build(Panel& /*page*/) {}

}  // namespace kestrova
