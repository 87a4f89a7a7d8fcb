// The kt_Vertraege record of a contract created in the new-contract dialog,
// whichever save writes it: from the stored type, after already invoiced
// periods, or from a type adjusted in memory. The saves fill the plain
// record from their own sources and write it through InsertContract, so the
// fields and their order are the same on every path.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/table.h"
#include "platform/date.h"

struct ContractRecord {
  std::string Typ;
  rt::Date VertragBeginn;
  // Date 0 for an open-ended contract; unset on the paths that write the end
  // later by an update.
  std::optional<rt::Date> VertragEnde;
  rt::Date GeschlossenAm;  // date 0: not concluded
  std::string Memo;
  std::string Bezeichnung;
  int32_t Art = 0;
  std::string ArtStr;
  int32_t Dauer = 0;
  int32_t Verlaengerungsdauer = 0;
  int32_t Kuendigungsfrist = 0;
  std::string KuendigungsfristEinh;
  std::string KuendigungsfristBezug;
  int32_t VerlKuendigungsfrist = 0;
  std::string VerlKuendigungsfristEinh;
  int32_t Zahlungsperiode = 0;
  int32_t VerlaengerungsZahlungsperiode = 0;
  std::optional<int32_t> AktZahlungsperiode;
  std::optional<std::string> AktZahlungsperiodeStr;
  std::optional<double> AktValue;
  std::optional<rt::Date> AktNaechsteRechnung;  // written with its text
  std::optional<rt::Date> KuendfristDatum;
  std::string Verantwortlich;
  std::string ErfordertMerkmalGruppe;
  std::string ErfordertMerkmal;
  std::string ErfordertWert;
  std::string SetztMerkmalGruppe;
  std::string SetztMerkmal;
  std::string SetztWert;
  std::string VertragsDefinitionID;
  bool NoBooking = false;
  // Unset on the paths of an already invoiced one-off or open-ended
  // contract, which keep the host's value for a new record.
  std::optional<std::string> VerlaengerungsWorkflowID;
  bool RabattNurErsteLaufzeit = false;  // written, as true, only when set
};

// Gives the Vertragnummer to write for the prepared record's field.
using ContractNumberFn = std::function<std::string(const std::shared_ptr<host::DbField>& field)>;

// Prepares a new record on `table` (NewValues 0, SetValues), puts Typ,
// VertragBeginn, VertragEnde?, GeschlossenAm, Memo, Bezeichnung, Art, ArtStr,
// Dauer, Verlaengerungsdauer, Kuendigungsfrist, KuendigungsfristEinh,
// KuendigungsfristBezug, VerlKuendigungsfrist, VerlKuendigungsfristEinh,
// Zahlungsperiode, VerlaengerungsZahlungsperiode, AktZahlungsperiode?,
// AktZahlungsperiodeStr?, AktValue?, AktNaechsteRechnung? with
// AktNaechsteRechnungStr ("yyyyMMdd"), KuendfristDatum?, Verantwortlich, the
// six attribute fields, VertragsDefinitionID, NoBooking, Vertragnummer (from
// `number`, asked while the record is pending, so a number drawn there is
// used up even when the insert fails), VerlaengerungsWorkflowID? and
// RabattNurErsteLaufzeit (only when set), then inserts it with 256 under the
// host's current address. The contract stays the current record of `table`.
// Nothing is trapped.
void InsertContract(const std::shared_ptr<host::DbTable>& table, const ContractRecord& c,
                    const ContractNumberFn& number);
