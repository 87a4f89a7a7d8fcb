// The save from a contract type adjusted in memory for one contract.
#include "core/addon_error.h"
#include "new_contract/frm_new_contract.h"
#include "platform/error.h"

// Not built yet: it fails as an object that cannot be created would, inside
// its own trap, so nothing is written and the dialog stays open.
bool frmNewContract::SaveFromMemory() {
  bool result = false;
  try {
    rt::RaiseRuntime(rt::errc::CannotCreateObject);
  } catch (...) {
    ShowOwnErrorBox("kt_FNewContract", ".SaveFromMemory", rt::CurrentError());
  }
  return result;
}
