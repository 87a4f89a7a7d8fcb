// Internal to the runtime: the decimal digits of a double, correctly rounded
// to at most 15 significant digits. Shared by the text conversion and the
// number formats so that both see the same decimal value.
#pragma once

#include <string>

namespace rt::internal {

// value = (negative ? -1 : 1) * 0.d1 d2 d3 ... * 10^(exponent + 1), that is
// d1 stands at the decimal position `exponent` (0 = units, -1 = tenths).
// Trailing zeros are removed; zero is digits "0", exponent 0, not negative.
struct Digits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// Requires a finite value.
Digits ToDigits15(double value);

}  // namespace rt::internal
