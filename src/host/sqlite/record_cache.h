// What the stand-in has read and written of the host tables, kept so that
// it is not read again: records by id, the first record of an index key,
// and where cursor steps lead, per table.
//
// It holds only while no other connection writes. The Store uses it inside
// its connection's write transactions (no other connection can write
// then), and the whole of it goes when such a transaction begins after
// anyone else changed the database, and when one is rolled back (see
// TransactionObserver in db.h). Every write of the stand-in to a table
// corrects or drops what is kept of that table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/sqlite/record.h"

namespace host::sqlite {

using RecordPtr = std::shared_ptr<const Record>;

// Where a cursor step leads: the first record of an order (oid 0, n 0), or
// the record n steps from record oid.
struct StepKey {
  size_t slot = 0;  // the order (see Store)
  int64_t master = 0;
  int64_t oid = 0;
  int32_t n = 0;
  bool operator==(const StepKey&) const = default;
};

class RecordCache {
 public:
  // Records (and steps, and keys) kept per table at most; beyond, the
  // table's are dropped and kept anew, so that a long walk or run of writes
  // keeps memory flat and costs per step what it costs outside a
  // transaction.
  static constexpr size_t kMaxPerTable = 1024;
  // Kept from one transaction into the next at most per table: enough for
  // what a host call reads again (current records, the records a call
  // looks up), small enough that what the tables keep stays in the
  // processor's caches. Tables that calls write to outgrow it every few
  // calls and start anew, so that records written go soon and their memory
  // is used again while it is still in the caches.
  static constexpr size_t kKeptAcross = 64;

  explicit RecordCache(size_t tables) : tables_(tables) {}

  void Clear();
  // Between transactions: drops what a table keeps beyond kKeptAcross.
  void Trim();

  // --- Reads -------------------------------------------------------------------
  // The kept record, or null when none is kept.
  const RecordPtr* FindRecord(int t, int64_t oid) const;
  void KeepRecord(int t, RecordPtr r);
  // The first record with the key in an index (0: there is none), or
  // nullopt when that is not known.
  std::optional<int64_t> FindKey(int t, int index, const std::string& key) const;
  void KeepKey(int t, int index, const std::string& key, int64_t oid);
  std::optional<Position> FindStep(int t, const StepKey& k) const;
  void KeepStep(int t, const StepKey& k, Position p);

  // --- Writes of the stand-in ----------------------------------------------------
  void Inserted(int t, RecordPtr r);
  // `before`: the record as it was, when known.
  void Updated(int t, const Record* before, RecordPtr after);
  void Deleted(int t, int64_t oid);
  void DroppedAll(int t);

 private:
  struct StepHash {
    size_t operator()(const StepKey& k) const {
      size_t h = k.slot;
      h = h * 1000003u ^ static_cast<size_t>(k.master);
      h = h * 1000003u ^ static_cast<size_t>(k.oid);
      return h * 1000003u ^ static_cast<size_t>(k.n);
    }
  };
  struct Table {
    std::unordered_map<int64_t, RecordPtr> records;
    std::vector<std::unordered_map<std::string, int64_t>> keys;  // per index
    std::unordered_map<StepKey, Position, StepHash> steps;
  };
  // A changed key may now lead to another first record.
  static void ForgetKeys(Table& table, const Record& r);

  std::vector<Table> tables_;
};

}  // namespace host::sqlite
