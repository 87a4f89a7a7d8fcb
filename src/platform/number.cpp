#include "platform/number.h"

#include <cmath>

#include "platform/error.h"

namespace rt {

namespace {

double Checked(double r) {
  if (!std::isfinite(r)) RaiseRuntime(errc::Overflow);
  return r;
}

}  // namespace

double Add(double a, double b) { return Checked(a + b); }
double Sub(double a, double b) { return Checked(a - b); }
double Mul(double a, double b) { return Checked(a * b); }

double Div(double a, double b) {
  if (b == 0) RaiseRuntime(a == 0 || std::isnan(a) ? errc::Overflow : errc::DivByZero);
  return Checked(a / b);
}

int32_t Mod(int32_t a, int32_t b) {
  if (b == 0) RaiseRuntime(errc::DivByZero);
  if (b == -1) return 0;  // INT32_MIN % -1 is undefined in C++; the remainder is 0
  return a % b;
}

namespace {

// The double nearest to cents / 100 for a whole number of cents. Below
// 2^53 the cents convert exactly and the one division rounds correctly.
// Beyond, the conversion alone would already round (the wrong cents of
// amounts from about 9 * 10^13), so the quotient is rounded in integers:
// in the binade [2^e, 2^(e+1)) that cents / 100 lies in, the doubles are
// the multiples of 2^(e-52), and the multiple nearest to it (half to an
// even mantissa) is worked out exactly.
double CentsToDouble(uint64_t cents) {
  constexpr uint64_t kExactCents = uint64_t{1} << 53;
  if (cents < kExactCents) return static_cast<double>(cents) / 100.0;
  int e = 46;  // cents / 100 >= 2^53 / 100 > 2^46, and at most 2^52
  while ((uint64_t{100} << (e + 1)) <= cents) ++e;
  const uint64_t scaled = cents << (52 - e);  // below 100 * 2^53: no overflow
  uint64_t mantissa = scaled / 100;
  const uint64_t rest = scaled % 100;
  if (rest > 50 || (rest == 50 && (mantissa & 1) != 0)) ++mantissa;
  return std::ldexp(static_cast<double>(mantissa), e - 52);  // mantissa <= 2^53: exact
}

}  // namespace

double Round2(double x) noexcept {
  if (!std::isfinite(x)) return 0;
  // From 2^52 on a double has no fraction left to round.
  const double magnitude = std::fabs(x);
  if (magnitude >= 4503599627370496.0) return x;
  // The whole part and the fraction are exact, and only the fraction is
  // rounded: the hundredfold of the whole amount would no longer hold every
  // cent from about 9 * 10^13 on. The sign comes back at the end, so that
  // the half goes to the even cent either way.
  const double whole = std::trunc(magnitude);
  const double fraction = magnitude - whole;
  // The hundredfold of the fraction as a plain IEEE double product, stored
  // through a volatile so that it is never fused with another operation or
  // kept in a wider register.
  volatile double scaled = fraction * 100.0;
  const double h = scaled;
  double r = std::floor(h);
  const double diff = h - r;  // exact: 0 <= h <= 100
  if (diff == 0.5) {
    // The product landed exactly on a half, while the true hundredfold of
    // the stored fraction may lie just beside it: fma gives the exact
    // rounding error of the product, which decides; only a true half goes
    // to the even cent.
    const double err = std::fma(fraction, 100.0, -h);
    if (err > 0 || (err == 0 && std::fmod(r, 2.0) != 0)) r += 1;
  } else if (diff > 0.5) {
    r += 1;
  }
  const uint64_t cents = static_cast<uint64_t>(whole) * 100 + static_cast<uint64_t>(r);
  if (cents == 0) return 0;  // no negative zero
  const double rounded = CentsToDouble(cents);
  return x < 0 ? -rounded : rounded;
}

void For16(int32_t from, int32_t to, const std::function<void(int16_t)>& body) {
  if (from < -32768 || from > 32767 || to < -32768 || to > 32767) RaiseRuntime(errc::Overflow);
  int16_t i = static_cast<int16_t>(from);
  const auto last = static_cast<int16_t>(to);
  while (i <= last) {
    body(i);
    i = Inc16(i);
  }
}

int16_t Inc16(int16_t i) {
  if (i == 32767) RaiseRuntime(errc::Overflow);
  return static_cast<int16_t>(i + 1);
}

}  // namespace rt
