// frmNewContract on screen: the list of contract types at the left, the
// contract's own data at the right, below them the invoiced periods beside
// the responsibility and workflow frames.
#include "kelhost/layouts/dialog_layouts.h"

namespace kelhost {

using ui::qt::Box;
using ui::qt::Chars;
using ui::qt::Column;
using ui::qt::Field;
using ui::qt::Lines;
using ui::qt::Stretch;

ui::qt::FormLayout NewContractLayout() {
  return {
      .rows =
          {
              {Column({
                   {"Label1"},
                   {"lvwBezeichnung"},
                   {"lblDirty"},
               }),
               Box("Frame1",
                   {
                       {Field("Label3", Column({{Chars("txtVertragnummer", 10), "ChkAutoNumber", Stretch()}}))},
                       {Field("Label4", "DTPVertragBeginn")},
                       {Field("Label6", "DTPGeschlossenAm")},
                       {Field("Label5", "cboVerantwortlich")},
                       {Field("Label7", Lines("txtMemo", 3))},
                       {Field("lblRabatt", Column({{Chars("txtRabatt", 6), "Label2", Stretch()}}))},
                       {"chkRabattNurErsteLaufzeit"},
                       {"chkNoBooking"},
                   })},
              {Box("Frame2", {{"chkOldContract"}, {"Label8"}, {"lstInvoices"}}),
               Column({
                   {Box("fraWorkflow", {{"chkWorkflow"}})},
                   {Box("fraResponsible", {{"optDefinierteBenutzer"}, {"optneuerBenutzer", "cmbUser"}})},
                   {Box("fraWorkflow2", {{"lblWorkflow2"}})},
               })},
          },
      .buttons = {"cmdDetails", "lblVersion", Stretch(), "cmdOK", "cmdCancel"},
  };
}

}  // namespace kelhost
