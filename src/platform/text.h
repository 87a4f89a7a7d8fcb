// Text functions on UTF-8 strings. Lengths and positions count characters
// (code points), not bytes; case mapping covers ASCII and the Latin letters
// of German and its neighbours (ä ö ü and their capitals; ß stays ß).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

inline constexpr std::string_view kCrLf = "\r\n";

// A byte that does not start well-formed UTF-8 counts as one character and
// is kept as it is. A negative count (or a start below 1) raises 5.
int32_t Len(std::string_view s);
std::string Left(std::string_view s, int32_t n);   // first n characters
std::string Right(std::string_view s, int32_t n);  // last n characters
// From the 1-based character `start` on; `length` < 0 means to the end.
std::string Mid(std::string_view s, int32_t start, int32_t length = -1);

std::string Trim(std::string_view s);  // blanks (U+0020) only, both ends
std::string_view Trimmed(std::string_view s);  // the same, as a view into s
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);

// Every occurrence of `what` replaced by `with`.
std::string Replace(std::string_view s, std::string_view what, std::string_view with);

// Splits at every separator; empty parts are kept ("12*" -> "12", "").
// An empty text gives no parts; an empty separator gives the text whole.
std::vector<std::string> Split(std::string_view s, std::string_view separator);

// Comparison without regard to letter case (by UCase of both sides).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The text converted to single-byte Windows-1252 where it can be (others
// become "?"); what ANSI drawing calls receive.
std::string ToAnsi(std::string_view utf8);
// The reverse: Windows-1252 bytes as UTF-8 (a byte without a character
// becomes "?"); what a drawing back end makes of ANSI text.
std::string FromAnsi(std::string_view ansi);
// The text as UTF-16, what wide drawing calls receive.
std::u16string ToWide(std::string_view utf8);

}  // namespace rt
