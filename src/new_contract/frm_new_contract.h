// frmNewContract: the modal dialog in which the user creates one contract
// for the host's current address from a released contract type.
//
// Life of the dialog (driven by CKT through kp::NewContractDialog):
//   created        Form_Initialize prepares the common controls;
//   InitNew        takes the current address, loads the dialog (Form_Load,
//                  at the caption), lists the released contract types and
//                  selects the first; false (after its own message) when
//                  there is none or anything failed;
//   shown modally  the user picks a type, dates, number, responsible user,
//                  discount, maybe the last invoiced period, may adjust the
//                  type for this contract (cmdDetails) and confirms (cmdOK)
//                  or cancels;
//   hidden         by Cancel or by a successful confirmation; never
//                  unloaded, so CKT may show it again as it was.
//
// The confirmation saves from the stored contract type or, when the user
// adjusted the type for this contract, from the copy in memory
// (SaveFromMemory). Both saves are one piece of code (confirmation.cpp,
// contract_records.cpp, attribute_step.cpp, back_fill*.cpp) that differs
// only in where the type's values and positions come from (save_).
//
// Errors: InitNew, cmdDetails_Click, cmdOK_Click and
// SetWorkflowFrameVisibility trap their errors and show them in the dialog's
// own box ("... in kt_FNewContract.<procedure>"); txtRabatt_Validate reports
// through the add-on's reporter; the other handlers trap nothing, so an
// error from the user's own action goes to the event boundary's reporter
// and one from a call by InitNew or InitAgain to that caller's trap.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/contract_writing.h"
#include "core/subsystems.h"
#include "core/xp_frame.h"
#include "host/table.h"
#include "new_contract/backfill_dates.h"
#include "new_contract/contract_record.h"
#include "platform/date.h"
#include "platform/ui/controls.h"
#include "platform/variant.h"

class frmNewContract : public ui::Form, public kp::NewContractDialog {
 public:
  frmNewContract();
  ~frmNewContract() override;

  // --- kp::NewContractDialog ------------------------------------------------
  // Prepares the dialog for the host's current address; true when at least
  // one released contract type is listed and the dialog may be shown.
  bool InitNew() override;
  // The modal display of the form (ui::Form::ShowModal).
  void ShowModal() override;
  // The public members, each with a getter and a setter.
  bool bOK() const override { return bOK_; }
  void SetbOK(bool value) { bOK_ = value; }
  int32_t lVsCount() const override { return lVsCount_; }
  void SetlVsCount(int32_t value) { lVsCount_ = value; }
  const std::string& sDefOid() const { return sDefOid_; }
  void SetsDefOid(std::string value) { sDefOid_ = std::move(value); }
  bool bShowDef() const override { return bShowDef_; }
  void SetbShowDef(bool value) override { bShowDef_ = value; }

  // Takes over a contract type that the contract-type editor adjusted in
  // memory (gDefinition) when it is the selected one; otherwise changes
  // nothing. Traps nothing.
  void InitAgain();

  // --- Controls ------------------------------------------------------------
  // The list of released contract types; columns: item text "Typ"
  // (Bezeichnung), then sub-items 1 "Dauer" (ArtStr), 2 "OID" (record id),
  // 3 "Typ", 4 "Art", 5 "RechnungWann", 6 "Dauer1" (Dauer),
  // 7 "Zahlungsperiode1", 8 "DAuer2" (Verlaengerungsdauer),
  // 9 "Zahlungsperiode2", 10 "Art" ("Forderung"/"Verbindlichkeit"),
  // 11 "NoBooking"; every value as text.
  ui::Label Label1{*this, "Label1"};
  ui::ListView lvwBezeichnung{*this, "lvwBezeichnung"};

  ui::Frame Frame1{*this, "Frame1"};
  ui::Label Label3{Frame1, "Label3"};
  ui::TextBox txtVertragnummer{Frame1, "txtVertragnummer"};
  ui::CheckBox ChkAutoNumber{Frame1, "ChkAutoNumber"};
  ui::Label Label4{Frame1, "Label4"};
  ui::DatePicker DTPVertragBeginn{Frame1, "DTPVertragBeginn"};
  ui::Label Label6{Frame1, "Label6"};
  ui::DatePicker DTPGeschlossenAm{Frame1, "DTPGeschlossenAm"};
  ui::Label Label5{Frame1, "Label5"};
  ui::ComboBox cboVerantwortlich{Frame1, "cboVerantwortlich", ui::ComboBox::Style::DropDownList};
  ui::Label Label7{Frame1, "Label7"};
  ui::TextBox txtMemo{Frame1, "txtMemo"};
  ui::Label lblRabatt{Frame1, "lblRabatt"};
  ui::TextBox txtRabatt{Frame1, "txtRabatt"};
  ui::Label Label2{Frame1, "Label2"};
  ui::CheckBox chkRabattNurErsteLaufzeit{Frame1, "chkRabattNurErsteLaufzeit"};
  ui::CheckBox chkNoBooking{Frame1, "chkNoBooking"};

  ui::Frame Frame2{*this, "Frame2"};
  ui::CheckBox chkOldContract{Frame2, "chkOldContract"};
  ui::Label Label8{Frame2, "Label8"};
  ui::ListBox lstInvoices{Frame2, "lstInvoices"};

  XPFrame fraWorkflow{*this, "fraWorkflow"};
  ui::CheckBox chkWorkflow{fraWorkflow, "chkWorkflow"};
  XPFrame fraResponsible{*this, "fraResponsible"};
  ui::OptionButton optDefinierteBenutzer{fraResponsible, "optDefinierteBenutzer"};
  ui::OptionButton optneuerBenutzer{fraResponsible, "optneuerBenutzer"};
  ui::ComboBox cmbUser{fraResponsible, "cmbUser", ui::ComboBox::Style::DropDownList};
  XPFrame fraWorkflow2{*this, "fraWorkflow2"};
  ui::Label lblWorkflow2{fraWorkflow2, "lblWorkflow2"};

  ui::CommandButton cmdDetails{*this, "cmdDetails"};
  ui::CommandButton cmdOK{*this, "cmdOK"};
  ui::CommandButton cmdCancel{*this, "cmdCancel"};
  ui::Label lblDirty{*this, "lblDirty"};
  ui::Label lblVersion{*this, "lblVersion"};

 protected:
  void Form_Initialize() override;
  void Form_Load() override;

 private:
  friend class NewContractPeer;  // tests look at the members

  // The values of the contract's first term (or whole term).
  struct ContractDates {
    rt::Date start;
    rt::Date end;          // start + lDauer months - 1 day
    rt::Date notice;       // day after the end less the notice period
    rt::Date nextInvoice;  // the start, or a period later when in arrears
    // The day of the notice or end reminder, on the paths that work it out
    // before they write the contract (ReminderDayBeforeWrites).
    std::optional<rt::Date> reminderDay;
  };

  // The contract type as a save writes it onto the contract, its state and
  // the address attribute. Kind, invoicing time and periods are the
  // dialog's own copies (lArt, lDauer, ...), not repeated here.
  struct TypeValues {
    std::string Bezeichnung;
    int32_t Art = 0;
    std::string ArtStr;
    int32_t Kuendigungsfrist = 0;
    std::string KuendigungsfristEinh;
    std::string KuendigungsfristBezug;
    int32_t VerlKuendigungsfrist = 0;
    std::string VerlKuendigungsfristEinh;
    double NettoSumme = 0;
    std::string ErfordertMerkmalGruppe;
    std::string ErfordertMerkmal;
    std::string ErfordertWert;
    // Always the stored record's, also for a type adjusted in memory.
    std::string ID;
    rt::Variant Dokument;
  };

  // What a confirmation takes before it writes anything; every save path
  // of that confirmation reads it.
  struct SaveValues {
    // The type comes from gDefinition and gPositions (adjusted in memory),
    // not from the stored record and its rows.
    bool fromMemory = false;
    // The save from a type adjusted in memory works out each reminder day
    // and notice date before the write it precedes, so that a date outside
    // the calendar fails the save before that write: the reminder day
    // before the contract's insert; on a renewable contract whose first
    // term was invoiced in full, a term's notice date before its state's
    // positions; the reminder day before each update of the contract
    // (backfill::RenewableOptions). The save from a stored type works them
    // out where it uses them.
    bool datesBeforeWrites = false;
    TypeValues type;
    // The attribute the contract type sets on the address.
    std::string group;
    std::string attribute;
    std::string value;
    // The type name the direct attribute write describes the contract by:
    // the list's text for a stored type, the name in memory otherwise.
    std::string describedAs;
    std::string workflowId;     // VerlaengerungsWorkflowID of the contract
    std::string workflowUser;   // cmbUser's text
    bool presetUsers = false;   // optDefinierteBenutzer's value
    bool noBooking = false;
    bool firstTermOnly = false;  // the discount holds for the first term only
    // The discount percent of this save: a copy of dblRabattProzent taken
    // when the save starts. Rules that drop the discount for later terms
    // zero this copy, never the dialog's own percent, so a failed save
    // followed by another keeps the discount the user sees.
    double percent = 0;
    bool manualNumber = false;
    std::shared_ptr<host::DbTable> articles;  // Artikel, index "Id"
  };

  // --- Loading and the choice of a type (loading.cpp) -------------------------
  void lvwBezeichnung_ItemClick(ui::ListItem& Item);
  void ApplyContractTypeOptions();
  void LockPayableOptions();
  void AddTypeItem();
  void ChkAutoNumber_Click();
  void chkOldContract_Click();
  void cmdCancel_Click();

  // --- The list of already invoiced periods (period_list.cpp) ------------------
  void DTPVertragBeginn_Change();

  // --- The workflow and responsibility frames (frames.cpp) ---------------------
  void SetWorkflowFrameVisibility();
  void ShowRenewalWorkflow();

  // --- Discount and cent rounding (discount.cpp) -------------------------------
  void txtRabatt_KeyPress(int16_t& KeyAscii);
  void txtRabatt_Validate(bool& Cancel);
  static double Round2(double x);
  // x less the discount of the running save (save_.percent).
  double ApplyDiscount(double x) const;

  // --- The contract type in the editor (details.cpp) ---------------------------
  void cmdDetails_Click();

  // --- The confirmation (confirmation.cpp) -------------------------------------
  void cmdOK_Click();
  // Finds the selected type's record, tests the attribute it requires and
  // hands over to the save from the stored type or from memory; on success
  // sets bOK and hides the dialog.
  void Confirm();
  // The save from the selected stored type; its errors reach cmdOK_Click's
  // trap. True when the contract was saved.
  bool SaveFromStoredType();
  // The save from the contract type adjusted in memory
  // (save_from_memory.cpp); traps its own errors. True when the contract
  // was saved.
  bool SaveFromMemory();

  // --- Steps of every save -------------------------------------------------------
  // True when the address carries Merkmal == `merkmal` with Wert == `wert`
  // (exact; group and validity not looked at); otherwise shows the message
  // naming them and returns false.
  bool RequiredAttributePresent(const std::string& merkmal, const std::string& wert);
  // Opens the tables a save writes into their members, and Artikel into
  // save_.articles.
  void OpenSaveTables();
  // The no-booking flag, the first-term-only flag and the discount copy
  // into save_.
  void TakeSaveValues();
  // False, after its message, when a manual number is blank; otherwise sets
  // save_.manualNumber.
  bool ContractNumberGiven();
  // The type's values, attribute and workflow into save_: from the current
  // record of oDefinitionen, or (TakeMemoryType) from gDefinition with the
  // stored record's ID and Dokument; a missing gDefinition raises 91.
  void TakeStoredType();
  void TakeMemoryType();
  // What both saves do once the type is taken: the workflow choices, then
  // the new contract or the one with already invoiced periods. True when
  // the contract was saved.
  bool SaveContract();
  // The new contract: contract, reminders, state, positions, attribute.
  void SaveNewContract();
  // The dates from the start picker, lDauer, lRechnungWann, lZahlungsperiode
  // and the type's notice period (weeks when its unit is exactly "Wochen",
  // months otherwise).
  ContractDates ComputeContractDates() const;
  // Sets dates.reminderDay from the dialog's lead times when the save works
  // its dates out before its writes (save_.datesBeforeWrites); a day
  // outside the calendar raises 5.
  void ReminderDayBeforeWrites(ContractDates& dates) const;
  // The contract number for `field` of the record being written: drawn from
  // the number range into txtVertragnummer when automatic; txtVertragnummer's
  // text in both cases.
  std::string ContractNumber(const std::shared_ptr<host::DbField>& field);
  // The revenue account of a position's article: "Erloeskonto()" on the
  // article found in save_.articles, or `ownAccount` when it is not found.
  rt::Variant RevenueAccount(const std::string& articleId, const rt::Variant& ownAccount);
  // The reminders of a new contract with the dialog's lead times and user.
  void CreateReminders(const ContractDates& dates);
  // The attribute step that ends every save: nothing when save_.attribute is
  // empty; the macro "kt_CreateAttribute" when chkWorkflow is ticked (its
  // failures ignored); else the direct write into oAdressmerkmale, whose
  // errors other than the host's "already there" reach the caller.
  void SetAddressAttribute(rt::Date validFrom, rt::Date validTo);

  // --- Records of a contract (contract_records.cpp) --------------------------------
  // The records of a new contract from save_.type and the dialog, for the
  // paths that change a few fields first: the contract (inserted with the
  // dialog's number by InsertNewContract) and the state of its first term;
  // amounts at the save's percent.
  ContractRecord NewContractRecord(const ContractDates& dates);
  void InsertNewContract(const ContractRecord& c);
  kp::ContractState FirstTermState(const ContractDates& dates);
  // The type's positions as lines for the position writer, in the order
  // they are written. Every save reads them once, before its first write,
  // and writes from these lines: a read that fails leaves nothing written,
  // rather than a contract without its positions. Nettopreis, Rabattprozent
  // and Erloeskonto are the writer's; Erloeskonto holds the position's own
  // account. From the stored rows: in their order, Row and the grouping
  // fields as stored. From gPositions (MemoryTypePositions,
  // save_from_memory.cpp): in collection order, Row its place there,
  // Gruppierung its label and no numbering.
  std::vector<kp::ContractPosition> StoredTypePositions();
  std::vector<kp::ContractPosition> MemoryTypePositions();
  // The lines of the save's source (either of the above).
  std::vector<kp::ContractPosition> TypePositions();
  // The lines of a new contract: the stored rows as stored, or the lines of
  // gPositions numbered by group (kp::GroupedWriteOrder).
  std::vector<kp::ContractPosition> NewContractPositions();
  // Writes `lines` under the state just written, at the save's percent;
  // with `renewalPricing` each priced for one renewal payment period.
  // Returns the sum of their line amounts when renewal-priced, else 0.
  double WritePositions(const std::vector<kp::ContractPosition>& lines, bool renewalPricing);

  // --- Already invoiced periods (back_fill.cpp, back_fill_renewable.cpp) -----------
  // The contract whose past periods were already invoiced; true when it was
  // saved.
  bool BackFill();
  // The selected type's terms as the dialog holds them, with the type's
  // notice periods.
  backfill::Terms BackFillTerms();
  // One state for the whole term of a one-off or open-ended contract.
  void BackFillSingleTerm(const backfill::Terms& terms, int16_t k, const std::vector<kp::ContractPosition>& lines);
  // The renewable contract: a state per term up to the one in which
  // invoicing goes on.
  void BackFillRenewable(const backfill::Terms& terms, int16_t k, const std::vector<kp::ContractPosition>& lines);
  void WritePlannedState(const backfill::PlannedState& planned, const std::vector<kp::ContractPosition>& lines,
                         std::vector<double>& sums);
  void WriteContractUpdate(const backfill::ContractUpdate& update, const std::vector<double>& sums,
                           double enteredPercent);

  // --- State ---------------------------------------------------------------------------
  bool bOK_ = false;
  int32_t lVsCount_ = 0;
  std::string sDefOid_;
  bool bShowDef_ = false;

  std::shared_ptr<host::DbTable> oVertraege;
  std::shared_ptr<host::DbTable> oVertragsstaende;
  std::shared_ptr<host::DbTable> oVertragspositionen;
  std::shared_ptr<host::DbTable> oDefinitionsPositionen;
  std::shared_ptr<host::DbTable> oDefinitionen;    // current record: the selected type
  std::shared_ptr<host::DbTable> oAdressmerkmale;  // of the address of InitNew

  int32_t lArt = 0;  // 1 renewable, 2 one-off, 3 open-ended
  std::string sTyp;  // "D" receivable, "K" payable
  int32_t lRechnungWann = 0;
  int32_t lDauer = 0;
  int32_t lVerlaengerungsdauer = 0;
  int32_t lZahlungsperiode = 0;
  int32_t lVerlaengerungsZahlungsperiode = 0;
  bool bInitialized = false;
  std::string sAdressOid;
  bool bDefEdited = false;
  int32_t lSelectedIndex = 0;
  double dblRabattProzent = 0;
  rt::Date dLastListedStart;
  rt::Date dListEnd;

  SaveValues save_;
  bool bSaving_ = false;  // a confirmation is running
};
