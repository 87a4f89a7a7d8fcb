#include "kelhost/show_format.h"

#include "host/sqlite/stand_in.h"
#include "platform/format.h"

namespace kelhost {

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string FormatShowValue(const rt::Variant& value) {
  using Kind = rt::Variant::Kind;
  switch (value.kind()) {
    case Kind::String:
      return Escaped(value.AsString());
    case Kind::Bool:
      return value.AsBool() ? "true" : "false";
    case Kind::Int16:
      return std::to_string(value.AsInt16());
    case Kind::Int32:
      return std::to_string(value.AsInt32());
    case Kind::Double:
      return rt::CStr(value.AsDouble());
    case Kind::Date: {
      const rt::Date d = value.AsDate();
      if (d.serial == 0) return {};
      std::string s = rt::FormatDate(d, "dd.MM.yyyy");
      if (rt::DateOnly(d) != d) s += rt::FormatDate(d, " HH:nn");
      return s;
    }
    case Kind::Object:
      return Escaped(host::sqlite::DocumentContent(value));
    default:
      return {};
  }
}

}  // namespace kelhost
