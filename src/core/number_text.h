// Numbers typed into the dialogs' number fields.
//
// The key filters of number fields turn a typed full stop into the decimal
// comma. Pasted text does not pass the filters, so the fields read their
// text with every full stop taken as the decimal comma as well: "1.5"
// pasted means 1,5, as it would typed. (The runtime's conversions read the
// German locale strictly and refuse a full stop.)
#pragma once

#include <string>
#include <string_view>

namespace kp {

// `text` with every "." replaced by ",".
std::string DecimalCommaText(std::string_view text);

}  // namespace kp
