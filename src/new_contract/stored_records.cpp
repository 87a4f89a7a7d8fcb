// The records of a new contract from the selected stored contract type:
// the contract, its state and its positions.
#include <string>

#include "core/contract_writing.h"
#include "core/globals.h"
#include "core/mod_kt.h"
#include "core/tables.h"
#include "new_contract/contract_record.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/object.h"

using new_contract::kFlags;
using new_contract::Long;
using new_contract::kNoFlags;
using new_contract::Number;
using new_contract::Text;
using rt::Need;

void frmNewContract::WriteStoredContract(const ContractDates& dates) { InsertStoredContract(StoredContract(dates)); }

void frmNewContract::InsertStoredContract(const ContractRecord& c) {
  InsertContract(oVertraege, c, [this](const std::shared_ptr<host::DbField>& field) { return ContractNumber(field); });
}

ContractRecord frmNewContract::StoredContract(const ContractDates& dates) {
  const std::shared_ptr<host::DbTable>& type = oDefinitionen;
  ContractRecord c;
  c.Typ = sTyp;
  c.VertragBeginn = dates.start;
  c.VertragEnde = lArt == new_contract::kOpenEnded ? rt::kNoDate : dates.end;
  c.GeschlossenAm = DTPGeschlossenAm.Value().value_or(rt::kNoDate);
  c.Memo = txtMemo.Text();
  c.Bezeichnung = Text(type, "Bezeichnung");
  c.Art = Long(type, "Art");
  c.ArtStr = Text(type, "ArtStr");
  c.Dauer = lDauer;
  c.Verlaengerungsdauer = lVerlaengerungsdauer;
  c.Kuendigungsfrist = Long(type, "Kuendigungsfrist");
  c.KuendigungsfristEinh = Text(type, "KuendigungsfristEinh");
  c.KuendigungsfristBezug = Text(type, "KuendigungsfristBezug");
  c.VerlKuendigungsfrist = Long(type, "VerlKuendigungsfrist");
  c.VerlKuendigungsfristEinh = Text(type, "VerlKuendigungsfristEinh");
  c.Zahlungsperiode = lZahlungsperiode;
  c.VerlaengerungsZahlungsperiode = lVerlaengerungsZahlungsperiode;
  c.AktZahlungsperiode = lZahlungsperiode;
  c.AktZahlungsperiodeStr = modKT::GetPeriodText(Long(type, "Zahlungsperiode"));
  c.AktValue = ApplyDiscount(Number(type, "NettoSumme"));
  c.AktNaechsteRechnung = dates.nextInvoice;
  if (lArt == new_contract::kRenewable) c.KuendfristDatum = dates.notice;
  c.Verantwortlich = cboVerantwortlich.Text();
  c.ErfordertMerkmalGruppe = Text(type, "ErfordertMerkmalGruppe");
  c.ErfordertMerkmal = Text(type, "ErfordertMerkmal");
  c.ErfordertWert = Text(type, "ErfordertWert");
  c.SetztMerkmalGruppe = Text(type, "SetztMerkmalGruppe");
  c.SetztMerkmal = Text(type, "SetztMerkmal");
  c.SetztWert = Text(type, "SetztWert");
  c.VertragsDefinitionID = Text(type, "ID");
  c.NoBooking = save_.noBooking;
  c.VerlaengerungsWorkflowID = save_.workflowId;
  c.RabattNurErsteLaufzeit = lArt == new_contract::kRenewable && save_.firstTermOnly;
  return c;
}

void frmNewContract::WriteStoredState(const ContractDates& dates) {
  kp::InsertContractState(oVertragsstaende, StoredState(dates));
}

kp::ContractState frmNewContract::StoredState(const ContractDates& dates) {
  kp::ContractState s;
  s.LaufzeitStart = dates.start;
  s.LaufzeitEnde = lArt == new_contract::kOpenEnded ? rt::kNoDate : dates.end;
  s.Dokument = kp::FieldValue(oDefinitionen, "Dokument");
  s.Zahlungsperiode = lZahlungsperiode;
  s.ZahlungsperiodeStr = modKT::GetPeriodText(Long(oDefinitionen, "Zahlungsperiode"));
  s.Value = ApplyDiscount(Number(oDefinitionen, "NettoSumme"));
  s.RechnungWann = lRechnungWann;
  s.NaechsteRechnung = dates.nextInvoice;
  s.Rabattprozent = save_.percent;
  return s;
}

void frmNewContract::WriteStoredPositions() {
  const std::shared_ptr<host::DbTable>& row = oDefinitionsPositionen;
  row->MoveFirst(kFlags);
  while (!row->Eof()) {
    kp::InsertContractPosition(oVertragspositionen, StoredPosition());  // under the state just written
    row->Move(1, kFlags);
  }
}

kp::ContractPosition frmNewContract::StoredPosition() {
  const std::shared_ptr<host::DbTable>& row = oDefinitionsPositionen;
  kp::ContractPosition p;
  p.Artikel = Text(row, "Artikel");
  p.Nettopreis = ApplyDiscount(Number(row, "NettoOhneRabatt"));
  p.Artikelnummer = Text(row, "Artikelnummer");
  p.Artikelart = Text(row, "Artikelart");
  p.Einheit = Text(row, "Einheit");
  p.UStSatz = Number(row, "UStSatz");
  p.Beschreibung = Text(row, "Beschreibung");
  p.Anzahl = Number(row, "Anzahl");
  p.Erloeskonto = RevenueAccount(Text(row, "ArtikelID"), kp::FieldValue(row, "Erloeskonto"));
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
  p.Rabattprozent = save_.percent;
  p.Positionsnummer = Text(row, "Positionsnummer");
  p.Gruppierung = Text(row, "Gruppierung");
  p.Gruppierungsposition = Long(row, "Gruppierungsposition");
  return p;
}

rt::Variant frmNewContract::RevenueAccount(const std::string& articleId, const rt::Variant& storedAccount) {
  const std::shared_ptr<host::DbTable> articles = Need(save_.articles);
  articles->MoveFirst(kFlags);
  bool found = false;
  articles->Seek(articleId, kFlags, &found);
  // An article no longer there keeps the account stored with the type,
  // never that of whatever article the failed search left current.
  if (!found) return storedAccount;
  return Need(Need(Need(gDB)->ScriptEngine())->Evaluate("Erloeskonto()", kNoFlags))->Value(0);
}
