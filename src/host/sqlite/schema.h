// The stand-in host's schema: every host table with its fields (type and
// size), its named indexes, its master table and the fields the host fills
// itself on insert. Declared once, in schema.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/name_lookup.h"

namespace host::sqlite {

enum class FieldType { Text, Memo, Long, Integer, Double, Boolean, Date, Document };

// A value the host writes into a field on insert when the writer left the
// field empty.
enum class HostFill {
  None,
  TenantName,  // the current tenant's name
  UniqueId,    // a text unique in the whole database (the new record's id)
  MasterId,    // the `ID` of the master's current record
};

struct FieldDef {
  std::string name;
  FieldType type;
  int32_t size;  // characters for Text and Memo; bytes of the value otherwise
  HostFill fill = HostFill::None;

  bool IsText() const { return type == FieldType::Text || type == FieldType::Memo; }
};

struct IndexDef {
  std::string name;
  std::vector<std::string> keyFields;
  std::vector<int> keyFieldIndexes;  // resolved positions in TableDef::fields
  std::string keyColumn;             // hidden column holding the upper-cased key
};

struct TableDef {
  std::string name;
  std::string master;  // "" for a table without master
  std::vector<FieldDef> fields;
  std::vector<IndexDef> indexes;

  // Resolved by Schema: positions of the master and of the details, and
  // the lookups of field and index names.
  int masterIndex = -1;
  std::vector<int> details;
  std::vector<bool> inKey;  // by field: part of some index's key
  rt::NameLookup fieldNames, indexNames;

  // Position of a field or index by name (case-insensitive); -1 if none.
  int FieldIndex(std::string_view field) const { return fieldNames.Find(field); }
  int IndexIndex(std::string_view index) const { return indexNames.Find(index); }
};

// Names of the hidden columns of every host table.
inline constexpr const char* kOidColumn = "_oid";
inline constexpr const char* kMasterColumn = "_master";

class Schema {
 public:
  // The host's tables, resolved (masters, details, key fields, name
  // lookups). Names do not change afterwards.
  static Schema Default();

  const std::vector<TableDef>& tables() const { return tables_; }
  // Position of a table by name (case-insensitive); -1 if none.
  int Find(std::string_view table) const { return tableNames_.Find(table); }
  // Declares another width for a text field.
  void SetFieldSize(int table, int field, int32_t size) { tables_[table].fields[field].size = size; }

 private:
  void Resolve();
  std::vector<TableDef> tables_;
  rt::NameLookup tableNames_;
};

// An SQL identifier in double quotes, embedded quotes doubled.
std::string Quote(std::string_view identifier);

}  // namespace host::sqlite
