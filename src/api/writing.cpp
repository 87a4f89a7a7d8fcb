// The last phases: the positions, the contract value and the address
// attribute.
#include <string>

#include "api/internal.h"
#include "api/mod_api.h"
#include "api/run_state.h"
#include "core/contract_writing.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/tables.h"
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
      kp::CopyArticleAndPrices(p, record);
      record.Nettopreis = p.Nettopreis;
      record.Row = rt::FormatNumber(row, "000");
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
  // The host's "exists already" ends the step wherever it is raised, also
  // while the table is opened: nothing was inserted, and the caller never
  // sees it. Every other error is raised again with the step's source.
  try {
    internal::Reraising(".CreateAttribute", [] {
      const std::shared_ptr<kt_CContractD> c = Need(gContractD);
      if (c->SetztMerkmal.empty() || c->SetztWert.empty()) return;

      const std::shared_ptr<host::DbTable> table = kp::OpenTable("Adressmerkmale");
      table->ModeA(true, internal::kFlags);
      table->ModeB(true, internal::kFlags);
      kp::AddressAttribute record;
      record.Gruppe = c->SetztMerkmalGruppe;
      record.Merkmal = c->SetztMerkmal;
      record.Wert = c->SetztWert;
      record.GueltigVom = c->VertragBeginn;
      record.GueltigBis = gEndDate;  // the first term's end, for every kind
      record.Beschreibung = gVertragsnummer + " / " + c->Bezeichnung;
      kp::InsertAddressAttribute(table, record);  // under the host's current address
    });
  } catch (const rt::Error& e) {
    if (e.number() != kp::kAttributeExists) throw;
  }
}

}  // namespace modAPI
