// The run-time error: one exception type for every failure of the add-on,
// of the host and of the runtime itself.
//
// An error carries a 32-bit number, a source text and a description, as the
// language the add-on was first written in does. Procedures "trap" errors by
// catching rt::Error; they report, re-raise with a new source, or ignore it.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace rt {

// Source of an error that was raised without a source of its own.
inline constexpr std::string_view kLibraryName = "kelPaktor2";

// Base of the numbers an object raises for its own errors.
inline constexpr int32_t kObjectError = static_cast<int32_t>(0x80040000u);

// Run-time error numbers the add-on provokes or raises.
namespace errc {
inline constexpr int32_t InvalidCall = 5;       // invalid procedure call or argument
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t SubscriptRange = 9;
inline constexpr int32_t DivByZero = 11;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t ObjectNotSet = 91;
inline constexpr int32_t InvalidNull = 94;
inline constexpr int32_t InvalidPropValue = 380;
inline constexpr int32_t ObjectRequired = 424;
inline constexpr int32_t CannotCreateObject = 429;
inline constexpr int32_t NoSuchMember = 438;
inline constexpr int32_t DupKey = 457;
}  // namespace errc

class Error : public std::exception {
 public:
  Error(int32_t number, std::string source, std::string description);

  int32_t number() const { return number_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

  // "Fehler &H<hex> in <source>: <description>", for logs and test output.
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
  std::string what_;
};

// The German description of a run-time error number ("Überlauf" for 6, ...),
// or "Anwendungs- oder objektdefinierter Fehler" for a number without one.
std::string DescriptionOf(int32_t number);

// Raises an error. An empty source becomes kLibraryName; an empty
// description of a run-time number becomes DescriptionOf(number).
[[noreturn]] void Raise(int32_t number, std::string source = {}, std::string description = {});

// Raises a run-time error by number alone (source kLibraryName, German text).
[[noreturn]] void RaiseRuntime(int32_t number);

// Raises `e` again with the same number and description and a new source.
[[noreturn]] void Reraise(const Error& e, std::string newSource);

// The number in upper-case hexadecimal without leading zeros; a negative
// number as its eight-digit two's complement: 91 -> "5B", 0 -> "0",
// 0x80040002 -> "80040002".
std::string Hex(int32_t number);

// A failure that no trap may swallow: a broken test script, for one.
// CurrentError() passes it on instead of converting it.
class Unrecoverable : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Converts whatever a trap caught into an rt::Error: an rt::Error as it is,
// std::bad_alloc as 7, any other exception as 5 with its what() text; an
// Unrecoverable is thrown on. Call only inside a catch block.
Error CurrentError();

// An "ignore errors and go on" stretch: each step that fails is skipped and
// its error kept; the last error of the stretch can be looked at afterwards.
class ErrorState {
 public:
  // Runs f; an error it raises is kept as the last error and swallowed
  // (an Unrecoverable is thrown on).
  // Returns true when f completed.
  template <class F>
  bool Step(F&& f) {
    try {
      f();
      return true;
    } catch (...) {
      last_ = CurrentError();
      return false;
    }
  }
  const std::optional<Error>& Last() const { return last_; }
  void Clear() { last_.reset(); }

 private:
  std::optional<Error> last_;
};

}  // namespace rt
