#include "host/sqlite/field_values.h"

#include <cmath>
#include <limits>
#include <memory>

#include "host/sqlite/document.h"
#include "host/sqlite/errors.h"
#include "platform/error.h"
#include "platform/text.h"

namespace host::sqlite {

namespace {

using Kind = rt::Variant::Kind;

[[noreturn]] void Refuse(const FieldDef& field, const std::string& why = {}) {
  RaiseHost(hosterr::NotConvertible, why.empty() ? field.name : field.name + " (" + why + ")");
}

bool IsBlankText(const rt::Variant& v) { return v.kind() == Kind::String && rt::Trim(v.AsString()).empty(); }

// Runs a runtime conversion, turning its failure into the host's error.
template <class F>
auto Convert(const FieldDef& field, F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const rt::Error& e) {
    Refuse(field, e.description());
  }
}

rt::Variant ToText(const FieldDef& field, const rt::Variant& v) {
  std::string s;
  switch (v.kind()) {
    case Kind::String:
      s = v.AsString();
      break;
    case Kind::Bool:
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Double:
    case Kind::Date:
      s = Convert(field, [&] { return rt::CStr(v); });
      break;
    default:
      Refuse(field);
  }
  // A text has no more characters than bytes.
  if (s.size() > static_cast<size_t>(field.size) && rt::Len(s) > field.size)
    RaiseHost(hosterr::TextTooLong, field.name);
  return rt::Variant(std::move(s));
}

double ToNumber(const FieldDef& field, const rt::Variant& v) {
  if (IsBlankText(v)) return 0;
  if (v.IsObject() || v.IsArray()) Refuse(field);
  double d = Convert(field, [&] { return rt::CDbl(v); });
  if (!std::isfinite(d)) Refuse(field);
  return d;
}

rt::Variant ToDate(const FieldDef& field, const rt::Variant& v) {
  if (IsBlankText(v)) return rt::Variant(rt::kNoDate);
  if (v.kind() == Kind::Bool || v.IsObject() || v.IsArray()) Refuse(field);
  rt::Date d = Convert(field, [&] { return rt::CDate(v); });
  if (!std::isfinite(d.serial) || !rt::IsValidDate(d)) Refuse(field);
  return rt::Variant(d);
}

rt::Variant ToBool(const FieldDef& field, const rt::Variant& v) {
  switch (v.kind()) {
    case Kind::Bool:
      return v;
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Double:
      return rt::Variant(ToNumber(field, v) != 0);  // NaN and infinities are refused
    case Kind::String:
      if (IsBlankText(v)) return rt::Variant(false);
      return rt::Variant(Convert(field, [&] { return rt::CBool(v); }));
    default:
      Refuse(field);
  }
}

rt::Variant ToDocument(const FieldDef& field, const rt::Variant& v) {
  if (v.IsNothing()) return v;
  if (v.IsObject() && std::dynamic_pointer_cast<StoredDocument>(v.AsObject())) return v;
  Refuse(field);
}

}  // namespace

rt::Variant EmptyValue(const FieldDef& field) {
  switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo:
      return rt::Variant(std::string());
    case FieldType::Long:
      return rt::Variant(int32_t{0});
    case FieldType::Integer:
      return rt::Variant(int16_t{0});
    case FieldType::Double:
      return rt::Variant(0.0);
    case FieldType::Boolean:
      return rt::Variant(false);
    case FieldType::Date:
      return rt::Variant(rt::kNoDate);
    case FieldType::Document:
      return rt::Variant(rt::ObjectPtr());
  }
  return {};
}

rt::Variant ToFieldValue(const FieldDef& field, const rt::Variant& value) {
  // Empty and Null clear the field.
  if (value.IsEmpty() || value.IsNull()) return EmptyValue(field);
  // A value of the field's own type, as most are, is taken as it is when the
  // checks below would let it pass unchanged.
  switch (value.kind()) {
    case Kind::Int32:
      if (field.type == FieldType::Long) return value;
      break;
    case Kind::Int16:
      if (field.type == FieldType::Integer) return value;
      break;
    case Kind::Double:
      if (field.type == FieldType::Double && std::isfinite(value.AsDouble())) return value;
      break;
    case Kind::Date:
      if (field.type == FieldType::Date && std::isfinite(value.AsDate().serial) && rt::IsValidDate(value.AsDate()))
        return value;
      break;
    default:
      break;
  }
  switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo:
      return ToText(field, value);
    case FieldType::Long: {
      double d = ToNumber(field, value);
      return rt::Variant(Convert(field, [&] { return rt::CLng(d); }));
    }
    case FieldType::Integer: {
      double d = ToNumber(field, value);
      return rt::Variant(Convert(field, [&] { return rt::CInt(d); }));
    }
    case FieldType::Double:
      return rt::Variant(ToNumber(field, value));
    case FieldType::Boolean:
      return ToBool(field, value);
    case FieldType::Date:
      return ToDate(field, value);
    case FieldType::Document:
      return ToDocument(field, value);
  }
  Refuse(field);
}

const char* ColumnType(const FieldDef& field) {
  switch (field.type) {
    case FieldType::Long:
    case FieldType::Integer:
    case FieldType::Boolean:
      return "INTEGER";
    case FieldType::Double:
    case FieldType::Date:
      return "REAL";
    default:
      return "TEXT";
  }
}

const char* ColumnDefault(const FieldDef& field) {
  switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo:
      return "''";
    case FieldType::Long:
    case FieldType::Integer:
    case FieldType::Boolean:
      return "0";
    case FieldType::Double:
    case FieldType::Date:
      return "0.0";
    case FieldType::Document:
      return "NULL";
  }
  return "NULL";
}

void BindField(Stmt& stmt, int i, const FieldDef& field, const rt::Variant& value) {
  switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo:
      stmt.BindRef(i, value.AsString());
      break;
    case FieldType::Long:
      stmt.Bind(i, int64_t{value.AsInt32()});
      break;
    case FieldType::Integer:
      stmt.Bind(i, int64_t{value.AsInt16()});
      break;
    case FieldType::Boolean:
      stmt.Bind(i, int64_t{value.AsBool() ? 1 : 0});
      break;
    case FieldType::Double:
      stmt.Bind(i, value.AsDouble());
      break;
    case FieldType::Date:
      stmt.Bind(i, value.AsDate().serial);
      break;
    case FieldType::Document:
      if (value.IsNothing()) {
        stmt.BindNull(i);
      } else {
        stmt.BindRef(i, std::static_pointer_cast<StoredDocument>(value.AsObject())->content());
      }
      break;
  }
}

rt::Variant ReadField(const Stmt& stmt, int col, const FieldDef& field) {
  if (stmt.IsNull(col)) return EmptyValue(field);
  switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo:
      return rt::Variant(stmt.Text(col));
    case FieldType::Long: {
      int64_t v = stmt.Int(col);
      if (v > std::numeric_limits<int32_t>::max()) v = std::numeric_limits<int32_t>::max();
      if (v < std::numeric_limits<int32_t>::min()) v = std::numeric_limits<int32_t>::min();
      return rt::Variant(static_cast<int32_t>(v));
    }
    case FieldType::Integer: {
      int64_t v = stmt.Int(col);
      if (v > std::numeric_limits<int16_t>::max()) v = std::numeric_limits<int16_t>::max();
      if (v < std::numeric_limits<int16_t>::min()) v = std::numeric_limits<int16_t>::min();
      return rt::Variant(static_cast<int16_t>(v));
    }
    case FieldType::Boolean:
      return rt::Variant(stmt.Int(col) != 0);
    case FieldType::Double:
      return rt::Variant(stmt.Real(col));
    case FieldType::Date:
      return rt::Variant(rt::Date{stmt.Real(col)});
    case FieldType::Document:
      return rt::Variant(rt::ObjectPtr(std::make_shared<StoredDocument>(stmt.Text(col))));
  }
  return {};
}

std::string KeyText(const rt::Variant& value) {
  switch (value.kind()) {
    case Kind::String:
      return value.AsString();
    case Kind::Bool:
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Double:
    case Kind::Date:
      return rt::CStr(value);
    default:
      return {};
  }
}

}  // namespace host::sqlite
