#include "core/contract_writing.h"

#include "core/tables.h"
#include "platform/error.h"
#include "platform/format.h"

namespace kp {

namespace {

constexpr host::Flags kFlags = 256;

std::string DateKey(rt::Date d) { return rt::FormatDate(d, "yyyyMMdd"); }

template <class T>
void PutIfSet(const std::shared_ptr<host::DbFields>& fields, const char* name, const std::optional<T>& value) {
  if (value) Put(fields, name, *value);
}

}  // namespace

void InsertContractState(const std::shared_ptr<host::DbTable>& table, const ContractState& s) {
  const std::shared_ptr<host::DbFields> fields = PrepareNew(table);
  PutIfSet(fields, "AlteFakturierung", s.AlteFakturierung);
  PutIfSet(fields, "LaufTyp", s.LaufTyp);
  Put(fields, "LaufzeitStart", s.LaufzeitStart);
  Put(fields, "LaufzeitStartStr", DateKey(s.LaufzeitStart));
  Put(fields, "LaufzeitEnde", s.LaufzeitEnde);
  Put(fields, "LaufzeitEndeStr", DateKey(s.LaufzeitEnde));
  if (s.Dokument.IsObject() && !s.Dokument.IsNothing()) Put(fields, "Dokument", s.Dokument);
  Put(fields, "Zahlungsperiode", s.Zahlungsperiode);
  Put(fields, "ZahlungsperiodeStr", s.ZahlungsperiodeStr);
  PutIfSet(fields, "Value", s.Value);
  Put(fields, "RechnungWann", s.RechnungWann);
  Put(fields, "NaechsteRechnung", s.NaechsteRechnung);
  Put(fields, "NaechsteRechnungStr", DateKey(s.NaechsteRechnung));
  Put(fields, "Rabattprozent", s.Rabattprozent);
  table->Insert(kFlags);
}

void InsertContractPosition(const std::shared_ptr<host::DbTable>& table, const ContractPosition& p) {
  const std::shared_ptr<host::DbFields> fields = PrepareNew(table);
  Put(fields, "Artikel", p.Artikel);
  Put(fields, "Nettopreis", p.Nettopreis);
  Put(fields, "Artikelnummer", p.Artikelnummer);
  Put(fields, "Artikelart", p.Artikelart);
  Put(fields, "Einheit", p.Einheit);
  Put(fields, "UStSatz", p.UStSatz);
  Put(fields, "Beschreibung", p.Beschreibung);
  Put(fields, "Anzahl", p.Anzahl);
  Put(fields, "Erloeskonto", p.Erloeskonto);
  Put(fields, "ArtikelID", p.ArtikelID);
  Put(fields, "Row", p.Row);
  Put(fields, "PreisM1", p.PreisM1);
  Put(fields, "PreisM3", p.PreisM3);
  Put(fields, "PreisM6", p.PreisM6);
  Put(fields, "PreisM12", p.PreisM12);
  Put(fields, "PreisM24", p.PreisM24);
  Put(fields, "PreisM36", p.PreisM36);
  Put(fields, "PreisM48", p.PreisM48);
  Put(fields, "PreisM60", p.PreisM60);
  Put(fields, "Preis", p.Preis);
  Put(fields, "NettoOhneRabatt", p.NettoOhneRabatt);
  Put(fields, "Rabattprozent", p.Rabattprozent);
  PutIfSet(fields, "Positionsnummer", p.Positionsnummer);
  PutIfSet(fields, "Auftragsnummer", p.Auftragsnummer);
  PutIfSet(fields, "Gruppierung", p.Gruppierung);
  PutIfSet(fields, "Gruppierungsposition", p.Gruppierungsposition);
  table->Insert(kFlags);
}

void InsertAddressAttribute(const std::shared_ptr<host::DbTable>& table, const AddressAttribute& a) {
  try {
    const std::shared_ptr<host::DbFields> fields = PrepareNew(table);
    if (!a.Gruppe.empty()) Put(fields, "Gruppe", a.Gruppe);
    Put(fields, "Merkmal", a.Merkmal);
    Put(fields, "Wert", a.Wert);
    Put(fields, "GültigVom", a.GueltigVom);
    Put(fields, "GültigBis", a.GueltigBis);
    Put(fields, "Beschreibung", a.Beschreibung);
    table->Insert(0);  // under the host's current address
  } catch (...) {
    if (rt::CurrentError().number() != kAttributeExists) throw;
  }
}

}  // namespace kp
