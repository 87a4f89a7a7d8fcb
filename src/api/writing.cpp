// The last phases: the positions, the contract value and the address
// attribute.
#include <string>

#include "api/internal.h"
#include "api/mod_api.h"
#include "api/run_state.h"
#include "core/contract_writing.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/table_access.h"
#include "platform/format.h"
#include "platform/number.h"

namespace modAPI {

using rt::Need;

bool WriteNewPositions(double& value) {
  return internal::Reraising(".WriteNewPositions", [&] {
    bool result = false;
    double sum = 0;
    rt::For16(1, static_cast<int32_t>(gNewPositions.size()), [&](int16_t row) {
      const NewPosition& p = gNewPositions[static_cast<size_t>(row - 1)];
      kp::ContractPosition record;
      record.Artikel = p.Artikel;
      record.Nettopreis = p.Nettopreis;
      record.Artikelnummer = p.Artikelnummer;
      record.Artikelart = p.Artikelart;
      record.Einheit = p.Einheit;
      record.UStSatz = p.UStSatz;
      record.Beschreibung = p.Beschreibung;
      record.Anzahl = p.Anzahl;
      record.Erloeskonto = p.Erloeskonto;
      record.ArtikelID = p.ArtikelID;
      record.Row = rt::FormatNumber(row, "000");
      record.PreisM1 = p.PreisM1;
      record.PreisM3 = p.PreisM3;
      record.PreisM6 = p.PreisM6;
      record.PreisM12 = p.PreisM12;
      record.PreisM24 = p.PreisM24;
      record.PreisM36 = p.PreisM36;
      record.PreisM48 = p.PreisM48;
      record.PreisM60 = p.PreisM60;
      record.Preis = p.Preis;
      record.NettoOhneRabatt = p.NettoOhneRabatt;
      record.Rabattprozent = p.Rabattprozent;
      record.Auftragsnummer = p.Auftragsnummer;
      record.Gruppierung = p.Gruppierung;
      kp::InsertContractPosition(gPositionen, record);  // under the current state

      // The contract value: unrounded, summed in list order.
      sum = rt::Add(sum, rt::Mul(p.Nettopreis, p.Anzahl));
      value = sum;
      result = true;
    });
    return result;
  });
}

bool WriteActValues(double value) {
  return internal::Reraising(".WriteActValues", [&] {
    const std::shared_ptr<host::DbTable> state = Need(gStaende);
    state->BeginEdit();
    kp::Put(state->Fields(), "Value", value);
    state->Update(internal::kFlags);
    const std::shared_ptr<host::DbTable> contract = Need(gVertraege);
    contract->BeginEdit();
    kp::Put(contract->Fields(), "AktValue", value);
    contract->Update(internal::kFlags);
    return true;
  });
}

void CreateAttribute() {
  internal::Reraising(".CreateAttribute", [] {
    const std::shared_ptr<kt_CContractD> c = Need(gContractD);
    const std::string group = c->SetztMerkmalGruppe;
    const std::string attribute = c->SetztMerkmal;
    const std::string value = c->SetztWert;
    if (attribute.empty() || value.empty()) return;

    const std::shared_ptr<host::DbTable> table = kp::OpenTable("Adressmerkmale");
    table->ModeA(true, internal::kFlags);
    table->ModeB(true, internal::kFlags);

    // Any failure while the record is prepared means no record at all: a
    // half-filled attribute is never inserted.
    const std::shared_ptr<host::DbFields> fields = kp::PrepareNew(table);
    if (!group.empty()) kp::Put(fields, "Gruppe", group);
    kp::Put(fields, "Merkmal", attribute);
    kp::Put(fields, "Wert", value);
    kp::Put(fields, "GültigVom", c->VertragBeginn);
    kp::Put(fields, "GültigBis", gEndDate);  // the first term's end, for every kind
    kp::Put(fields, "Beschreibung", gVertragsnummer + " / " + c->Bezeichnung);
    try {
      table->Insert(internal::kNoFlags);  // under the host's current address
    } catch (...) {
      if (rt::CurrentError().number() != kp::kAttributeExists) throw;
    }
  });
}

}  // namespace modAPI
