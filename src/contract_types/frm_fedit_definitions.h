// frmFEditDefinitions: the contract-type editor. One modal dialog in which
// a contract type (a kt_Vertragsdefinitionen record with its positions in
// kt_DefinitionsPositionen) is created, changed, or adjusted in memory for
// one new contract.
//
// Use:
//   auto frm = ui::NewForm<frmFEditDefinitions>();
//   if (frm->InitNew()) frm->ShowModal();           // a new type
//   if (frm->InitEdit()) frm->ShowModal();          // the host's current type
//   frm->InitEdit(); frm->ShowForNewContract();     // adjusting the type that
//   frm->ShowModal();                               // is current for a new contract
//   ... frm->m_bSaved() ...
//
// The first use loads the form: it opens its eight host tables (through
// gDB) and fills every list. When that fails, the failure is shown and
// InitNew and InitEdit give false: such an editor must not be shown.
//
// The editor's own table objects share their current records with every
// other object on the same tables (host/table.h): InitEdit opens the type
// that is current in kt_Vertragsdefinitionen, and a save changes that
// record (or inserts a new one, which then becomes current).
//
// Saving (cmdSave) either writes the tables, or, after ShowForNewContract,
// hands the adjusted type to the new-contract dialog in gDefinition and
// gPositions (core/globals.h) and writes nothing. Either way only a
// successful save closes the editor with m_bSaved() true; cmdCancel closes
// it with false.
//
// Errors are reported in the add-on's way: each procedure with a trap shows
// the error through the reporter (title "Fehler in kt_FEditDefinitions.
// <procedure>") and ends; errors escaping a user's event are reported by
// the event boundary under the event's name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/xp_frame.h"
#include "host/table.h"
#include "platform/object.h"
#include "platform/ui/controls.h"

struct frmFEditDefinitionsProbe;

class frmFEditDefinitions : public ui::Form {
 public:
  frmFEditDefinitions();

  // Prepares the editor for a new contract type (side "D", renewable).
  // False only when the form failed to load.
  bool InitNew();
  // Loads the current kt_Vertragsdefinitionen record and its positions.
  // False, without a message, for a Typ other than "D"/"K", an Art other
  // than 1, 2, 3, or no current type; false after a reported error (a
  // stored value that a list does not hold, a failing host call); false
  // when the form failed to load.
  bool InitEdit();
  // New-contract mode, after InitEdit: the payment period may also be
  // "einmalig" (the whole term), the adjusted copy in gDefinition is shown
  // when it is Dirty, the status and the required attribute are locked, and
  // a save hands the type over in memory instead of writing the tables.
  void ShowForNewContract();
  // Shows the adjusted copy in gDefinition (and gPositions when set) over
  // what InitEdit loaded. gDefinition itself stays as it is.
  void ShowFromMemory();
  // Builds a new gDefinition and gPositions from the controls and replaces
  // both only when both were built. False after a reported error.
  bool WriteToNewContract();

  // True once a save has closed the editor.
  bool m_bSaved() const { return m_bSaved_; }

  // --- Controls --------------------------------------------------------------------
  // Containers come before their contents; the focusable controls stand in
  // the tab order.
  XPFrame fraTyp{*this, "fraTyp"};
  ui::Label Label1{fraTyp, "Label1"};
  ui::TextBox txtBezeichnung{fraTyp, "txtBezeichnung"};
  ui::Label lblStatu{fraTyp, "lblStatu"};
  ui::ComboBox cboStatus{fraTyp, "cboStatus", ui::ComboBox::Style::Editable};
  ui::Label Label2{fraTyp, "Label2"};
  ui::OptionButton optBefristet{fraTyp, "optBefristet"};
  ui::CheckBox chkVerlaengerbar{fraTyp, "chkVerlaengerbar"};
  ui::OptionButton optUnbefristet{fraTyp, "optUnbefristet"};
  ui::Label Label3{fraTyp, "Label3"};
  XPFrame fraArt{fraTyp, "fraArt"};
  ui::OptionButton optDebitor{fraArt, "optDebitor"};
  ui::OptionButton optKreditor{fraArt, "optKreditor"};
  ui::CheckBox chkNoBooking{fraTyp, "chkNoBooking"};

  ui::Frame fraDefinition{*this, "fraDefinition"};
  ui::Label Label4{fraDefinition, "Label4"};
  ui::Label lblVertragsdauer{fraDefinition, "lblVertragsdauer"};
  ui::TextBox txtDauer{fraDefinition, "txtDauer"};
  ui::Label lblDauerEinheit{fraDefinition, "lblDauerEinheit"};
  ui::Label lblZahlungsperiode{fraDefinition, "lblZahlungsperiode"};
  ui::ComboBox cboZahlungsperiode{fraDefinition, "cboZahlungsperiode"};
  ui::Label lblRechnungWann{fraDefinition, "lblRechnungWann"};
  ui::ComboBox cboRechnungWann{fraDefinition, "cboRechnungWann"};
  ui::Frame fraKuendFrist{fraDefinition, "fraKuendFrist"};
  ui::Label lblKuendFrist{fraKuendFrist, "lblKuendFrist"};
  ui::ComboBox cboKuendFrist{fraKuendFrist, "cboKuendFrist"};
  ui::ComboBox cboKuendEinh{fraKuendFrist, "cboKuendEinh"};
  ui::ComboBox cboKuenfristBezug{fraKuendFrist, "cboKuenfristBezug"};
  ui::Label Label6{fraDefinition, "Label6"};
  ui::Frame fraVerlaengerung{fraDefinition, "fraVerlaengerung"};
  ui::Label lblDauer2{fraVerlaengerung, "lblDauer2"};
  ui::TextBox txtDauer2{fraVerlaengerung, "txtDauer2"};
  ui::Label lblDauerEinheit2{fraVerlaengerung, "lblDauerEinheit2"};
  ui::Label lblZahlungsPeriode2{fraVerlaengerung, "lblZahlungsPeriode2"};
  ui::ComboBox cboZahlungsperiode2{fraVerlaengerung, "cboZahlungsperiode2"};
  ui::Label lblKuendFrist2{fraVerlaengerung, "lblKuendFrist2"};
  ui::ComboBox cboKuendFrist2{fraVerlaengerung, "cboKuendFrist2"};
  ui::ComboBox cboKuendEinh2{fraVerlaengerung, "cboKuendEinh2"};
  ui::Frame fraWF{fraDefinition, "fraWF"};
  ui::Label lblWorkflow{fraWF, "lblWorkflow"};
  ui::ComboBox cboWorkflow{fraWF, "cboWorkflow"};

  ui::Frame Frame3{*this, "Frame3"};
  ui::Label Label13{Frame3, "Label13"};
  ui::Label Label14{Frame3, "Label14"};
  ui::Label Label15{Frame3, "Label15"};
  ui::ComboBox cboRequiGroup{Frame3, "cboRequiGroup"};
  ui::ComboBox cboRequiAttribute{Frame3, "cboRequiAttribute"};
  ui::ComboBox cboRequiValue{Frame3, "cboRequiValue"};
  ui::DatePicker DTPRequiValue{Frame3, "DTPRequiValue"};

  ui::Frame Frame4{*this, "Frame4"};
  ui::Label Label16{Frame4, "Label16"};
  ui::Label Label17{Frame4, "Label17"};
  ui::Label Label18{Frame4, "Label18"};
  ui::ComboBox cboPutGroup{Frame4, "cboPutGroup"};
  ui::ComboBox cboPutAttribute{Frame4, "cboPutAttribute"};
  ui::ComboBox cboPutValue{Frame4, "cboPutValue"};
  ui::DatePicker DTPPutValue{Frame4, "DTPPutValue"};

  ui::Frame fraPositionen{*this, "fraPositionen"};
  ui::Label Label11{fraPositionen, "Label11"};
  ui::ComboBox cboArtikelGruppen{fraPositionen, "cboArtikelGruppen"};
  ui::ListView lvwArtikel{fraPositionen, "lvwArtikel"};
  ui::CommandButton cmdAddPos{fraPositionen, "cmdAddPos"};
  ui::CommandButton cmdDeletePos{fraPositionen, "cmdDeletePos"};
  ui::CommandButton cmdEditPos{fraPositionen, "cmdEditPos"};
  ui::Label Label12{fraPositionen, "Label12"};
  ui::ListView lvwPositionen{fraPositionen, "lvwPositionen"};

  ui::Frame fraPositionenK{*this, "fraPositionenK"};
  ui::Label Label19{fraPositionenK, "Label19"};

  ui::Label Label10{*this, "Label10"};
  ui::CommandButton cmdSave{*this, "cmdSave"};
  ui::CommandButton cmdCancel{*this, "cmdCancel"};

 protected:
  void Form_Initialize() override;
  void Form_Load() override;

 private:
  friend struct frmFEditDefinitionsProbe;  // tests look at the members

  // The controls and members of one attribute triple: the required
  // attribute (Frame3, "Requi") or the one a new contract sets (Frame4,
  // "Put").
  struct Triple {
    ui::ComboBox& group;
    ui::ComboBox& attribute;
    ui::ComboBox& value;
    ui::DatePicker& picker;
    std::vector<std::string>& groupIDs;
    std::vector<std::string>& attrIDs;
    int32_t& valueType;
    const char* name;  // "Requi" or "Put", as in the procedures' names
  };
  Triple Requi();
  Triple Put();

  // An attribute triple as the tables store it.
  struct StoredAttribute {
    std::string group, name, value;
  };

  // --- Terms, periods and notice periods (frm_fedit_definitions_terms.cpp) ---------
  void optBefristet_Click();
  void chkVerlaengerbar_Click();
  void optUnbefristet_Click();
  void optDebitor_Click();
  void optKreditor_Click();
  // The notice row and the renewal column after a change of kind: renewable
  // (Art 1) or not (Art 2).
  void ApplyRenewable(bool renewable);
  // Sets the kind options for a stored kind (1, 2 or 3), their handlers
  // running as the options change; false, changing nothing, for another.
  bool ShowKind(int32_t art);
  void EnableKuendFrist(bool bEnable);
  void EnableFollowUpTerms(bool bEnable);
  void txtDauer_Change();
  void txtDauer2_Validate(bool& Cancel);
  void cboZahlungsperiode_Click();
  void cboKuendFrist_Click();
  void cboKuendEinh_Click();
  void CheckPricesHint();
  void ShowInvalidInput(const std::string& sName);
  // The first duration as a number of months (editor::ParseDuration).
  // Anything else is treated as an empty duration: the invalid-input
  // message, the focus goes back, and false.
  bool ReadDuration(int32_t& months);

  // --- Attributes and workflow (frm_fedit_definitions_attributes.cpp) -------------
  void GroupClick(const Triple& t);
  void ReadAttributeList(const Triple& t);
  void AttributeClick(const Triple& t);
  void LoadUsers(const Triple& t);
  void EnableWorkflowSelection(bool bEnable);
  void cboWorkflow_Click();
  // Selects a stored attribute triple (g, m, w) in the controls of `t`.
  void SelectAttribute(const Triple& t, const std::string& g, const std::string& m, const std::string& w);
  // What a save stores for the triple (rule A).
  StoredAttribute RuleA(const Triple& t);

  // --- Saving (frm_fedit_definitions_save.cpp) --------------------------------------
  void cmdSave_Click();
  void cmdCancel_Click();
  bool WritePositions(double& sum);
  bool WriteDummyPosition(double& sum);
  // A duration field as the save reads it: an invalid duration of kind 1
  // or 2 is refused with the message for a missing duration and the focus
  // on the field (false); one of an open-ended type counts as 0.
  bool SavedDuration(ui::TextBox& box, int32_t& months);

  // --- Article and position lists (frm_fedit_definitions_positions.cpp) ------------
  void cboArtikelGruppen_Click();
  void cmdAddPos_Click();
  void cmdEditPos_Click();
  void cmdDeletePos_Click();
  // The term, payment period and its name handed to the position dialog.
  // An invalid first duration is refused as ReadDuration refuses it, and
  // gives false: the dialog is not opened.
  bool DialogTerm(int32_t& term);
  int32_t DialogPeriod();

  // --- Members ------------------------------------------------------------------------
  bool m_bLoading = false;
  bool m_bSaved_ = false;
  bool m_bNew = false;
  bool m_bForNewContract = false;
  bool m_bLoadFailed = false;  // Form_Load was ended by an error
  std::string m_sTyp;
  int32_t m_lArt = 0;
  std::string m_sWorkflowID;
  // Record ids parallel to the combo entries; entry 0 is "" for
  // "<kein Workflow>" and "<leer>". m_ArtGroupIDs[i + 1] belongs to entry i
  // of cboArtikelGruppen.
  std::vector<std::string> m_WorkflowIDs;
  std::vector<std::string> m_RequiGroupIDs;
  std::vector<std::string> m_PutGroupIDs;
  std::vector<std::string> m_RequiAttrIDs;
  std::vector<std::string> m_PutAttrIDs;
  std::vector<std::string> m_ArtGroupIDs;
  int32_t m_lRequiValueType = 0;  // 1: the value is a date (DTPRequiValue)
  int32_t m_lPutValueType = 0;
  // Record ids of stored positions removed from the list, deleted by the
  // next save that writes positions; created on first use.
  std::shared_ptr<rt::Collection> m_colDeletedKeys;

  std::shared_ptr<host::DbTable> m_tblArtikel;
  std::shared_ptr<host::DbTable> m_tblArtikelgruppen;
  std::shared_ptr<host::DbTable> m_tblDefinitionen;
  std::shared_ptr<host::DbTable> m_tblPositionen;
  std::shared_ptr<host::DbTable> m_tblVorgaenge;
  std::shared_ptr<host::DbTable> m_tblMerkmalgruppen;
  std::shared_ptr<host::DbTable> m_tblMerkmalliste;
  std::shared_ptr<host::DbTable> m_tblWerte;
};
