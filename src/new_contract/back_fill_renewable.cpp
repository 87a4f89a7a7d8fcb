// The save of a renewable contract whose past periods were already
// invoiced: the contract record without its current values, then the
// states, the contract's updates and the notice reminder that
// backfill::PlanRenewable lays out, written in its order, so that a failure
// leaves exactly the records written before it.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/billing_periods.h"
#include "core/contract_reminders.h"
#include "core/discount.h"
#include "core/globals.h"
#include "core/mod_kt.h"
#include "core/tables.h"
#include "new_contract/frm_new_contract.h"
#include "new_contract/internal.h"
#include "platform/error.h"
#include "platform/format.h"
#include "platform/object.h"

using new_contract::kFlags;
using rt::Need;

namespace {

// The kind of the notice reminder of a renewable contract.
constexpr int32_t kNoticeReminder = 1;

}  // namespace

void frmNewContract::BackFillRenewable(const backfill::Terms& terms, int16_t k,
                                       const std::vector<kp::ContractPosition>& lines) {
  // L, the start of the last invoiced period, is entry k of the periods the
  // list shows. Today can only have moved on since the list was built,
  // which adds entries after k; should the sequence not reach k, nothing is
  // written.
  const rt::Date today = rt::Today();
  const kp::BillingPeriods list = kp::ListBillingPeriods(lArt, terms.start, lDauer, lZahlungsperiode,
                                                         lVerlaengerungsZahlungsperiode, today);
  if (static_cast<size_t>(k) >= list.periods.size()) rt::RaiseRuntime(rt::errc::SubscriptRange);
  const backfill::Selection selection{list.periods[static_cast<size_t>(k)].start, dLastListedStart, today};
  backfill::RenewableOptions options;
  options.firstTermOnly = save_.firstTermOnly;
  options.noticeReminder = gCreateAppointment4AllContracts;
  options.leadWeeks = gAlarmWochenKuendigung;
  options.finalTermReminder = save_.fromMemory;
  options.validToLastTerm = save_.fromMemory;
  options.datesBeforeWrites = save_.datesBeforeWrites;
  const backfill::RenewablePlan plan = backfill::PlanRenewable(terms, selection, options);

  // The current values follow by updates once the path knows the term.
  ContractRecord contract = NewContractRecord({terms.start, plan.firstTermEnd, rt::kNoDate, rt::kNoDate, std::nullopt});
  contract.VertragEnde.reset();
  contract.KuendfristDatum.reset();
  contract.AktZahlungsperiode.reset();
  contract.AktZahlungsperiodeStr.reset();
  contract.AktValue.reset();
  contract.AktNaechsteRechnung.reset();
  InsertNewContract(contract);

  const std::string user = cboVerantwortlich.Text();
  if (!DTPGeschlossenAm.Value().has_value()) kp::CreateOpenReminder(user);

  lVsCount_ = 0;
  // The discounted NettoSumme the contract shows is the entered percent's,
  // even after the first-term-only rule has dropped the discount.
  const double enteredPercent = save_.percent;
  std::vector<double> sums;  // per state written, the sum of its positions
  for (const backfill::Step& step : plan.steps) {
    if (const auto* state = std::get_if<backfill::PlannedState>(&step)) {
      WritePlannedState(*state, lines, sums);
    } else if (const auto* update = std::get_if<backfill::ContractUpdate>(&step)) {
      WriteContractUpdate(*update, sums, enteredPercent);
    } else {
      const auto& failure = std::get<backfill::Failure>(step);
      if (failure.afterCount) ++lVsCount_;
      throw failure.error;
    }
  }
  if (plan.reminder) {
    rt::Date alarm = plan.reminder->day;  // the helper moves its copy to 09:00
    modKT::CreateCancellationAlarm("", alarm, plan.reminder->due, user, kNoticeReminder);
  }

  SetAddressAttribute(plan.validFrom, plan.validTo);
}

void frmNewContract::WritePlannedState(const backfill::PlannedState& planned,
                                       const std::vector<kp::ContractPosition>& lines, std::vector<double>& sums) {
  ++lVsCount_;
  // The save's copy of the percent, never the dialog's: txtRabatt and a
  // later attempt keep the entered discount.
  if (planned.undiscounted) save_.percent = 0;

  kp::ContractState s = FirstTermState({planned.start, planned.end, rt::kNoDate, planned.nextInvoice, std::nullopt});
  s.AlteFakturierung = true;
  s.LaufTyp.emplace(planned.renewal ? "2" : "1");
  s.Zahlungsperiode = planned.zahlungsperiode;
  if (planned.renewal) s.ZahlungsperiodeStr = modKT::GetPeriodText(planned.zahlungsperiode);
  if (!planned.insertWithValue) s.Value.reset();
  kp::InsertContractState(oVertragsstaende, s);
  if (!planned.positions) return;  // the path fails right after the state

  const double sum = WritePositions(lines, planned.renewal);
  if (planned.valueFromSum) {
    kp::Put(Need(oVertragsstaende->Fields()), "Value", sum);
    oVertragsstaende->Update(kFlags);
  }
  sums.push_back(sum);
}

void frmNewContract::WriteContractUpdate(const backfill::ContractUpdate& update, const std::vector<double>& sums,
                                         double enteredPercent) {
  const std::shared_ptr<host::DbFields> fields = Need(Need(oVertraege)->Fields());
  kp::Put(fields, "KuendfristDatum", update.kuendfristDatum);
  kp::Put(fields, "VertragEnde", update.vertragEnde);
  if (update.current) {
    const backfill::ContractUpdate::Current& c = *update.current;
    double value = 0;
    switch (c.value.kind) {
      case backfill::ValueSource::kDiscountedNettoSumme:
        value = kp::ApplyDiscount(save_.type.NettoSumme, enteredPercent);
        break;
      case backfill::ValueSource::kStateSum:
        value = sums.at(static_cast<size_t>(c.value.state));
        break;
      case backfill::ValueSource::kZero:
        break;
    }
    kp::Put(fields, "AktZahlungsperiode", c.zahlungsperiode);
    kp::Put(fields, "AktZahlungsperiodeStr", modKT::GetPeriodText(c.zahlungsperiode));
    kp::Put(fields, "AktValue", value);
    kp::Put(fields, "AktNaechsteRechnung", c.nextInvoice);
    kp::Put(fields, "AktNaechsteRechnungStr", rt::FormatDate(c.nextInvoice, "yyyyMMdd"));
  }
  oVertraege->Update(kFlags);
}
