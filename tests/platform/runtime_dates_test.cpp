#include <limits>

#include "platform/date.h"
#include "platform/format.h"
#include "platform/runtime_expect.h"

namespace {

using rt::Date;
using rt::DateSerial;
namespace errc = rt::errc;

std::string Ymd(Date d) { return rt::FormatDate(d, "yyyyMMdd"); }

TEST(RuntimeDates, SerialsOfKnownDays) {
  EXPECT_EQ(DateSerial(1899, 12, 30).serial, 0);
  EXPECT_EQ(DateSerial(1900, 1, 1).serial, 2);
  EXPECT_EQ(DateSerial(9999, 12, 31), rt::kMaxDate);
  EXPECT_EQ(DateSerial(100, 1, 1).serial, -657434);
  EXPECT_EQ(DateSerial(2024, 2, 29).serial, 45351);
  EXPECT_EQ(Ymd(rt::kMaxDate), "99991231");
  EXPECT_EQ(rt::Weekday(DateSerial(2024, 2, 29)), 5);  // Thursday
  EXPECT_EQ(rt::Weekday(rt::kNoDate), 7);               // Saturday
  EXPECT_EQ(rt::Weekday(DateSerial(1899, 12, 24)), 1);  // Sunday
}

TEST(RuntimeDates, DateSerialRollsMonthAndDayOver) {
  EXPECT_EQ(DateSerial(2023, 13, 1), DateSerial(2024, 1, 1));
  EXPECT_EQ(DateSerial(2024, 3, 0), DateSerial(2024, 2, 29));
  EXPECT_EQ(DateSerial(2024, 0, 15), DateSerial(2023, 12, 15));
  EXPECT_EQ(DateSerial(2024, -11, 1), DateSerial(2023, 1, 1));
  EXPECT_EQ(DateSerial(2024, 1, 60), DateSerial(2024, 2, 29));
  EXPECT_RT_ERROR(DateSerial(10000, 1, 1), errc::InvalidCall);
  EXPECT_RT_ERROR(DateSerial(9999, 12, 32), errc::InvalidCall);
  EXPECT_RT_ERROR(DateSerial(99, 12, 31), errc::InvalidCall);
  EXPECT_RT_ERROR(DateSerial(INT32_MAX, INT32_MAX, INT32_MAX), errc::InvalidCall);
}

TEST(RuntimeDates, TimeOfDayAndSerialsBeforeTheEpoch) {
  const Date d{DateSerial(2024, 5, 17).serial + 0.375};
  EXPECT_EQ(rt::Hour(d), 9);
  EXPECT_EQ(rt::Minute(d), 0);
  EXPECT_EQ(rt::DateOnly(d), DateSerial(2024, 5, 17));
  EXPECT_EQ(rt::TimeSerial(9, 0, 0).serial, 0.375);
  EXPECT_EQ(rt::TimeSerial(13, 45, 30), (Date{(13 * 3600 + 45 * 60 + 30) / 86400.0}));
  // -1.25 is 29.12.1899 06:00.
  const Date before{-1.25};
  EXPECT_EQ(rt::Day(before), 29);
  EXPECT_EQ(rt::Hour(before), 6);
  EXPECT_EQ(rt::AddDays(before, 1).serial, 0.25);
  EXPECT_EQ(rt::AddDays(Date{0.25}, -1).serial, -1.25);
  EXPECT_EQ(rt::AddDays(Date{-2.5}, 0.25).serial, -2.75);
}

TEST(RuntimeDates, AddMonthsKeepsTheDayOrCutsToTheMonthEnd) {
  const struct {
    Date from;
    int32_t months;
    const char* to;
  } cases[] = {
      {DateSerial(2023, 1, 31), 1, "20230228"},  {DateSerial(2024, 1, 31), 1, "20240229"},
      {DateSerial(2024, 3, 31), -1, "20240229"}, {DateSerial(2024, 2, 29), 12, "20250228"},
      {DateSerial(2024, 11, 15), 3, "20250215"}, {DateSerial(2024, 5, 15), -17, "20221215"},
      {DateSerial(2024, 5, 15), 0, "20240515"},  {DateSerial(9999, 11, 30), 1, "99991230"},
      // Centuries are leap years only every 400 years.
      {DateSerial(2000, 1, 31), 1, "20000229"},  {DateSerial(1900, 1, 31), 1, "19000228"},
      {DateSerial(2100, 3, 31), -1, "21000228"}, {DateSerial(2400, 3, 31), -1, "24000229"},
  };
  for (const auto& c : cases) EXPECT_EQ(Ymd(rt::AddMonths(c.from, c.months)), c.to) << Ymd(c.from);
  // Stepping each period from the previous start loses the 31st for good.
  Date d = rt::AddMonths(DateSerial(2024, 1, 31), 1);
  EXPECT_EQ(Ymd(rt::AddMonths(d, 1)), "20240329");
  // The time of day is kept.
  const Date t{DateSerial(2024, 1, 31).serial + 0.375};
  EXPECT_EQ(rt::AddMonths(t, 1).serial, DateSerial(2024, 2, 29).serial + 0.375);
}

TEST(RuntimeDates, WeeksAndDays) {
  EXPECT_EQ(rt::AddWeeks(DateSerial(2024, 2, 26), 1), DateSerial(2024, 3, 4));
  EXPECT_EQ(rt::AddWeeks(DateSerial(2024, 3, 4), -6), DateSerial(2024, 1, 22));
  EXPECT_EQ(rt::AddDays(DateSerial(2024, 2, 28), 2), DateSerial(2024, 3, 1));
  EXPECT_EQ(rt::AddDays(DateSerial(2024, 3, 1), -1), DateSerial(2024, 2, 29));
  EXPECT_EQ(rt::AddDays(DateSerial(2024, 3, 1), 0.375).serial, DateSerial(2024, 3, 1).serial + 0.375);
  EXPECT_EQ(rt::AddDays(rt::kMaxDate, 0.5).serial, 2958465.5);
  // Term end: start plus the whole term in one step, minus one day.
  EXPECT_EQ(Ymd(rt::AddDays(rt::AddMonths(DateSerial(2024, 1, 31), 12), -1)), "20250130");
}

TEST(RuntimeDates, ArithmeticIsRangeChecked) {
  EXPECT_RT_ERROR(rt::AddDays(rt::kMaxDate, 1), errc::InvalidCall);
  EXPECT_RT_ERROR(rt::AddMonths(DateSerial(9999, 12, 1), 1), errc::InvalidCall);
  EXPECT_RT_ERROR(rt::AddWeeks(DateSerial(9999, 12, 25), 1), errc::InvalidCall);
  EXPECT_RT_ERROR(rt::AddMonths(DateSerial(100, 1, 31), -1), errc::InvalidCall);
  EXPECT_RT_ERROR(rt::AddMonths(DateSerial(2024, 1, 1), INT32_MAX), errc::InvalidCall);
  EXPECT_RT_ERROR(rt::AddDays(DateSerial(100, 1, 1), -1), errc::InvalidCall);
  EXPECT_RT_ERROR(rt::AddWeeks(DateSerial(2024, 1, 1), INT32_MIN), errc::InvalidCall);
  EXPECT_RT_ERROR(rt::Year(Date{2958466}), errc::InvalidCall);
  EXPECT_TRUE(rt::IsValidDate(Date{2958465.99}));
  EXPECT_FALSE(rt::IsValidDate(Date{std::numeric_limits<double>::quiet_NaN()}));
}

TEST(RuntimeDates, TodayComesFromTheSettableClock) {
  rt::SetToday(Date{DateSerial(2025, 6, 1).serial + 0.75});  // the time is dropped
  EXPECT_EQ(rt::Today(), DateSerial(2025, 6, 1));
  rt::SetToday(std::nullopt);
  const Date now = rt::Today();
  EXPECT_EQ(now, rt::DateOnly(now));
  EXPECT_GT(rt::Year(now), 2020);
}

}  // namespace
