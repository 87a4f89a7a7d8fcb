// The floor of a benchmark of host calls: the rows a call inserts, inserted
// with prepared SQLite statements into bare tables of the same columns (a
// record id, a master id, the fields, an index on master and id), in one
// transaction per call, nothing else.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "host/sqlite/stand_in.h"
#include "platform/variant.h"

namespace bench {

// One inserted row: its table and field values.
using RowTemplate = std::pair<std::string, std::vector<std::pair<std::string, rt::Variant>>>;

// Every row of the tables, table after table.
inline std::vector<RowTemplate> RowsOf(host::sqlite::StandIn& host, std::initializer_list<const char*> tables) {
  std::vector<RowTemplate> rows;
  for (const char* t : tables)
    for (host::sqlite::Row& r : host.Rows(t)) rows.push_back({t, std::move(r.fields)});
  return rows;
}

class Floor {
 public:
  // The tables of `rows`, in memory or in a new file (WAL, synchronous
  // NORMAL, as the host's files).
  Floor(std::vector<RowTemplate> rows, bool inFile) : rows_(std::move(rows)) {
    const std::string path = inFile ? TempDatabase("floor") : std::string(":memory:");
    sqlite3_open(path.c_str(), &db_);
    sqlite3_exec(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
    for (const RowTemplate& r : rows_) {
      if (inserts_.count(r.first)) continue;
      std::string create =
          "CREATE TABLE \"" + r.first + "\" (\"_oid\" INTEGER PRIMARY KEY, \"_master\" INTEGER";
      std::string insert = "INSERT INTO \"" + r.first + "\" VALUES (NULL, ?";
      for (const auto& field : r.second) {
        create += ", \"" + field.first + "\"";
        insert += ", ?";
      }
      create += "); CREATE INDEX \"" + r.first + "_m\" ON \"" + r.first + "\" (\"_master\", \"_oid\");";
      sqlite3_exec(db_, create.c_str(), nullptr, nullptr, nullptr);
      sqlite3_prepare_v2(db_, (insert + ")").c_str(), -1, &inserts_[r.first], nullptr);
    }
    sqlite3_prepare_v2(db_, "BEGIN", -1, &begin_, nullptr);
    sqlite3_prepare_v2(db_, "COMMIT", -1, &commit_, nullptr);
  }
  ~Floor() {
    for (auto& entry : inserts_) sqlite3_finalize(entry.second);
    sqlite3_finalize(begin_);
    sqlite3_finalize(commit_);
    sqlite3_close(db_);
  }
  Floor(const Floor&) = delete;
  Floor& operator=(const Floor&) = delete;

  // The rows of one call in one transaction; false when a statement failed.
  [[gnu::noinline]] bool Call() {
    bool ok = Run(begin_);
    for (const RowTemplate& r : rows_) {
      sqlite3_stmt* s = inserts_[r.first];
      sqlite3_bind_int64(s, 1, 1);
      int i = 2;
      for (const auto& field : r.second) Bind(s, i++, field.second);
      ok = Run(s) && ok;
    }
    return Run(commit_) && ok;
  }

 private:
  static void Bind(sqlite3_stmt* s, int i, const rt::Variant& v) {
    using Kind = rt::Variant::Kind;
    switch (v.kind()) {
      case Kind::String:
        sqlite3_bind_text(s, i, v.AsString().c_str(), -1, SQLITE_STATIC);
        break;
      case Kind::Bool:
        sqlite3_bind_int(s, i, v.AsBool() ? 1 : 0);
        break;
      case Kind::Int16:
        sqlite3_bind_int(s, i, v.AsInt16());
        break;
      case Kind::Int32:
        sqlite3_bind_int(s, i, v.AsInt32());
        break;
      case Kind::Double:
        sqlite3_bind_double(s, i, v.AsDouble());
        break;
      case Kind::Date:
        sqlite3_bind_double(s, i, v.AsDate().serial);
        break;
      default:
        sqlite3_bind_null(s, i);
    }
  }
  static bool Run(sqlite3_stmt* s) {
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    return ok;
  }

  std::vector<RowTemplate> rows_;
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*> inserts_;
  sqlite3_stmt* begin_ = nullptr;
  sqlite3_stmt* commit_ = nullptr;
};

// The iterations of a benchmark of host calls, each a host call followed by
// the floor's rows; their times, SQL and allocations added up and reported
// per call.
class CallsAndFloor {
 public:
  CallsAndFloor(host::sqlite::StandIn& host, Floor& floor) : host_(host), floor_(floor), sql_(host.Statistics()) {}

  // One iteration: `call` (false when it failed), then the floor. The
  // iteration's time is the call's from `*timedFrom` when given (a moment
  // inside the call), from its start otherwise.
  template <class Call>
  void Iteration(benchmark::State& state, Call&& call, const double* timedFrom = nullptr) {
    const Allocations a0 = AllocationsSoFar();
    const double t0 = Seconds();
    ok_ = call() && ok_;
    const double t1 = Seconds();
    const Allocations a1 = AllocationsSoFar();
    ok_ = floor_.Call() && ok_;
    const double t2 = Seconds();
    const double timed = t1 - (timedFrom ? *timedFrom : t0);
    state.SetIterationTime(timed);
    call_ += t1 - t0;
    timed_ += timed;
    floorTime_ += t2 - t1;
    allocs_.count += a1.count - a0.count;
    allocs_.bytes += a1.bytes - a0.bytes;
  }

  // The counters per call: call_us (the whole call), floor_us, ratio (the
  // timed part / floor), statements and prepares (of the whole call),
  // allocs and alloc_kb (C++ and SQLite, of the whole call). False when a
  // call or the floor failed.
  bool Report(benchmark::State& state) {
    const host::sqlite::StandIn::SqlStatistics sql = host_.Statistics();
    const double n = static_cast<double>(state.iterations());
    state.counters["call_us"] = call_ / n * 1e6;
    state.counters["floor_us"] = floorTime_ / n * 1e6;
    state.counters["ratio"] = timed_ / floorTime_;
    state.counters["statements"] = static_cast<double>(sql.statements - sql_.statements) / n;
    state.counters["prepares"] = static_cast<double>(sql.prepares - sql_.prepares) / n;
    state.counters["allocs"] = static_cast<double>(allocs_.count) / n;
    state.counters["alloc_kb"] = static_cast<double>(allocs_.bytes) / n / 1024;
    state.SetItemsProcessed(state.iterations());
    return ok_;
  }

 private:
  host::sqlite::StandIn& host_;
  Floor& floor_;
  host::sqlite::StandIn::SqlStatistics sql_;
  Allocations allocs_;
  double call_ = 0, timed_ = 0, floorTime_ = 0;
  bool ok_ = true;
};

}  // namespace bench
