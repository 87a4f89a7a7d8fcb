// The host's shared table views: one per table, seen by every table object
// opened on that table's name. A view holds the current record, the current
// index, two flags and one pending edit (a prepared new record, or the puts
// made on the current record).
//
// Rules kept here:
//  - natural order is insertion order; a detail table in natural order shows
//    only the records of its master's current record; a named index shows
//    the whole table ordered by its upper-cased key, ties in insertion order;
//  - a detail's current record always belongs to its master's current
//    record: when a master moves, each detail moves to its first record (or
//    end of file), recursively; positioning a detail on a record of another
//    master moves the master (recursively) and the master's other details.
//    A detail follows its master when it is next used (each view counts its
//    moves; a detail remembers the count of its master it last followed), so
//    walking a master costs nothing in its details; and it looks its first
//    record up only when that record is needed, so that a detail that only
//    takes new records never looks;
//  - any positioning discards the pending edit; a miss of Seek or GotoOid
//    leaves the view as it was;
//  - a record stored with Insert becomes current.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/sqlite/schema.h"
#include "host/sqlite/store.h"
#include "platform/variant.h"

namespace host::sqlite {

class Views {
 public:
  // `tenant` gives the current tenant's name for fields the host fills.
  Views(Store& store, const Schema& schema, std::function<std::string()> tenant);

  // --- Positioning -------------------------------------------------------------
  void MoveFirst(int t);
  void Move(int t, int32_t n);
  bool Seek(int t, const std::string& key);  // in the current index
  bool GotoOid(int t, const std::string& oid);
  void SelectOid(int t, const std::string& oid);  // a missing record: no current record
  // Makes a record current (0: none) as GotoOid does; for the harness.
  void PositionAt(int t, int64_t oid);
  // Forgets the current record after the table's records were removed.
  void Forget(int t);
  // Forgets the copies of current records read so far, so that each is
  // read again when next used (another process may have changed it).
  void Refresh();

  bool Eof(int t) { return CurrentOid(t) == 0; }
  int64_t CurrentOid(int t);
  std::string Oid(int t);

  // --- Fields ------------------------------------------------------------------
  // A field of the prepared record, else of the current record with its
  // pending puts; at end of file the field type's empty value.
  rt::Variant Read(int t, int field);
  void Put(int t, int field, const rt::Variant& value);
  // The stored current record (without pending puts), or null.
  RecordPtr Current(int t);

  // --- Writing -----------------------------------------------------------------
  // The empty value of each field (one array per table, shared by the
  // copies handed out until one is written to).
  rt::Variant NewValues(int t) const { return empty_[t]; }
  // A new record starts with `value` in `field` instead of its empty value.
  void SetDefault(int t, int field, const rt::Variant& value);
  void SetValues(int t, const rt::Variant& values);
  void Insert(int t);
  void BeginEdit(int t);
  void Update(int t);
  void Delete(int t);

  // Stores a record of the values (moved out) under `master` (0: a table
  // without master) with the host-filled fields, without touching any view;
  // returns its id. When it fails, `values` are as they came.
  int64_t InsertRecord(int t, std::vector<rt::Variant>& values, int64_t master);

  // --- Indexes and state -------------------------------------------------------
  void SelectIndex(int t, int index);  // -1: natural order
  int CurrentIndex(int t) { return views_[t].index; }
  std::string KeyValue(int t, int index);
  int32_t SelectionCount(int t);
  int16_t& FlagA(int t) { return views_[t].flagA; }
  int16_t& FlagB(int t) { return views_[t].flagB; }

 private:
  enum class Edit { None, New, Change };
  struct View {
    int64_t cur = 0;  // 0: no current record
    int64_t curMaster = 0;
    // The current record is the master's first detail, not looked up yet
    // (`cur` and `curMaster` do not hold).
    bool atFirst = false;
    uint64_t moves = 0;     // changes of `cur` so far
    uint64_t followed = 0;  // the master's `moves` this view last followed
    uint64_t followedAll = ~uint64_t{0};  // allMoves_ when this view last followed
    int index = -1;
    int16_t flagA = 0;
    int16_t flagB = 0;
    Edit edit = Edit::None;
    std::vector<rt::Variant> pending;  // New: every field; Change: the puts
    std::vector<bool> changed;         // Change: which fields were put
    RecordPtr row;                     // the current record, once loaded
  };

  const TableDef& Def(int t) const { return schema_.tables()[t]; }
  // Brings a detail (and its masters) up to its master's current record;
  // every public member starts with it. Nothing to do when nothing moved
  // since the view last followed.
  void Follow(int t) {
    if (views_[t].followedAll != allMoves_) FollowMaster(t);
  }
  void FollowMaster(int t);
  // Looks the current record up when the view is at its master's first
  // detail; every member that needs `cur` calls it after Follow.
  void Resolve(int t);
  // The view's order; a detail's master is resolved.
  Order ViewOrder(int t);
  static bool ViewIsEmpty(const Order& o) { return o.byMaster && o.master == 0; }
  const Record* Row(int t);
  void Discard(View& v);
  void Moved(View& v) {
    ++v.moves;
    ++allMoves_;
  }
  // Makes `p` current; the master follows when p belongs to another master
  // record (and the master's other details follow it when next used).
  void SetCurrent(int t, Position p);
  void Place(View& v, Position p);
  // Fills the host's fields the record leaves empty; notes which in `filled`.
  void FillHostFields(int t, Record& r, std::vector<size_t>& filled);

  Store& store_;
  const Schema& schema_;
  std::function<std::string()> tenant_;
  std::vector<View> views_;
  uint64_t allMoves_ = 0;  // the moves of all views together
  std::vector<rt::Variant> empty_;  // per table: the array of the fields' empty values or defaults
};

// Parses a record id; 0 for text that is not one.
int64_t ParseOid(const std::string& oid);

}  // namespace host::sqlite
