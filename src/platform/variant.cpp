#include "platform/variant.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/digits.h"
#include "platform/error.h"
#include "platform/object.h"
#include "platform/text.h"

namespace rt {

// --- Variant -------------------------------------------------------------------

Variant::Variant(Array a) : kind_(Kind::Array) { new (&a_) std::shared_ptr<Array>(std::make_shared<Array>(std::move(a))); }

void Variant::Mismatch() { RaiseRuntime(errc::TypeMismatch); }

void Variant::CopyHeavy(const Variant& other) {
  switch (other.kind_) {
    case Kind::String:
      new (&s_) std::string(other.s_);
      break;
    case Kind::Object:
      new (&o_) ObjectPtr(other.o_);
      break;
    default:
      new (&a_) std::shared_ptr<Array>(other.a_);
      break;
  }
}

// The source keeps its kind, emptied as a moved-from text or pointer is.
void Variant::MoveHeavy(Variant& other) noexcept {
  switch (other.kind_) {
    case Kind::String:
      new (&s_) std::string(std::move(other.s_));
      break;
    case Kind::Object:
      new (&o_) ObjectPtr(std::move(other.o_));
      break;
    default:
      new (&a_) std::shared_ptr<Array>(std::move(other.a_));
      break;
  }
}

void Variant::DestroyHeavy() noexcept {
  switch (kind_) {
    case Kind::String:
      s_.~basic_string();
      break;
    case Kind::Object:
      o_.~ObjectPtr();
      break;
    default:
      a_.~shared_ptr();
      break;
  }
}

void Variant::AssignHeavy(const Variant& other) {
  if (kind_ == Kind::String && other.kind_ == Kind::String) {
    s_ = other.s_;  // keeps this text's buffer where it is large enough
    return;
  }
  Variant copy(other);  // may throw; this is left as it was
  MoveAssignHeavy(copy);
}

void Variant::MoveAssignHeavy(Variant& other) noexcept {
  if (kind_ == Kind::String && other.kind_ == Kind::String) {
    s_ = std::move(other.s_);
    return;
  }
  if (Heavy()) DestroyHeavy();
  kind_ = other.kind_;
  if (other.Heavy())
    MoveHeavy(other);
  else
    bits_ = other.bits_;
}

Array& Variant::AsArray() {
  Expect(Kind::Array);
  // Copies share their array until one of them is written to.
  if (a_.use_count() > 1) a_ = std::make_shared<Array>(*a_);
  return *a_;
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Null:
      return true;
    case Variant::Kind::Bool:
      return a.AsBool() == b.AsBool();
    case Variant::Kind::Int16:
      return a.AsInt16() == b.AsInt16();
    case Variant::Kind::Int32:
      return a.AsInt32() == b.AsInt32();
    case Variant::Kind::Double:
      return a.AsDouble() == b.AsDouble();
    case Variant::Kind::Date:
      return a.AsDate() == b.AsDate();
    case Variant::Kind::String:
      return a.AsString() == b.AsString();
    case Variant::Kind::Object:
      return a.AsObject() == b.AsObject();
    case Variant::Kind::Array: {
      const Array& x = a.AsArray();
      const Array& y = b.AsArray();
      return x.lbound == y.lbound && x.items == y.items;
    }
  }
  return false;
}

// --- Text ----------------------------------------------------------------------

namespace {

void CheckConvertible(const Variant& v) {
  if (v.IsNull()) RaiseRuntime(errc::InvalidNull);
  if (v.IsObject() || v.IsArray()) RaiseRuntime(errc::TypeMismatch);
}

void AppendTwo(std::string& s, int32_t n) {
  s += static_cast<char>('0' + n / 10 % 10);
  s += static_cast<char>('0' + n % 10);
}

std::string DateText(Date d) {
  std::string s;
  const bool hasDate = std::trunc(d.serial) != 0;
  const bool hasTime = d.serial != std::trunc(d.serial);
  if (hasDate) {
    AppendTwo(s, Day(d));
    s += '.';
    AppendTwo(s, Month(d));
    s += '.';
    const std::string year = std::to_string(Year(d));
    s.append(4 - year.size(), '0');
    s += year;
  }
  if (hasTime || !hasDate) {
    if (!s.empty()) s += ' ';
    AppendTwo(s, Hour(d));
    s += ':';
    AppendTwo(s, Minute(d));
    s += ':';
    AppendTwo(s, Second(d));
  }
  return s;
}

}  // namespace

std::string CStr(double d) {
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d > 0 ? "Inf" : "-Inf";
  const internal::Digits g = internal::ToDigits15(d);
  std::string s = g.negative ? "-" : "";
  const int n = static_cast<int>(g.digits.size());
  const int e = g.exponent;
  if (e >= 15 || e < -4) {
    s += g.digits[0];
    if (n > 1) {
      s += ',';
      s.append(g.digits, 1, std::string::npos);
    }
    s += e < 0 ? "E-" : "E+";
    const int a = e < 0 ? -e : e;
    if (a < 10) s += '0';
    s += std::to_string(a);
    return s;
  }
  if (e < 0) {
    s += "0,";
    s.append(static_cast<size_t>(-e - 1), '0');
    s += g.digits;
    return s;
  }
  // e + 1 integer digits.
  if (n <= e + 1) {
    s += g.digits;
    s.append(static_cast<size_t>(e + 1 - n), '0');
  } else {
    s.append(g.digits, 0, static_cast<size_t>(e + 1));
    s += ',';
    s.append(g.digits, static_cast<size_t>(e + 1), std::string::npos);
  }
  return s;
}

std::string CStr(const Variant& v) {
  CheckConvertible(v);
  switch (v.kind()) {
    case Variant::Kind::Bool:
      return v.AsBool() ? "True" : "False";
    case Variant::Kind::Int16:
      return std::to_string(v.AsInt16());
    case Variant::Kind::Int32:
      return std::to_string(v.AsInt32());
    case Variant::Kind::Double:
      return CStr(v.AsDouble());
    case Variant::Kind::Date:
      return DateText(v.AsDate());
    case Variant::Kind::String:
      return v.AsString();
    default:
      return {};
  }
}

// --- Numbers -------------------------------------------------------------------

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Converts "[-]digits[.digits][e[+-]digits]" (already validated) with
// std::from_chars. A magnitude beyond the double range (decimalPosition > 0)
// raises 6 when `raise` is set and gives 0 otherwise; one below it gives 0.
std::optional<double> ParseNormalized(const std::string& text, int decimalPosition, bool raise) {
  double value = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  if (res.ec == std::errc()) return value;
  if (res.ec != std::errc::result_out_of_range) return std::nullopt;
  if (decimalPosition > 0 && raise) RaiseRuntime(errc::Overflow);
  return 0.0;
}

// Scans a number in the given syntax starting at s[i]. Builds the normalized
// text for from_chars and the decimal position of the first significant
// digit (its exponent + 1, used only to tell overflow from underflow).
struct Scan {
  std::string normalized;
  size_t end = 0;
  bool any = false;   // at least one mantissa digit
  int position = 0;   // decimal exponent of the leading digit + 1
};

Scan ScanNumber(std::string_view s, size_t i, char decimalPoint) {
  Scan r;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  std::string intPart;
  std::string fracPart;
  for (; i < s.size() && IsDigit(s[i]); ++i) intPart += s[i];
  if (i < s.size() && s[i] == decimalPoint) {
    size_t j = i + 1;
    for (; j < s.size() && IsDigit(s[j]); ++j) fracPart += s[j];
    if (!intPart.empty() || !fracPart.empty()) i = j;
  }
  r.end = i;
  if (intPart.empty() && fracPart.empty()) return r;
  r.any = true;

  // Position of the leading significant digit.
  const size_t firstInt = intPart.find_first_not_of('0');
  const size_t firstFrac = fracPart.find_first_not_of('0');
  const bool zero = firstInt == std::string::npos && firstFrac == std::string::npos;
  if (firstInt != std::string::npos) {
    r.position = static_cast<int>(intPart.size() - firstInt);
  } else if (firstFrac != std::string::npos) {
    r.position = -static_cast<int>(firstFrac);
  }

  r.normalized.reserve(intPart.size() + fracPart.size() + 16);
  if (negative) r.normalized.push_back('-');
  r.normalized.append(intPart.empty() ? std::string(1, '0') : intPart);
  if (!fracPart.empty()) {
    r.normalized.push_back('.');
    r.normalized.append(fracPart);
  }
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    size_t j = i + 1;
    bool expNegative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
      expNegative = s[j] == '-';
      ++j;
    }
    if (j < s.size() && IsDigit(s[j])) {
      int64_t e = 0;
      r.normalized.push_back('e');
      if (expNegative) r.normalized.push_back('-');
      for (; j < s.size() && IsDigit(s[j]); ++j) {
        if (e < 100000) e = e * 10 + (s[j] - '0');
        r.normalized.push_back(s[j]);
      }
      r.position += static_cast<int>(expNegative ? -e : e);
      r.end = j;
    }
  }
  if (zero) r.position = 0;
  return r;
}

bool IsBlank(char c) { return c == ' '; }

// Reads text as CDbl does; nullopt when the text is not a number, 6 when
// it is one beyond the double range.
std::optional<double> ParseGerman(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  Scan r = ScanNumber(s, i, ',');
  if (!r.any) return std::nullopt;
  size_t j = r.end;
  while (j < s.size() && IsBlank(s[j])) ++j;
  if (j != s.size()) return std::nullopt;
  return ParseNormalized(r.normalized, r.position, true);
}

int32_t RoundToInt32(double d) {
  if (!std::isfinite(d)) RaiseRuntime(errc::Overflow);
  double r = std::floor(d);
  const double diff = d - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
  if (r < -2147483648.0 || r > 2147483647.0) RaiseRuntime(errc::Overflow);
  return static_cast<int32_t>(r);
}

}  // namespace

double CDbl(const Variant& v) {
  CheckConvertible(v);
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return 0;
    case Variant::Kind::Bool:
      return v.AsBool() ? -1 : 0;
    case Variant::Kind::Int16:
      return v.AsInt16();
    case Variant::Kind::Int32:
      return v.AsInt32();
    case Variant::Kind::Double:
      return v.AsDouble();
    case Variant::Kind::Date:
      return v.AsDate().serial;
    case Variant::Kind::String: {
      const auto d = ParseGerman(v.AsString());
      if (!d) RaiseRuntime(errc::TypeMismatch);
      return *d;
    }
    default:
      RaiseRuntime(errc::TypeMismatch);
  }
}

int32_t CLng(double d) { return RoundToInt32(d); }

int16_t CInt(double d) {
  const int32_t i = RoundToInt32(d);
  if (i < -32768 || i > 32767) RaiseRuntime(errc::Overflow);
  return static_cast<int16_t>(i);
}

int32_t CLng(const Variant& v) {
  if (v.kind() == Variant::Kind::Int32) return v.AsInt32();
  return CLng(CDbl(v));
}

int16_t CInt(const Variant& v) {
  if (v.kind() == Variant::Kind::Int16) return v.AsInt16();
  return CInt(CDbl(v));
}

bool CBool(const Variant& v) {
  CheckConvertible(v);
  switch (v.kind()) {
    case Variant::Kind::Bool:
      return v.AsBool();
    case Variant::Kind::String: {
      const std::string t = Trim(v.AsString());
      if (EqualsIgnoreCase(t, "true")) return true;
      if (EqualsIgnoreCase(t, "false")) return false;
      const auto d = ParseGerman(t);
      if (!d) RaiseRuntime(errc::TypeMismatch);
      return *d != 0;
    }
    default:
      return CDbl(v) != 0;
  }
}

// --- Dates ---------------------------------------------------------------------

namespace {

// Reads 1..maxDigits decimal digits at s[i].
bool ReadInt(std::string_view s, size_t& i, int minDigits, int maxDigits, int32_t& out) {
  int n = 0;
  int32_t v = 0;
  while (i < s.size() && IsDigit(s[i]) && n < maxDigits) {
    v = v * 10 + (s[i] - '0');
    ++i;
    ++n;
  }
  if (n < minDigits || (i < s.size() && IsDigit(s[i]))) return false;
  out = v;
  return true;
}

bool Expect(std::string_view s, size_t& i, char c) {
  if (i < s.size() && s[i] == c) {
    ++i;
    return true;
  }
  return false;
}

std::optional<Date> ParseDate(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  int32_t y = 0, m = 0, d = 0;
  size_t start = i;
  int32_t first = 0;
  if (!ReadInt(s, i, 1, 4, first)) return std::nullopt;
  if (i - start == 4 && Expect(s, i, '-')) {
    y = first;
    if (!ReadInt(s, i, 2, 2, m) || !Expect(s, i, '-') || !ReadInt(s, i, 2, 2, d)) return std::nullopt;
  } else {
    if (i - start > 2 || !Expect(s, i, '.')) return std::nullopt;
    d = first;
    if (!ReadInt(s, i, 1, 2, m) || !Expect(s, i, '.') || !ReadInt(s, i, 4, 4, y)) return std::nullopt;
  }
  int32_t hh = 0, mm = 0, ss = 0;
  if (i < s.size() && IsBlank(s[i])) {
    size_t j = i;
    while (j < s.size() && IsBlank(s[j])) ++j;
    if (j < s.size()) {
      i = j;
      if (!ReadInt(s, i, 1, 2, hh) || !Expect(s, i, ':') || !ReadInt(s, i, 2, 2, mm)) return std::nullopt;
      if (Expect(s, i, ':') && !ReadInt(s, i, 2, 2, ss)) return std::nullopt;
      if (hh > 23 || mm > 59 || ss > 59) return std::nullopt;
    }
  }
  while (i < s.size() && IsBlank(s[i])) ++i;
  if (i != s.size()) return std::nullopt;
  if (m < 1 || m > 12 || d < 1 || y < 100) return std::nullopt;
  const Date date = DateSerial(y, m, d);
  if (Day(date) != d) return std::nullopt;  // 31.02. and the like
  const double time = (hh * 3600.0 + mm * 60.0 + ss) / 86400.0;
  return Date{date.serial < 0 ? date.serial - time : date.serial + time};
}

}  // namespace

Date CDate(const Variant& v) {
  CheckConvertible(v);
  switch (v.kind()) {
    case Variant::Kind::Empty:
      return kNoDate;
    case Variant::Kind::Date:
      return v.AsDate();
    case Variant::Kind::String: {
      const auto d = ParseDate(v.AsString());
      if (!d) RaiseRuntime(errc::TypeMismatch);
      return *d;
    }
    default: {
      const Date d{CDbl(v)};
      if (!IsValidDate(d)) RaiseRuntime(errc::Overflow);
      return d;
    }
  }
}

// --- Val and IsNumeric -----------------------------------------------------------

double Val(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  if (i + 1 < text.size() && text[i] == '&') {
    const char p = text[i + 1];
    const bool hex = p == 'H' || p == 'h';
    const bool oct = p == 'O' || p == 'o';
    if (hex || oct) {
      uint64_t value = 0;
      int digits = 0;
      for (size_t j = i + 2; j < text.size(); ++j) {
        const char c = text[j];
        int dv;
        if (c >= '0' && c <= '7') {
          dv = c - '0';
        } else if (hex && (c == '8' || c == '9')) {
          dv = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
          dv = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
          dv = c - 'A' + 10;
        } else {
          break;
        }
        value = value * (hex ? 16 : 8) + static_cast<uint64_t>(dv);
        if (value > 0xFFFFFFFFu) return 0;  // too large for the 32-bit form
        ++digits;
      }
      // Up to four hex digits are a 16-bit number, more a 32-bit one, both
      // in two's complement: "&HFFFF" is -1.
      if (value <= 0xFFFF && (hex ? digits <= 4 : value <= 0177777))
        return static_cast<int16_t>(static_cast<uint16_t>(value));
      return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
  }
  const Scan r = ScanNumber(text, i, '.');
  if (!r.any) return 0;
  const auto d = ParseNormalized(r.normalized, r.position, false);
  return d ? *d : 0;
}

double Val(const Variant& v) { return Val(CStr(v)); }

bool IsNumeric(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Bool:
    case Variant::Kind::Int16:
    case Variant::Kind::Int32:
    case Variant::Kind::Double:
      return true;
    case Variant::Kind::String:
      try {
        return ParseGerman(v.AsString()).has_value();
      } catch (const Error&) {
        return false;
      }
    default:
      return false;
  }
}

}  // namespace rt
