// frmFEditDefPositions on screen: the position's text, unit, price and
// quantity; the type's period with the position's total; the prices per
// payment period in two columns, in the order of their periods.
#include "kelhost/layouts/dialog_layouts.h"

namespace kelhost {

using ui::qt::Box;
using ui::qt::Chars;
using ui::qt::Column;
using ui::qt::Field;
using ui::qt::Stretch;

ui::qt::FormLayout PositionDialogLayout() {
  return {
      .rows =
          {
              {Box("Frame1",
                   {
                       {Field("lblArtikel", "txtArtikel")},
                       {Field("lblEinheit", "cboEinheit"), Stretch()},
                       {Field("lblNettopreis", Chars("txtNettopreis", 14))},
                       {Field("lblBeschreibung", "txtBeschreibung")},
                       {Field("lblAnzahl", Chars("txtAnzahl", 10))},
                   })},
              {Box("Frame2", {{"lblPeriod", Field("lvlGesnetto", Chars("txtGesamt", 12)), "lblDuration"}})},
              {Box("Frame3",
                   {
                       {"Label1"},
                       {Column({
                            {Field("lblPreisM1", "txtPreisM1")},
                            {Field("lblPreisM3", "txtPreisM3")},
                            {Field("lblPreisM6", "txtPreisM6")},
                            {Field("lblPreisM12", "txtPreisM12")},
                        }),
                        Column({
                            {Field("lblPreisM24", "txtPreisM24")},
                            {Field("lblPreisM36", "txtPreisM36")},
                            {Field("lblPreisM48", "txtPreisM48")},
                            {Field("lblPreisM60", "txtPreisM60")},
                        })},
                       {"lblInfoRabatt"},
                   })},
          },
      .buttons = {"cmdOk", "cmdCancel"},
  };
}

}  // namespace kelhost
