#include "app/user_assist_frame.h"

namespace kestrova {

void TfrmUserAssist::Build(Panel& /*page*/) {}

}  // namespace kestrova
