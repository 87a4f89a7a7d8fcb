// frmFEditDefinitions on screen: the type's head, its terms (the first
// term beside the renewal), the two address attributes side by side, and
// the positions: the articles of a group, the buttons that move them, and
// the type's positions.
#include "kelhost/layouts/dialog_layouts.h"

namespace kelhost {

using ui::qt::Box;
using ui::qt::Chars;
using ui::qt::Column;
using ui::qt::Field;
using ui::qt::Stack;
using ui::qt::Stretch;

ui::qt::FormLayout EditorLayout() {
  return {
      .rows =
          {
              {Box("fraTyp",
                   {
                       {Field("Label1", "txtBezeichnung"), Field("lblStatu", "cboStatus")},
                       {"Label2", Column({{"optBefristet", "chkVerlaengerbar", "optUnbefristet", Stretch()}})},
                       {"Label3", Column({{Box("fraArt", {{"optDebitor", "optKreditor"}}), "chkNoBooking", Stretch()}})},
                   })},
              {Box("fraDefinition",
                   {
                       {Column({
                            {"Label4"},
                            {Field("lblVertragsdauer", Chars("txtDauer", 4)), "lblDauerEinheit"},
                            {Field("lblZahlungsperiode", "cboZahlungsperiode")},
                            {Field("lblRechnungWann", "cboRechnungWann")},
                            {Box("fraKuendFrist",
                                 {{"lblKuendFrist", "cboKuendFrist", "cboKuendEinh", "cboKuenfristBezug"}})},
                        }),
                        Column({
                            {"Label6"},
                            {Box("fraVerlaengerung",
                                 {
                                     {Field("lblDauer2", Chars("txtDauer2", 4)), "lblDauerEinheit2"},
                                     {Field("lblZahlungsPeriode2", "cboZahlungsperiode2")},
                                     {Field("lblKuendFrist2", "cboKuendFrist2"), "cboKuendEinh2"},
                                 })},
                            {Box("fraWF", {{Field("lblWorkflow", "cboWorkflow")}})},
                        })},
                   })},
              {Box("Frame3",
                   {
                       {"Label13", "Label14", "Label15"},
                       {"cboRequiGroup", "cboRequiAttribute", Stack({"cboRequiValue", "DTPRequiValue"})},
                   }),
               Box("Frame4",
                   {
                       {"Label16", "Label17", "Label18"},
                       {"cboPutGroup", "cboPutAttribute", Stack({"cboPutValue", "DTPPutValue"})},
                   })},
              {Stack({
                  Box("fraPositionen",
                      {
                          {Column({{Field("Label11", "cboArtikelGruppen")}, {"lvwArtikel"}}),
                           Column({{"cmdAddPos"}, {"cmdDeletePos"}, {"cmdEditPos"}}),
                           Column({{"Label12"}, {"lvwPositionen"}})},
                      }),
                  Box("fraPositionenK", {{"Label19"}}),
              })},
          },
      .buttons = {"Label10", Stretch(), "cmdSave", "cmdCancel"},
  };
}

}  // namespace kelhost
