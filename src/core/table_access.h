// Opening host tables and writing records field by field: the three steps
// every save of the add-on takes, whichever path it comes from.
#pragma once

#include <memory>
#include <string>

#include "host/table.h"
#include "platform/variant.h"

namespace kp {

// A new table object on the named table of the process-wide gDB, through a
// fresh connection. No database (91) or an unknown name raises.
std::shared_ptr<host::DbTable> OpenTable(const std::string& name);

// Starts a new record in `table` from the host's default values
// (NewValues with flags 0, then SetValues) and returns its fields. A table
// that is not open raises 91. Nothing is stored until the caller inserts.
std::shared_ptr<host::DbFields> PrepareNew(const std::shared_ptr<host::DbTable>& table);

// Puts one field of the table's current or prepared record; the field
// converts the value to its own type or raises.
void Put(const std::shared_ptr<host::DbFields>& fields, const std::string& name, const rt::Variant& value);

// The value of one field of the current record.
rt::Variant FieldValue(const std::shared_ptr<host::DbTable>& table, const std::string& name);

}  // namespace kp
