// The value syntax of kelhost's input files. kelhost converts every value
// itself, so the add-on receives typed values, never text to interpret:
//
//   Text     the value as it stands, the empty text included
//   Whole    an optional "-" and digits, within 32 bits        -> Int32
//   Decimal  an optional "-", digits, optionally a decimal comma
//            and more digits ("10", "-2,5")                    -> Double
//   Date     d.M.yyyy or dd.MM.yyyy, a real calendar day;
//            30.12.1899 is date 0                              -> Date
//   Boolean  true or false in any letter case                  -> Bool
//
// An empty whole number, decimal, date or Boolean is 0, 0, date 0 or false.
#pragma once

#include <optional>
#include <string_view>

#include "platform/variant.h"

namespace kelhost {

enum class ValueType { Text, Whole, Decimal, Date, Boolean };

// The typed value of `text`, or nothing when it does not convert.
std::optional<rt::Variant> ConvertValue(std::string_view text, ValueType type);

// A short name of the expected syntax for messages ("a whole number", ...).
const char* DescribeValueType(ValueType type);

}  // namespace kelhost
