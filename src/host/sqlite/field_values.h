// Values of host fields: the empty value of each field type, the conversion
// of a value put into a field, and the field's SQLite storage.
//
// Stored kinds: Text and Memo hold a String, Long an Int32, Integer an Int16,
// Double a Double, Boolean a Bool, Date a Date (its serial; date 0 is 0.0),
// Document a StoredDocument or Nothing.
#pragma once

#include <string>

#include "host/sqlite/db.h"
#include "host/sqlite/schema.h"
#include "platform/text.h"
#include "platform/variant.h"

namespace host::sqlite {

// "", 0, false, date 0 or Nothing.
rt::Variant EmptyValue(const FieldDef& field);

// Converts a value put into the field to the field's stored kind. Text goes
// into numbers in the German locale ("10,50"); empty text into a number or
// date is 0; a number into a date is a date serial; a number into text is
// its plain decimal text. Raises the host's NotConvertible or TextTooLong.
rt::Variant ToFieldValue(const FieldDef& field, const rt::Variant& value);

// The SQLite column type of the field ("TEXT", "INTEGER", "REAL").
const char* ColumnType(const FieldDef& field);
// The SQL literal of the field's empty value, for column defaults.
const char* ColumnDefault(const FieldDef& field);

// Binds a stored value (as ToFieldValue returns it) to parameter i without
// copying it: the value must stay as it is until the statement's use ends.
void BindField(Stmt& stmt, int i, const FieldDef& field, const rt::Variant& value);
// Reads column `col` as the field's stored kind; NULL reads as empty.
rt::Variant ReadField(const Stmt& stmt, int col, const FieldDef& field);

// The field's value as text for index keys ("" for Nothing).
std::string KeyText(const rt::Variant& value);

// Text upper-cased (rt::UCase): index keys, and the names the stand-in
// compares without regard to letter case (settings, persistent variables).
inline std::string UpperKey(std::string_view text) { return rt::UCase(text); }

}  // namespace host::sqlite
