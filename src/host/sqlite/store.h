// The records of the host tables in SQLite: one table per host table, one
// column per field, and hidden columns for the record id ("_oid", unique in
// the whole database and never reused), the master link ("_master", detail
// tables only) and one upper-cased key per named index ("_key_<index>").
//
// Every lookup and step goes through an SQLite index: natural order is the
// record id (insertion order), a detail's natural order is (master, id), a
// named index is (key, id). Only All, DeleteAll and the Count of a view
// that is not a master's details read a whole table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/sqlite/db.h"
#include "host/sqlite/schema.h"
#include "platform/variant.h"

namespace host::sqlite {

struct Record {
  int64_t oid = 0;
  int64_t master = 0;               // 0 for a table without master
  std::vector<rt::Variant> values;  // stored kinds, in schema order
  std::vector<std::string> keys;    // one per named index
};

// A view's order: the natural order (index -1) or a named index; in the
// natural order of a detail table, only the records of one master.
struct Order {
  int index = -1;
  bool byMaster = false;
  int64_t master = 0;
};

// A record's id and its master's id; oid 0 when there is no record.
struct Position {
  int64_t oid = 0;
  int64_t master = 0;
};

class Store {
 public:
  Store(Db& db, const Schema& schema);

  // Creates whatever tables and indexes are missing.
  void CreateSchema();

  // A new record id; ids are never handed out twice.
  int64_t NewOid();

  // The upper-cased index keys of a record's values.
  std::vector<std::string> Keys(const TableDef& t, const std::vector<rt::Variant>& values) const;

  void Insert(const TableDef& t, const Record& r);
  void Update(const TableDef& t, const Record& r);  // values and keys by id
  void Delete(const TableDef& t, int64_t oid);
  void DeleteAll(const TableDef& t);
  std::optional<Record> Load(const TableDef& t, int64_t oid);
  std::vector<Record> All(const TableDef& t);  // insertion order

  // Positions in a view's order; oid 0 when there is none.
  Position First(const TableDef& t, const Order& o);
  // The record n steps (n != 0) after (n > 0) or before (n < 0) the record
  // with id `oid` and key `key` (in the order's index; ignored otherwise).
  Position Step(const TableDef& t, const Order& o, int64_t oid, const std::string& key, int32_t n);
  // The first record in index order whose key equals `key` exactly.
  Position FindKey(const TableDef& t, int index, const std::string& key);
  // The record with that id in the whole table.
  Position Find(const TableDef& t, int64_t oid);
  int64_t Count(const TableDef& t, const Order& o);

  Db& db() { return db_; }

  // --- The write log of one host call ----------------------------------------
  // While the log runs, each record stored by Insert or Update is noted
  // once, where it was first written; a note costs a hash lookup.
  void StartLog();
  // The records noted since StartLog, as (table position, id) in the order
  // first written; stops the log.
  std::vector<std::pair<int, int64_t>> TakeLog();

 private:
  // SQL texts of one table, built once.
  struct TableSql {
    std::string load, all, insert, update, remove, find;
    // Per order variant (see Slot()): first, next, previous, count.
    std::vector<std::string> first, next, prev, count;
    std::vector<std::string> findKey;  // per index
  };
  static TableSql BuildSql(const TableDef& t);
  const TableSql& Sql(const TableDef& t) const;
  static size_t Slot(const Order& o) { return static_cast<size_t>(o.index + 1) * 2 + (o.byMaster ? 1 : 0); }

  void Note(const TableDef& t, int64_t oid);

  Db& db_;
  const Schema& schema_;
  std::vector<TableSql> sql_;
  bool logging_ = false;
  std::vector<std::pair<int, int64_t>> log_;
  std::unordered_set<int64_t> logged_;  // ids are unique in the whole database
};

}  // namespace host::sqlite
