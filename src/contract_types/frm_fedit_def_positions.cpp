#include "contract_types/frm_fedit_def_positions.h"

#include "core/addon_error.h"
#include "core/globals.h"
#include "core/number_text.h"
#include "platform/format.h"
#include "platform/number.h"
#include "platform/object.h"
#include "platform/text.h"

namespace {

// Error-source name of the dialog.
constexpr const char* kErrSource = "frmFEditDefPositions";

constexpr int16_t kBackspace = 8;

// The key filter of the number fields: Backspace, digits and the extra
// characters pass, a full stop becomes the decimal comma, anything else is
// dropped.
void NumberKeyFilter(int16_t& KeyAscii, std::string_view extra) {
  if (KeyAscii == '.') KeyAscii = ',';
  const bool passes = KeyAscii == kBackspace || KeyAscii == ',' || (KeyAscii >= '0' && KeyAscii <= '9') ||
                      (KeyAscii > 0 && KeyAscii < 128 && extra.find(static_cast<char>(KeyAscii)) != extra.npos);
  if (!passes) KeyAscii = 0;
}

// The text of a number field as the conversions read it.
rt::Variant NumberText(const ui::TextBox& box) { return rt::Variant(kp::DecimalCommaText(box.Text())); }

std::string Fixed(double value) { return rt::FormatNumber(value, "Fixed"); }

}  // namespace

frmFEditDefPositions::frmFEditDefPositions() : Form("frmFEditDefPositions") {
  SetCaption("Vertragsposition");
  SetFontName("Tahoma");
  lblArtikel.SetCaption("Artikel");
  lblEinheit.SetCaption("Einheit");
  lblNettopreis.SetCaption("Nettopreis über die Gesamtlaufzeit");
  txtNettopreis.SetToolTipText("*  ist für Multiplikation erlaubt");
  lblBeschreibung.SetCaption("Beschreibung");
  lblAnzahl.SetCaption("Anzahl Artikel");
  lblPeriod.SetCaption("monatlich:");
  lvlGesnetto.SetCaption("Ges.netto:");
  lblDuration.SetCaption("Gesamtlaufzeit: xx Monate");
  const char* const periodCaptions[] = {"monatlich",    "viertelj.",    "halbj.",       "jährlich",
                                        "zweijährlich", "dreijährlich", "vierjährlich", "fünfjährlich"};
  for (size_t i = 0; i < kPeriods.size(); ++i) PriceLabel(i).SetCaption(periodCaptions[i]);
  Label1.SetCaption("Die Preise für die  Zahlungsperioden gegebenenfalls bitte anpassen !");
  Label1.SetFontName("Arial");
  lblInfoRabatt.SetCaption("( Alle Preisangaben ohne Rabatt )");
  lblInfoRabatt.SetFontName("Arial");
  cmdOk.SetCaption("Übernehmen");
  cmdCancel.SetCaption("Abbrechen");
  for (ui::TextBox* box : {&txtNettopreis, &txtAnzahl, &txtGesamt}) box->SetAlignment(ui::TextBox::Alignment::Right);

  txtAnzahl.OnKeyPress = [](int16_t& KeyAscii) { NumberKeyFilter(KeyAscii, "-"); };
  txtAnzahl.OnValidate = [this](bool& Cancel) { ValidateAmount(txtAnzahl, Cancel); };
  txtNettopreis.OnKeyPress = [](int16_t& KeyAscii) { NumberKeyFilter(KeyAscii, "*"); };
  txtNettopreis.OnValidate = [this](bool& Cancel) { txtNettopreis_Validate(Cancel); };
  for (size_t i = 0; i < kPeriods.size(); ++i) {
    ui::TextBox& box = PriceBox(i);
    box.SetAlignment(ui::TextBox::Alignment::Right);
    box.OnKeyPress = [](int16_t& KeyAscii) { NumberKeyFilter(KeyAscii, ""); };
    box.OnValidate = [this, &box](bool& Cancel) { ValidateAmount(box, Cancel); };
  }
  cmdOk.OnClick = [this] { cmdOk_Click(); };
  cmdCancel.OnClick = [this] { cmdCancel_Click(); };
}

ui::TextBox& frmFEditDefPositions::PriceBox(size_t i) {
  ui::TextBox* const boxes[] = {&txtPreisM1,  &txtPreisM3,  &txtPreisM6,  &txtPreisM12,
                                &txtPreisM24, &txtPreisM36, &txtPreisM48, &txtPreisM60};
  return *boxes[i];
}

ui::Label& frmFEditDefPositions::PriceLabel(size_t i) {
  ui::Label* const labels[] = {&lblPreisM1,  &lblPreisM3,  &lblPreisM6,  &lblPreisM12,
                               &lblPreisM24, &lblPreisM36, &lblPreisM48, &lblPreisM60};
  return *labels[i];
}

void frmFEditDefPositions::Form_Load() {
  try {
    const std::shared_ptr<host::HostPersistVar> units =
        rt::Need(rt::Need(rt::Need(gDB)->ScriptEngine())->PersistVars())->Item("lt_Einheit");
    if (units) {
      const rt::Variant list = units->Value();
      for (const rt::Variant& unit : list.AsArray().items) cboEinheit.AddItem(rt::CStr(unit));
    }
    if (cboEinheit.ListCount() > 0) cboEinheit.SetListIndex(0);
    bOK = false;
  } catch (...) {
    ReportError(std::string(kErrSource) + ".Form_Load", rt::CurrentError());
  }
}

void frmFEditDefPositions::Form_Activate() {
  try {
    lblDuration.SetCaption("Gesamtlaufzeit: " + std::to_string(m_Laufzeit) + " Monate");
  } catch (...) {
    ReportError(std::string(kErrSource) + ".UserForm_Activate", rt::CurrentError());
  }
}

bool frmFEditDefPositions::InitNew(int32_t term, int32_t period, const std::string& periodText) {
  return Init(term, period, periodText, true);
}

bool frmFEditDefPositions::InitEdit(int32_t term, int32_t period, const std::string& periodText) {
  return Init(term, period, periodText, false);
}

bool frmFEditDefPositions::Init(int32_t term, int32_t period, const std::string& periodText, bool computePrices) {
  m_Laufzeit = term;
  ui::Label* bold = nullptr;
  for (size_t i = 0; i < kPeriods.size(); ++i) {
    if (kPeriods[i] != period) continue;
    bold = &PriceLabel(i);
    m_PriceField = PriceBox(i).Name();
  }
  // A one-off period ("einmalig") is the whole term: its price is the net
  // price over the term.
  if (period == 2 || period == 4 || period == 5 || (period >= 7 && period <= 11)) {
    bold = &lblNettopreis;
    m_PriceField = txtNettopreis.Name();
  }
  if (bold == nullptr) return false;
  bold->SetFontBold(true);
  lblPeriod.SetCaption(periodText);
  if (computePrices) {
    CalcPeriodPrices();
  } else {
    CalcTotal();
  }
  return true;
}

void frmFEditDefPositions::CalcPeriodPrices() {
  const double net = rt::CDbl(NumberText(txtNettopreis));
  for (size_t i = 0; i < kPeriods.size(); ++i)
    PriceBox(i).SetText(Fixed(rt::Round2(rt::Div(rt::Mul(net, kPeriods[i]), m_Laufzeit))));
  CalcTotal();
}

void frmFEditDefPositions::CalcTotal() {
  const double quantity = rt::CDbl(NumberText(txtAnzahl));
  const double price = rt::CDbl(NumberText(ControlAs<ui::TextBox>(m_PriceField)));
  txtGesamt.SetText(Fixed(rt::Round2(rt::Mul(quantity, price))));
}

void frmFEditDefPositions::ShowInvalidInput(const std::string& controlName) {
  ui::MsgBox("Ungültige Eingabe in " + rt::Mid(controlName, 4) + " !", ui::mb::IconInformation,
             "Bitte ändern ...");
}

void frmFEditDefPositions::ValidateAmount(ui::TextBox& box, bool& Cancel) {
  const rt::Variant value = NumberText(box);
  if (box.Text().empty() || !rt::IsNumeric(value)) {
    ShowInvalidInput(box.Name());
    Cancel = true;
    return;
  }
  box.SetText(rt::FormatValue(value, "Fixed"));
  // A total that cannot be worked out (an overflow) is reported where the
  // event ends, as ever; the field keeps the focus as for an invalid entry,
  // so that no position leaves with a quantity or price but no total.
  try {
    CalcTotal();
  } catch (...) {
    Cancel = true;
    throw;
  }
}

void frmFEditDefPositions::txtNettopreis_Validate(bool& Cancel) {
  try {
    // An empty text has no parts at all, and so would be the product 1.
    const std::string text = kp::DecimalCommaText(txtNettopreis.Text());
    if (text.empty()) {
      ShowInvalidInput(txtNettopreis.Name());
      Cancel = true;
      return;
    }
    double product = 1;
    for (const std::string& part : rt::Split(text, "*")) {
      if (!rt::IsNumeric(rt::Variant(part)) || part.empty()) {
        ShowInvalidInput(txtNettopreis.Name());
        Cancel = true;
        return;
      }
      product = rt::Mul(product, rt::CDbl(rt::Variant(part)));
    }
    txtNettopreis.SetText(Fixed(product));
    CalcPeriodPrices();
  } catch (...) {
    ReportError(std::string(kErrSource) + ".txtNettopreis_Validate", rt::CurrentError());
  }
}

void frmFEditDefPositions::cmdOk_Click() {
  if (txtArtikel.Text().empty()) {
    ui::MsgBox("Eingabe für Artikel/Position fehlt", ui::mb::IconInformation, "Bitte eingeben ...");
    txtArtikel.SetFocus();
    return;
  }
  // Validation has run on every field the user left; a text the caller
  // put in and nobody validated is answered here as it would be there.
  const rt::Variant quantity = NumberText(txtAnzahl);
  if (!rt::IsNumeric(quantity) || txtAnzahl.Text().empty()) {
    ShowInvalidInput(txtAnzahl.Name());
    return;
  }
  if (rt::CDbl(quantity) == 0) {
    ui::MsgBox("Anzahl darf nicht 0 sein", ui::mb::IconInformation, "Bitte ändern ...");
    return;
  }
  ui::TextBox& priceField = ControlAs<ui::TextBox>(m_PriceField);
  const rt::Variant price = NumberText(priceField);
  if (!rt::IsNumeric(price) || priceField.Text().empty()) {
    ShowInvalidInput(priceField.Name());
    return;
  }
  sPreis = rt::FormatValue(price, "Fixed");
  dblPreis = rt::CDbl(price);
  bOK = true;
  Hide();
}

void frmFEditDefPositions::cmdCancel_Click() { Hide(); }
