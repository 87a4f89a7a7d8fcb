#include "platform/format.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "platform/digits.h"
#include "platform/error.h"
#include "platform/text.h"

namespace rt {

namespace {

// A parsed number pattern: minimum integer digits and exact decimals.
struct NumberPattern {
  int minInt = 1;
  int decimals = 0;
};

bool ParsePattern(std::string_view p, NumberPattern& out) {
  if (EqualsIgnoreCase(p, "Fixed")) {
    out = {1, 2};
    return true;
  }
  size_t i = 0;
  while (i < p.size() && p[i] == '0') ++i;
  if (i == 0) return false;
  out.minInt = static_cast<int>(i);
  out.decimals = 0;
  if (i == p.size()) return true;
  if (p[i] != ',' && p[i] != '.') return false;
  size_t j = i + 1;
  while (j < p.size() && p[j] == '0') ++j;
  if (j == i + 1 || j != p.size()) return false;
  out.decimals = static_cast<int>(j - i - 1);
  return true;
}

// Rounds the decimal digits of `value` half away from zero to `decimals`
// places and returns the integer and fraction digit strings.
void RoundDecimal(double value, int decimals, bool& negative, std::string& intPart, std::string& fracPart) {
  const internal::Digits g = internal::ToDigits15(value);
  negative = g.negative;
  // Lay the digits out on positions exponent .. -decimals.
  const int hi = g.exponent > 0 ? g.exponent : 0;
  const int lo = -decimals;
  std::string all;  // digits for positions hi down to lo
  all.reserve(static_cast<size_t>(hi - lo + 2));
  for (int pos = hi; pos >= lo; --pos) {
    const int k = g.exponent - pos;  // index into g.digits
    all += (k >= 0 && k < static_cast<int>(g.digits.size())) ? g.digits[static_cast<size_t>(k)] : '0';
  }
  // The first digit dropped decides: 5 or more rounds up.
  const int kNext = g.exponent - (lo - 1);
  const bool up = kNext >= 0 && kNext < static_cast<int>(g.digits.size()) && g.digits[static_cast<size_t>(kNext)] >= '5';
  if (up) {
    int k = static_cast<int>(all.size()) - 1;
    while (k >= 0 && all[static_cast<size_t>(k)] == '9') all[static_cast<size_t>(k--)] = '0';
    if (k >= 0) {
      ++all[static_cast<size_t>(k)];
    } else {
      all.insert(all.begin(), '1');
    }
  }
  const size_t intLen = all.size() - static_cast<size_t>(decimals);
  intPart = all.substr(0, intLen);
  fracPart = all.substr(intLen);
  const size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
  if (intPart.empty() && fracPart.find_first_not_of('0') == std::string::npos) negative = false;
}

}  // namespace

std::string FormatNumber(double value, std::string_view pattern) {
  NumberPattern p;
  if (!ParsePattern(pattern, p)) RaiseRuntime(errc::InvalidCall);
  if (!std::isfinite(value)) RaiseRuntime(errc::InvalidCall);
  bool negative = false;
  std::string intPart, fracPart;
  RoundDecimal(value, p.decimals, negative, intPart, fracPart);
  if (static_cast<int>(intPart.size()) < p.minInt)
    intPart.insert(0, static_cast<size_t>(p.minInt) - intPart.size(), '0');
  std::string out = negative ? "-" : "";
  out += intPart;
  if (p.decimals > 0) {
    out += ',';
    out += fracPart;
  }
  return out;
}

std::string FormatValue(const Variant& value, std::string_view pattern) {
  if (value.kind() == Variant::Kind::String) {
    if (!IsNumeric(value)) return value.AsString();
  }
  return FormatNumber(CDbl(value), pattern);
}

// --- Dates ---------------------------------------------------------------------

namespace {

constexpr const char* kDayNames[] = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
constexpr const char* kDayAbbrevs[] = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
constexpr const char* kMonthNames[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                       "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
constexpr const char* kMonthAbbrevs[] = {"Jan", "Feb", "Mrz", "Apr", "Mai", "Jun",
                                         "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

void Pad(std::string& out, int32_t value, int width) {
  char digits[16];
  const size_t n = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
  if (n < static_cast<size_t>(width)) out.append(static_cast<size_t>(width) - n, '0');
  out.append(digits, n);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

std::string FormatDate(Date d, std::string_view pattern) {
  if (!IsValidDate(d)) RaiseRuntime(errc::InvalidCall);
  std::string out;
  // Year, month and day, worked out once when the pattern first needs them.
  std::optional<CalendarDay> calendar;
  auto cal = [&]() -> const CalendarDay& {
    if (!calendar) calendar = CalendarDayOf(d);
    return *calendar;
  };
  bool afterHour = false;  // the last token was an hour: m now means minutes
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '"') {
      const size_t end = pattern.find('"', i + 1);
      const size_t stop = end == std::string_view::npos ? pattern.size() : end;
      out.append(pattern.substr(i + 1, stop - i - 1));
      i = end == std::string_view::npos ? pattern.size() : end + 1;
      continue;
    }
    if (c == '\\') {
      if (i + 1 < pattern.size()) out += pattern[i + 1];
      i += 2;
      continue;
    }
    const char l = Lower(c);
    if (l != 'd' && l != 'm' && l != 'y' && l != 'h' && l != 'n' && l != 's') {
      out += c;
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && Lower(pattern[i + run]) == l) ++run;
    i += run;
    switch (l) {
      case 'd':
        if (run == 1) {
          Pad(out, cal().day, 1);
        } else if (run == 2) {
          Pad(out, cal().day, 2);
        } else if (run == 3) {
          out += kDayAbbrevs[Weekday(d) - 1];
        } else {
          out += kDayNames[Weekday(d) - 1];
        }
        afterHour = false;
        break;
      case 'm':
        if (afterHour && run <= 2) {
          Pad(out, Minute(d), static_cast<int>(run));
        } else if (run <= 2) {
          Pad(out, cal().month, static_cast<int>(run));
        } else if (run == 3) {
          out += kMonthAbbrevs[cal().month - 1];
        } else {
          out += kMonthNames[cal().month - 1];
        }
        afterHour = false;
        break;
      case 'y':
        if (run <= 2) {
          Pad(out, cal().year % 100, 2);
        } else {
          Pad(out, cal().year, 4);
        }
        afterHour = false;
        break;
      case 'h':
        Pad(out, Hour(d), run >= 2 ? 2 : 1);
        afterHour = true;
        break;
      case 'n':
        Pad(out, Minute(d), run >= 2 ? 2 : 1);
        afterHour = false;
        break;
      case 's':
        Pad(out, Second(d), run >= 2 ? 2 : 1);
        afterHour = false;
        break;
    }
  }
  return out;
}

}  // namespace rt
