#include "new_contract/contract_record.h"

#include "core/tables.h"
#include "platform/format.h"
#include "platform/object.h"

namespace {

template <class T>
void PutIfSet(const std::shared_ptr<host::DbFields>& fields, const char* name, const std::optional<T>& value) {
  if (value) kp::Put(fields, name, *value);
}

}  // namespace

void InsertContract(const std::shared_ptr<host::DbTable>& table, const ContractRecord& c,
                    const ContractNumberFn& number) {
  using kp::Put;
  const std::shared_ptr<host::DbFields> fields = kp::PrepareNew(table);
  Put(fields, "Typ", c.Typ);
  Put(fields, "VertragBeginn", c.VertragBeginn);
  PutIfSet(fields, "VertragEnde", c.VertragEnde);
  Put(fields, "GeschlossenAm", c.GeschlossenAm);
  Put(fields, "Memo", c.Memo);
  Put(fields, "Bezeichnung", c.Bezeichnung);
  Put(fields, "Art", c.Art);
  Put(fields, "ArtStr", c.ArtStr);
  Put(fields, "Dauer", c.Dauer);
  Put(fields, "Verlaengerungsdauer", c.Verlaengerungsdauer);
  Put(fields, "Kuendigungsfrist", c.Kuendigungsfrist);
  Put(fields, "KuendigungsfristEinh", c.KuendigungsfristEinh);
  Put(fields, "KuendigungsfristBezug", c.KuendigungsfristBezug);
  Put(fields, "VerlKuendigungsfrist", c.VerlKuendigungsfrist);
  Put(fields, "VerlKuendigungsfristEinh", c.VerlKuendigungsfristEinh);
  Put(fields, "Zahlungsperiode", c.Zahlungsperiode);
  Put(fields, "VerlaengerungsZahlungsperiode", c.VerlaengerungsZahlungsperiode);
  PutIfSet(fields, "AktZahlungsperiode", c.AktZahlungsperiode);
  PutIfSet(fields, "AktZahlungsperiodeStr", c.AktZahlungsperiodeStr);
  PutIfSet(fields, "AktValue", c.AktValue);
  if (c.AktNaechsteRechnung) {
    Put(fields, "AktNaechsteRechnung", *c.AktNaechsteRechnung);
    Put(fields, "AktNaechsteRechnungStr", rt::FormatDate(*c.AktNaechsteRechnung, "yyyyMMdd"));
  }
  PutIfSet(fields, "KuendfristDatum", c.KuendfristDatum);
  Put(fields, "Verantwortlich", c.Verantwortlich);
  Put(fields, "ErfordertMerkmalGruppe", c.ErfordertMerkmalGruppe);
  Put(fields, "ErfordertMerkmal", c.ErfordertMerkmal);
  Put(fields, "ErfordertWert", c.ErfordertWert);
  Put(fields, "SetztMerkmalGruppe", c.SetztMerkmalGruppe);
  Put(fields, "SetztMerkmal", c.SetztMerkmal);
  Put(fields, "SetztWert", c.SetztWert);
  Put(fields, "VertragsDefinitionID", c.VertragsDefinitionID);
  Put(fields, "NoBooking", c.NoBooking);
  const std::shared_ptr<host::DbField> numberField = rt::Need(fields->Item("Vertragnummer"));
  numberField->SetValue(number(numberField));
  PutIfSet(fields, "VerlaengerungsWorkflowID", c.VerlaengerungsWorkflowID);
  if (c.RabattNurErsteLaufzeit) Put(fields, "RabattNurErsteLaufzeit", true);
  table->Insert(256);
}
