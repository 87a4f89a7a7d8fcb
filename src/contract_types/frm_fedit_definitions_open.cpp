// frmFEditDefinitions: opening the stored contract type that is current in
// kt_Vertragsdefinitionen. The handlers of the controls run as each value
// is set (the record's own values are set after the defaults those
// handlers apply), except while an attribute's key is written.
#include <string>

#include "contract_types/editor_internal.h"
#include "contract_types/frm_fedit_definitions.h"
#include "core/addon_error.h"
#include "core/tables.h"
#include "platform/format.h"
#include "platform/number.h"
#include "platform/variant.h"

using editor::Fixed;
using editor::SelectByItemData;
using editor::Source;
using rt::Need;

namespace {

constexpr host::Flags kFlags = editor::kFlags;


// The fields shown in the position columns 1 and 5 to 22 as they stand
// (columns 2 to 4 are formatted amounts).
struct PlainColumn {
  int32_t column;
  const char* field;
};
constexpr PlainColumn kPlainColumns[] = {
    {editor::Artikel, "Artikel"},        {editor::Artikelnummer, "Artikelnummer"},
    {editor::Artikelart, "Artikelart"},  {editor::Einheit, "Einheit"},
    {editor::USTSatz, "UStSatz"},        {editor::Beschreibung, "Beschreibung"},
    {editor::Erloeskonto, "Erloeskonto"}, {editor::ArtikelID, "ArtikelID"},
    {editor::PreisM1, "PreisM1"},        {editor::PreisM3, "PreisM3"},
    {editor::PreisM6, "PreisM6"},        {editor::PreisM12, "PreisM12"},
    {editor::PreisM24, "PreisM24"},      {editor::PreisM36, "PreisM36"},
    {editor::PreisM48, "PreisM48"},      {editor::PreisM60, "PreisM60"},
    {editor::Preis, "Preis"},            {editor::PreisOhne, "NettoOhneRabatt"},
    {editor::Gruppierung, "Gruppierung"},
};

}  // namespace

bool frmFEditDefinitions::InitEdit() {
  EnsureLoaded();
  if (m_bLoadFailed) return false;
  try {
    SetCaption("Vertragstyp [Ändern]");
    m_bNew = false;
    const std::shared_ptr<host::DbTable>& def = Need(m_tblDefinitionen);
    const auto text = [&def](const char* field) { return rt::CStr(kp::FieldValue(def, field)); };

    m_sTyp = text("Typ");
    if (m_sTyp == "D") {
      optDebitor.SetValue(true);
      optKreditor.SetEnabled(false);
      chkNoBooking.SetEnabled(true);
    } else if (m_sTyp == "K") {
      optKreditor.SetValue(true);
      optDebitor.SetEnabled(false);
      chkNoBooking.SetEnabled(false);
    } else {
      return false;  // also when no type is current
    }
    // Read before the kind options, whose handlers select the workflow.
    m_sWorkflowID = text("WorkflowID");

    m_lArt = rt::CLng(kp::FieldValue(def, "Art"));
    if (!ShowKind(m_lArt)) return false;

    const std::string status = text("Status");
    int32_t entry = -1;
    for (int32_t i = 0; i < cboStatus.ListCount() && entry < 0; ++i)
      if (cboStatus.List(i) == status) entry = i;
    if (entry < 0) {
      cboStatus.AddItem(status);
      entry = cboStatus.ListCount() - 1;
    }
    cboStatus.SetListIndex(entry);

    chkNoBooking.SetValue(rt::CBool(kp::FieldValue(def, "NoBooking")) ? ui::CheckBox::Checked
                                                                       : ui::CheckBox::Unchecked);
    txtBezeichnung.SetText(text("Bezeichnung"));
    txtDauer.SetText(rt::FormatValue(kp::FieldValue(def, "Dauer"), "0"));
    SelectByItemData(cboZahlungsperiode, rt::CLng(kp::FieldValue(def, "Zahlungsperiode")));
    cboKuendFrist.SetText(text("Kuendigungsfrist"));
    cboKuendEinh.SetText(text("KuendigungsfristEinh"));
    // The renewal column's stored values come after what was mirrored.
    txtDauer2.SetText(rt::FormatValue(kp::FieldValue(def, "Verlaengerungsdauer"), "0"));
    SelectByItemData(cboZahlungsperiode2, rt::CLng(kp::FieldValue(def, "VerlaengerungsZahlungsperiode")));
    cboKuendFrist2.SetText(text("VerlKuendigungsfrist"));
    cboKuendEinh2.SetText(text("VerlKuendigungsfristEinh"));
    cboRechnungWann.SetListIndex(rt::CInt(kp::FieldValue(def, "RechnungWann")));

    SelectAttribute(Requi(), text("ErfordertMerkmalGruppe"), text("ErfordertMerkmal"), text("ErfordertWert"));
    SelectAttribute(Put(), text("SetztMerkmalGruppe"), text("SetztMerkmal"), text("SetztWert"));

    const std::shared_ptr<host::DbTable>& rows = Need(m_tblPositionen);
    rows->MoveFirst(kFlags);
    while (!rows->Eof()) {
      ui::ListItem& item = lvwPositionen.Add(rows->Oid());
      for (const PlainColumn& c : kPlainColumns) item.SetSubItems(c.column, rt::CStr(kp::FieldValue(rows, c.field)));
      const rt::Variant quantity = kp::FieldValue(rows, "Anzahl");
      const rt::Variant price = kp::FieldValue(rows, "Nettopreis");
      item.SetSubItems(editor::Anz, rt::FormatValue(quantity, "Fixed"));
      item.SetSubItems(editor::Nettopreis, rt::FormatValue(price, "Fixed"));
      item.SetSubItems(editor::GPreis, Fixed(rt::Round2(rt::Mul(rt::CDbl(quantity), rt::CDbl(price)))));
      rows->Move(1, kFlags);
    }
    rows->MoveFirst(kFlags);

    EnableWorkflowSelection(m_sTyp == "D" && m_lArt == 1);
    return true;
  } catch (...) {
    ReportError(Source(".InitEdit"), rt::CurrentError());
    return false;
  }
}
