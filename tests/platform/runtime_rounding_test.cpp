#include <cmath>
#include <limits>

#include "platform/number.h"
#include "platform/runtime_expect.h"

namespace {

namespace errc = rt::errc;

TEST(RuntimeRounding, Round2RoundsTheHundredfoldHalfToEven) {
  EXPECT_EQ(rt::Round2(0.125), 0.12);
  EXPECT_EQ(rt::Round2(0.375), 0.38);
  EXPECT_EQ(rt::Round2(-0.125), -0.12);
  EXPECT_EQ(rt::Round2(0.625), 0.62);
  EXPECT_EQ(rt::Round2(0.135), 0.14);
  // Their hundredfolds lie just below the half as doubles.
  EXPECT_EQ(rt::Round2(2.675), 2.67);
  EXPECT_EQ(rt::Round2(1.005), 1.00);
  EXPECT_EQ(rt::Round2(10.0 / 3.0), 3.33);
  EXPECT_EQ(rt::Round2(-2.0 / 3.0), -0.67);
  EXPECT_EQ(rt::Round2(0.0), 0.0);
}

// The exact hundredfold of a double needs at most 60 significant bits, so
// an x87 long double holds it without rounding: an independent reference.
double ReferenceRound2(double x) {
  const long double p = static_cast<long double>(x) * 100.0L;
  long double r = std::floor(p);
  const long double diff = p - r;
  if (diff > 0.5L || (diff == 0.5L && std::fmod(r, 2.0L) != 0)) r += 1;
  return static_cast<double>(static_cast<int64_t>(r)) / 100.0;
}

TEST(RuntimeRounding, Round2AgreesWithTheExactHundredfold) {
  if constexpr (std::numeric_limits<long double>::digits < 64) GTEST_SKIP() << "no extended long double";
  for (int32_t k = -200000; k <= 200000; ++k) {
    const double x = k / 1000.0;
    ASSERT_EQ(rt::Round2(x), ReferenceRound2(x)) << x;
    const double cents = k / 100.0;
    ASSERT_EQ(rt::Round2(cents), cents) << cents;  // cent amounts stay as they are
  }
  for (double x : {16.66 / 100 * 10, 100.0 / 7, 300.0 / 7, 21474836.475, 99999.995, 1234567.125})
    EXPECT_EQ(rt::Round2(x), ReferenceRound2(x)) << x;
  EXPECT_EQ(rt::Round2(16.66 / 100 * 10), 1.67);
  EXPECT_EQ(rt::Round2(100.0 / 7), 14.29);
  EXPECT_EQ(rt::Round2(300.0 / 7), 42.86);
}

TEST(RuntimeRounding, Round2KeepsAmountsBeyondThe32BitRange) {
  EXPECT_EQ(rt::Round2(21474836.47), 21474836.47);
  EXPECT_EQ(rt::Round2(21474836.48), 21474836.48);
  EXPECT_EQ(rt::Round2(-21474836.49), -21474836.49);
  EXPECT_EQ(rt::Round2(30000000.0), 30000000.0);
  EXPECT_EQ(rt::Round2(1e12 + 0.25), 1e12 + 0.25);
  EXPECT_EQ(rt::Round2(1e12 + 0.125), 1e12 + 0.12);
}

TEST(RuntimeRounding, Round2GivesZeroWhereItCannotRound) {
  EXPECT_EQ(rt::Round2(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(rt::Round2(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(rt::Round2(-std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(rt::Round2(1e17), 0);   // hundredfold beyond 64 bits
  EXPECT_EQ(rt::Round2(-1e17), 0);
  EXPECT_EQ(rt::Round2(std::numeric_limits<double>::max()), 0);
}

TEST(RuntimeRounding, CheckedArithmeticRaises) {
  EXPECT_EQ(rt::Add(0.1, 0.2), 0.1 + 0.2);
  EXPECT_EQ(rt::Div(1, 4), 0.25);
  EXPECT_EQ(rt::Mul(-3, 2), -6);
  EXPECT_RT_ERROR(rt::Div(5, 0), errc::DivByZero);
  EXPECT_RT_ERROR(rt::Div(0, 0), errc::Overflow);
  EXPECT_RT_ERROR(rt::Div(1e308, 1e-308), errc::Overflow);
  EXPECT_RT_ERROR(rt::Mul(1e308, 10), errc::Overflow);
  EXPECT_RT_ERROR(rt::Add(std::numeric_limits<double>::max(), std::numeric_limits<double>::max()), errc::Overflow);
  EXPECT_RT_ERROR(rt::Sub(-1e308, 1e308), errc::Overflow);
  EXPECT_RT_ERROR(rt::Add(std::numeric_limits<double>::quiet_NaN(), 1), errc::Overflow);
}

TEST(RuntimeRounding, ModKeepsTheDividendsSign) {
  EXPECT_EQ(rt::Mod(7, 3), 1);
  EXPECT_EQ(rt::Mod(-7, 3), -1);
  EXPECT_EQ(rt::Mod(7, -3), 1);
  EXPECT_EQ(rt::Mod(12, 12), 0);
  EXPECT_EQ(rt::Mod(INT32_MIN, -1), 0);
  EXPECT_RT_ERROR(rt::Mod(5, 0), errc::DivByZero);
}

TEST(RuntimeRounding, For16RunsEveryPassThenOverflows) {
  int32_t passes = 0;
  int16_t last = 0;
  EXPECT_RT_ERROR(rt::For16(1, 32767, [&](int16_t i) { ++passes, last = i; }), errc::Overflow);
  EXPECT_EQ(passes, 32767);
  EXPECT_EQ(last, 32767);

  passes = 0;
  EXPECT_RT_ERROR(rt::For16(1, 32768, [&](int16_t) { ++passes; }), errc::Overflow);
  EXPECT_EQ(passes, 0);

  passes = 0;
  rt::For16(0, 32766, [&](int16_t) { ++passes; });
  EXPECT_EQ(passes, 32767);

  passes = 0;
  rt::For16(1, 0, [&](int16_t) { ++passes; });
  EXPECT_EQ(passes, 0);

  // A body that raises leaves the loop with its own error.
  passes = 0;
  EXPECT_RT_ERROR(rt::For16(1, 10,
                            [&](int16_t i) {
                              ++passes;
                              if (i == 3) rt::RaiseRuntime(errc::SubscriptRange);
                            }),
                  errc::SubscriptRange);
  EXPECT_EQ(passes, 3);
}

TEST(RuntimeRounding, Inc16) {
  EXPECT_EQ(rt::Inc16(-1), 0);
  EXPECT_EQ(rt::Inc16(32766), 32767);
  EXPECT_RT_ERROR(rt::Inc16(32767), errc::Overflow);
}

}  // namespace
