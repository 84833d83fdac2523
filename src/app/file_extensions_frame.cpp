#include "app/file_extensions_frame.h"

namespace kestrova {

void TfrmFileAssociator::Build(Panel& /*page*/) {}

}  // namespace kestrova
