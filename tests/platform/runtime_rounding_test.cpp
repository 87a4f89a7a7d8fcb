#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <limits>
#include <random>
#include <string>
#include <vector>

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

// x rounded half to even to cents in decimal: glibc prints every digit of
// a double (a double below 2^(53-d) has at most 52 + d fraction digits),
// the rounding is done on that text, and strtod reads the rounded text
// back as the double nearest to it. Independent of Round2's arithmetic.
double ReferenceRound2(double x) {
  const int precision = x == 0 ? 2 : std::max(2, 54 - std::ilogb(x));
  std::vector<char> buffer(static_cast<size_t>(precision) + 400);
  std::snprintf(buffer.data(), buffer.size(), "%.*f", precision, x);
  const std::string text = buffer.data();
  const bool negative = text[0] == '-';
  const size_t sign = negative ? 1 : 0;
  const size_t point = text.find('.');
  std::string cents = text.substr(sign, point - sign) + text.substr(point + 1, 2);  // every digit to the cent
  const std::string rest = text.substr(point + 3);
  const bool beyondHalf = rest.find_first_not_of('0', 1) != std::string::npos;
  const bool odd = (cents.back() - '0') % 2 == 1;
  if (rest[0] > '5' || (rest[0] == '5' && (beyondHalf || odd))) {
    size_t i = cents.size();
    while (i > 0 && cents[i - 1] == '9') cents[--i] = '0';
    if (i == 0) cents.insert(cents.begin(), '1');
    else ++cents[i - 1];
  }
  cents = std::string(negative ? "-" : "") + cents.substr(0, cents.size() - 2) + "." + cents.substr(cents.size() - 2);
  return std::strtod(cents.c_str(), nullptr);
}

TEST(RuntimeRounding, Round2AgreesWithTheExactDecimalValue) {
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

// Random amounts of every size below 2^52, of either sign, many of them
// from 9 * 10^13 on, where the hundredfold of the whole amount no longer
// holds every cent; and true halves of a cent on large whole parts.
TEST(RuntimeRounding, Round2IsExactAcrossTheWholeRange) {
  std::mt19937_64 random(20261209);
  std::uniform_int_distribution<int> exponent(-20, 51);
  std::uniform_int_distribution<uint64_t> bits(0, (uint64_t{1} << 52) - 1);
  std::uniform_real_distribution<double> large(9e13, 4503599627370496.0);
  for (int i = 0; i < 20000; ++i) {
    double x = i % 2 == 0 ? std::ldexp(1.0 + std::ldexp(static_cast<double>(bits(random)), -52), exponent(random))
                          : large(random);
    if (i % 3 == 0) x = -x;
    ASSERT_EQ(rt::Round2(x), ReferenceRound2(x)) << std::setprecision(17) << x;
  }
  for (int i = 0; i < 2000; ++i) {
    const double whole = static_cast<double>(bits(random) >> 3);  // below 2^49: eighths are exact
    const double x = whole + (1 + 2 * (i % 4)) / 8.0;               // .125 .375 .625 .875
    ASSERT_EQ(rt::Round2(x), ReferenceRound2(x)) << std::setprecision(17) << x;
  }
  EXPECT_EQ(rt::Round2(-90090933328590.67), -90090933328590.67);
  EXPECT_EQ(rt::Round2(1e14 + 0.03125), 1e14 + 0.03);
  EXPECT_EQ(rt::Round2(360399865617087.0), 360399865617087.0);
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
