// Encodes variants as text for the stand-in's own tables (settings and
// persistent variables keep scalars and arrays of any kind but objects).
//
// The form is a kind letter and the value: "e" Empty, "n" Null, "b1"/"b0",
// "i<n>" 16-bit, "l<n>" 32-bit, "d<x>" double, "t<x>" date serial,
// "s<text>" text, "a<lbound>:<count>:" then per item "<length>:<item>".
#pragma once

#include <string>
#include <string_view>

#include "platform/variant.h"

namespace host::sqlite {

// Raises the host's NotConvertible for an object.
std::string EncodeValue(const rt::Variant& v);
// Text that does not decode gives Empty.
rt::Variant DecodeValue(std::string_view text);

}  // namespace host::sqlite
