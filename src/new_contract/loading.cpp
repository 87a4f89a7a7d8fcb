// Loading the dialog for an address, the choice of a contract type, and the
// small handlers of the number and period boxes and of Cancel.
#include <string>

#include "core/addon_error.h"
#include "core/config.h"
#include "core/globals.h"
#include "core/mod_kt.h"
#include "core/records.h"
#include "core/tables.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/format.h"
#include "platform/object.h"
#include "platform/text.h"

using new_contract::kErrSource;
using new_contract::kFlags;
using new_contract::kNoFlags;
using new_contract::kPayable;
using new_contract::kReceivable;
using new_contract::kRenewable;
using new_contract::kTicked;
using new_contract::kTitle;
using new_contract::Text;
using rt::Need;

namespace {

// The user the host does not offer as responsible.
constexpr const char* kDevelopmentUser = "DEVELOPMENT";
// Only these contract types are offered.
constexpr const char* kReleased = "freigegeben";
// From this day of the month on, a contract starts on the 1st of the next.
constexpr int32_t kMidMonth = 15;

// Selects `name` in a drop-down list when it is listed; otherwise the list
// keeps no selection (a drop-down list takes no other text).
void SelectIfListed(ui::ComboBox& list, const std::string& name) {
  for (int32_t i = 0; i < list.ListCount(); ++i) {
    if (list.List(i) == name) {
      list.SetText(name);
      return;
    }
  }
}

void NoReleasedTypeMessage() {
  ui::MsgBox(std::string("Es muss mindestens ein freigegebener Vertragstyp definiert sein.") +
                 std::string(rt::kCrLf) + "Legen Sie einen Vertragstyp an!",
             ui::mb::OkOnly + ui::mb::IconExclamation, kTitle);
}

// The 15th of this month while today is before it, else the 1st of the
// next month (December rolls into January).
rt::Date DefaultStart(rt::Date today) {
  const int32_t year = rt::Year(today);
  const int32_t month = rt::Month(today);
  return rt::Day(today) < kMidMonth ? rt::DateSerial(year, month, kMidMonth)
                                    : rt::DateSerial(year, month + 1, 1);
}

}  // namespace

void frmNewContract::Form_Load() {
  lblVersion.SetCaption(gVersion);
  DTPGeschlossenAm.SetValue(rt::Today());
  bInitialized = false;
  bOK_ = false;
  bShowDef_ = false;

  const std::shared_ptr<host::HostUsers> users = Need(Need(gDB)->Users());
  const int32_t count = users->Count();
  for (int32_t i = 0; i < count; ++i) {
    const std::string name = Need(users->Item(i))->Name();
    if (name == kDevelopmentUser) continue;
    cboVerantwortlich.AddItem(name);
    cmbUser.AddItem(name);
  }
  const std::string current = Need(users->CurrentUser())->Name();
  SelectIfListed(cboVerantwortlich, current);
  SelectIfListed(cmbUser, current);

  // A lead time that is not a number fails the load.
  gAlarmWochenKuendigung = rt::CLng(rt::Variant(modKT::ReadPersistVarSetting("kt_AlarmWochenKuendigung", "6")));
  gAlarmWochenEnde = rt::CLng(rt::Variant(modKT::ReadPersistVarSetting("kt_AlarmWochenEnde", "4")));

  CConfig config;
  gCreateAppointment4AllContracts =
      rt::CBool(rt::Variant(config.ReadDatabaseSetting("CreateAppointment4AllContracts", "false")));
}

bool frmNewContract::InitNew() {
  bool result = false;
  try {
    // An adjusted copy of a type belongs to one new contract: none from an
    // earlier one may come back through cmdDetails or InitAgain.
    gDefinition.reset();
    gPositions.reset();

    sAdressOid = kp::OpenTable("Adressen")->Oid();
    const rt::Variant name =
        Need(Need(Need(gDB)->ScriptEngine())->Evaluate("Name()", kNoFlags))->Value(0);
    SetCaption("Neuer Vertrag für:   " + rt::CStr(name));  // loads the dialog

    txtVertragnummer.SetEnabled(false);

    oAdressmerkmale = kp::OpenTable("Adressmerkmale");
    oAdressmerkmale->ModeA(true, kFlags);
    oAdressmerkmale->ModeB(true, kFlags);

    oDefinitionen = kp::OpenTable("kt_Vertragsdefinitionen");
    oDefinitionen->ModeA(true, kFlags);
    oDefinitionen->ModeB(true, kFlags);
    Need(oDefinitionen->Indexes())->Select("Bezeichnung", kFlags);
    oDefinitionen->MoveFirst(kFlags);
    if (oDefinitionen->Eof()) {
      NoReleasedTypeMessage();
      return false;
    }
    while (!oDefinitionen->Eof()) {
      if (Text(oDefinitionen, "Status") == kReleased) AddTypeItem();
      oDefinitionen->Move(1, kFlags);
    }
    if (lvwBezeichnung.Count() == 0) {
      NoReleasedTypeMessage();
      return false;
    }

    // Still not initialised: the selection builds no period list yet.
    lvwBezeichnung_ItemClick(lvwBezeichnung.Item(1));
    lSelectedIndex = 1;
    DTPVertragBeginn.SetValue(DefaultStart(rt::Today()));
    dblRabattProzent = 0;
    txtRabatt.SetText(rt::FormatNumber(dblRabattProzent, "Fixed"));
    lstInvoices.SetBackColor(ui::color::ButtonFace);
    bInitialized = true;
    DTPVertragBeginn_Change();
    if (sTyp == kPayable) {
      LockPayableOptions();
      txtVertragnummer.SetText("");
      txtVertragnummer.SetEnabled(true);
    }
    result = true;
  } catch (...) {
    ShowOwnErrorBox(kErrSource, ".InitNew", rt::CurrentError());
  }
  return result;
}

// One list item for the current record of oDefinitionen.
void frmNewContract::AddTypeItem() {
  const std::string name = Text(oDefinitionen, "Bezeichnung");
  const std::string typ = Text(oDefinitionen, "Typ");
  ui::ListItem& item = lvwBezeichnung.Add(name);
  item.SetToolTipText(name);
  item.SetSubItems(1, Text(oDefinitionen, "ArtStr"));
  item.SetSubItems(2, oDefinitionen->Oid());
  item.SetSubItems(3, typ);
  item.SetSubItems(4, Text(oDefinitionen, "Art"));
  item.SetSubItems(5, Text(oDefinitionen, "RechnungWann"));
  item.SetSubItems(6, Text(oDefinitionen, "Dauer"));
  item.SetSubItems(7, Text(oDefinitionen, "Zahlungsperiode"));
  item.SetSubItems(8, Text(oDefinitionen, "Verlaengerungsdauer"));
  item.SetSubItems(9, Text(oDefinitionen, "VerlaengerungsZahlungsperiode"));
  item.SetSubItems(10, typ == kReceivable ? "Forderung" : "Verbindlichkeit");
  item.SetSubItems(11, Text(oDefinitionen, "NoBooking"));
}

void frmNewContract::lvwBezeichnung_ItemClick(ui::ListItem& Item) {
  if (bDefEdited) {
    if (Item.Index() == lSelectedIndex) return;
    const ui::MsgResult answer = ui::MsgBox(
        "Die Änderungen, die Sie an der Vertragsdefinition gemacht haben,"
        " gehen verloren, wenn Sie eine andere Vertragsdefinition auswählen!"
        "Wollen Sie das wirklich?",
        ui::mb::YesNo + ui::mb::IconExclamation + ui::mb::DefaultButton2, kTitle);
    if (answer == ui::MsgResult::No) {
      lvwBezeichnung.SetSelectedItem(&lvwBezeichnung.Item(lSelectedIndex));
      return;
    }
    // The dropped adjustment must not come back with cmdDetails.
    gDefinition.reset();
    gPositions.reset();
  }

  lSelectedIndex = Item.Index();
  bDefEdited = false;
  lblDirty.SetVisible(false);

  sTyp = Item.SubItems(3);
  lArt = rt::CLng(rt::Variant(Item.SubItems(4)));
  lRechnungWann = rt::CLng(rt::Variant(Item.SubItems(5)));
  lDauer = rt::CLng(rt::Variant(Item.SubItems(6)));
  lZahlungsperiode = rt::CLng(rt::Variant(Item.SubItems(7)));
  lVerlaengerungsdauer = rt::CLng(rt::Variant(Item.SubItems(8)));
  lVerlaengerungsZahlungsperiode = rt::CLng(rt::Variant(Item.SubItems(9)));
  chkNoBooking.SetValue(rt::CBool(rt::Variant(Item.SubItems(11))) ? ui::CheckBox::Checked
                                                                   : ui::CheckBox::Unchecked);

  // The stored record of the selected type becomes current; a record
  // deleted meanwhile leaves the table where it was.
  if (lvwBezeichnung.Count() > 0) {
    bool found = false;
    Need(oDefinitionen)->GotoOid(lvwBezeichnung.SelectedItem().SubItems(2), kNoFlags, &found);
  }
  ApplyContractTypeOptions();
}

void frmNewContract::ApplyContractTypeOptions() {
  if (sTyp == kReceivable) {
    ChkAutoNumber.SetValue(ui::CheckBox::Checked);
    ChkAutoNumber.SetEnabled(true);
    chkOldContract.SetValue(ui::CheckBox::Unchecked);
    chkOldContract.SetEnabled(true);
    chkNoBooking.SetEnabled(true);
    chkRabattNurErsteLaufzeit.SetEnabled(lArt == kRenewable);
    if (bInitialized) DTPVertragBeginn_Change();
  } else if (sTyp == kPayable) {
    LockPayableOptions();
  }
  SetWorkflowFrameVisibility();
  ShowRenewalWorkflow();
}

// A payable contract has no number drawn and no invoiced periods, and keeps
// the type's NoBooking and the first-term tick as they stand.
void frmNewContract::LockPayableOptions() {
  ChkAutoNumber.SetValue(ui::CheckBox::Unchecked);
  ChkAutoNumber.SetEnabled(false);
  chkOldContract.SetValue(ui::CheckBox::Unchecked);
  chkOldContract.SetEnabled(false);
  chkNoBooking.SetEnabled(false);
  chkRabattNurErsteLaufzeit.SetEnabled(false);
  lstInvoices.Clear();
}

void frmNewContract::InitAgain() {
  const std::shared_ptr<kt_CDefinition> definition = gDefinition;
  if (!definition || definition->DefOid != Need(oDefinitionen)->Oid()) return;
  bDefEdited = true;
  lblDirty.SetVisible(true);
  sTyp = definition->Typ;
  lArt = definition->Art;
  lRechnungWann = definition->RechnungWann;
  lDauer = definition->Dauer;
  lVerlaengerungsdauer = definition->Verlaengerungsdauer;
  lZahlungsperiode = definition->Zahlungsperiode;
  lVerlaengerungsZahlungsperiode = definition->VerlaengerungsZahlungsperiode;
  chkNoBooking.SetValue(definition->NoBooking ? ui::CheckBox::Checked : ui::CheckBox::Unchecked);
  ApplyContractTypeOptions();
}

void frmNewContract::ChkAutoNumber_Click() {
  txtVertragnummer.SetText("");
  txtVertragnummer.SetEnabled(ChkAutoNumber.Value() != kTicked);
}

void frmNewContract::chkOldContract_Click() {
  if (chkOldContract.Value() == kTicked) {
    lstInvoices.SetEnabled(true);
    lstInvoices.SetBackColor(ui::color::Window);
    lstInvoices.SetVisible(true);
    if (lstInvoices.ListCount() > 0) lstInvoices.SetListIndex(0);
  } else {
    lstInvoices.SetEnabled(false);
    lstInvoices.SetBackColor(ui::color::ButtonFace);
    lstInvoices.SetListIndex(-1);
    lstInvoices.SetVisible(false);
  }
}

void frmNewContract::cmdCancel_Click() { Hide(); }
