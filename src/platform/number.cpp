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

double Round2(double x) noexcept {
  if (!std::isfinite(x)) return 0;
  // From 2^52 on a double has no fraction left to round, while its
  // hundredfold may already be inexact or beyond 64 bits. Below, the
  // hundredfold stays well inside the int64 range.
  if (std::fabs(x) >= 4503599627370496.0) return x;
  // The hundredfold as a plain IEEE double product, stored through a
  // volatile so that it is never fused with another operation or kept in a
  // wider register.
  volatile double scaled = x * 100.0;
  const double h = scaled;
  double r = std::floor(h);
  const double diff = h - r;  // exact: below 2^52 h has a fraction, above it none
  if (diff == 0.5) {
    // The product landed exactly on a half. The true hundredfold of x may
    // lie just beside it (2.675 is stored as 2.67499999999999982..., its
    // product rounds up to 267.5): fma gives the exact rounding error of
    // the product, which decides; only a true half goes to the even cent.
    const double err = std::fma(x, 100.0, -h);
    if (err > 0 || (err == 0 && std::fmod(r, 2.0) != 0)) r += 1;
  } else if (diff > 0.5) {
    r += 1;
  }
  const auto cents = static_cast<int64_t>(r);
  return static_cast<double>(cents) / 100.0;
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
