#include "platform/date.h"

#include <cmath>
#include <ctime>
#include <mutex>

#include "platform/error.h"

namespace rt {

namespace {

// Serial of 1.1.100, the first representable day.
constexpr int64_t kMinDay = -657434;
constexpr int64_t kMaxDay = 2958465;
constexpr int64_t kSecondsPerDay = 86400;

// Days from 30.12.1899 to the given proleptic Gregorian day.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;
}

struct Civil {
  int64_t year, month, day;
};

Civil CivilFromDays(int64_t serialDay) {
  int64_t z = serialDay - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp + (mp < 10 ? 3 : -9);
  return {yoe + era * 400 + (m <= 2), m, d};
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool IsLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int64_t DaysInMonth(int64_t y, int64_t m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// The serial as a point on a continuous time line: whole days plus the time
// of day, also before 30.12.1899 (-1.25 -> -0.75).
double ToLinear(double serial) {
  if (serial >= 0) return serial;
  const double day = std::trunc(serial);
  return day + (day - serial);
}

double FromLinear(double linear) {
  if (linear >= 0) return linear;
  const double day = std::floor(linear);
  const double time = linear - day;
  return day - time;
}

bool LinearInRange(double linear) {
  return std::isfinite(linear) && linear >= static_cast<double>(kMinDay) &&
         linear < static_cast<double>(kMaxDay + 1);
}

// The date split into the day and the second of that day (rounded to whole
// seconds, never past the end of the day). Raises 5 for an invalid date.
struct Split {
  int64_t day;
  int64_t second;
};

Split SplitDate(Date d) {
  if (!IsValidDate(d)) RaiseRuntime(errc::InvalidCall);
  const double day = std::trunc(d.serial);
  const double time = std::fabs(d.serial - day);
  int64_t second = static_cast<int64_t>(std::llround(time * kSecondsPerDay));
  if (second >= kSecondsPerDay) second = kSecondsPerDay - 1;
  return {static_cast<int64_t>(day), second};
}

// The time of day of d as a fraction, by absolute value.
double TimeOf(Date d) { return std::fabs(d.serial - std::trunc(d.serial)); }

Date FromDayAndTime(int64_t day, double time) {
  const double linear = static_cast<double>(day) + time;
  if (!LinearInRange(linear)) RaiseRuntime(errc::InvalidCall);
  return Date{FromLinear(linear)};
}

}  // namespace

Date DateSerial(int32_t year, int32_t month, int32_t day) {
  int64_t y = year;
  int64_t m0 = static_cast<int64_t>(month) - 1;
  y += FloorDiv(m0, 12);
  m0 -= FloorDiv(m0, 12) * 12;
  const int64_t serial = DaysFromCivil(y, m0 + 1, 1) + static_cast<int64_t>(day) - 1;
  if (serial < kMinDay || serial > kMaxDay) RaiseRuntime(errc::InvalidCall);
  return Date{static_cast<double>(serial)};
}

Date TimeSerial(int32_t hour, int32_t minute, int32_t second) {
  const int64_t total = static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
  const double linear = static_cast<double>(total) / kSecondsPerDay;
  if (!LinearInRange(linear)) RaiseRuntime(errc::InvalidCall);
  return Date{FromLinear(linear)};
}

CalendarDay CalendarDayOf(Date d) {
  const Civil c = CivilFromDays(SplitDate(d).day);
  return {static_cast<int32_t>(c.year), static_cast<int32_t>(c.month), static_cast<int32_t>(c.day)};
}

int32_t Year(Date d) { return static_cast<int32_t>(CivilFromDays(SplitDate(d).day).year); }
int32_t Month(Date d) { return static_cast<int32_t>(CivilFromDays(SplitDate(d).day).month); }
int32_t Day(Date d) { return static_cast<int32_t>(CivilFromDays(SplitDate(d).day).day); }
int32_t Hour(Date d) { return static_cast<int32_t>(SplitDate(d).second / 3600); }
int32_t Minute(Date d) { return static_cast<int32_t>(SplitDate(d).second / 60 % 60); }
int32_t Second(Date d) { return static_cast<int32_t>(SplitDate(d).second % 60); }

int32_t Weekday(Date d) {
  const int64_t day = SplitDate(d).day;
  return static_cast<int32_t>((day + 6) - FloorDiv(day + 6, 7) * 7 + 1);
}

Date DateOnly(Date d) {
  if (!IsValidDate(d)) RaiseRuntime(errc::InvalidCall);
  return Date{std::trunc(d.serial) + 0.0};
}

Date AddMonths(Date d, int32_t n) {
  const Split s = SplitDate(d);
  const Civil c = CivilFromDays(s.day);
  int64_t m0 = c.month - 1 + n;
  const int64_t y = c.year + FloorDiv(m0, 12);
  m0 -= FloorDiv(m0, 12) * 12;
  if (y < 100 || y > 9999) RaiseRuntime(errc::InvalidCall);
  const int64_t dim = DaysInMonth(y, m0 + 1);
  const int64_t day = DaysFromCivil(y, m0 + 1, c.day < dim ? c.day : dim);
  return FromDayAndTime(day, TimeOf(d));
}

Date AddWeeks(Date d, int32_t n) { return AddDays(d, 7.0 * static_cast<double>(n)); }

Date AddDays(Date d, double n) {
  if (!IsValidDate(d)) RaiseRuntime(errc::InvalidCall);
  const double linear = ToLinear(d.serial) + n;
  if (!LinearInRange(linear)) RaiseRuntime(errc::InvalidCall);
  return Date{FromLinear(linear)};
}

bool IsValidDate(Date d) { return LinearInRange(ToLinear(d.serial)); }

// --- Today -------------------------------------------------------------------

namespace {

struct Clock {
  std::mutex mu;
  std::optional<Date> fixed;
};

Clock& TheClock() {
  static Clock clock;
  return clock;
}

}  // namespace

Date Today() {
  Clock& clock = TheClock();
  {
    std::lock_guard<std::mutex> lock(clock.mu);
    if (clock.fixed) return *clock.fixed;
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{static_cast<double>(DaysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday))};
}

void SetToday(std::optional<Date> fixed) {
  Clock& clock = TheClock();
  std::lock_guard<std::mutex> lock(clock.mu);
  if (fixed) fixed = Date{std::trunc(fixed->serial)};
  clock.fixed = fixed;
}

}  // namespace rt
