// The last phases: the positions, the contract value and the address
// attribute.
#include <string>

#include "api/internal.h"
#include "api/mod_api.h"
#include "api/run_state.h"
#include "core/globals.h"
#include "core/records.h"
#include "platform/format.h"
#include "platform/number.h"

namespace modAPI {

namespace {

using internal::Put;
using rt::Need;

// The host's status for an attribute the address has already: counts as
// written.
constexpr int32_t kAttributeExists = static_cast<int32_t>(0x80041096u);

}  // namespace

bool WriteNewPositions(double& value) {
  return internal::Reraising(".WriteNewPositions", [&] {
    bool result = false;
    double sum = 0;
    rt::For16(1, static_cast<int32_t>(gNewPositions.size()), [&](int16_t row) {
      const NewPosition& p = gNewPositions[static_cast<size_t>(row - 1)];
      const std::shared_ptr<host::DbFields> fields = internal::PrepareNew(gPositionen);
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
      Put(fields, "Row", rt::FormatNumber(row, "000"));
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
      Put(fields, "Auftragsnummer", p.Auftragsnummer);
      Put(fields, "Gruppierung", p.Gruppierung);
      gPositionen->Insert(internal::kFlags);  // under the current state

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
    Put(state->Fields(), "Value", value);
    state->Update(internal::kFlags);
    const std::shared_ptr<host::DbTable> contract = Need(gVertraege);
    contract->BeginEdit();
    Put(contract->Fields(), "AktValue", value);
    contract->Update(internal::kFlags);
    return true;
  });
}

namespace {
void WriteAttribute();
}  // namespace

void CreateAttribute() {
  // The host's "exists already" ends the step wherever it is raised:
  // nothing was inserted, and the caller never sees it.
  try {
    WriteAttribute();
  } catch (const rt::Error& e) {
    if (e.number() != kAttributeExists) throw;
  }
}

namespace {

// The attribute written directly into Adressmerkmale; errors raised again
// with the source "modAPI.CreateAttribute".
void WriteAttribute() {
  internal::Reraising(".CreateAttribute", [] {
    const std::shared_ptr<kt_CContractD> c = Need(gContractD);
    const std::string group = c->SetztMerkmalGruppe;
    const std::string attribute = c->SetztMerkmal;
    const std::string value = c->SetztWert;
    if (attribute.empty() || value.empty()) return;

    const std::shared_ptr<host::DbTable> table = internal::OpenTable("Adressmerkmale");
    table->ModeA(true, internal::kFlags);
    table->ModeB(true, internal::kFlags);

    // Any failure while the record is prepared means no record at all: a
    // half-filled attribute is never inserted.
    const std::shared_ptr<host::DbFields> fields = internal::PrepareNew(table);
    if (!group.empty()) Put(fields, "Gruppe", group);
    Put(fields, "Merkmal", attribute);
    Put(fields, "Wert", value);
    Put(fields, "GültigVom", c->VertragBeginn);
    Put(fields, "GültigBis", gEndDate);  // the first term's end, for every kind
    Put(fields, "Beschreibung", gVertragsnummer + " / " + c->Bezeichnung);
    table->Insert(internal::kNoFlags);  // under the host's current address
  });
}

}  // namespace

}  // namespace modAPI
