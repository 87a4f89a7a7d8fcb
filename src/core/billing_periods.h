// The billing periods of a contract counted from its start: the entries the
// new-contract dialog offers as "already invoiced", and the periods the
// saves of an already invoiced contract step through. Entry k of the list
// and the k-th period a save steps to are the same by construction: both
// come from ListBillingPeriods.
//
// Months are added one period at a time, each step from the previous
// period start (31.01., 29.02., 29.03., ...), never as start + k periods at
// once; a period ends the day before start + its step. A term ends at
// start + its whole length in one step, less a day.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/date.h"

namespace kp {

struct BillingPeriod {
  rt::Date start;
  rt::Date end;  // AddMonths(start, step) - 1 day
};

struct BillingPeriods {
  std::vector<BillingPeriod> periods;
  // Kind 1: the number of first-term periods; the renewal periods follow.
  // Other kinds: all of them.
  size_t firstTermCount = 0;
  // Kinds other than 1: the date the list runs up to (the contract's end
  // for kind 2, the end of the first period starting on or after today for
  // the open-ended kinds). Not set for kind 1.
  std::optional<rt::Date> listEnd;
};

// The periods of a contract of `kind` (1 renewable, 2 one-off, any other
// value open-ended) starting on `start`, with a first term of `months`
// months paid every `period` months and renewal terms paid every
// `renewalPeriod` months, as seen on `today`:
//   kind 1: the first-term periods from `start` while a period starts
//     before the first term's last day (future ones included), then the
//     renewal periods from the day after the first term while they start
//     before `today`;
//   kind 2: the periods from `start` while they start before the contract's
//     end, whatever `today` is;
//   others: the periods from `start` while they start before the end of the
//     first period starting on or after `today` (so that period is the last
//     one listed).
// A run of periods whose step is below one month lists nothing, so the list
// always ends. Pure: no host, no dialog. Date arithmetic beyond 31.12.9999
// raises 5.
BillingPeriods ListBillingPeriods(int32_t kind, rt::Date start, int32_t months, int32_t period,
                                  int32_t renewalPeriod, rt::Date today);

}  // namespace kp
