// modKT: contract helpers shared by the editor, the new-contract dialog and
// the programmatic creation. All of them work on the process-wide gDB.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/table.h"
#include "platform/date.h"

namespace modKT {

// --- Period names (mod_kt_periods.cpp) -------------------------------------------
// The German name of a payment period of `months` months: "monatlich" (1),
// "vierteljährlich" (3), "halbjährlich" (6), "jährlich" (12),
// "zweijährlich" (24), "dreijährlich" (36), "vierjährlich" (48),
// "fünfjährlich" (60), "einmalig" (2, 4, 5, 7 .. 11); "" for any other count.
std::string GetPeriodText(int32_t months);

// --- Reminder appointments (mod_kt_alarms.cpp) -----------------------------------
// Writes a reminder appointment into kt_VertragsAktivitaeten: Typ "Termin",
// the subject, Datum = dAlarm + 0.375 (09:00 when dAlarm is a whole date;
// the caller's dAlarm receives that value too), Erledigt false and
// Verantwortlich.
//
// With an empty sAlarmOID a new appointment is inserted under the current
// contract, and its id is put into AlarmOID of the record current in
// kt_Vertraege (the contract the caller has just inserted), which is then
// updated. With an id, that appointment is overwritten and kt_Vertraege is
// not touched; an id that no longer exists ends the call silently.
//
// The subject of a cancellation alarm is "Kündigungsfrist läuft am  <dDue>  aus"
// for lArt 1 and "Vertrag läuft am  <dDue>  aus" for lArt 2 (dDue as
// dd.MM.yyyy); any other kind ends the call without writing.
//
// Errors are shown in the add-on's own message box ("... in modKT.<name>")
// and the call returns normally; what was written before stays written.
void CreateCancellationAlarm(const std::string& sAlarmOID, rt::Date& dAlarm, rt::Date dDue,
                             const std::string& sVerantwortlich, int32_t lArt);
// The same with the subject "Vertragsabschluss ist noch nicht erfolgt?".
void CreateOpenAlarm(const std::string& sAlarmOID, rt::Date& dAlarm, const std::string& sVerantwortlich);

// --- Persistent variables (mod_kt_persist_vars.cpp) ------------------------------
// The value, as text, of the first persistent variable whose name equals the
// first 30 characters of `name` exactly (letter case counts); `defaultValue`
// when there is none. Never stores anything. Errors are reported through
// the error reporter (source "modKT.ReadPersistVarSetting"); the result is
// then "" (or the value found before the error).
//
// Not CConfig::ReadPersistVarSetting, which matches without regard to case
// and stores a missing default.
std::string ReadPersistVarSetting(const std::string& name, const std::string& defaultValue);
// Called with the cut name and the default when a variable is missing and
// the default is not empty. Does nothing.
void PersistVarDefaultHook(const std::string& name, const std::string& defaultValue);

// --- Contract numbers (mod_kt_numbers.cpp) ---------------------------------------
// Draws the next number for `field` from the host's number ranges
// (KMMD_Nummern, index "Tabelle_Feld", key UCase(table) & UCase(field), one
// row per tenant) and stores it at once: the stored counter plus 1, at
// least eight digits with leading zeros. A missing row is created first.
// The result is the counter's last field->Size() characters (all of them
// when the size is 0 or less). No trap: failures reach the caller.
std::string GetNextNumber(const std::shared_ptr<host::DbField>& field);

// Adds the number-range row (Tabelle, Feld, Nummer "00000000") for the
// current tenant to `tbl` (the open KMMD_Nummern), leaves it current and
// selects the index that was current before again. KelName is filled by the
// host. When the tenant is missing from KMMD_Mandanten, raises 0x80040002
// "Mandant <tenant> fehlt in Mandantentabelle!" and adds nothing.
void CreateNumberEntry(const std::shared_ptr<host::DbTable>& tbl, const std::string& tblName,
                       const std::string& fldName);

}  // namespace modKT
