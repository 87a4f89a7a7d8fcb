// Reminder appointments of a contract in kt_VertragsAktivitaeten.
#include <functional>
#include <optional>
#include <string_view>

#include "core/addon_error.h"
#include "core/globals.h"
#include "core/mod_kt.h"
#include "platform/format.h"
#include "platform/object.h"

namespace modKT {

namespace {

constexpr host::Flags kFlags = 256;
// A reminder lies at 09:00 of its day.
constexpr double kNineOClock = 0.375;

void Put(const std::shared_ptr<host::DbFields>& fields, const std::string& name, const rt::Variant& value) {
  rt::Need(fields->Item(name))->SetValue(value);
}

// The steps both reminders share. `subject` is asked after the record was
// found or prepared; no subject ends the call without writing.
void WriteAlarm(std::string_view procedure, const std::string& sAlarmOID, rt::Date& dAlarm,
                const std::string& sVerantwortlich,
                const std::function<std::optional<std::string>()>& subject) {
  try {
    auto conn = rt::Need(rt::Need(gDB)->Connection());
    std::shared_ptr<host::DbTable> contracts = conn->Table("kt_Vertraege");
    auto alarms = rt::Need(conn->Table("kt_VertragsAktivitaeten"));
    alarms->ModeA(true, kFlags);
    alarms->ModeB(true, kFlags);

    const bool create = sAlarmOID.empty();
    if (create) {
      rt::Variant values;
      alarms->NewValues(0, &values);
      alarms->SetValues(values);
    } else {
      bool found = false;
      alarms->GotoOid(sAlarmOID, kFlags, &found);
      if (!found) return;
    }

    std::optional<std::string> betreff = subject();
    if (!betreff) return;

    auto fields = rt::Need(alarms->Fields());
    Put(fields, "Typ", "Termin");
    Put(fields, "Betreff", *betreff);
    dAlarm = rt::AddDays(dAlarm, kNineOClock);
    Put(fields, "Datum", dAlarm);
    Put(fields, "Erledigt", false);
    Put(fields, "Verantwortlich", sVerantwortlich);

    if (create) {
      alarms->Insert(kFlags);
      std::string oid = alarms->Oid();
      // The contract the caller has just inserted is the current record of
      // every kt_Vertraege table object.
      auto contract = rt::Need(contracts);
      Put(rt::Need(contract->Fields()), "AlarmOID", oid);
      contract->Update(kFlags);
    } else {
      alarms->Update(kFlags);
    }
  } catch (...) {
    ShowOwnErrorBox("modKT", procedure, rt::CurrentError());
  }
}

}  // namespace

void CreateCancellationAlarm(const std::string& sAlarmOID, rt::Date& dAlarm, rt::Date dDue,
                             const std::string& sVerantwortlich, int32_t lArt) {
  WriteAlarm(".CreateCancellationAlarm", sAlarmOID, dAlarm, sVerantwortlich,
             [&]() -> std::optional<std::string> {
               switch (lArt) {
                 case 1:
                   return "Kündigungsfrist läuft am  " + rt::FormatDate(dDue, "dd.MM.yyyy") + "  aus";
                 case 2:
                   return "Vertrag läuft am  " + rt::FormatDate(dDue, "dd.MM.yyyy") + "  aus";
                 default:
                   return std::nullopt;
               }
             });
}

void CreateOpenAlarm(const std::string& sAlarmOID, rt::Date& dAlarm, const std::string& sVerantwortlich) {
  WriteAlarm(".CreateOpenAlarm", sAlarmOID, dAlarm, sVerantwortlich,
             []() -> std::optional<std::string> { return "Vertragsabschluss ist noch nicht erfolgt?"; });
}

}  // namespace modKT
