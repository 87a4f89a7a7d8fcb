// frmFEditDefinitions: closing. A save checks the entries and stores the
// type record and its positions (or, in new-contract mode, hands the type
// over in memory). There is no transaction: what a failing save stored
// before the failure stays stored, and the editor stays open.
#include <optional>
#include <string>
#include <vector>

#include "contract_types/editor_internal.h"
#include "contract_types/frm_fedit_definitions.h"
#include "core/addon_error.h"
#include "core/grouping.h"
#include "core/tables.h"
#include "platform/format.h"
#include "platform/number.h"
#include "platform/text.h"
#include "platform/variant.h"

using editor::KeyAt;
using editor::Source;
using kp::PutField;
using rt::Need;

namespace {

constexpr host::Flags kFlags = editor::kFlags;

// The error of a stored position that has vanished from its table.
constexpr int32_t kPositionMissing = rt::kObjectError + 0x5101;

// The fields of a position row filled from a list column, in table order,
// as WritePositions puts them (Row, Positionsnummer, Gruppierung and
// Gruppierungsposition follow).
struct ColumnField {
  const char* field;
  int32_t column;
};
constexpr ColumnField kAfterPrice[] = {
    {"Artikelnummer", editor::Artikelnummer}, {"Artikelart", editor::Artikelart},
    {"Einheit", editor::Einheit},             {"UStSatz", editor::USTSatz},
    {"Beschreibung", editor::Beschreibung},   {"Anzahl", editor::Anz},
    {"Erloeskonto", editor::Erloeskonto},     {"ArtikelID", editor::ArtikelID},
    {"PreisM1", editor::PreisM1},             {"PreisM3", editor::PreisM3},
    {"PreisM6", editor::PreisM6},             {"PreisM12", editor::PreisM12},
    {"PreisM24", editor::PreisM24},           {"PreisM36", editor::PreisM36},
    {"PreisM48", editor::PreisM48},           {"PreisM60", editor::PreisM60},
    {"Preis", editor::Preis},                 {"NettoOhneRabatt", editor::PreisOhne},
};

constexpr const char* kPriceFields[] = {"PreisM1",  "PreisM3",  "PreisM6",  "PreisM12",
                                        "PreisM24", "PreisM36", "PreisM48", "PreisM60"};

std::string FitMessage(const char* which, int32_t months) {
  return std::string("Die Zahlungsperiode ") + which + "passt nicht zur Vertragsdauer (" + std::to_string(months) +
         " Monate)";
}

constexpr const char* kNoDuration = "Für diesen Vertragstyp müssen Sie eine Vertragsdauer eingeben !";

}  // namespace

bool frmFEditDefinitions::SavedDuration(ui::TextBox& box, int32_t& months) {
  if (const std::optional<int32_t> read = editor::ParseDuration(box.Text())) {
    months = *read;
    return true;
  }
  // An open-ended type stores no durations: they become 0 below.
  if (m_lArt != 1 && m_lArt != 2) {
    months = 0;
    return true;
  }
  // A fixed term that is no number of months is refused as a missing one,
  // so that a type never ends before it begins.
  ui::MsgBox(kNoDuration, ui::mb::IconInformation);
  box.SetFocus();
  return false;
}

void frmFEditDefinitions::cmdSave_Click() {
  try {
    if (rt::Trim(txtBezeichnung.Text()).empty()) {
      ui::MsgBox("Geben Sie dem Vertragstyp bitte einen Namen !", ui::mb::IconInformation, "Bitte ändern ...");
      txtBezeichnung.SetFocus();
      return;
    }
    if (m_sTyp == "D" && lvwPositionen.Count() == 0) {
      const ui::MsgResult answer =
          ui::MsgBox("Sie haben keine Vertragspositionen eingegeben!" + std::string(rt::kCrLf) + "Haben Sie das gewollt?",
                     ui::mb::YesNo + ui::mb::IconQuestion + ui::mb::DefaultButton2, "Vertrag ohne Rechnungslegung?");
      if (answer == ui::MsgResult::No) return;
    }
    int32_t months = 0;
    if (!SavedDuration(txtDauer, months)) return;
    const int32_t period = cboZahlungsperiode.ItemData(cboZahlungsperiode.ListIndex());
    // A period of no months ("einmalig" of an open-ended type) would never
    // advance: it is refused like a period that does not fit.
    if (period <= 0 || (months != 0 && rt::Mod(months, period) != 0)) {
      ui::MsgBox(FitMessage("", months), ui::mb::IconInformation);
      cboZahlungsperiode.SetFocus();
      return;
    }
    int32_t renewalMonths = 0;
    if (!SavedDuration(txtDauer2, renewalMonths)) return;
    const int32_t renewalPeriod = cboZahlungsperiode2.ItemData(cboZahlungsperiode2.ListIndex());
    if (renewalMonths != 0 && rt::Mod(renewalMonths, renewalPeriod) != 0) {
      ui::MsgBox(FitMessage("(Folgevertrag) ", renewalMonths), ui::mb::IconInformation);
      cboZahlungsperiode2.SetFocus();
      return;
    }
    if (m_lArt == 1 || m_lArt == 2) {
      if (months == 0) {
        ui::MsgBox(kNoDuration, ui::mb::IconInformation);
        return;
      }
      if (m_lArt == 2) {
        cboKuendFrist.SetText("0");
        cboKuendFrist2.SetText("0");
      }
    } else if (m_lArt == 3) {
      txtDauer.SetText("0");
      txtDauer2.SetText("0");
      months = renewalMonths = 0;
    }

    if (m_bForNewContract) {
      if (!WriteToNewContract()) return;
    } else {
      const std::shared_ptr<host::DbTable>& def = Need(m_tblDefinitionen);
      if (m_bNew) kp::PrepareNew(def);
      PutField(def, "Status", cboStatus.Text());
      PutField(def, "NoBooking", chkNoBooking.Value() == ui::CheckBox::Checked);
      PutField(def, "Typ", m_sTyp);
      PutField(def, "Bezeichnung", txtBezeichnung.Text());
      PutField(def, "Art", m_lArt);
      PutField(def, "ArtStr", editor::ArtStrOf(m_lArt));
      PutField(def, "Dauer", months);
      PutField(def, "Verlaengerungsdauer", renewalMonths);
      PutField(def, "Kuendigungsfrist", rt::CLng(rt::Variant(cboKuendFrist.Text())));
      PutField(def, "KuendigungsfristEinh", cboKuendEinh.Text());
      PutField(def, "VerlKuendigungsfrist", rt::CLng(rt::Variant(cboKuendFrist2.Text())));
      PutField(def, "VerlKuendigungsfristEinh", cboKuendEinh2.Text());
      PutField(def, "Zahlungsperiode", cboZahlungsperiode.ItemData(cboZahlungsperiode.ListIndex()));
      PutField(def, "VerlaengerungsZahlungsperiode", cboZahlungsperiode2.ItemData(cboZahlungsperiode2.ListIndex()));
      PutField(def, "RechnungWann", static_cast<int16_t>(cboRechnungWann.ListIndex()));
      PutField(def, "WorkflowID",
               m_sTyp == "D" && m_lArt == 1 ? KeyAt(m_WorkflowIDs, cboWorkflow.ListIndex()) : std::string());
      for (const auto& [triple, prefix] : {std::pair{Requi(), "Erfordert"}, std::pair{Put(), "Setzt"}}) {
        if (triple.attribute.Text() == "<leer>") {
          PutField(def, std::string(prefix) + "MerkmalGruppe", "");
          PutField(def, std::string(prefix) + "Merkmal", "");
          PutField(def, std::string(prefix) + "Wert", "");
        } else {
          const StoredAttribute a = RuleA(triple);
          PutField(def, std::string(prefix) + "Merkmal", a.name);
          PutField(def, std::string(prefix) + "Wert", a.value);
          PutField(def, std::string(prefix) + "MerkmalGruppe", a.group);
        }
      }
      if (m_bNew) {
        def->Insert(kFlags);
        // The record is stored and current: a second save updates it.
        m_bNew = false;
      } else {
        def->Update(kFlags);
      }

      double sum = 0;
      const bool written = m_sTyp == "D" ? WritePositions(sum) : WriteDummyPosition(sum);
      if (!written) return;
      PutField(def, "NettoSumme", sum);
      def->Update(kFlags);
    }
    m_bSaved_ = true;
    Hide();
  } catch (...) {
    ReportError(Source(".cmdSave_Click"), rt::CurrentError());
  }
}

void frmFEditDefinitions::cmdCancel_Click() { Hide(); }

bool frmFEditDefinitions::WritePositions(double& sum) {
  sum = 0;
  try {
    const std::shared_ptr<host::DbTable>& rows = Need(m_tblPositionen);
    // Stored rows removed from the list go first. Each key is forgotten
    // once deleted, so that a retry after a failure does not delete again.
    if (m_colDeletedKeys) {
      rt::For16(1, m_colDeletedKeys->Count(), [&](int16_t) {
        rows->SelectOid(rt::CStr(m_colDeletedKeys->Item(1)));
        rows->Delete(0);
        m_colDeletedKeys->Remove(1);
      });
    }

    std::vector<std::string> labels;
    rt::For16(1, lvwPositionen.Count(),
              [&](int16_t i) { labels.push_back(lvwPositionen.Item(i).SubItems(editor::Gruppierung)); });
    const kp::GroupedOrder order = kp::GroupedWriteOrder(labels);

    double s = 0;
    bool vanished = false;
    rt::For16(1, lvwPositionen.Count(), [&](int16_t r) {
      if (vanished) return;
      const int32_t place = order.placeOf.at(static_cast<size_t>(r - 1));
      ui::ListItem& item = lvwPositionen.Item(place);
      const std::string key = item.Text();
      const bool isNew = key.empty();
      if (isNew) {
        kp::PrepareNew(rows);
      } else if (!rows->GotoOid(key, kFlags)) {
        ReportError(Source(".WritePositions"), rt::Error(kPositionMissing, editor::kErrSource,
                                                          "Vertragsposition " + key + " nicht gefunden"));
        vanished = true;
        return;
      }
      PutField(rows, "Artikel", item.SubItems(editor::Artikel));
      PutField(rows, "Nettopreis", item.SubItems(editor::Nettopreis));
      s = rt::Add(s, rt::CDbl(rt::Variant(item.SubItems(editor::GPreis))));
      for (const ColumnField& f : kAfterPrice) PutField(rows, f.field, item.SubItems(f.column));
      PutField(rows, "Row", rt::FormatNumber(place, "000"));
      PutField(rows, "Positionsnummer", std::to_string(r));
      PutField(rows, "Gruppierung", item.SubItems(editor::Gruppierung));
      PutField(rows, "Gruppierungsposition", order.groupAt.at(static_cast<size_t>(place - 1)));
      if (isNew) {
        rows->Insert(kFlags);
      } else {
        rows->Update(kFlags);
      }
      item.SetText(rows->Oid());
    });
    if (vanished) return false;
    sum = s;
    return true;
  } catch (...) {
    sum = 0;
    ReportError(Source(".WritePositions"), rt::CurrentError());
    return false;
  }
}

bool frmFEditDefinitions::WriteDummyPosition(double& sum) {
  try {
    // The placeholder is the type's first row, made when there is none.
    const std::shared_ptr<host::DbTable>& rows = Need(m_tblPositionen);
    rows->MoveFirst(kFlags);
    const bool isNew = rows->Eof();
    if (isNew) kp::PrepareNew(rows);
    PutField(rows, "Artikel", "Tragen Sie hier die Bezeichnung ein!");
    PutField(rows, "Nettopreis", 0.0);
    PutField(rows, "Artikelnummer", "00000000");
    PutField(rows, "Artikelart", "Verbindlichkeit");
    PutField(rows, "Einheit", "Stück");
    PutField(rows, "Beschreibung", "");
    PutField(rows, "Anzahl", 1.0);
    PutField(rows, "ArtikelID", "00000000");
    for (const char* field : kPriceFields) PutField(rows, field, 0.0);
    PutField(rows, "Preis", 0.0);
    PutField(rows, "NettoOhneRabatt", 0.0);
    PutField(rows, "Row", rt::FormatNumber(1, "000"));
    PutField(rows, "Positionsnummer", "");
    PutField(rows, "Gruppierung", "");
    PutField(rows, "Gruppierungsposition", int32_t{0});
    if (isNew) {
      rows->Insert(kFlags);
    } else {
      rows->Update(kFlags);
    }
    sum = 0;
    return true;
  } catch (...) {
    ReportError(Source(".WriteDummyPosition"), rt::CurrentError());
    return false;
  }
}
