// Host tables as the add-on's procedures open and fill them: by name
// through the process-wide database, fields by name.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/table.h"
#include "platform/variant.h"

namespace kp {

// A new table object on the named table (HostDatabase.Connection, then
// DbConnection.Table). Without gDB, or when the host gives nothing, 91.
std::shared_ptr<host::DbTable> OpenTable(const std::string& name);

// The value of a field of the table's current (or prepared) record.
rt::Variant FieldValue(const std::shared_ptr<host::DbTable>& table, std::string_view name);
// Puts a value into a field of the table's current (or prepared) record;
// the host converts it to the field's type.
void PutField(const std::shared_ptr<host::DbTable>& table, std::string_view name, const rt::Variant& value);
// The same on the fields PrepareNew returned.
void Put(const std::shared_ptr<host::DbFields>& fields, std::string_view name, const rt::Variant& value);

// Starts a new record from the host's default values (NewValues(0), then
// SetValues) and returns its fields. A table that is not open raises 91.
std::shared_ptr<host::DbFields> PrepareNew(const std::shared_ptr<host::DbTable>& table);

}  // namespace kp
