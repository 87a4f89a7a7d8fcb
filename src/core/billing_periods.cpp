#include "core/billing_periods.h"

#include "core/contract_dates.h"

namespace kp {

namespace {

constexpr int32_t kRenewable = 1;
constexpr int32_t kOneOff = 2;

rt::Date DayBefore(rt::Date d) { return rt::AddDays(d, -1); }

// Appends the periods of `step` months from `from` while they start before
// `limit`. A step below one month would never advance: nothing is listed.
void Run(std::vector<BillingPeriod>& out, rt::Date from, int32_t step, rt::Date limit) {
  if (step < 1) return;
  rt::Date s = from;
  while (s < limit) {
    const rt::Date next = rt::AddMonths(s, step);
    out.push_back({s, DayBefore(next)});
    s = next;
  }
}

}  // namespace

BillingPeriods ListBillingPeriods(int32_t kind, rt::Date start, int32_t months, int32_t period,
                                  int32_t renewalPeriod, rt::Date today) {
  BillingPeriods list;
  if (kind == kRenewable) {
    const rt::Date firstTermEnd = TermEnd(start, months);
    Run(list.periods, start, period, firstTermEnd);
    list.firstTermCount = list.periods.size();
    Run(list.periods, rt::AddDays(firstTermEnd, 1), renewalPeriod, today);
    return list;
  }
  rt::Date end;
  if (kind == kOneOff) {
    end = TermEnd(start, months);
  } else {
    // The first period starting on or after today closes the list.
    // Without a step of a month or more the search ends at once and the
    // list stays empty.
    if (period < 1) {
      end = DayBefore(start);
    } else {
      rt::Date s = start;
      while (s < today) s = rt::AddMonths(s, period);
      end = TermEnd(s, period);
    }
  }
  list.listEnd = end;
  Run(list.periods, start, period, end);
  list.firstTermCount = list.periods.size();
  return list;
}

}  // namespace kp
