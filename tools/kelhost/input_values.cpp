#include "kelhost/input_values.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "platform/date.h"
#include "platform/error.h"

namespace kelhost {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Counts the digits at the start of `s`.
size_t DigitRun(std::string_view s) {
  size_t n = 0;
  while (n < s.size() && IsDigit(s[n])) ++n;
  return n;
}

std::optional<rt::Variant> Whole(std::string_view s) {
  const bool negative = !s.empty() && s[0] == '-';
  std::string_view digits = negative ? s.substr(1) : s;
  if (digits.empty() || DigitRun(digits) != digits.size()) return std::nullopt;
  int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return rt::Variant(static_cast<int32_t>(value));
}

std::optional<rt::Variant> Decimal(std::string_view s) {
  std::string_view rest = (!s.empty() && s[0] == '-') ? s.substr(1) : s;
  const size_t whole = DigitRun(rest);
  if (whole == 0) return std::nullopt;
  rest.remove_prefix(whole);
  if (!rest.empty()) {
    if (rest[0] != ',') return std::nullopt;
    rest.remove_prefix(1);
    if (rest.empty() || DigitRun(rest) != rest.size()) return std::nullopt;
  }
  // The syntax is a subset of what the locale's conversion reads.
  try {
    const double d = rt::CDbl(rt::Variant(s));
    if (!std::isfinite(d)) return std::nullopt;
    return rt::Variant(d);
  } catch (const rt::Error&) {
    return std::nullopt;
  }
}

std::optional<rt::Variant> DateValue(std::string_view s) {
  // d or dd, ".", M or MM, ".", yyyy
  const size_t dayDigits = DigitRun(s);
  if (dayDigits < 1 || dayDigits > 2 || s.size() <= dayDigits || s[dayDigits] != '.') return std::nullopt;
  std::string_view rest = s.substr(dayDigits + 1);
  const size_t monthDigits = DigitRun(rest);
  if (monthDigits < 1 || monthDigits > 2 || rest.size() <= monthDigits || rest[monthDigits] != '.')
    return std::nullopt;
  std::string_view year = rest.substr(monthDigits + 1);
  if (year.size() != 4 || DigitRun(year) != 4) return std::nullopt;
  const int32_t d = std::stoi(std::string(s.substr(0, dayDigits)));
  const int32_t m = std::stoi(std::string(rest.substr(0, monthDigits)));
  const int32_t y = std::stoi(std::string(year));
  if (m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  try {
    const rt::Date date = rt::DateSerial(y, m, d);
    // DateSerial rolls 31.04. over into May; such a day does not exist.
    if (rt::Day(date) != d || rt::Month(date) != m) return std::nullopt;
    return rt::Variant(date);
  } catch (const rt::Error&) {
    return std::nullopt;  // before the year 100
  }
}

std::optional<rt::Variant> Boolean(std::string_view s) {
  std::string lower(s);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (lower == "true") return rt::Variant(true);
  if (lower == "false") return rt::Variant(false);
  return std::nullopt;
}

}  // namespace

std::optional<rt::Variant> ConvertValue(std::string_view text, ValueType type) {
  switch (type) {
    case ValueType::Text:
      return rt::Variant(text);
    case ValueType::Whole:
      return text.empty() ? rt::Variant(int32_t{0}) : Whole(text);
    case ValueType::Decimal:
      return text.empty() ? rt::Variant(0.0) : Decimal(text);
    case ValueType::Date:
      return text.empty() ? rt::Variant(rt::kNoDate) : DateValue(text);
    case ValueType::Boolean:
      return text.empty() ? rt::Variant(false) : Boolean(text);
  }
  return std::nullopt;
}

const char* DescribeValueType(ValueType type) {
  switch (type) {
    case ValueType::Text:
      return "a text";
    case ValueType::Whole:
      return "a whole number";
    case ValueType::Decimal:
      return "a number";
    case ValueType::Date:
      return "a date (d.M.yyyy)";
    case ValueType::Boolean:
      return "true or false";
  }
  return "";
}

}  // namespace kelhost
