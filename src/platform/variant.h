// Variant: the value type of late binding, of host fields and of settings,
// with the conversions of the original language under a fixed German locale
// (decimal comma, no digit grouping). The C/C++ global locale is never read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/date.h"

namespace rt {

class Object;
class Variant;
using ObjectPtr = std::shared_ptr<Object>;

// An array with bounds (lower bound usually 0).
struct Array {
  int32_t lbound = 0;
  std::vector<Variant> items;
  int32_t ubound() const { return lbound + static_cast<int32_t>(items.size()) - 1; }
};

class Variant {
 public:
  enum class Kind { Empty, Null, Bool, Int16, Int32, Double, Date, String, Object, Array };

  struct NullTag {};
  static Variant Null() { return Variant(NullTag{}); }

  Variant() = default;  // Empty
  Variant(NullTag) : v_(NullTag{}) {}
  Variant(bool b) : v_(b) {}
  Variant(int16_t i) : v_(i) {}
  Variant(int32_t i) : v_(i) {}
  Variant(double d) : v_(d) {}
  Variant(Date d) : v_(d) {}
  Variant(std::string s) : v_(std::move(s)) {}
  Variant(const char* s) : v_(std::string(s)) {}
  Variant(std::string_view s) : v_(std::string(s)) {}
  Variant(ObjectPtr o) : v_(std::move(o)) {}  // a null pointer is "Nothing"
  template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
  Variant(std::shared_ptr<T> o) : v_(ObjectPtr(std::move(o))) {}
  Variant(Array a) : v_(std::make_shared<Array>(std::move(a))) {}

  // Defined out of line: inlined copies of a std::variant draw false
  // "may be used uninitialized" warnings from GCC 12 at -O2 and above.
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool IsEmpty() const { return kind() == Kind::Empty; }
  bool IsNull() const { return kind() == Kind::Null; }
  bool IsObject() const { return kind() == Kind::Object; }
  bool IsNothing() const { return IsObject() && !std::get<ObjectPtr>(v_); }
  bool IsArray() const { return kind() == Kind::Array; }
  bool IsNumber() const;  // Bool, Int16, Int32, Double

  // Direct access; each raises 13 (type mismatch) for another kind.
  bool AsBool() const;
  int16_t AsInt16() const;
  int32_t AsInt32() const;
  double AsDouble() const;
  Date AsDate() const;
  const std::string& AsString() const;
  const ObjectPtr& AsObject() const;  // Nothing is a null pointer
  const Array& AsArray() const;
  // For writing: a copy of a variant holds its own array, as an array
  // assigned in the original language does.
  Array& AsArray();

  // Exact equality of kind and value (strings case-sensitive); for tests.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  std::variant<std::monostate, NullTag, bool, int16_t, int32_t, double, Date, std::string, ObjectPtr,
               std::shared_ptr<Array>>
      v_;
};

// --- Conversions (the original language's rules, German locale) ---------------
//
// Null gives 94 (invalid use of Null) in every conversion but IsNumeric;
// an object or array gives 13; Empty gives "", 0, false or date 0.

// To text: Booleans "True"/"False"; numbers in the locale with up to 15
// significant digits, a decimal comma and no grouping (10.5 -> "10,5",
// 1200 -> "1200"); dates "dd.MM.yyyy", "dd.MM.yyyy HH:mm:ss" with a time,
// "HH:mm:ss" for a time alone, "00:00:00" for date 0.
std::string CStr(const Variant& v);
std::string CStr(double d);

// To number. Text is read in the German locale: optional blanks and sign,
// digits with an optional decimal comma, an optional exponent ("1,5E3");
// a full stop, grouping or any other text raises 13. Booleans are -1 / 0.
double CDbl(const Variant& v);

// To 32- and 16-bit integers: through CDbl, then rounded half to even;
// out of range raises 6 (overflow).
int32_t CLng(const Variant& v);
int16_t CInt(const Variant& v);
int32_t CLng(double d);
int16_t CInt(double d);

// The standard text-to-Boolean rule: "true"/"false" in any letter case, or a
// number (0 false, anything else true); any other text raises 13.
bool CBool(const Variant& v);

// To date: a date as it is; a number as a date serial; text as "d.M.yyyy",
// "dd.MM.yyyy", "yyyy-MM-dd", each optionally followed by " H:mm" or
// " H:mm:ss". Anything else raises 13; out of range raises 6.
Date CDate(const Variant& v);

// The leading-number scan: blanks are skipped, then an optional sign, digits
// with an optional full stop as decimal point and an optional exponent are
// read up to the first character that does not fit ("&H" and "&O" prefixes
// read hex and octal; up to four hex digits are a 16-bit number, "&HFFFF"
// is -1). "-1abc" -> -1, "12,5" -> 12, "abc" -> 0; a number beyond the
// double range gives 0. Never fails.
double Val(std::string_view text);
double Val(const Variant& v);  // Val(CStr(v))
inline double Val(const std::string& text) { return Val(std::string_view(text)); }
inline double Val(const char* text) { return Val(std::string_view(text)); }

// True when CDbl would succeed: numbers, Booleans, Empty, and text that CDbl
// reads. Null, dates, objects and arrays are not numeric.
bool IsNumeric(const Variant& v);

}  // namespace rt
