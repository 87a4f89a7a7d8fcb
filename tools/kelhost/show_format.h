// How kelhost prints field values: texts as stored, with backslash, tab,
// carriage return and line feed escaped as \\, \t, \r and \n (so that a
// record stays on one line, one field per column); numbers with a decimal
// comma, no grouping, as few decimals as needed; dates as dd.MM.yyyy, plus
// " HH:mm" when the time of day is not 0, date 0 as an empty text;
// Booleans as true/false; a document as its content, escaped as texts are;
// Nothing as "".
#pragma once

#include <string>

#include "platform/variant.h"

namespace kelhost {

std::string FormatShowValue(const rt::Variant& value);

}  // namespace kelhost
