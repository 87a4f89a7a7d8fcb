// Variant: the value type of late binding, of host fields and of settings,
// with the conversions of the original language under a fixed German locale
// (decimal comma, no digit grouping). The C/C++ global locale is never read.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
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

  Variant() noexcept : kind_(Kind::Empty), bits_(0) {}
  Variant(NullTag) noexcept : kind_(Kind::Null), bits_(0) {}
  Variant(bool b) noexcept : kind_(Kind::Bool), bits_(b ? 1 : 0) {}
  Variant(int16_t i) noexcept : kind_(Kind::Int16), bits_(static_cast<uint64_t>(int64_t{i})) {}
  Variant(int32_t i) noexcept : kind_(Kind::Int32), bits_(static_cast<uint64_t>(int64_t{i})) {}
  Variant(double d) noexcept : kind_(Kind::Double), bits_(std::bit_cast<uint64_t>(d)) {}
  Variant(Date d) noexcept : kind_(Kind::Date), bits_(std::bit_cast<uint64_t>(d.serial)) {}
  Variant(std::string s) : kind_(Kind::String) { new (&s_) std::string(std::move(s)); }
  Variant(const char* s) : kind_(Kind::String) { new (&s_) std::string(s); }
  Variant(std::string_view s) : kind_(Kind::String) { new (&s_) std::string(s); }
  Variant(ObjectPtr o) : kind_(Kind::Object) { new (&o_) ObjectPtr(std::move(o)); }  // a null pointer is "Nothing"
  template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
  Variant(std::shared_ptr<T> o) : Variant(ObjectPtr(std::move(o))) {}
  Variant(Array a);

  // Scalars are copied as their bits here; texts, objects and arrays out
  // of line.
  Variant(const Variant& other) : kind_(other.kind_) {
    if (other.Heavy())
      CopyHeavy(other);
    else
      bits_ = other.bits_;
  }
  Variant(Variant&& other) noexcept : kind_(other.kind_) {
    if (other.Heavy())
      MoveHeavy(other);
    else
      bits_ = other.bits_;
  }
  Variant& operator=(const Variant& other) {
    if (!AssignScalar(other) && this != &other) AssignHeavy(other);
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    if (!AssignScalar(other) && this != &other) MoveAssignHeavy(other);
    return *this;
  }
  ~Variant() {
    if (Heavy()) DestroyHeavy();
  }

  Kind kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == Kind::Empty; }
  bool IsNull() const { return kind_ == Kind::Null; }
  bool IsObject() const { return kind_ == Kind::Object; }
  bool IsNothing() const { return IsObject() && !o_; }
  bool IsArray() const { return kind_ == Kind::Array; }
  bool IsNumber() const { return kind_ >= Kind::Bool && kind_ <= Kind::Double; }  // Bool, Int16, Int32, Double

  // Direct access; each raises 13 (type mismatch) for another kind.
  bool AsBool() const { return Expect(Kind::Bool).bits_ != 0; }
  int16_t AsInt16() const { return static_cast<int16_t>(Expect(Kind::Int16).bits_); }
  int32_t AsInt32() const { return static_cast<int32_t>(Expect(Kind::Int32).bits_); }
  double AsDouble() const { return std::bit_cast<double>(Expect(Kind::Double).bits_); }
  Date AsDate() const { return Date{std::bit_cast<double>(Expect(Kind::Date).bits_)}; }
  const std::string& AsString() const { return Expect(Kind::String).s_; }
  const ObjectPtr& AsObject() const { return Expect(Kind::Object).o_; }  // Nothing is a null pointer
  const Array& AsArray() const { return *Expect(Kind::Array).a_; }
  // For writing: a copy of a variant holds its own array, as an array
  // assigned in the original language does.
  Array& AsArray();

  // Exact equality of kind and value (strings case-sensitive); for tests.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  // Texts, objects and arrays: the kinds that own something.
  bool Heavy() const { return kind_ >= Kind::String; }
  const Variant& Expect(Kind k) const {
    if (kind_ != k) Mismatch();
    return *this;
  }
  [[noreturn]] static void Mismatch();
  // Between two scalars: the bits. False, doing nothing, otherwise.
  bool AssignScalar(const Variant& other) noexcept {
    if (Heavy() || other.Heavy()) return false;
    kind_ = other.kind_;
    bits_ = other.bits_;
    return true;
  }
  void CopyHeavy(const Variant& other);
  void MoveHeavy(Variant& other) noexcept;
  void AssignHeavy(const Variant& other);
  void MoveAssignHeavy(Variant& other) noexcept;
  void DestroyHeavy() noexcept;

  Kind kind_;
  union {
    uint64_t bits_;  // every scalar kind: a Boolean 0/1, integers sign-extended, doubles and dates as their bits
    std::string s_;
    ObjectPtr o_;
    std::shared_ptr<Array> a_;
  };
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
