// How kelhost prints field values: texts as stored; numbers with a decimal
// comma, no grouping, as few decimals as needed; dates as dd.MM.yyyy, plus
// " HH:mm" when the time of day is not 0, date 0 as an empty text;
// Booleans as true/false; a document as its content, Nothing as "".
#pragma once

#include <string>

#include "platform/variant.h"

namespace kelhost {

std::string FormatShowValue(const rt::Variant& value);

}  // namespace kelhost
