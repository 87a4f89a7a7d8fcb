// The save of a contract whose past periods were already invoiced.
#include "new_contract/frm_new_contract.h"

// Not built yet: nothing is written and the dialog stays open.
bool frmNewContract::BackFill() { return false; }
