// The records of a contract created in the dialog, from the save's type:
// the type's values, the contract, the state of its first term and the
// positions with their prices and revenue accounts.
#include <string>
#include <vector>

#include "core/contract_writing.h"
#include "core/globals.h"
#include "core/grouping.h"
#include "core/mod_kt.h"
#include "core/period_prices.h"
#include "core/tables.h"
#include "new_contract/contract_record.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/number.h"
#include "platform/object.h"

using new_contract::kFlags;
using new_contract::Long;
using new_contract::kNoFlags;
using new_contract::Number;
using new_contract::Text;
using rt::Need;

namespace {

// `lines` in the grouped write order of their Gruppierung labels, each
// numbered by its place in that order and by its group's rank.
std::vector<kp::ContractPosition> NumberedByGroup(const std::vector<kp::ContractPosition>& lines) {
  std::vector<std::string> labels;
  for (const kp::ContractPosition& p : lines) labels.push_back(p.Gruppierung.value_or(""));
  const kp::GroupedOrder order = kp::GroupedWriteOrder(labels);
  std::vector<kp::ContractPosition> numbered;
  for (size_t r = 0; r < order.placeOf.size(); ++r) {
    const size_t at = static_cast<size_t>(order.placeOf[r] - 1);
    kp::ContractPosition& p = numbered.emplace_back(lines.at(at));
    p.Positionsnummer = std::to_string(r + 1);
    p.Gruppierungsposition = order.groupAt.at(at);
  }
  return numbered;
}

}  // namespace

void frmNewContract::TakeStoredType() {
  const std::shared_ptr<host::DbTable>& type = oDefinitionen;
  TypeValues& t = save_.type;
  t.Bezeichnung = Text(type, "Bezeichnung");
  t.Art = Long(type, "Art");
  t.ArtStr = Text(type, "ArtStr");
  t.Kuendigungsfrist = Long(type, "Kuendigungsfrist");
  t.KuendigungsfristEinh = Text(type, "KuendigungsfristEinh");
  t.KuendigungsfristBezug = Text(type, "KuendigungsfristBezug");
  t.VerlKuendigungsfrist = Long(type, "VerlKuendigungsfrist");
  t.VerlKuendigungsfristEinh = Text(type, "VerlKuendigungsfristEinh");
  t.NettoSumme = Number(type, "NettoSumme");
  t.ErfordertMerkmalGruppe = Text(type, "ErfordertMerkmalGruppe");
  t.ErfordertMerkmal = Text(type, "ErfordertMerkmal");
  t.ErfordertWert = Text(type, "ErfordertWert");
  t.ID = Text(type, "ID");
  t.Dokument = kp::FieldValue(type, "Dokument");
  save_.group = Text(type, "SetztMerkmalGruppe");
  save_.attribute = Text(type, "SetztMerkmal");
  save_.value = Text(type, "SetztWert");
  save_.describedAs = lvwBezeichnung.SelectedItem().Text();
  save_.workflowId = Text(type, "WorkflowID");
}

void frmNewContract::InsertNewContract(const ContractRecord& c) {
  InsertContract(oVertraege, c, [this](const std::shared_ptr<host::DbField>& field) { return ContractNumber(field); });
}

ContractRecord frmNewContract::NewContractRecord(const ContractDates& dates) {
  const TypeValues& t = save_.type;
  ContractRecord c;
  c.Typ = sTyp;
  c.VertragBeginn = dates.start;
  c.VertragEnde = lArt == new_contract::kOpenEnded ? rt::kNoDate : dates.end;
  c.GeschlossenAm = DTPGeschlossenAm.Value().value_or(rt::kNoDate);
  c.Memo = txtMemo.Text();
  c.Bezeichnung = t.Bezeichnung;
  c.Art = t.Art;
  c.ArtStr = t.ArtStr;
  c.Dauer = lDauer;
  c.Verlaengerungsdauer = lVerlaengerungsdauer;
  c.Kuendigungsfrist = t.Kuendigungsfrist;
  c.KuendigungsfristEinh = t.KuendigungsfristEinh;
  c.KuendigungsfristBezug = t.KuendigungsfristBezug;
  c.VerlKuendigungsfrist = t.VerlKuendigungsfrist;
  c.VerlKuendigungsfristEinh = t.VerlKuendigungsfristEinh;
  c.Zahlungsperiode = lZahlungsperiode;
  c.VerlaengerungsZahlungsperiode = lVerlaengerungsZahlungsperiode;
  c.AktZahlungsperiode = lZahlungsperiode;
  c.AktZahlungsperiodeStr = modKT::GetPeriodText(lZahlungsperiode);
  c.AktValue = ApplyDiscount(t.NettoSumme);
  c.AktNaechsteRechnung = dates.nextInvoice;
  if (lArt == new_contract::kRenewable) c.KuendfristDatum = dates.notice;
  c.Verantwortlich = cboVerantwortlich.Text();
  c.ErfordertMerkmalGruppe = t.ErfordertMerkmalGruppe;
  c.ErfordertMerkmal = t.ErfordertMerkmal;
  c.ErfordertWert = t.ErfordertWert;
  c.SetztMerkmalGruppe = save_.group;
  c.SetztMerkmal = save_.attribute;
  c.SetztWert = save_.value;
  c.VertragsDefinitionID = t.ID;
  c.NoBooking = save_.noBooking;
  c.VerlaengerungsWorkflowID = save_.workflowId;
  c.RabattNurErsteLaufzeit = lArt == new_contract::kRenewable && save_.firstTermOnly;
  return c;
}

kp::ContractState frmNewContract::FirstTermState(const ContractDates& dates) {
  kp::ContractState s;
  s.LaufzeitStart = dates.start;
  s.LaufzeitEnde = lArt == new_contract::kOpenEnded ? rt::kNoDate : dates.end;
  s.Dokument = save_.type.Dokument;
  s.Zahlungsperiode = lZahlungsperiode;
  s.ZahlungsperiodeStr = modKT::GetPeriodText(lZahlungsperiode);
  s.Value = ApplyDiscount(save_.type.NettoSumme);
  s.RechnungWann = lRechnungWann;
  s.NaechsteRechnung = dates.nextInvoice;
  s.Rabattprozent = save_.percent;
  return s;
}

std::vector<kp::ContractPosition> frmNewContract::StoredTypePositions() {
  const std::shared_ptr<host::DbTable>& row = oDefinitionsPositionen;
  std::vector<kp::ContractPosition> lines;
  row->MoveFirst(kFlags);
  while (!row->Eof()) {
    kp::ContractPosition& p = lines.emplace_back();
    p.Artikel = Text(row, "Artikel");
    p.Artikelnummer = Text(row, "Artikelnummer");
    p.Artikelart = Text(row, "Artikelart");
    p.Einheit = Text(row, "Einheit");
    p.UStSatz = Number(row, "UStSatz");
    p.Beschreibung = Text(row, "Beschreibung");
    p.Anzahl = Number(row, "Anzahl");
    p.Erloeskonto = kp::FieldValue(row, "Erloeskonto");
    p.ArtikelID = Text(row, "ArtikelID");
    p.Row = Text(row, "Row");
    p.PreisM1 = Number(row, "PreisM1");
    p.PreisM3 = Number(row, "PreisM3");
    p.PreisM6 = Number(row, "PreisM6");
    p.PreisM12 = Number(row, "PreisM12");
    p.PreisM24 = Number(row, "PreisM24");
    p.PreisM36 = Number(row, "PreisM36");
    p.PreisM48 = Number(row, "PreisM48");
    p.PreisM60 = Number(row, "PreisM60");
    p.Preis = Number(row, "Preis");
    p.NettoOhneRabatt = Number(row, "NettoOhneRabatt");
    p.Positionsnummer = Text(row, "Positionsnummer");
    p.Gruppierung = Text(row, "Gruppierung");
    p.Gruppierungsposition = Long(row, "Gruppierungsposition");
    row->Move(1, kFlags);
  }
  return lines;
}

std::vector<kp::ContractPosition> frmNewContract::TypePositions() {
  return save_.fromMemory ? MemoryTypePositions() : StoredTypePositions();
}

std::vector<kp::ContractPosition> frmNewContract::NewContractPositions() {
  // The stored rows carry the numbering the editor gave them when it saved.
  if (!save_.fromMemory) return StoredTypePositions();
  return NumberedByGroup(MemoryTypePositions());
}

double frmNewContract::WritePositions(const std::vector<kp::ContractPosition>& lines, bool renewalPricing) {
  double sum = 0;
  for (const kp::ContractPosition& line : lines) {
    kp::ContractPosition p = line;
    // A period without a column (the editor offers none) at the monthly
    // price, as the programmatic creation prices it.
    if (renewalPricing) p.NettoOhneRabatt = kp::PeriodPrice(line, lVerlaengerungsZahlungsperiode);
    p.Nettopreis = ApplyDiscount(p.NettoOhneRabatt);
    p.Erloeskonto = RevenueAccount(line.ArtikelID, line.Erloeskonto);
    p.Rabattprozent = save_.percent;
    if (renewalPricing) sum = rt::Add(sum, rt::Mul(p.Anzahl, p.Nettopreis));
    kp::InsertContractPosition(oVertragspositionen, p);  // under the state just written
  }
  return sum;
}

rt::Variant frmNewContract::RevenueAccount(const std::string& articleId, const rt::Variant& ownAccount) {
  const std::shared_ptr<host::DbTable> articles = Need(save_.articles);
  articles->MoveFirst(kFlags);
  bool found = false;
  articles->Seek(articleId, kFlags, &found);
  // An article no longer there keeps the position's own account, never
  // that of whatever article the failed search left current.
  if (!found) return ownAccount;
  return Need(Need(Need(gDB)->ScriptEngine())->Evaluate("Erloeskonto()", kNoFlags))->Value(0);
}
