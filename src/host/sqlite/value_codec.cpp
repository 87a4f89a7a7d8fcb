#include "host/sqlite/value_codec.h"

#include <charconv>
#include <cstdio>
#include <optional>

#include "host/sqlite/errors.h"

namespace host::sqlite {

namespace {

using Kind = rt::Variant::Kind;

std::string Tagged(char kind, const std::string& value) {
  std::string s(1, kind);
  s += value;
  return s;
}

std::string Number(double d) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", d);
  return buf;
}

template <class T>
std::optional<T> ParseInt(std::string_view s) {
  T v{};
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<double> ParseReal(std::string_view s) {
  std::string z(s);
  char* end = nullptr;
  double d = std::strtod(z.c_str(), &end);
  if (z.empty() || end != z.c_str() + z.size()) return std::nullopt;
  return d;
}

// Reads "<digits>:" at the front of s and drops it.
std::optional<int64_t> TakeCount(std::string_view& s) {
  size_t colon = s.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  auto n = ParseInt<int64_t>(s.substr(0, colon));
  s.remove_prefix(colon + 1);
  return n;
}

std::optional<rt::Variant> Decode(std::string_view s) {
  if (s.empty()) return std::nullopt;
  const char kind = s.front();
  s.remove_prefix(1);
  switch (kind) {
    case 'e':
      return rt::Variant();
    case 'n':
      return rt::Variant::Null();
    case 'b':
      return rt::Variant(s == "1");
    case 'i':
      if (auto v = ParseInt<int16_t>(s)) return rt::Variant(*v);
      return std::nullopt;
    case 'l':
      if (auto v = ParseInt<int32_t>(s)) return rt::Variant(*v);
      return std::nullopt;
    case 'd':
      if (auto v = ParseReal(s)) return rt::Variant(*v);
      return std::nullopt;
    case 't':
      if (auto v = ParseReal(s)) return rt::Variant(rt::Date{*v});
      return std::nullopt;
    case 's':
      return rt::Variant(std::string(s));
    case 'a': {
      auto lbound = TakeCount(s);
      auto count = TakeCount(s);
      if (!lbound || !count || *count < 0) return std::nullopt;
      rt::Array a;
      a.lbound = static_cast<int32_t>(*lbound);
      for (int64_t i = 0; i < *count; ++i) {
        auto len = TakeCount(s);
        if (!len || *len < 0 || static_cast<size_t>(*len) > s.size()) return std::nullopt;
        auto item = Decode(s.substr(0, static_cast<size_t>(*len)));
        if (!item) return std::nullopt;
        a.items.push_back(std::move(*item));
        s.remove_prefix(static_cast<size_t>(*len));
      }
      return rt::Variant(std::move(a));
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string EncodeValue(const rt::Variant& v) {
  switch (v.kind()) {
    case Kind::Empty:
      return "e";
    case Kind::Null:
      return "n";
    case Kind::Bool:
      return v.AsBool() ? "b1" : "b0";
    case Kind::Int16:
      return Tagged('i', std::to_string(v.AsInt16()));
    case Kind::Int32:
      return Tagged('l', std::to_string(v.AsInt32()));
    case Kind::Double:
      return Tagged('d', Number(v.AsDouble()));
    case Kind::Date:
      return Tagged('t', Number(v.AsDate().serial));
    case Kind::String:
      return Tagged('s', v.AsString());
    case Kind::Array: {
      const rt::Array& a = v.AsArray();
      std::string s = Tagged('a', std::to_string(a.lbound));
      s += ':';
      s += std::to_string(a.items.size());
      s += ':';
      for (const rt::Variant& item : a.items) {
        std::string e = EncodeValue(item);
        s += std::to_string(e.size());
        s += ':';
        s += e;
      }
      return s;
    }
    case Kind::Object:
      break;
  }
  RaiseHost(hosterr::NotConvertible, "Objekt");
}

rt::Variant DecodeValue(std::string_view text) { return Decode(text).value_or(rt::Variant()); }

}  // namespace host::sqlite
