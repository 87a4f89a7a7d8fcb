// Opening the selected contract type in the contract-type editor.
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
    rt::Need(oDefinitionen)->GotoOid(sDefOid_, new_contract::kNoFlags, &found);
    if (!found) return;
    if (gDefinition) gDefinition->Dirty = gDefinition->DefOid == sDefOid_;
    InitAgain();
  } catch (...) {
    ShowOwnErrorBox(new_contract::kErrSource, ".cmdDetails_Click", rt::CurrentError());
  }
}
