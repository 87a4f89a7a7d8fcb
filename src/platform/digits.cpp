#include "platform/digits.h"

#include <charconv>

namespace rt::internal {

Digits ToDigits15(double value) {
  Digits out;
  if (value == 0) {
    out.digits.push_back('0');
    return out;
  }
  // "-d.dddddddddddddde+XXX": std::to_chars never consults the locale.
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
  const char* p = buf;
  if (*p == '-') {
    out.negative = true;
    ++p;
  }
  for (; p < res.ptr && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') out.digits += *p;
  int exp = 0;
  if (p < res.ptr) std::from_chars(*(p + 1) == '+' ? p + 2 : p + 1, res.ptr, exp);
  out.exponent = exp;
  while (out.digits.size() > 1 && out.digits.back() == '0') out.digits.pop_back();
  return out;
}

}  // namespace rt::internal
