// frmFEditDefPositions: the position dialog of the contract-type editor.
// One position of a contract type: its text, unit, description, quantity,
// the net price over the whole term and the price of every payment period.
//
// The editor makes a new dialog for each add or edit and uses it so:
//   1. set txtArtikel, txtAnzahl, txtNettopreis, cboEinheit and
//      txtBeschreibung (for an edit also the eight period prices); the first
//      use loads the dialog, which lists the units first;
//   2. InitNew (prices computed from the net price) or InitEdit (only the
//      total computed) with the term, the payment period and its name;
//   3. when that gave true, ShowModal;
//   4. when bOK, read sPreis (the price of the type's period, "Fixed") and
//      the controls.
// The dialog writes nothing to the database.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/ui/controls.h"

class frmFEditDefPositions : public ui::Form {
 public:
  frmFEditDefPositions();

  // True only after a confirmation; false from loading on.
  bool bOK = false;
  // The price of the type's payment period, "Fixed", and as a number.
  std::string sPreis;
  double dblPreis = 0;

  // Prepare the dialog for the term (months), the type's payment period
  // (months) and its name. The period picks the price field: 1, 3, 6, 12,
  // 24, 36, 48 and 60 their own, 2, 4, 5 and 7 to 11 (a one-off period) the
  // net price; any other period gives false and changes nothing but the
  // remembered term. InitNew then computes every period price from the net
  // price and the total; InitEdit only the total. A term of 0 raises 11 (6
  // with a net price of 0) from InitNew.
  bool InitNew(int32_t term, int32_t period, const std::string& periodText);
  bool InitEdit(int32_t term, int32_t period, const std::string& periodText);

  // Controls, in the tab order (the creation order of the focusable ones).
  ui::Frame Frame1{*this, "Frame1"};
  ui::Label lblArtikel{Frame1, "lblArtikel"};
  ui::TextBox txtArtikel{Frame1, "txtArtikel"};
  ui::Label lblEinheit{Frame1, "lblEinheit"};
  ui::ComboBox cboEinheit{Frame1, "cboEinheit", ui::ComboBox::Style::Editable};
  ui::Label lblNettopreis{Frame1, "lblNettopreis"};
  ui::TextBox txtNettopreis{Frame1, "txtNettopreis"};
  ui::Label lblBeschreibung{Frame1, "lblBeschreibung"};
  ui::TextBox txtBeschreibung{Frame1, "txtBeschreibung"};
  ui::Label lblAnzahl{Frame1, "lblAnzahl"};
  ui::TextBox txtAnzahl{Frame1, "txtAnzahl"};

  ui::Frame Frame2{*this, "Frame2"};
  ui::Label lblPeriod{Frame2, "lblPeriod"};
  ui::Label lvlGesnetto{Frame2, "lvlGesnetto"};
  ui::TextBox txtGesamt{Frame2, "txtGesamt"};
  ui::Label lblDuration{Frame2, "lblDuration"};

  ui::Frame Frame3{*this, "Frame3"};
  ui::Label Label1{Frame3, "Label1"};
  ui::Label lblPreisM1{Frame3, "lblPreisM1"};
  ui::TextBox txtPreisM1{Frame3, "txtPreisM1"};
  ui::Label lblPreisM3{Frame3, "lblPreisM3"};
  ui::TextBox txtPreisM3{Frame3, "txtPreisM3"};
  ui::Label lblPreisM6{Frame3, "lblPreisM6"};
  ui::TextBox txtPreisM6{Frame3, "txtPreisM6"};
  ui::Label lblPreisM12{Frame3, "lblPreisM12"};
  ui::TextBox txtPreisM12{Frame3, "txtPreisM12"};
  ui::Label lblPreisM24{Frame3, "lblPreisM24"};
  ui::TextBox txtPreisM24{Frame3, "txtPreisM24"};
  ui::Label lblPreisM36{Frame3, "lblPreisM36"};
  ui::TextBox txtPreisM36{Frame3, "txtPreisM36"};
  ui::Label lblPreisM48{Frame3, "lblPreisM48"};
  ui::TextBox txtPreisM48{Frame3, "txtPreisM48"};
  ui::Label lblPreisM60{Frame3, "lblPreisM60"};
  ui::TextBox txtPreisM60{Frame3, "txtPreisM60"};
  ui::Label lblInfoRabatt{Frame3, "lblInfoRabatt"};

  ui::CommandButton cmdOk{*this, "cmdOk"};
  ui::CommandButton cmdCancel{*this, "cmdCancel"};

 protected:
  void Form_Load() override;
  void Form_Activate() override;

 private:
  // The payment periods with a price field of their own, in field order.
  static constexpr std::array<int32_t, 8> kPeriods = {1, 3, 6, 12, 24, 36, 48, 60};

  bool Init(int32_t term, int32_t period, const std::string& periodText, bool computePrices);
  void CalcPeriodPrices();
  void CalcTotal();
  void ShowInvalidInput(const std::string& controlName);
  // The price field and its label of the period at kPeriods[i].
  ui::TextBox& PriceBox(size_t i);
  ui::Label& PriceLabel(size_t i);

  // Validation of txtAnzahl and the eight period prices.
  void ValidateAmount(ui::TextBox& box, bool& Cancel);
  void txtNettopreis_Validate(bool& Cancel);
  void cmdOk_Click();
  void cmdCancel_Click();

  // The name of the text box holding the price of the type's period.
  std::string m_PriceField;
  // The term in months: the divisor of the period prices.
  int32_t m_Laufzeit = 0;
};
