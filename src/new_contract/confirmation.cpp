// The confirmation: from the selected contract type, stored or adjusted in
// memory, to a saved contract, and the steps every save of the dialog
// shares up to its records.
#include <cstdint>
#include <string>
#include <vector>

#include "core/addon_error.h"
#include "core/contract_dates.h"
#include "core/contract_reminders.h"
#include "core/contract_writing.h"
#include "core/globals.h"
#include "core/mod_kt.h"
#include "core/tables.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/object.h"
#include "platform/text.h"

using new_contract::kFlags;
using new_contract::kNoFlags;
using new_contract::kTicked;
using new_contract::Text;
using rt::Need;

void frmNewContract::cmdOK_Click() {
  // The macro step lets pending messages through: a second click meanwhile
  // must not start a second save.
  if (bSaving_) return;
  bSaving_ = true;
  struct EndOfSave {
    bool& saving;
    ~EndOfSave() { saving = false; }
  } end{bSaving_};
  try {
    Confirm();
  } catch (...) {
    ShowOwnErrorBox(new_contract::kErrSource, ".cmdOK_Click", rt::CurrentError());
  }
}

void frmNewContract::Confirm() {
  if (lvwBezeichnung.Count() == 0) return;
  bool found = false;
  Need(oDefinitionen)->GotoOid(lvwBezeichnung.SelectedItem().SubItems(2), kFlags, &found);
  if (!found) return;

  save_ = SaveValues{};
  // The stored type's requirement holds for an adjusted type too: the
  // editor cannot change it for one contract.
  const std::string requiredAttribute = Text(oDefinitionen, "ErfordertMerkmal");
  const std::string requiredValue = Text(oDefinitionen, "ErfordertWert");
  if (!requiredAttribute.empty() && !RequiredAttributePresent(requiredAttribute, requiredValue)) return;

  if (bDefEdited ? SaveFromMemory() : SaveFromStoredType()) {
    bOK_ = true;
    Hide();
  }
}

bool frmNewContract::SaveFromStoredType() {
  OpenSaveTables();
  TakeSaveValues();
  if (!ContractNumberGiven()) return false;
  TakeStoredType();
  return SaveContract();
}

bool frmNewContract::SaveContract() {
  save_.workflowUser = cmbUser.Text();
  save_.presetUsers = optDefinierteBenutzer.Value();
  if (chkOldContract.Value() == kTicked) return BackFill();
  SaveNewContract();
  return true;
}

void frmNewContract::SaveNewContract() {
  lVsCount_ = 1;
  ContractDates dates = ComputeContractDates();
  ReminderDayBeforeWrites(dates);
  // Read before the first write, so that a failing read writes nothing.
  const std::vector<kp::ContractPosition> lines = NewContractPositions();
  InsertNewContract(NewContractRecord(dates));
  CreateReminders(dates);
  kp::InsertContractState(oVertragsstaende, FirstTermState(dates));
  WritePositions(lines, false);
  const rt::Date validTo = lArt == new_contract::kOpenEnded ? rt::kNoDate : dates.end;
  SetAddressAttribute(dates.start, validTo);
}

bool frmNewContract::RequiredAttributePresent(const std::string& merkmal, const std::string& wert) {
  const std::shared_ptr<host::DbTable> attributes = Need(oAdressmerkmale);
  attributes->MoveFirst(kFlags);
  while (!attributes->Eof()) {
    if (Text(attributes, "Merkmal") == merkmal && Text(attributes, "Wert") == wert) return true;
    attributes->Move(1, kFlags);
  }
  ui::MsgBox("Das für diesen Vertrag erforderliche Adressmerkmal  \"" + merkmal + " -> " + wert +
             "\"  ist nicht vorhanden!");
  return false;
}

void frmNewContract::OpenSaveTables() {
  oDefinitionsPositionen = kp::OpenTable("kt_Definitionspositionen");
  oDefinitionsPositionen->ModeA(true, kFlags);
  oDefinitionsPositionen->ModeB(true, kFlags);
  Need(oDefinitionsPositionen->Indexes())->Reset(kNoFlags);
  oVertraege = kp::OpenTable("kt_Vertraege");
  Need(oVertraege->Indexes())->Reset(kFlags);
  oVertraege->Reset();
  oVertragsstaende = kp::OpenTable("kt_Vertragsstaende");
  oVertragsstaende->Reset();
  oVertragspositionen = kp::OpenTable("kt_Vertragspositionen");
  save_.articles = kp::OpenTable("Artikel");
  save_.articles->ModeA(true, kNoFlags);
  save_.articles->ModeB(true, kNoFlags);
  Need(save_.articles->Indexes())->Select("Id", kNoFlags);
}

void frmNewContract::TakeSaveValues() {
  save_.noBooking = chkNoBooking.Value() == kTicked;
  save_.firstTermOnly = chkRabattNurErsteLaufzeit.Value() == kTicked;
  save_.percent = dblRabattProzent;
}

bool frmNewContract::ContractNumberGiven() {
  const bool manual = ChkAutoNumber.Value() != kTicked;
  if (manual && rt::Trim(txtVertragnummer.Text()).empty()) {
    ui::MsgBox("Vergeben Sie bitte eine Vertragsnummer!", ui::mb::OkOnly + ui::mb::IconExclamation,
               new_contract::kTitle);
    return false;
  }
  save_.manualNumber = manual;
  return true;
}

frmNewContract::ContractDates frmNewContract::ComputeContractDates() const {
  ContractDates d;
  d.start = rt::CDate(DTPVertragBeginn.ValueVariant());
  d.end = kp::TermEnd(d.start, lDauer);
  d.notice = kp::NoticeDate(d.end, save_.type.Kuendigungsfrist, save_.type.KuendigungsfristEinh);
  d.nextInvoice = lRechnungWann == 0 ? d.start : rt::AddMonths(d.start, lZahlungsperiode);
  return d;
}

void frmNewContract::ReminderDayBeforeWrites(ContractDates& dates) const {
  if (!save_.datesBeforeWrites) return;
  dates.reminderDay = kp::ReminderDay(lArt, dates.notice, dates.end, gAlarmWochenKuendigung, gAlarmWochenEnde);
}

std::string frmNewContract::ContractNumber(const std::shared_ptr<host::DbField>& field) {
  if (!save_.manualNumber) txtVertragnummer.SetText(modKT::GetNextNumber(field));
  return txtVertragnummer.Text();
}
