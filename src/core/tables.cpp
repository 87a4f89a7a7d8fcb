#include "core/tables.h"

#include "core/globals.h"
#include "platform/object.h"

namespace kp {

using rt::Need;

std::shared_ptr<host::DbTable> OpenTable(const std::string& name) {
  return Need(Need(Need(gDB)->Connection())->Table(name));
}

rt::Variant FieldValue(const std::shared_ptr<host::DbTable>& table, std::string_view name) {
  return Need(Need(table)->Fields())->ValueOf(name);
}

void PutField(const std::shared_ptr<host::DbTable>& table, std::string_view name, const rt::Variant& value) {
  Need(Need(table)->Fields())->PutValue(name, value);
}

void Put(const std::shared_ptr<host::DbFields>& fields, std::string_view name, const rt::Variant& value) {
  Need(fields)->PutValue(name, value);
}

std::shared_ptr<host::DbFields> PrepareNew(const std::shared_ptr<host::DbTable>& table) {
  Need(table);
  rt::Variant values;
  table->NewValues(0, &values);
  table->SetValues(values);
  return Need(table->Fields());
}

}  // namespace kp
