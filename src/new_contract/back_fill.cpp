// The save of a contract whose past periods were already invoiced: the
// start every kind shares, the one-off and open-ended contracts (one state
// for the whole term) and the positions of a back-filled state.
//
// The dates come from backfill (backfill_dates.h); the records are those of
// a new contract from the stored type with the fields these paths change.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/period_prices.h"
#include "core/tables.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/error.h"
#include "platform/number.h"
#include "platform/object.h"
#include "platform/ui/service.h"

using new_contract::kFlags;
using new_contract::Long;
using new_contract::Text;

namespace {

constexpr int32_t kOneOff = 2;

}  // namespace

bool frmNewContract::BackFill() {
  const int32_t selected = lstInvoices.ListIndex();
  if (selected == -1) {
    ui::MsgBox("Wählen Sie den Zeitraum aus, der zuletzt fakturiert wurde");
    return false;
  }
  // The list position is a 16-bit count.
  if (selected > std::numeric_limits<int16_t>::max()) rt::RaiseRuntime(rt::errc::Overflow);
  const int16_t k = static_cast<int16_t>(selected);

  const backfill::Terms terms = BackFillTerms();
  // Stepping by a period below one month never ends: refused before
  // anything is written.
  if (!backfill::PeriodsAreValid(terms)) {
    ui::MsgBox("Ungültige Laufzeit oder Zahlungsperiode im Vertragstyp!", ui::mb::OkOnly + ui::mb::IconExclamation,
               new_contract::kTitle);
    return false;
  }
  switch (lArt) {
    case new_contract::kRenewable:
      BackFillRenewable(terms, k);
      return true;
    case kOneOff:
    case new_contract::kOpenEnded:
      BackFillSingleTerm(terms, k);
      return true;
    default:  // the editor stores no other kind: nothing is written, nothing shown
      return false;
  }
}

backfill::Terms frmNewContract::BackFillTerms() {
  backfill::Terms t;
  t.lArt = lArt;
  t.start = rt::CDate(DTPVertragBeginn.ValueVariant());
  t.lDauer = lDauer;
  t.lZahlungsperiode = lZahlungsperiode;
  t.lVerlaengerungsdauer = lVerlaengerungsdauer;
  t.lVerlaengerungsZahlungsperiode = lVerlaengerungsZahlungsperiode;
  t.lRechnungWann = lRechnungWann;
  t.notice = {Long(oDefinitionen, "Kuendigungsfrist"), Text(oDefinitionen, "KuendigungsfristEinh")};
  t.renewalNotice = {Long(oDefinitionen, "VerlKuendigungsfrist"), Text(oDefinitionen, "VerlKuendigungsfristEinh")};
  return t;
}

void frmNewContract::BackFillSingleTerm(const backfill::Terms& terms, int16_t k) {
  const bool oneOff = lArt == kOneOff;
  if (oneOff) lVsCount_ = 1;
  const backfill::SingleTermPlan plan = oneOff ? backfill::PlanOneOff(terms, k) : backfill::PlanOpenEnded(terms, k);
  const ContractDates dates{terms.start, plan.end, rt::kNoDate, plan.nextInvoice};

  ContractRecord contract = StoredContract(dates);
  contract.VerlaengerungsWorkflowID.reset();  // not renewed: the host's value stays
  InsertStoredContract(contract);
  CreateReminders(dates);

  kp::ContractState state = StoredState(dates);
  state.AlteFakturierung = true;
  lVsCount_ = 1;
  kp::InsertContractState(oVertragsstaende, state);
  WriteBackFilledPositions(false);

  SetAddressAttribute(terms.start, plan.end, lvwBezeichnung.SelectedItem().Text());
}

double frmNewContract::WriteBackFilledPositions(bool renewalPricing) {
  const std::shared_ptr<host::DbTable>& row = oDefinitionsPositionen;
  double sum = 0;
  row->MoveFirst(kFlags);
  while (!row->Eof()) {
    kp::ContractPosition p = StoredPosition();
    // A back-filled state's positions are not grouped.
    p.Positionsnummer.reset();
    p.Gruppierung.reset();
    p.Gruppierungsposition.reset();
    if (renewalPricing) {
      // A period without a column (the editor offers none) at the monthly
      // price, as the programmatic creation prices it.
      p.NettoOhneRabatt = kp::PeriodPrice(p, lVerlaengerungsZahlungsperiode);
      p.Nettopreis = ApplyDiscount(p.NettoOhneRabatt);
      sum = rt::Add(sum, rt::Mul(p.Anzahl, p.Nettopreis));
    }
    kp::InsertContractPosition(oVertragspositionen, p);  // under the state just written
    row->Move(1, kFlags);
  }
  return sum;
}
