#include "core/number_text.h"

#include "platform/text.h"

namespace kp {

std::string DecimalCommaText(std::string_view text) { return rt::Replace(text, ".", ","); }

}  // namespace kp
