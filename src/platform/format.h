// Number and date patterns of the original `Format`, German locale.
#pragma once

#include <string>
#include <string_view>

#include "platform/date.h"
#include "platform/variant.h"

namespace rt {

// Formats a number with one of the patterns the add-on uses:
//   "Fixed"     at least one integer digit, exactly two decimals, decimal
//               comma, no grouping: 21 -> "21,00", -2 -> "-2,00";
//   "0", "000", "00000000" (any run of zeros, optionally followed by "," or
//               "." and more zeros for decimals): at least that many integer
//               digits with leading zeros, more when the number needs them,
//               "012" -> "12" with "0", 1000 -> "1000" with "000".
// Values are rounded half away from zero on their 15-significant-digit
// decimal form. Any other pattern raises 5.
std::string FormatNumber(double value, std::string_view pattern);

// Format of a variant with a number pattern: numbers and numeric text
// (read as CDbl reads it) are formatted; Empty formats as 0; other text is
// returned unchanged, as the original does.
std::string FormatValue(const Variant& value, std::string_view pattern);

// Formats a date with a user pattern of the kind the persistent variable
// "g_DateFormat" holds. Tokens: d dd ddd dddd (day, German weekday names),
// M MM MMM MMMM (month, German month names), yy yyyy, h hh H HH (hour),
// n nn (minute; also m mm right after an hour token), s ss. Letters d, m, y
// match in either case; text in double quotes and a character after "\" are
// literal; every other character is copied. Examples: "dd.MM.yyyy",
// "yyyyMMdd" (date 0 -> "18991230"), "yyyy-MM-dd".
std::string FormatDate(Date d, std::string_view pattern);

}  // namespace rt
