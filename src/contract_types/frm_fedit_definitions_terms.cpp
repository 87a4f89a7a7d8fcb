// frmFEditDefinitions: kind and side, durations, payment and notice
// periods, and how the renewal column follows the first one. None of these
// handlers traps its errors: they reach the code that set a value, or, for
// a user's action, the event boundary.
#include <optional>
#include <string>

#include "contract_types/editor_internal.h"
#include "contract_types/frm_fedit_definitions.h"
#include "platform/format.h"
#include "platform/number.h"

void frmFEditDefinitions::optBefristet_Click() {
  txtDauer.SetEnabled(true);
  txtDauer.SetText("12");
  txtDauer2.SetText("12");
  txtDauer.SetVisible(true);
  lblDauerEinheit.SetCaption("in Monaten");
  lblDauerEinheit2.SetCaption("in Monaten");
  chkVerlaengerbar.SetEnabled(true);
  ApplyRenewable(chkVerlaengerbar.Value() == ui::CheckBox::Checked);
}

void frmFEditDefinitions::chkVerlaengerbar_Click() {
  ApplyRenewable(chkVerlaengerbar.Value() == ui::CheckBox::Checked);
}

void frmFEditDefinitions::ApplyRenewable(bool renewable) {
  if (renewable) {
    fraKuendFrist.SetEnabled(true);
    cboKuendFrist.SetText("6");
    EnableKuendFrist(true);
    cboKuenfristBezug.SetEnabled(false);
    fraVerlaengerung.SetEnabled(true);
    EnableFollowUpTerms(true);
    m_lArt = 1;
  } else {
    cboKuendFrist.SetText("0");
    fraKuendFrist.SetEnabled(false);
    EnableKuendFrist(false);
    cboKuenfristBezug.SetEnabled(false);
    fraVerlaengerung.SetEnabled(false);
    EnableFollowUpTerms(false);
    m_lArt = 2;
  }
  EnableWorkflowSelection(m_sTyp == "D" && m_lArt == 1);
}

bool frmFEditDefinitions::ShowKind(int32_t art) {
  switch (art) {
    case 1:
      optBefristet.SetValue(true);
      chkVerlaengerbar.SetValue(ui::CheckBox::Checked);
      return true;
    case 2:
      optBefristet.SetValue(true);
      chkVerlaengerbar.SetValue(ui::CheckBox::Unchecked);
      return true;
    case 3:
      optUnbefristet.SetValue(true);
      chkVerlaengerbar.SetEnabled(false);
      return true;
    default:
      return false;
  }
}

void frmFEditDefinitions::optUnbefristet_Click() {
  m_lArt = 3;
  txtDauer.SetEnabled(false);
  txtDauer.SetText("0");
  txtDauer2.SetText("0");
  lblDauerEinheit.SetCaption("unbefristet");
  lblDauerEinheit2.SetCaption("unbefristet");
  // An open-ended type keeps a notice period, preset to 6 of its unit.
  cboKuendFrist.SetText("6");
  fraKuendFrist.SetEnabled(true);
  EnableKuendFrist(true);
  cboKuenfristBezug.SetEnabled(false);
  chkVerlaengerbar.SetEnabled(false);  // its tick stays
  fraVerlaengerung.SetEnabled(false);
  EnableFollowUpTerms(false);
  EnableWorkflowSelection(false);
}

void frmFEditDefinitions::optDebitor_Click() {
  m_sTyp = std::string("D");
  fraPositionen.ZOrder(0);
  chkNoBooking.SetEnabled(true);
  cboKuenfristBezug.SetEnabled(false);
  EnableWorkflowSelection(m_sTyp == "D" && m_lArt == 1);
}

void frmFEditDefinitions::optKreditor_Click() {
  m_sTyp = std::string("K");
  fraPositionenK.ZOrder(0);
  chkNoBooking.SetValue(ui::CheckBox::Unchecked);
  chkNoBooking.SetEnabled(false);
  cboKuenfristBezug.SetEnabled(false);
  EnableWorkflowSelection(false);
}

void frmFEditDefinitions::EnableKuendFrist(bool bEnable) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&lblKuendFrist, &cboKuendFrist, &cboKuendEinh})
    c->SetEnabled(bEnable);
}

void frmFEditDefinitions::EnableFollowUpTerms(bool bEnable) {
  for (ui::Control* c : std::initializer_list<ui::Control*>{&lblDauer2, &lblDauerEinheit2, &lblZahlungsPeriode2,
                                                            &lblKuendFrist2, &txtDauer2, &cboZahlungsperiode2,
                                                            &cboKuendFrist2, &cboKuendEinh2})
    c->SetEnabled(bEnable);
}

bool frmFEditDefinitions::ReadDuration(int32_t& months) {
  const std::optional<int32_t> read = editor::ParseDuration(txtDauer.Text());
  if (!read) {
    ShowInvalidInput("Vertragsdauer");
    txtDauer.SetFocus();
    return false;
  }
  months = *read;
  return true;
}

void frmFEditDefinitions::txtDauer_Change() {
  int32_t months = 0;
  if (!ReadDuration(months)) return;
  // "012" becomes "12"; the change that makes runs the rest of this.
  const std::string formatted = rt::FormatNumber(months, "0");
  if (formatted != txtDauer.Text()) {
    txtDauer.SetText(formatted);
    return;
  }
  if (m_bForNewContract) cboZahlungsperiode.SetItemData(cboZahlungsperiode.ListCount() - 1, months);
  if (months >= 12) txtDauer2.SetText(txtDauer.Text());
  cboZahlungsperiode_Click();
}

void frmFEditDefinitions::txtDauer2_Validate(bool& Cancel) {
  // What is no duration is refused as an empty one is.
  const std::optional<int32_t> months = editor::ParseDuration(txtDauer2.Text());
  if (!months) {
    ShowInvalidInput("Verlängerungsvertragsdauer");
    Cancel = true;
    return;
  }
  txtDauer2.SetText(rt::FormatNumber(*months, "0"));
}

void frmFEditDefinitions::cboZahlungsperiode_Click() {
  if (m_bLoading) return;
  int32_t months = 0;
  if (!ReadDuration(months)) return;
  if (months != 0) {
    const int32_t period = cboZahlungsperiode.ItemData(cboZahlungsperiode.ListIndex());
    if (rt::Mod(months, period) != 0) {
      ui::MsgBox("Die Zahlungsperiode passt nicht zur Vertragsdauer (" + std::to_string(months) + " Monate)",
                 ui::mb::IconInformation);
      cboZahlungsperiode.SetFocus();
      return;
    }
  }
  // "einmalig" belongs to this one contract; the renewal keeps its period.
  if (cboZahlungsperiode.Text() != "einmalig") cboZahlungsperiode2.SetText(cboZahlungsperiode.Text());
  if (m_sTyp == "D") CheckPricesHint();
}

void frmFEditDefinitions::cboKuendFrist_Click() {
  if (!m_bLoading) cboKuendFrist2.SetText(cboKuendFrist.Text());
}

void frmFEditDefinitions::cboKuendEinh_Click() {
  if (!m_bLoading) cboKuendEinh2.SetText(cboKuendEinh.Text());
}

void frmFEditDefinitions::CheckPricesHint() {
  // The period prices of the positions are not recomputed: the user checks
  // them.
  if (lvwPositionen.Count() > 0) ui::MsgBox("Überprüfen Sie bitte, ob die Preise noch stimmen !", ui::mb::OkOnly);
}

void frmFEditDefinitions::ShowInvalidInput(const std::string& sName) {
  ui::MsgBox("Ungültige Eingabe in " + sName + " !", ui::mb::IconInformation, "Bitte ändern ...");
}
