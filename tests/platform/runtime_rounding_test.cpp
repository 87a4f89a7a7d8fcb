#include <cmath>
#include <limits>

#include "platform/number.h"
#include "platform/runtime_expect.h"

namespace {

namespace errc = rt::errc;

TEST(RuntimeRounding, Round2RoundsTheHundredfoldHalfToEven) {
  const struct {
    double in, out;
  } cases[] = {{0.125, 0.12}, {0.375, 0.38}, {-0.125, -0.12}, {0.625, 0.62}, {0.135, 0.14},
               // Their hundredfolds lie just below the half as doubles.
               {2.675, 2.67}, {1.005, 1.00}, {10.0 / 3.0, 3.33}, {-2.0 / 3.0, -0.67}, {0.0, 0.0}};
  for (const auto& c : cases) EXPECT_EQ(rt::Round2(c.in), c.out) << c.in;
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

TEST(RuntimeRounding, Round2KeepsLargeAmountsAndGivesZeroOnlyForWhatIsNoNumber) {
  for (double x : {21474836.47, 21474836.48, -21474836.49, 30000000.0, 1e12 + 0.25})
    EXPECT_EQ(rt::Round2(x), x) << x;
  EXPECT_EQ(rt::Round2(1e12 + 0.125), 1e12 + 0.12);
  EXPECT_EQ(rt::Round2(4503599627370495.5), 4503599627370495.5);  // the last doubles with a fraction
  using limits = std::numeric_limits<double>;
  // Whole numbers whose hundredfold is inexact, lies beyond 64 bits or
  // beyond the doubles come back as they are.
  for (double x : {4503599627370496.0, 1e17 / 12, 1e17, -1e17, 9223372036854775808.0, 1e308, -limits::max(),
                   limits::max()})
    EXPECT_EQ(rt::Round2(x), x) << x;
  for (double x : {limits::quiet_NaN(), limits::infinity(), -limits::infinity()}) EXPECT_EQ(rt::Round2(x), 0) << x;
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
  const struct {
    int32_t a, b, r;
  } cases[] = {{7, 3, 1}, {-7, 3, -1}, {7, -3, 1}, {12, 12, 0}, {INT32_MIN, -1, 0}};
  for (const auto& c : cases) EXPECT_EQ(rt::Mod(c.a, c.b), c.r) << c.a << " Mod " << c.b;
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
  EXPECT_EQ(rt::Inc16(32766), 32767);
  EXPECT_RT_ERROR(rt::Inc16(32767), errc::Overflow);
}

}  // namespace
