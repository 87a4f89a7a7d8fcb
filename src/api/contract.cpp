// The first writing phase: the contract record with its number, its
// reminders and its first contract state.
#include <string>

#include "api/internal.h"
#include "api/mod_api.h"
#include "api/run_state.h"
#include "core/contract_dates.h"
#include "core/contract_reminders.h"
#include "core/contract_writing.h"
#include "core/globals.h"
#include "core/mod_kt.h"
#include "core/records.h"
#include "core/tables.h"
#include "platform/date.h"
#include "platform/format.h"

namespace modAPI {

namespace {

using kp::Put;
using rt::Need;

constexpr int32_t kRenewable = 1;
constexpr int32_t kOneOff = 2;
std::string DateKey(rt::Date d) { return rt::FormatDate(d, "yyyyMMdd"); }

// A lead time in weeks from the host's persistent variable; a text that
// is not a number raises 13 (type mismatch).
int32_t LeadWeeks(const std::string& name, const std::string& defaultValue) {
  return rt::CLng(rt::Variant(modKT::ReadPersistVarSetting(name, defaultValue)));
}

// Puts the contract's terms into its prepared record, up to the notice
// deadline. False for a kind other than 1 or 2, once the kind is put.
bool PutTerms(const std::shared_ptr<host::DbFields>& fields, const kt_CContractD& c, rt::Date deadline) {
  const int32_t kind = c.lVertragArt;
  Put(fields, "Typ", "D");
  Put(fields, "VertragBeginn", c.VertragBeginn);
  Put(fields, "VertragEnde", gEndDate);
  Put(fields, "GeschlossenAm", c.VertragGeschlossenAm);
  Put(fields, "Memo", c.Memo);
  Put(fields, "RabattNurErsteLaufzeit", c.RabattNurErsteLaufzeit);
  Put(fields, "Bezeichnung", c.Bezeichnung);
  Put(fields, "Auftragsnummer", c.Auftragsnummer);
  Put(fields, "Art", kind);
  if (kind == kRenewable) {
    Put(fields, "ArtStr", "verlängerbar");
  } else if (kind == kOneOff) {
    Put(fields, "ArtStr", "einmalig");
  } else {
    return false;
  }
  Put(fields, "Dauer", c.Dauer);
  if (kind == kRenewable) {
    Put(fields, "Verlaengerungsdauer", c.Verlaengerungsdauer);
    Put(fields, "Kuendigungsfrist", c.KuendFristInWochen);
    Put(fields, "KuendigungsfristEinh", "Wochen");
    Put(fields, "VerlKuendigungsfrist", c.KuendFristInWochen);
    Put(fields, "VerlKuendigungsfristEinh", "Wochen");
  }
  Put(fields, "Zahlungsperiode", c.Zahlungsperiode);
  if (kind == kRenewable) Put(fields, "VerlaengerungsZahlungsperiode", c.VerlaengerungsZahlungsperiode);
  Put(fields, "AktZahlungsperiode", c.Zahlungsperiode);
  Put(fields, "AktZahlungsperiodeStr", modKT::GetPeriodText(c.Zahlungsperiode));
  Put(fields, "AktNaechsteRechnung", c.VertragBeginn);
  Put(fields, "AktNaechsteRechnungStr", DateKey(c.VertragBeginn));
  if (kind == kRenewable) Put(fields, "KuendfristDatum", deadline);
  return true;
}

// The contract state of the first term, under the contract just inserted;
// it stays the current state for the value written later.
void WriteFirstState(const kt_CContractD& c) {
  kp::ContractState state;
  state.LaufzeitStart = c.VertragBeginn;
  state.LaufzeitEnde = gEndDate;
  state.Zahlungsperiode = c.Zahlungsperiode;
  state.ZahlungsperiodeStr = modKT::GetPeriodText(c.Zahlungsperiode);
  state.RechnungWann = 0;  // in advance
  state.NaechsteRechnung = c.VertragBeginn;
  state.Rabattprozent = c.dblRabatt;
  kp::InsertContractState(gStaende, state);
}

}  // namespace

bool CreateVandVS() {
  return internal::Reraising(".CreateVandVS", [] {
    const std::shared_ptr<kt_CContractD> contract = Need(gContractD);
    const kt_CContractD& c = *contract;

    gEndDate = kp::TermEnd(c.VertragBeginn, c.Dauer);
    const rt::Date deadline = kp::NoticeDate(gEndDate, c.KuendFristInWochen, "Wochen");

    const std::shared_ptr<host::DbFields> fields = kp::PrepareNew(gVertraege);
    if (!PutTerms(fields, c, deadline)) return false;

    // Read before the number is drawn: a bad lead time costs no number.
    const int32_t leadWeeks = c.lVertragArt == kRenewable ? LeadWeeks("kt_AlarmWochenKuendigung", "6")
                                                          : LeadWeeks("kt_AlarmWochenEnde", "4");

    const std::string user = Need(Need(Need(gDB)->Users())->CurrentUser())->Name();
    Put(fields, "Verantwortlich", user);
    Put(fields, "NoBooking", false);
    // The number is used up once drawn, even when the insert fails.
    const std::shared_ptr<host::DbField> number = Need(fields->Item("Vertragnummer"));
    gVertragsnummer = modKT::GetNextNumber(number);
    number->SetValue(gVertragsnummer);
    gVertraege->Insert(internal::kFlags);

    // The helpers find the contract just inserted as the current
    // kt_Vertraege record; one lead time serves whichever kind it is.
    kp::CreateNewContractReminders(c.lVertragArt, deadline, gEndDate, leadWeeks, leadWeeks,
                                   c.VertragGeschlossenAm.serial != 0, user);
    WriteFirstState(c);
    return true;
  });
}

}  // namespace modAPI
