#include "kelhost/layouts/dialog_layouts.h"

namespace kelhost {

void RegisterDialogLayouts() {
  ui::qt::RegisterLayout("frmFEditDefinitions", EditorLayout());
  ui::qt::RegisterLayout("frmFEditDefPositions", PositionDialogLayout());
  ui::qt::RegisterLayout("frmNewContract", NewContractLayout());
}

}  // namespace kelhost
