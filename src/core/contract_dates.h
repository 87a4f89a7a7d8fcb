// The calendar rules of a contract's terms. Months are calendar months: a
// day the target month lacks becomes its last day (31.01. + 1 month is
// 28.02. or 29.02.); weeks are seven days. A date outside 1.1.100 ..
// 31.12.9999 raises 5.
#pragma once

#include <cstdint>
#include <string>

#include "platform/date.h"

namespace kp {

// The last day of a term of `months` months from `start`: start plus the
// whole term in one step, less a day (31.01.2025 and 1 month: 27.02.2025).
rt::Date TermEnd(rt::Date start, int32_t months);

// `weeks` weeks before `d` (after it for a negative count).
rt::Date WeeksBefore(rt::Date d, int32_t weeks);

// The notice date of a term ending on `end`: the day after the end less
// `count` weeks when `unit` is exactly "Wochen" (letter case counts), less
// `count` months for any other unit. End 31.12.: 3 "Monate" gives 01.10.,
// 6 "Wochen" 20.11.
rt::Date NoticeDate(rt::Date end, int32_t count, const std::string& unit);

}  // namespace kp
