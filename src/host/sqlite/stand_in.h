// The stand-in host: the host's object model over an embedded SQLite
// database, with the host's session (current user, tenant, address and
// contract type) and a harness for tests and for the kelhost tool.
//
// One SQLite table per host table, named as the host names it, one column
// per field with the field's own name; hidden columns of the stand-in's own
// hold the record id, the master link and index keys. Table and field names
// match without regard to letter case.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/application.h"
#include "platform/variant.h"

namespace host::sqlite {

// One record read back by the harness: its id, its master's id ("" for a
// table without master) and its fields in schema order.
struct Row {
  std::string oid;
  std::string masterOid;
  std::vector<std::pair<std::string, rt::Variant>> fields;

  // The value of a field (case-insensitive); raises when there is none.
  const rt::Variant& operator[](std::string_view field) const;
};

using MacroFn = std::function<void(std::vector<rt::Variant>& args)>;

class StandIn {
 public:
  // Opens a database file, or ":memory:". A new database gets the schema
  // (and no data). Files use WAL and synchronous=NORMAL.
  static std::shared_ptr<StandIn> Open(const std::string& path);
  // Creates a new database file with the schema and, with `withSample`, the
  // sample data, in one transaction. Raises when the file exists already;
  // a file left half-made by a failure is removed.
  static std::shared_ptr<StandIn> Create(const std::string& path, bool withSample);
  virtual ~StandIn() = default;

  // The host application object an entry call of the add-on receives.
  virtual std::shared_ptr<HostApplication> Application() = 0;

  // Exactly the sample data of `kelhost init --sample`, in one transaction.
  virtual void LoadSampleData() = 0;

  // --- Session (kept in the database file, shared by separate runs) -------------
  // Each setter stores the value in the file's session; with `keep` false it
  // holds for this StandIn object only and the file keeps its session.
  // Current address by its Adressen.ID; "" or an unknown ID: none.
  virtual void SetCurrentAddress(const std::string& id, bool keep = true) = 0;
  virtual void SetCurrentAddressOid(const std::string& oid, bool keep = true) = 0;
  virtual void SetCurrentContractTypeOid(const std::string& oid, bool keep = true) = 0;  // "" = none
  // Must be one of the users (exact name); raises otherwise.
  virtual void SetCurrentUser(const std::string& name, bool keep = true) = 0;
  virtual void SetTenant(const std::string& name, bool keep = true) = 0;  // HostMandant.Name and .Text

  // --- Data -------------------------------------------------------------------------
  virtual void AddUser(const std::string& name) = 0;
  // Inserts a record with the given field values (others take their empty
  // value); a detail record goes under `masterOid`. Returns its id.
  virtual std::string InsertRow(const std::string& table,
                                const std::vector<std::pair<std::string, rt::Variant>>& values,
                                const std::string& masterOid = "") = 0;
  virtual void DeleteRows(const std::string& table) = 0;
  // Every record of a table, under every master, in insertion order.
  virtual std::vector<Row> Rows(const std::string& table) = 0;
  // The field names of a table in schema order (hidden columns not included).
  virtual std::vector<std::string> FieldNames(const std::string& table) = 0;
  // Declares a narrower text size for a field (to exercise cutting rules).
  virtual void SetFieldSize(const std::string& table, const std::string& field, int32_t size) = 0;

  // --- Settings, persistent variables, macros ---------------------------------
  virtual void SetDatabaseSetting(const std::string& key, const rt::Variant& value) = 0;
  virtual std::optional<rt::Variant> DatabaseSetting(const std::string& key) = 0;
  virtual void SetPersistVar(const std::string& name, const rt::Variant& value, bool locked = false) = 0;
  virtual void RemovePersistVar(const std::string& name) = 0;
  // Registers the procedure Projects(project).ProjectItems(module).Procedures(name).
  virtual void RegisterMacro(const std::string& project, const std::string& module,
                             const std::string& name, MacroFn fn) = 0;

  // --- Faults -----------------------------------------------------------------------
  // Makes the next call (or every call) of `member` on `table` fail with the
  // given number and description (an empty description: the host's text for
  // the number). Names match without regard to letter case; `table` "" means
  // any object. The names:
  //  - DbTable members by their own name ("Insert", "Update", "Seek",
  //    "MoveFirst", "GotoOid", ...) on the table's name; DbConnection::Table
  //    as "Table" on the requested name; the table's fields, field and
  //    indexes as "Fields.Item", "Fields.Exists", "Field.Value",
  //    "Field.SetValue", "Field.Size", "Indexes.Select", "Indexes.Current",
  //    "Indexes.Reset", "Index.KeyValue", ... on the table's name;
  //  - other objects by their interface name without "Host"/"Db":
  //    "Application", "Database", "Connection" ("Mandant"), "Mandant",
  //    "Users", "User", "Settings", "Setting" ("Value", "SetValue"),
  //    "ScriptEngine" ("Evaluate", "PersistVars"), "PersistVars",
  //    "PersistVar", "Macros" ("Projects", "ProjectItems", "Procedures",
  //    "Run"), "ErrorTexts" ("Text").
  virtual void FailNext(const std::string& table, const std::string& member, int32_t number,
                        const std::string& description) = 0;
  virtual void FailAlways(const std::string& table, const std::string& member, int32_t number,
                          const std::string& description) = 0;
  virtual void ClearFaults() = 0;
};

// A document value for document fields: an opaque content text, copied
// from record to record as it is.
std::shared_ptr<HostDocument> NewDocument(const std::string& content);
// The content of a document value; "" for Nothing or another kind.
std::string DocumentContent(const rt::Variant& value);

// Registers the stand-in's HostErrorTexts class in the runtime's class
// registry (under host::kErrorTextsClass). Idempotent.
void RegisterErrorTexts();

}  // namespace host::sqlite
