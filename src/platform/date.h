// Dates as the host and the add-on store them: a date serial, the number of
// days since 30.12.1899 with the time of day as the fraction.
//
// The serial 0 (30.12.1899) stands for "no date"; 2958465 is 31.12.9999, the
// last representable day. Arithmetic is calendar arithmetic and is range
// checked: a result before 1.1.100 or after 31.12.9999 raises error 5.
//
// Serials before 0 follow the original convention: the integer part counts
// days back from 30.12.1899 and the fraction is the time of day by its
// absolute value (-1.25 is 29.12.1899 06:00).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>

namespace rt {

struct Date {
  double serial = 0;

  friend auto operator<=>(const Date&, const Date&) = default;
};

inline constexpr Date kNoDate{0};
inline constexpr Date kMaxDate{2958465};  // 31.12.9999

// Builds the date of year, month and day. Month and day roll over as the
// original DateSerial does (month 13 is January of the next year, day 0 the
// last day of the previous month). Raises 5 outside 1.1.100 .. 31.12.9999.
Date DateSerial(int32_t year, int32_t month, int32_t day);
Date TimeSerial(int32_t hour, int32_t minute, int32_t second);  // fraction only

// Year, month and day of a date at once.
struct CalendarDay {
  int32_t year, month, day;
};
CalendarDay CalendarDayOf(Date d);

int32_t Year(Date d);
int32_t Month(Date d);  // 1..12
int32_t Day(Date d);    // 1..31
int32_t Hour(Date d);
int32_t Minute(Date d);
int32_t Second(Date d);
int32_t Weekday(Date d);  // 1 = Sunday .. 7 = Saturday

// The date without its time of day.
Date DateOnly(Date d);

// Adds n months keeping the day of the month, cut to the last day of a
// shorter target month (31.01. + 1 -> 28.02. or 29.02.); keeps the time.
Date AddMonths(Date d, int32_t n);
Date AddWeeks(Date d, int32_t n);  // 7 * n days
Date AddDays(Date d, double n);    // also fractions: + 0.375 is 09:00

// True when d lies within 1.1.100 .. 31.12.9999 (time included).
bool IsValidDate(Date d);

// --- Today -------------------------------------------------------------------
// Today's date (no time of day). Taken from the system clock unless a fixed
// date was set; tests and the stand-in host fix it. One clock per process.
Date Today();
void SetToday(std::optional<Date> fixed);  // nullopt: back to the system clock

}  // namespace rt
