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
// The confirmation saves from the stored contract type (its steps are in
// confirmation.cpp, stored_records.cpp and attribute_step.cpp), hands an
// already invoiced contract to the back-fill and an adjusted type to
// SaveFromMemory. Those later save paths are members too and reuse the
// steps declared under "Steps of every save" below.
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
  };

  // What a confirmation takes before it writes anything; every save path
  // of that confirmation reads it.
  struct SaveValues {
    // The attribute the contract type sets on the address.
    std::string group;
    std::string attribute;
    std::string value;
    std::string workflowId;     // the type's WorkflowID
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
  void ConfirmFromStoredType();

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
  // The dates from the start picker, lDauer, lRechnungWann, lZahlungsperiode
  // and the notice period given (weeks when `unit` is exactly "Wochen",
  // months otherwise).
  ContractDates ComputeContractDates(int32_t notice, const std::string& unit) const;
  // The contract number for `field` of the record being written: drawn from
  // the number range into txtVertragnummer when automatic; txtVertragnummer's
  // text in both cases.
  std::string ContractNumber(const std::shared_ptr<host::DbField>& field);
  // The revenue account of a position's article: "Erloeskonto()" on the
  // article found in save_.articles, or `storedAccount` when it is not found.
  rt::Variant RevenueAccount(const std::string& articleId, const rt::Variant& storedAccount);
  // The reminders of a new contract with the dialog's lead times and user.
  void CreateReminders(const ContractDates& dates);
  // The attribute step that ends every save: nothing when save_.attribute is
  // empty; the macro "kt_CreateAttribute" when chkWorkflow is ticked (its
  // failures ignored); else the direct write into oAdressmerkmale, whose
  // errors other than the host's "already there" reach the caller.
  // `directTypeName` is the type name the direct write's description ends
  // with.
  void SetAddressAttribute(rt::Date validFrom, rt::Date validTo, const std::string& directTypeName);

  // --- Records from the stored type (stored_records.cpp) ------------------------
  void WriteStoredContract(const ContractDates& dates);
  void WriteStoredState(const ContractDates& dates);
  void WriteStoredPositions();
  // The records of a new contract as the writers above fill them, for the
  // paths that change a few fields first: the contract (its insert with the
  // dialog's number is InsertStoredContract), the state of its first term,
  // and the position of the current type position of oDefinitionsPositionen;
  // amounts at the save's percent.
  ContractRecord StoredContract(const ContractDates& dates);
  void InsertStoredContract(const ContractRecord& c);
  kp::ContractState StoredState(const ContractDates& dates);
  kp::ContractPosition StoredPosition();

  // --- Further save paths ----------------------------------------------------------
  // The contract whose past periods were already invoiced (back_fill.cpp);
  // true when it was saved.
  bool BackFill();
  // The selected type's terms as the dialog holds them, with the notice
  // periods of its record.
  backfill::Terms BackFillTerms();
  // One state for the whole term of a one-off or open-ended contract.
  void BackFillSingleTerm(const backfill::Terms& terms, int16_t k);
  // The renewable contract: a state per term up to the one in which
  // invoicing goes on (back_fill_renewable.cpp).
  void BackFillRenewable(const backfill::Terms& terms, int16_t k);
  void WritePlannedState(const backfill::PlannedState& planned, std::vector<double>& sums);
  void WriteContractUpdate(const backfill::ContractUpdate& update, const std::vector<double>& sums,
                           double enteredPercent);
  // The positions of the state just written, without grouping fields; with
  // `renewalPricing` priced for one renewal payment period. Returns the sum
  // of their line amounts when renewal-priced, else 0.
  double WriteBackFilledPositions(bool renewalPricing);
  // The save from the contract type adjusted in memory
  // (src/new_contract_memory); true when it was saved.
  bool SaveFromMemory();

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
