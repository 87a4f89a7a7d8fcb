// modAPI: a contract created without any dialog, from the contract data in
// gContractD and the article lines in gColArt that CKT::NewContractDebitor
// has just set. The contract belongs to the host's current address.
//
// CreateContractFromAPI checks the input in a fixed order and raises the
// first failure as a numbered error (source "modAPI", German description):
//
//   0x80045001  an article id is not in Artikel (also: an item that is not
//               a kt_CArticle, no collection, 32767 lines or more)
//   0x80045002  a quantity is not greater than 0
//   0x80045003  a price duration is less than 1
//   0x80045004  the kind is neither 1 nor 2
//   0x80045005  bad duration; kind 1: bad renewal duration
//   0x80045006  payment period <= 0; kind 1: renewal payment period <= 0
//   0x80045007  payment period longer than the duration (also renewal)
//   0x80045008  payment period does not divide the duration; kind 1: the
//               renewal payment period is not a standard period
//   0x80045009  discount outside 0 .. 100
//   0x8004500A  no current address
//
// Then it writes, phase by phase: the contract record with its number,
// reminders and first contract state (CreateVandVS); the priced and merged
// positions (GetNewPositions, WriteNewPositions); the contract value
// (WriteActValues); the address attribute (CreateAttribute). A phase
// re-raises its errors with the source "modAPI.<procedure>". Nothing is
// undone: records written before a failure stay written.
//
// The run state these procedures share is in api/run_state.h.
#pragma once

#include <cstdint>

namespace modAPI {

// The whole programmatic creation; traps nothing, so every error reaches
// the caller of CKT::NewContractDebitor unchanged.
void CreateContractFromAPI();

// --- Validation (validation.cpp) ---------------------------------------------------
// True when every line's sArtikelID is found in Artikel (all lines are
// looked up). Reports its own failures in a message box ("Fehler in
// modAPI.ArticlesExist") and then returns false.
bool ArticlesExist();
// True when every line's dblAnzahl is greater than 0 (NaN is not).
bool CheckArtikelAnzahl();
// True when every line's lPreisDauer is at least 1.
bool CheckPreisdauer();
// True for 1 .. 12, 24, 36, 48 and 60 months.
bool CheckFirstDuration(int32_t duration);
// True when `period` divides `duration`; raises 11 for a period of 0.
bool CheckFirstPeriods(int32_t duration, int32_t period);

// --- Run tables (driver.cpp) -------------------------------------------------------
// Opens the run tables; true, or raises with the source "modAPI.InitTables".
bool InitTables();

// --- Contract record and first state (contract.cpp) --------------------------------
// Writes the contract (its number drawn from the host's number range), its
// reminders and its first contract state; sets gEndDate and
// gVertragsnummer. True when both records were written.
bool CreateVandVS();

// --- Positions (pricing.cpp) -------------------------------------------------------
// Fills gNewPositions from the article lines: priced for `period`, reduced
// by `discount` (or the line's own), equal lines merged. False only for an
// empty collection.
bool GetNewPositions(int32_t period, double discount);
// The prices for 1, 3, 6, 12, 24, 36, 48 and 60 months of a price that
// covers `months` months, each rounded to cents. Arithmetic failures raise.
void CalculatePrices(int32_t months, double price, double& m1, double& m3, double& m6, double& m12,
                     double& m24, double& m36, double& m48, double& m60);
// Cent rounding: the add-on's one rounding rule (rt::Round2). Never raises.
double Round2(double x);
// `price` less Round2(price / 100 * pct); `price` itself when pct is 0.
double ApplyDiscount(double price, double pct);

// --- Writing (writing.cpp) ---------------------------------------------------------
// Writes gNewPositions under the current contract state and sets `value` to
// the sum of Nettopreis x Anzahl. False when the list is empty.
bool WriteNewPositions(double& value);
// Stores `value` as the state's Value and the contract's AktValue.
bool WriteActValues(double value);
// Gives the current address the attribute SetztMerkmal = SetztWert (group
// SetztMerkmalGruppe) when both are given. A duplicate the host rejects
// with 0x80041096 counts as written.
void CreateAttribute();

}  // namespace modAPI
