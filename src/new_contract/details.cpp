// Opening the selected contract type in the contract-type editor, where the
// user may adjust it for this contract only.
#include "contract_types/frm_fedit_definitions.h"
#include "core/addon_error.h"
#include "core/globals.h"
#include "core/records.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/object.h"

void frmNewContract::cmdDetails_Click() {
  try {
    if (lvwBezeichnung.Count() == 0) return;
    sDefOid_ = lvwBezeichnung.SelectedItem().SubItems(2);
    bool found = false;
    // The editor opens the type current in the shared view.
    rt::Need(oDefinitionen)->GotoOid(sDefOid_, new_contract::kNoFlags, &found);
    if (!found) return;
    // The editor shows the adjusted copy only when it is this type's.
    if (gDefinition) gDefinition->Dirty = gDefinition->DefOid == sDefOid_;
    const std::shared_ptr<frmFEditDefinitions> editor = ui::NewForm<frmFEditDefinitions>();
    // An editor whose loading failed has said so and is not shown.
    if (editor->InitEdit()) {
      editor->ShowForNewContract();
      editor->ShowModal();
    }
    InitAgain();
  } catch (...) {
    ShowOwnErrorBox(new_contract::kErrSource, ".cmdDetails_Click", rt::CurrentError());
  }
}
