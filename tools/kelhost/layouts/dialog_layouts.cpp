#include "kelhost/layouts/dialog_layouts.h"

namespace kelhost {

std::vector<ui::qt::NamedLayout> DialogLayouts() {
  return {
      {"frmFEditDefinitions", EditorLayout()},
      {"frmFEditDefPositions", PositionDialogLayout()},
      {"frmNewContract", NewContractLayout()},
  };
}

}  // namespace kelhost
