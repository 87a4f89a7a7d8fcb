// The layouts of the add-on's dialogs on screen (platform/ui/qt/layout.h),
// one per form, each declared in a file of its own with the form's controls
// in the order the form lists them.
#pragma once

#include <vector>

#include "platform/ui/qt/layout.h"

namespace kelhost {

// frmFEditDefinitions, the contract-type editor.
ui::qt::FormLayout EditorLayout();
// frmFEditDefPositions, the position dialog the editor opens.
ui::qt::FormLayout PositionDialogLayout();
// frmNewContract, the new-contract dialog.
ui::qt::FormLayout NewContractLayout();

// The three under their forms' names, for ui::qt::RegisterLayouts (or
// kelui_qt_StartFrontEnd, which registers them in the loaded front end).
std::vector<ui::qt::NamedLayout> DialogLayouts();

}  // namespace kelhost
