// The stand-in's own tables next to the host tables: the session (current
// user, tenant, address and contract type), the users, the settings stores
// and the persistent variables.
//
// Inside the connection's write transactions what was read of them is
// kept, under the rules of record_cache.h: no other connection can write
// then, everything kept goes when such a transaction begins after anyone
// else changed the database and when one is rolled back (Clear), and the
// stand-in's own writes correct or drop it. Outside them every read goes
// to SQLite.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/sqlite/db.h"
#include "platform/variant.h"

namespace host::sqlite {

class OwnTables {
 public:
  explicit OwnTables(Db& db) : db_(db) {}

  // Forgets everything kept.
  void Clear();

  // --- Session ---------------------------------------------------------------------
  std::string SessionValue(const std::string& key);  // "" when unset
  void SetSessionValue(const std::string& key, const std::string& value);

  // --- Users (in the order added) ------------------------------------------------------
  std::vector<std::string> UserNames();
  void AddUser(const std::string& name);

  // --- Settings (keys match without regard to letter case) ---------------------------
  std::optional<rt::Variant> Setting(const std::string& store, const std::string& key);
  void SetSetting(const std::string& store, const std::string& key, const rt::Variant& value);

  // --- Persistent variables (in the order added; names case-insensitive) -------------
  struct PersistVar {
    std::string name;
    rt::Variant value;
    bool locked = false;
  };
  int32_t PersistVarCount();
  // The name of the variable at `index`. A walk from the first to the last
  // costs the same per step however many variables there are: inside a
  // write transaction the names are read in one ordered query; outside, a
  // step reads the one variable after the last one asked for.
  std::optional<std::string> PersistVarNameAt(int32_t index);
  std::optional<PersistVar> FindPersistVar(const std::string& name);
  // Adds the variable, or replaces the value (and lock) of an existing one.
  void SetPersistVar(const std::string& name, const rt::Variant& value, std::optional<bool> locked);
  void RemovePersistVar(const std::string& name);

 private:
  // Settings and variables kept by name at most; beyond, they are dropped
  // and kept anew.
  static constexpr size_t kMaxKept = 4096;
  bool Keeping() const { return db_.Writing(); }
  // Runs a write inside the open write transaction, or else in one of its
  // own, as records are written (Views::InsertRecord): what must come
  // before a connection's first write (Db::SetFirstWriteHook) then comes
  // before this one too.
  template <class F>
  void Write(F&& write) {
    if (db_.Writing()) {
      write();
      return;
    }
    Transaction tx(db_);
    write();
    tx.Commit();
  }
  // The persistent variables changed: what is kept of their order goes.
  void PersistVarsChanged();

  Db& db_;
  Query readSession_{"SELECT \"key\", \"value\" FROM \"_kelhost_session\""};
  Query readSessionKey_{"SELECT \"value\" FROM \"_kelhost_session\" WHERE \"key\" = ?"};
  Query writeSession_{"INSERT OR REPLACE INTO \"_kelhost_session\" VALUES (?, ?)"};
  Query readUsers_{"SELECT \"name\" FROM \"_kelhost_users\" ORDER BY \"seq\""};
  Query writeUser_{"INSERT INTO \"_kelhost_users\" (\"name\") VALUES (?)"};
  Query readSetting_{"SELECT \"value\" FROM \"_kelhost_settings\" WHERE \"store\" = ? AND \"ukey\" = ?"};
  Query writeSetting_{
      "INSERT INTO \"_kelhost_settings\" VALUES (?1, ?2, ?3, ?4)"
      " ON CONFLICT (\"store\", \"ukey\") DO UPDATE SET \"value\" = ?4"};
  Query countVars_{"SELECT count(*) FROM \"_kelhost_persistvars\""};
  Query readVarNames_{"SELECT \"name\" FROM \"_kelhost_persistvars\" ORDER BY \"seq\""};
  Query readVarAt_{"SELECT \"seq\", \"name\" FROM \"_kelhost_persistvars\" ORDER BY \"seq\" LIMIT 1 OFFSET ?"};
  Query readVarAfter_{"SELECT \"seq\", \"name\" FROM \"_kelhost_persistvars\" WHERE \"seq\" > ? ORDER BY \"seq\" LIMIT 1"};
  Query readVar_{"SELECT \"name\", \"value\", \"locked\" FROM \"_kelhost_persistvars\" WHERE \"uname\" = ?"};
  Query writeVar_{
      "INSERT INTO \"_kelhost_persistvars\" (\"name\", \"uname\", \"value\", \"locked\")"
      " VALUES (?1, ?2, ?3, coalesce(?4, 0))"
      " ON CONFLICT (\"uname\") DO UPDATE SET \"value\" = ?3, \"locked\" = coalesce(?4, \"locked\")"};
  Query removeVar_{"DELETE FROM \"_kelhost_persistvars\" WHERE \"uname\" = ?"};

  // Kept inside write transactions.
  std::optional<std::unordered_map<std::string, std::string>> session_;
  std::optional<std::vector<std::string>> users_;
  std::map<std::pair<std::string, std::string>, std::optional<rt::Variant>> settings_;  // (store, UCase(key))
  std::optional<std::vector<std::string>> varNames_;
  std::unordered_map<std::string, std::optional<PersistVar>> vars_;  // by UCase(name)
  // Outside them: the variable a walk reached last (its index and seq), and
  // the database's data version then.
  struct Reached {
    int32_t index;
    int64_t seq;
    std::string name;
    std::optional<uint32_t> version;
  };
  std::optional<Reached> reached_;
};

}  // namespace host::sqlite
