// The driver of the programmatic creation: the checks in their fixed order,
// the run tables, then the writing phases.
#include <string>

#include "api/internal.h"
#include "api/mod_api.h"
#include "api/run_state.h"
#include "core/globals.h"
#include "core/records.h"
#include "core/subsystems.h"
#include "core/tables.h"
#include "platform/text.h"

namespace modAPI {

namespace {

using internal::kErrSource;
using rt::Need;

// The numbered errors: the object-error base plus 0x5001 .. 0x500A.
constexpr int32_t kArticlesMissing = rt::kObjectError + 0x5001;
constexpr int32_t kBadQuantity = rt::kObjectError + 0x5002;
constexpr int32_t kBadPriceDuration = rt::kObjectError + 0x5003;
constexpr int32_t kBadKind = rt::kObjectError + 0x5004;
constexpr int32_t kBadDuration = rt::kObjectError + 0x5005;
constexpr int32_t kPeriodNotPositive = rt::kObjectError + 0x5006;
constexpr int32_t kPeriodTooLong = rt::kObjectError + 0x5007;
constexpr int32_t kPeriodMismatch = rt::kObjectError + 0x5008;
constexpr int32_t kBadDiscount = rt::kObjectError + 0x5009;
constexpr int32_t kNoAddress = rt::kObjectError + 0x500A;

[[noreturn]] void Fail(int32_t number, const std::string& line1, const std::string& line2 = {}) {
  rt::Raise(number, kErrSource, line2.empty() ? line1 : line1 + std::string(rt::kCrLf) + line2);
}

// The renewal terms a renewable contract may have.
bool IsRenewalDuration(int32_t months) {
  return months == 12 || months == 24 || months == 36 || months == 48 || months == 60;
}

// True when every line that brings its own discount keeps it within 0 to
// 100 %: above 100 a price turns negative, below 0 it grows.
bool LineDiscountsInRange() {
  bool result = true;
  internal::ForEachLine([&](const kt_CArticle& line) {
    const double own = line.dblCustomDiscount;
    if (line.bUseCustomDiscount && !(own >= 0 && own <= 100)) result = false;
  });
  return result;
}

// Hands the creation to the entry class while the library is loaded.
struct Registrar {
  Registrar() { kp::RegisterCreateContractFromApi(&CreateContractFromAPI); }
  ~Registrar() { kp::RegisterCreateContractFromApi({}); }
};
const Registrar registrar;

}  // namespace

void CreateContractFromAPI() {
  if (!ArticlesExist())
    Fail(kArticlesMissing, "Es wurden nicht alle Artikel gefunden.", "Überprüfen Sie die ArtikelIDs!");
  if (!CheckArtikelAnzahl())
    Fail(kBadQuantity, "Die Anzahl für Artikel muss > 0 sein.", "Überprüfen Sie die Artikelanzahl!");
  if (!CheckPreisdauer())
    Fail(kBadPriceDuration, "Die 'Preisdauer' für Artikel muss > 0 sein.",
         "Überprüfen Sie die 'Preisdauer'!");

  const std::shared_ptr<kt_CContractD> contract = Need(gContractD);
  const int32_t kind = contract->lVertragArt;
  if (kind != 1 && kind != 2) Fail(kBadKind, "Ungültige Vertragsart.", "Vertragsart muss 1 oder 2 sein!");

  const int32_t dauer = contract->Dauer;
  if (!CheckFirstDuration(dauer)) Fail(kBadDuration, "Ungültige Dauer.");

  const int32_t period = contract->Zahlungsperiode;
  if (period <= 0) Fail(kPeriodNotPositive, "Zahlungsperiode muss >0 sein!");
  if (period > dauer) Fail(kPeriodTooLong, "Zahlungsperiode passt nicht zur Dauer!");
  if (!CheckFirstPeriods(dauer, period)) Fail(kPeriodMismatch, "Zahlungsperiode passt nicht zur Laufzeit!");

  if (kind == 1) {
    // The renewal payment period is checked against the standard periods
    // only, not for dividing the renewal term.
    const int32_t renewal = contract->Verlaengerungsdauer;
    const int32_t renewalPeriod = contract->VerlaengerungsZahlungsperiode;
    if (!IsRenewalDuration(renewal)) Fail(kBadDuration, "Ungültige Verlängerungsdauer.");
    if (renewalPeriod <= 0) Fail(kPeriodNotPositive, "Verlängerungszahlungsperiode muss >0 sein!");
    if (renewalPeriod > renewal) Fail(kPeriodTooLong, "Verlängerungszahlungsperiode passt nicht zur Dauer!");
    if (!internal::IsStandardPeriod(renewalPeriod))
      Fail(kPeriodMismatch, "Verlängerungszahlungsperiode passt nicht zur Laufzeit!");
  }

  const double discount = contract->dblRabatt;
  if (!(discount >= 0 && discount <= 100)) Fail(kBadDiscount, "Ungültiger Wert für Rabatt!");
  if (!LineDiscountsInRange()) Fail(kBadDiscount, "Ungültiger Wert für Rabatt!");

  if (!InitTables()) return;
  if (gAdressen->Eof()) Fail(kNoAddress, "Keine Adresse ausgewählt!");

  // A phase that returns false ends the run without an error.
  if (!CreateVandVS()) return;
  if (!GetNewPositions(period, discount)) return;
  double value = 0;
  if (!WriteNewPositions(value)) return;
  if (!WriteActValues(value)) return;
  CreateAttribute();
}

bool InitTables() {
  return internal::Reraising(".InitTables", [] {
    gAdressen = kp::OpenTable("Adressen");
    gVertraege = kp::OpenTable("kt_Vertraege");
    Need(gVertraege->Indexes())->Reset(internal::kFlags);
    gVertraege->Reset();
    gStaende = kp::OpenTable("kt_Vertragsstaende");
    gStaende->Reset();
    gPositionen = kp::OpenTable("kt_Vertragspositionen");
    gArtikel = kp::OpenTable("Artikel");
    return true;
  });
}

}  // namespace modAPI
