// frmFEditDefinitions: the article list and the position list. The
// positions of a "D" type live only in lvwPositionen until a save; adding
// and editing go through a new position dialog each time.
#include <string>

#include "contract_types/editor_internal.h"
#include "contract_types/frm_fedit_def_positions.h"
#include "contract_types/frm_fedit_definitions.h"
#include "core/addon_error.h"
#include "core/globals.h"
#include "core/tables.h"
#include "platform/format.h"
#include "platform/number.h"
#include "platform/variant.h"

using editor::Fixed;
using editor::Source;
using rt::Need;

namespace {

constexpr host::Flags kFlags = editor::kFlags;

// The first value a host formula gives on the current records.
std::string Evaluate(const char* formula) {
  return rt::CStr(Need(Need(Need(gDB)->ScriptEngine())->Evaluate(formula, 0))->Value(0));
}

// The dialog's texts that go into a position row, by column.
void CopyDialogColumns(frmFEditDefPositions& dlg, ui::ListItem& item) {
  item.SetSubItems(editor::Artikel, dlg.txtArtikel.Text());
  item.SetSubItems(editor::Anz, dlg.txtAnzahl.Text());
  item.SetSubItems(editor::Nettopreis, dlg.sPreis);
  item.SetSubItems(editor::GPreis, dlg.txtGesamt.Text());
  item.SetSubItems(editor::Einheit, dlg.cboEinheit.Text());
  item.SetSubItems(editor::Beschreibung, dlg.txtBeschreibung.Text());
  ui::TextBox* const prices[] = {&dlg.txtPreisM1,  &dlg.txtPreisM3,  &dlg.txtPreisM6,  &dlg.txtPreisM12,
                                 &dlg.txtPreisM24, &dlg.txtPreisM36, &dlg.txtPreisM48, &dlg.txtPreisM60};
  for (int32_t k = 0; k < 8; ++k) item.SetSubItems(editor::PreisM1 + k, prices[k]->Text());
  item.SetSubItems(editor::Preis, dlg.txtNettopreis.Text());
  item.SetSubItems(editor::PreisOhne, dlg.sPreis);
}

}  // namespace

bool frmFEditDefinitions::DialogTerm(int32_t& term) {
  // An open-ended type is priced over a year.
  if (m_lArt != 3) return ReadDuration(term);
  term = 12;
  return true;
}

int32_t frmFEditDefinitions::DialogPeriod() { return cboZahlungsperiode.ItemData(cboZahlungsperiode.ListIndex()); }

void frmFEditDefinitions::cboArtikelGruppen_Click() {
  try {
    lvwArtikel.Clear();
    if (cboArtikelGruppen.ListIndex() < 0) return;
    const std::string& key = editor::KeyAt(m_ArtGroupIDs, cboArtikelGruppen.ListIndex() + 1);
    if (!Need(m_tblArtikelgruppen)->Seek(key, kFlags)) return;
    // The article table now shows the articles of that group.
    const std::shared_ptr<host::DbTable>& articles = Need(m_tblArtikel);
    Need(articles->Indexes())->Reset(kFlags);
    articles->MoveFirst(kFlags);
    while (!articles->Eof()) {
      ui::ListItem& item = lvwArtikel.Add(rt::CStr(kp::FieldValue(articles, "Bezeichnung")));
      item.SetSubItems(1, rt::FormatValue(kp::FieldValue(articles, "Nettopreis"), "Fixed"));
      item.SetSubItems(2, articles->Oid());
      item.SetSubItems(3, rt::CStr(kp::FieldValue(articles, "ID")));
      articles->Move(1, kFlags);
    }
    articles->MoveFirst(kFlags);
    if (lvwArtikel.Count() > 0) lvwArtikel.SetSelectedItem(&lvwArtikel.Item(1));
  } catch (...) {
    ReportError(Source(".cboArtikelGruppen_Click"), rt::CurrentError());
  }
}

void frmFEditDefinitions::cmdAddPos_Click() {
  try {
    const ui::ListItem& selected = lvwArtikel.SelectedItem();
    const std::string oid = selected.SubItems(2);
    const std::string id = selected.SubItems(3);
    for (int32_t i = 1; i <= lvwPositionen.Count(); ++i) {
      if (lvwPositionen.Item(i).SubItems(editor::ArtikelID) == id) {
        ui::MsgBox("Der ausgewählte Artikel ist bereits eine Vertragsposition", ui::mb::IconInformation);
        return;
      }
    }
    const std::shared_ptr<host::DbTable> article = kp::OpenTable("Artikel");
    if (!article->GotoOid(oid, kFlags)) return;

    auto dlg = ui::NewForm<frmFEditDefPositions>();
    dlg->txtArtikel.SetText(rt::CStr(kp::FieldValue(article, "Bezeichnung")));
    dlg->txtAnzahl.SetText(Fixed(1));
    dlg->txtNettopreis.SetText(rt::FormatValue(kp::FieldValue(article, "Nettopreis"), "Fixed"));
    dlg->cboEinheit.SetText(rt::CStr(kp::FieldValue(article, "Einheit")));
    dlg->txtBeschreibung.SetText(rt::CStr(kp::FieldValue(article, "Beschreibung")));
    int32_t term = 0;
    if (!DialogTerm(term) || !dlg->InitNew(term, DialogPeriod(), cboZahlungsperiode.Text())) return;
    dlg->ShowModal();
    if (!dlg->bOK) return;

    // Everything the row needs is read first: a failure leaves no half
    // filled row in the list.
    const std::string nummer = rt::CStr(kp::FieldValue(article, "Nummer"));
    const std::string art = rt::CStr(kp::FieldValue(article, "Art"));
    // Both formulas read the article found above, which is still current.
    const std::string ustSatz = Evaluate("USTSatzArtikel()");
    const std::string erloeskonto = Evaluate("Erloeskonto()");
    const std::string articleId = rt::CStr(kp::FieldValue(article, "Id"));
    const std::string gruppierung = rt::CStr(kp::FieldValue(article, "Gruppierung"));
    ui::ListItem& item = lvwPositionen.Add("");
    CopyDialogColumns(*dlg, item);
    item.SetSubItems(editor::Artikelnummer, nummer);
    item.SetSubItems(editor::Artikelart, art);
    item.SetSubItems(editor::USTSatz, ustSatz);
    item.SetSubItems(editor::Erloeskonto, erloeskonto);
    item.SetSubItems(editor::ArtikelID, articleId);
    item.SetSubItems(editor::Gruppierung, gruppierung);
  } catch (...) {
    ReportError(Source(".cmdAddPos_Click"), rt::CurrentError());
  }
}

void frmFEditDefinitions::cmdEditPos_Click() {
  try {
    if (lvwPositionen.Count() == 0) return;
    const int16_t i = rt::CInt(rt::Variant(lvwPositionen.SelectedItem().Index()));
    ui::ListItem& row = lvwPositionen.Item(i);
    const auto fixed = [&row](int32_t column) { return rt::FormatValue(rt::Variant(row.SubItems(column)), "Fixed"); };

    auto dlg = ui::NewForm<frmFEditDefPositions>();
    dlg->txtArtikel.SetText(row.SubItems(editor::Artikel));
    dlg->txtAnzahl.SetText(fixed(editor::Anz));
    dlg->txtNettopreis.SetText(fixed(editor::Preis));
    dlg->cboEinheit.SetText(row.SubItems(editor::Einheit));
    dlg->txtBeschreibung.SetText(row.SubItems(editor::Beschreibung));
    ui::TextBox* const prices[] = {&dlg->txtPreisM1,  &dlg->txtPreisM3,  &dlg->txtPreisM6,  &dlg->txtPreisM12,
                                   &dlg->txtPreisM24, &dlg->txtPreisM36, &dlg->txtPreisM48, &dlg->txtPreisM60};
    for (int32_t k = 0; k < 8; ++k) prices[k]->SetText(fixed(editor::PreisM1 + k));
    int32_t term = 0;
    if (!DialogTerm(term) || !dlg->InitEdit(term, DialogPeriod(), cboZahlungsperiode.Text())) return;
    dlg->ShowModal();
    if (dlg->bOK) CopyDialogColumns(*dlg, row);
  } catch (...) {
    ReportError(Source(".cmdEditPos_Click"), rt::CurrentError());
  }
}

void frmFEditDefinitions::cmdDeletePos_Click() {
  try {
    if (lvwPositionen.Count() == 0) return;
    const int16_t i = rt::CInt(rt::Variant(lvwPositionen.SelectedItem().Index()));
    if (ui::MsgBox("Wollen Sie die markierte Position wirklich löschen?",
                   ui::mb::YesNo + ui::mb::IconQuestion + ui::mb::DefaultButton2) == ui::MsgResult::No)
      return;
    // A stored row is deleted from its table by the next save.
    const std::string key = lvwPositionen.Item(i).Text();
    if (!key.empty()) {
      if (!m_colDeletedKeys) m_colDeletedKeys = std::make_shared<rt::Collection>();
      m_colDeletedKeys->Add(rt::Variant(key));
    }
    lvwPositionen.Remove(i);
    if (lvwPositionen.Count() > 0) lvwPositionen.SetSelectedItem(&lvwPositionen.Item(i == 1 ? 1 : i - 1));
  } catch (...) {
    ReportError(Source(".cmdDeletePos_Click"), rt::CurrentError());
  }
}
