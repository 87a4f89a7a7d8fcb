#include "core/contract_dates.h"

#include <limits>

#include "platform/error.h"

namespace kp {

namespace {

constexpr double kDaysPerWeek = 7;

}  // namespace

rt::Date TermEnd(rt::Date start, int32_t months) { return rt::AddDays(rt::AddMonths(start, months), -1); }

rt::Date WeeksBefore(rt::Date d, int32_t weeks) { return rt::AddDays(d, -kDaysPerWeek * weeks); }

rt::Date NoticeDate(rt::Date end, int32_t count, const std::string& unit) {
  const rt::Date afterEnd = rt::AddDays(end, 1);
  if (unit == "Wochen") return WeeksBefore(afterEnd, count);
  // The one count without a negative overflows, as the calendar's own
  // month step would.
  if (count == std::numeric_limits<int32_t>::min()) rt::RaiseRuntime(rt::errc::Overflow);
  return rt::AddMonths(afterEnd, -count);
}

}  // namespace kp
