// frmFEditDefinitions in new-contract mode: the contract type adjusted for
// one new contract lives in gDefinition and gPositions, never in the tables.
#include <string>

#include "contract_types/editor_internal.h"
#include "contract_types/frm_fedit_definitions.h"
#include "core/addon_error.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/tables.h"
#include "platform/format.h"
#include "platform/number.h"
#include "platform/variant.h"

using editor::FlagScope;
using editor::Fixed;
using editor::SelectByItemData;
using editor::KeyAt;
using editor::Source;
using rt::Need;

namespace {

// A number column as a field would store it: an empty text is 0.
double Amount(const std::string& text) { return text.empty() ? 0 : rt::CDbl(rt::Variant(text)); }
int32_t WholeNumber(const std::string& text) { return text.empty() ? 0 : rt::CLng(rt::Variant(text)); }

// The placeholder position of a type without positions of its own.
std::shared_ptr<kt_CPosition> Placeholder() {
  auto p = std::make_shared<kt_CPosition>();
  p->Artikel = "Tragen Sie hier die Bezeichnung ein!";
  p->Artikelnummer = "00000000";
  p->Artikelart = "Verbindlichkeit";
  p->Einheit = "Stück";
  p->Anzahl = 1;
  p->ArtikelID = "00000000";
  return p;
}

}  // namespace

void frmFEditDefinitions::ShowForNewContract() {
  try {
    m_bForNewContract = true;
    // The whole term paid at once; its months follow the duration.
    cboZahlungsperiode.AddItem("einmalig");
    cboZahlungsperiode.SetItemData(cboZahlungsperiode.NewIndex(), rt::CLng(rt::Variant(txtDauer.Text())));
    if (gDefinition && gDefinition->Dirty) ShowFromMemory();
    cboStatus.SetEnabled(false);
    Frame3.SetEnabled(false);
    cmdSave.SetCaption("Übernehmen");
  } catch (...) {
    ReportError(Source(".ShowForNewContract"), rt::CurrentError());
  }
}

void frmFEditDefinitions::ShowFromMemory() {
  try {
    // Held for the call: the copy stays gDefinition's, for a cancel and
    // the new-contract dialog's next look at it.
    const std::shared_ptr<kt_CDefinition> def = Need(gDefinition);
    m_sTyp = def->Typ;
    ShowKind(def->Art);  // another kind: nothing
    chkNoBooking.SetValue(def->NoBooking ? ui::CheckBox::Checked : ui::CheckBox::Unchecked);
    txtBezeichnung.SetText(def->Bezeichnung);
    {
      FlagScope loading(m_bLoading);
      txtDauer.SetText(rt::FormatNumber(def->Dauer, "0"));
    }
    txtDauer2.SetText(rt::FormatNumber(def->Verlaengerungsdauer, "0"));
    cboKuendFrist.SetText(rt::CStr(rt::Variant(def->Kuendigungsfrist)));
    cboKuendEinh.SetText(def->KuendigungsfristEinh);
    cboKuendFrist2.SetText(rt::CStr(rt::Variant(def->VerlKuendigungsfrist)));
    cboKuendEinh2.SetText(def->VerlKuendigungsfristEinh);
    cboZahlungsperiode.SetItemData(cboZahlungsperiode.ListCount() - 1, editor::DurationOf(txtDauer.Text()));
    {
      FlagScope loading(m_bLoading);
      SelectByItemData(cboZahlungsperiode, def->Zahlungsperiode);
    }
    SelectByItemData(cboZahlungsperiode2, def->VerlaengerungsZahlungsperiode);
    cboRechnungWann.SetListIndex(def->RechnungWann);
    m_sWorkflowID = def->VerlaengerungsWorkflowID;
    EnableWorkflowSelection(m_sTyp == "D" && def->Art == 1);
    SelectAttribute(Put(), def->SetztMerkmalGruppe, def->SetztMerkmal, def->SetztWert);

    if (const std::shared_ptr<rt::Collection> positions = gPositions) {
      lvwPositionen.Clear();
      for (int32_t i = 1; i <= positions->Count(); ++i) {
        const std::shared_ptr<kt_CPosition> p = rt::CastObject<kt_CPosition>(positions->Item(i));
        ui::ListItem& item = lvwPositionen.Add("");
        item.SetSubItems(editor::Artikel, p->Artikel);
        item.SetSubItems(editor::Anz, Fixed(p->Anzahl));
        item.SetSubItems(editor::Nettopreis, Fixed(p->Nettopreis));
        item.SetSubItems(editor::GPreis, Fixed(rt::Round2(rt::Mul(p->Nettopreis, p->Anzahl))));
        item.SetSubItems(editor::Artikelnummer, p->Artikelnummer);
        item.SetSubItems(editor::Artikelart, p->Artikelart);
        item.SetSubItems(editor::Einheit, p->Einheit);
        item.SetSubItems(editor::USTSatz, rt::CStr(p->UStSatz));
        item.SetSubItems(editor::Beschreibung, p->Beschreibung);
        item.SetSubItems(editor::Erloeskonto, rt::CStr(rt::Variant(p->Erloeskonto)));
        item.SetSubItems(editor::ArtikelID, p->ArtikelID);
        const double prices[] = {p->PreisM1,  p->PreisM3,  p->PreisM6,  p->PreisM12,
                                 p->PreisM24, p->PreisM36, p->PreisM48, p->PreisM60};
        for (int32_t k = 0; k < 8; ++k) item.SetSubItems(editor::PreisM1 + k, rt::CStr(prices[k]));
        item.SetSubItems(editor::Preis, rt::CStr(p->Preis));
        item.SetSubItems(editor::PreisOhne, rt::CStr(p->NettoOhneRabatt));
        item.SetSubItems(editor::Gruppierung, p->Gruppierung);
      }
    }
  } catch (...) {
    ReportError(Source(".ShowFromMemory"), rt::CurrentError());
  }
}

bool frmFEditDefinitions::WriteToNewContract() {
  try {
    // Both copies are built first and replace the globals together, so
    // that a failure leaves the earlier copies as they were.
    auto positions = std::make_shared<rt::Collection>();
    double sum = 0;
    if (m_sTyp != "D") {
      positions->Add(rt::Variant(Placeholder()));
    } else {
      rt::For16(1, lvwPositionen.Count(), [&](int16_t i) {
        const ui::ListItem& item = lvwPositionen.Item(i);
        const auto col = [&item](int32_t c) { return item.SubItems(c); };
        auto p = std::make_shared<kt_CPosition>();
        p->Artikel = col(editor::Artikel);
        p->Nettopreis = Amount(col(editor::Nettopreis));
        p->Artikelnummer = col(editor::Artikelnummer);
        p->Artikelart = col(editor::Artikelart);
        p->Einheit = col(editor::Einheit);
        p->UStSatz = Amount(col(editor::USTSatz));
        p->Beschreibung = col(editor::Beschreibung);
        p->Anzahl = Amount(col(editor::Anz));
        p->Erloeskonto = WholeNumber(col(editor::Erloeskonto));
        p->ArtikelID = col(editor::ArtikelID);
        double* const prices[] = {&p->PreisM1,  &p->PreisM3,  &p->PreisM6,  &p->PreisM12,
                                  &p->PreisM24, &p->PreisM36, &p->PreisM48, &p->PreisM60};
        for (int32_t k = 0; k < 8; ++k) *prices[k] = Amount(col(editor::PreisM1 + k));
        p->Preis = Amount(col(editor::Preis));
        p->NettoOhneRabatt = Amount(col(editor::PreisOhne));
        p->Gruppierung = col(editor::Gruppierung);
        sum = rt::Add(sum, Amount(col(editor::GPreis)));
        positions->Add(rt::Variant(p));
      });
    }

    auto def = std::make_shared<kt_CDefinition>();
    def->NoBooking = chkNoBooking.Value() == ui::CheckBox::Checked;
    def->Typ = m_sTyp;
    def->Bezeichnung = txtBezeichnung.Text();
    def->Art = m_lArt;
    def->ArtStr = editor::ArtStrOf(m_lArt);
    def->Dauer = editor::DurationOf(txtDauer.Text());
    def->Verlaengerungsdauer = editor::DurationOf(txtDauer2.Text());
    def->Kuendigungsfrist = rt::CLng(rt::Variant(cboKuendFrist.Text()));
    def->KuendigungsfristEinh = cboKuendEinh.Text();
    def->VerlKuendigungsfrist = rt::CLng(rt::Variant(cboKuendFrist2.Text()));
    def->VerlKuendigungsfristEinh = cboKuendEinh2.Text();
    def->Zahlungsperiode = cboZahlungsperiode.ItemData(cboZahlungsperiode.ListIndex());
    def->VerlaengerungsZahlungsperiode = cboZahlungsperiode2.ItemData(cboZahlungsperiode2.ListIndex());
    def->RechnungWann = cboRechnungWann.ListIndex();
    const StoredAttribute required = RuleA(Requi());
    def->ErfordertMerkmal = required.name;
    def->ErfordertWert = required.value;
    def->ErfordertMerkmalGruppe = required.group;
    const StoredAttribute set = RuleA(Put());
    def->SetztMerkmal = set.name;
    def->SetztWert = set.value;
    def->SetztMerkmalGruppe = set.group;
    def->NettoSumme = m_sTyp == "D" ? sum : 0;
    def->VerlaengerungsWorkflowID =
        m_sTyp == "D" && m_lArt == 1 ? KeyAt(m_WorkflowIDs, cboWorkflow.ListIndex()) : std::string();
    def->Dirty = true;
    def->DefOid = Need(m_tblDefinitionen)->Oid();
    // Not shown in the editor, but part of the type a contract copies.
    def->KuendigungsfristBezug = rt::CStr(kp::FieldValue(m_tblDefinitionen, "KuendigungsfristBezug"));

    gPositions = positions;
    gDefinition = def;
    return true;
  } catch (...) {
    ReportError(Source(".WriteToNewContract"), rt::CurrentError());
    return false;
  }
}
