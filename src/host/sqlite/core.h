// The state of one stand-in host: the database connection, the schema, the
// shared table views, the session (current user, tenant, address and
// contract type, kept in the database file), settings, persistent
// variables, users, macros, the user-interface state and the fault switch.
//
// Every host object the add-on holds keeps the Core alive.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/sqlite/db.h"
#include "host/sqlite/faults.h"
#include "host/sqlite/own_tables.h"
#include "host/sqlite/schema.h"
#include "host/sqlite/stand_in.h"
#include "host/sqlite/store.h"
#include "host/sqlite/views.h"
#include "platform/object.h"
#include "platform/variant.h"

namespace host::sqlite {

// Names of the setting stores.
inline constexpr const char* kDatabaseSettings = "database";
std::string PrivateSettingsOf(const std::string& user);
std::string PublicSettingsOf(const std::string& user);
std::string TableSettingsOf(const std::string& table);

// Session keys.
inline constexpr const char* kSessionUser = "User";
inline constexpr const char* kSessionTenant = "Tenant";
inline constexpr const char* kSessionAddress = "Address";
inline constexpr const char* kSessionContractType = "ContractType";

class Core : public TransactionObserver {
 public:
  // Access::Create and Access::Memory make a new database with the schema
  // and the stand-in's mark; `init` then runs in the same transaction. Otherwise the database
  // is opened as it is, without writing anything; it must be the
  // stand-in's (raises NotOwnDatabase), and one made before databases were
  // marked gets its mark with its first write. The first write transaction
  // first checks the record counter (Store::CheckLastOid) and raises, with
  // nothing written, when it cannot be trusted. The shared views start at
  // the session's current address and contract type.
  // `file` says how Access::Create makes the file.
  Core(const std::string& path, Access access, const std::function<void(Core&)>& init = {},
       const NewFileOptions& file = {});
  ~Core() override;
  Core(const Core&) = delete;
  Core& operator=(const Core&) = delete;

  Db db;
  Schema schema;
  Store store;
  Views views;
  OwnTables own;
  Faults faults;

  // --- Tables ------------------------------------------------------------------
  // Position of a table by name (case-insensitive); raises UnknownTable.
  int TableIndex(std::string_view name) const;
  const TableDef& Def(int t) const { return schema.tables()[t]; }
  int FieldIndex(int t, std::string_view field) const;  // raises UnknownField
  // Stores a record with the given field values (converted as puts are;
  // other fields empty) under `master` (0 for a table without master),
  // with the host-filled fields; no view moves. Returns its id.
  int64_t InsertRow(int t, const std::vector<std::pair<std::string, rt::Variant>>& values, int64_t master);

  // --- Session -----------------------------------------------------------------
  // A value set with keep false holds for this Core only and hides the
  // file's value.
  std::string SessionValue(const char* key);
  void SetSessionValue(const char* key, const std::string& value, bool keep = true);
  std::string TenantName() { return SessionValue(kSessionTenant); }

  // --- Users, settings and persistent variables: see own_tables.h -------------

  // --- Macros --------------------------------------------------------------------
  std::map<std::vector<std::string>, MacroFn> macros;  // key: upper-cased names

  // --- User-interface state --------------------------------------------------------
  rt::ObjectPtr uiStateA, uiStateB, uiStateC;
  int16_t uiFlag = 0;

  // --- Write transactions (TransactionObserver) ----------------------------------
  // What was kept from earlier transactions goes, unless nothing changed the
  // database since this connection's last commit.
  void Began(bool unchanged) override;
  void Flush() override;
  void SavepointBegan() override { store.SavepointBegan(); }
  void SavepointReleased() override { store.SavepointReleased(); }
  void RolledBack(bool savepoint) noexcept override;

 private:
  std::map<std::string, std::string> sessionOverrides_;
};

}  // namespace host::sqlite
