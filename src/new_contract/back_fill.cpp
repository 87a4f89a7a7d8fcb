// The save of a contract whose past periods were already invoiced: the
// start every kind shares, and the one-off and open-ended contracts (one
// state for the whole term).
//
// The dates come from backfill (backfill_dates.h); the records are those of
// a new contract from the save's type with the fields these paths change,
// and the positions are the type's in their order, without grouping.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "core/contract_writing.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/error.h"
#include "platform/ui/service.h"

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
  // The editor stores no other kind: nothing is written, nothing shown.
  if (lArt != new_contract::kRenewable && lArt != kOneOff && lArt != new_contract::kOpenEnded) return false;

  // Read before the first write, so that a failing read writes nothing. A
  // back-filled state's positions are not grouped.
  std::vector<kp::ContractPosition> lines = TypePositions();
  for (kp::ContractPosition& p : lines) {
    p.Positionsnummer.reset();
    p.Gruppierung.reset();
    p.Gruppierungsposition.reset();
  }
  if (lArt == new_contract::kRenewable) {
    BackFillRenewable(terms, k, lines);
  } else {
    BackFillSingleTerm(terms, k, lines);
  }
  return true;
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
  t.notice = {save_.type.Kuendigungsfrist, save_.type.KuendigungsfristEinh};
  t.renewalNotice = {save_.type.VerlKuendigungsfrist, save_.type.VerlKuendigungsfristEinh};
  return t;
}

void frmNewContract::BackFillSingleTerm(const backfill::Terms& terms, int16_t k,
                                        const std::vector<kp::ContractPosition>& lines) {
  const bool oneOff = lArt == kOneOff;
  if (oneOff) lVsCount_ = 1;
  const backfill::SingleTermPlan plan = oneOff ? backfill::PlanOneOff(terms, k) : backfill::PlanOpenEnded(terms, k);
  ContractDates dates{terms.start, plan.end, rt::kNoDate, plan.nextInvoice, std::nullopt};
  ReminderDayBeforeWrites(dates);

  ContractRecord contract = NewContractRecord(dates);
  contract.VerlaengerungsWorkflowID.reset();  // not renewed: the host's value stays
  InsertNewContract(contract);
  CreateReminders(dates);

  kp::ContractState state = FirstTermState(dates);
  state.AlteFakturierung = true;
  lVsCount_ = 1;
  kp::InsertContractState(oVertragsstaende, state);
  WritePositions(lines, false);

  SetAddressAttribute(terms.start, plan.end);
}
