// The records of the host tables in SQLite: one table per host table, one
// column per field, and hidden columns for the record id ("_oid", unique in
// the whole database and never reused), the master link ("_master", detail
// tables only) and one upper-cased key per named index ("_key_<index>").
//
// Every lookup and step goes through an SQLite index: natural order is the
// record id (insertion order), a detail's natural order is (master, id), a
// named index is (key, id). Only All, DeleteAll and the Count of a view
// that is not a master's details read a whole table.
//
// Inside its connection's write transactions the Store keeps what it read
// and wrote (record_cache.h) and hands out record ids from memory, writing
// the last one back before the transaction commits; outside them every
// read goes to SQLite.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/sqlite/db.h"
#include "host/sqlite/record.h"
#include "host/sqlite/record_cache.h"
#include "host/sqlite/schema.h"
#include "platform/variant.h"

namespace host::sqlite {

class Store {
 public:
  Store(Db& db, const Schema& schema);

  // Creates whatever tables and indexes are missing.
  void CreateSchema();

  // A new record id; ids are never handed out twice. Only inside a write
  // transaction. Raises DamagedCounter (AtLargest) rather than go past the
  // largest id.
  int64_t NewOid();

  // Raises DamagedCounter unless the file's record counter (the last id
  // handed out) is an SQLite integer, at least the highest record id of
  // every host table and below the largest id: ids drawn from any other
  // would collide with records that exist, or overflow. Reads the counter
  // and one entry per table (its last one, by the id, which is the rowid);
  // NewOid goes on from the counter read. Inside a write transaction,
  // before anything is written.
  void CheckLastOid();

  // The upper-cased index keys of a record's values.
  std::vector<std::string> Keys(const TableDef& t, const std::vector<rt::Variant>& values) const;

  // Insert and Update store the record (Update its values and keys by id),
  // which is kept as the table's current copy of it.
  void Insert(const TableDef& t, RecordPtr r);
  void Update(const TableDef& t, RecordPtr r);
  void Delete(const TableDef& t, int64_t oid);
  void DeleteAll(const TableDef& t);
  RecordPtr Load(const TableDef& t, int64_t oid);  // null when there is none
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

  // --- Transactions (see TransactionObserver) ------------------------------------
  // What was kept goes unless the database is unchanged since this
  // connection's last commit.
  void Began(bool unchanged);
  // Writes the last record id handed out.
  void Flush();
  // The write log forgets what a savepoint rolled back wrote.
  void SavepointBegan();
  void SavepointReleased();
  void RolledBack(bool savepoint) noexcept;

  // --- The write log of one host call ----------------------------------------
  // While the log runs, each record stored by Insert or Update is noted
  // once, where it was first written; a note costs a look at a short log,
  // or a hash lookup.
  void StartLog();
  // The records noted since StartLog, as (table position, id) in the order
  // first written; stops the log.
  std::vector<std::pair<int, int64_t>> TakeLog();

 private:
  // Statements of one table.
  struct TableSql {
    Query load, all, insert, update, updateFields, remove, find;
    // Per order variant (see Slot()): first, next, previous (one step and
    // several), count.
    std::vector<Query> first, next, prev, nextN, prevN, count;
    std::vector<Query> findKey, findKeyRecord;  // per index: position, whole record
  };
  static TableSql BuildSql(const TableDef& t);
  int Index(const TableDef& t) const { return static_cast<int>(&t - schema_.tables().data()); }
  TableSql& Sql(const TableDef& t) { return sql_[static_cast<size_t>(Index(t))]; }
  static size_t Slot(const Order& o) { return static_cast<size_t>(o.index + 1) * 2 + (o.byMaster ? 1 : 0); }
  // True while what is kept may be used.
  bool Keeping() const { return db_.Writing(); }
  RecordPtr Keep(const TableDef& t, Record r);

  void Note(const TableDef& t, int64_t oid);
  static constexpr size_t kShortLog = 32;  // searched without the set

  Db& db_;
  const Schema& schema_;
  std::vector<TableSql> sql_;
  RecordCache cache_;
  // The last record id handed out, once read in a write transaction; and
  // whether it still has to be written back.
  std::optional<int64_t> lastOid_;
  bool lastOidOwed_ = false;
  Query readLastOid_, writeLastOid_, highestOid_;
  bool logging_ = false;
  std::vector<std::pair<int, int64_t>> log_;
  std::unordered_set<int64_t> logged_;  // the ids of a long log (ids are unique in the whole database)
  std::vector<size_t> savepoints_;      // the log's length when each open savepoint began
};

}  // namespace host::sqlite
