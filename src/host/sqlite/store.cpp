#include "host/sqlite/store.h"

#include <limits>

#include "host/sqlite/errors.h"
#include "host/sqlite/field_values.h"
#include "platform/text.h"

namespace host::sqlite {

namespace {

const std::string kOid = Quote(kOidColumn);
const std::string kMaster = Quote(kMasterColumn);

bool HasMaster(const TableDef& t) { return t.masterIndex >= 0; }

// SELECT list: id, master (or 0), fields, keys.
std::string SelectList(const TableDef& t) {
  std::string s = kOid + ", " + (HasMaster(t) ? kMaster : std::string("0"));
  for (const FieldDef& f : t.fields) s += ", " + Quote(f.name);
  for (const IndexDef& ix : t.indexes) s += ", " + Quote(ix.keyColumn);
  return s;
}

Record ReadRecord(const TableDef& t, const Stmt& s) {
  Record r;
  r.oid = s.Int(0);
  r.master = s.Int(1);
  int col = 2;
  r.values.reserve(t.fields.size());
  for (const FieldDef& f : t.fields) r.values.push_back(ReadField(s, col++, f));
  for (size_t i = 0; i < t.indexes.size(); ++i) r.keys.push_back(s.Text(col++));
  return r;
}

// The ORDER BY columns of an order, ascending or descending.
std::string OrderBy(const TableDef& t, const Order& o, bool desc) {
  const char* dir = desc ? " DESC" : "";
  if (o.index < 0) return " ORDER BY " + kOid + dir;
  return " ORDER BY " + Quote(t.indexes[o.index].keyColumn) + dir + ", " + kOid + dir;
}

}  // namespace

Store::Store(Db& db, const Schema& schema)
    : db_(db),
      schema_(schema),
      cache_(schema.tables().size()),
      readLastOid_(
          "SELECT \"value\", typeof(\"value\"), quote(\"value\") FROM \"_kelhost_meta\" WHERE \"key\" = 'LastOid'"),
      writeLastOid_("UPDATE \"_kelhost_meta\" SET \"value\" = ? WHERE \"key\" = 'LastOid'") {
  for (const TableDef& t : schema_.tables()) sql_.push_back(BuildSql(t));
  // The id is the rowid: each max() is one seek to the last entry of its
  // table, and an empty table gives NULL, which the outer max() skips.
  std::string highest = "SELECT max(\"id\") FROM (SELECT 0 AS \"id\"";
  for (const TableDef& t : schema_.tables()) highest += " UNION ALL SELECT max(" + kOid + ") FROM " + Quote(t.name);
  highestOid_ = Query(highest + ")");
}

Store::TableSql Store::BuildSql(const TableDef& t) {
  TableSql q;
  const std::string name = Quote(t.name);
  const std::string pos = kOid + ", " + (HasMaster(t) ? kMaster : std::string("0"));
  q.load = Query("SELECT " + SelectList(t) + " FROM " + name + " WHERE " + kOid + " = ?");
  q.all = Query("SELECT " + SelectList(t) + " FROM " + name + " ORDER BY " + kOid);
  q.find = Query("SELECT " + pos + " FROM " + name + " WHERE " + kOid + " = ?");
  q.remove = Query("DELETE FROM " + name + " WHERE " + kOid + " = ?");

  std::string cols = kOid, params = "?", sets;
  if (HasMaster(t)) {
    cols += ", " + kMaster;
    params += ", ?";
  }
  for (const FieldDef& f : t.fields) {
    cols += ", " + Quote(f.name);
    params += ", ?";
    sets += (sets.empty() ? "" : ", ") + Quote(f.name) + " = ?";
  }
  // The fields alone, for an update that leaves every key as it was:
  // SQLite then leaves the indexes on the key columns alone.
  q.updateFields = Query("UPDATE " + name + " SET " + sets + " WHERE " + kOid + " = ?");
  for (const IndexDef& ix : t.indexes) {
    cols += ", " + Quote(ix.keyColumn);
    params += ", ?";
    sets += ", " + Quote(ix.keyColumn) + " = ?";
  }
  q.insert = Query("INSERT INTO " + name + " (" + cols + ") VALUES (" + params + ")");
  q.update = Query("UPDATE " + name + " SET " + sets + " WHERE " + kOid + " = ?");

  // Parameters of the order statements: ?1 master, ?2 id, ?3 key, ?4 the
  // records to skip. A single step reads one index entry past the record
  // it starts from, whatever the size of the table.
  for (int index = -1; index < static_cast<int>(t.indexes.size()); ++index) {
    for (bool byMaster : {false, true}) {
      Order o{index, byMaster, 0};
      const std::string where = byMaster ? " WHERE " + kMaster + " = ?1" : std::string();
      const std::string from = " FROM " + name;
      std::string after = byMaster ? where + " AND " : std::string(" WHERE ");
      std::string before = after;
      if (index < 0) {
        after += kOid + " > ?2";
        before += kOid + " < ?2";
      } else {
        std::string row = "(";
        row += Quote(t.indexes[index].keyColumn);
        row += ", " + kOid + ")";
        after += row + " > (?3, ?2)";
        before += row + " < (?3, ?2)";
      }
      const std::string next = "SELECT " + pos + from + after + OrderBy(t, o, false) + " LIMIT 1";
      const std::string prev = "SELECT " + pos + from + before + OrderBy(t, o, true) + " LIMIT 1";
      q.first.emplace_back("SELECT " + pos + from + where + OrderBy(t, o, false) + " LIMIT 1");
      q.next.emplace_back(next);
      q.prev.emplace_back(prev);
      q.nextN.emplace_back(next + " OFFSET ?4");
      q.prevN.emplace_back(prev + " OFFSET ?4");
      q.count.emplace_back("SELECT count(*)" + from + where);
    }
  }
  for (const IndexDef& ix : t.indexes) {
    const std::string col = Quote(ix.keyColumn);
    const std::string where = " FROM " + name + " WHERE " + col + " = ? ORDER BY " + col + ", " + kOid + " LIMIT 1";
    q.findKey.emplace_back("SELECT " + pos + where);
    q.findKeyRecord.emplace_back("SELECT " + SelectList(t) + where);
  }
  return q;
}

void Store::CreateSchema() {
  std::string sql;
  for (const TableDef& t : schema_.tables()) {
    const std::string name = Quote(t.name);
    sql += "CREATE TABLE IF NOT EXISTS " + name + " (" + kOid + " INTEGER PRIMARY KEY";
    if (HasMaster(t)) sql += ", " + kMaster + " INTEGER NOT NULL DEFAULT 0";
    for (const FieldDef& f : t.fields) {
      sql += ", " + Quote(f.name) + " " + ColumnType(f);
      if (f.type != FieldType::Document) sql += " NOT NULL";
      sql += std::string(" DEFAULT ") + ColumnDefault(f);
    }
    for (const IndexDef& ix : t.indexes) sql += ", " + Quote(ix.keyColumn) + " TEXT NOT NULL DEFAULT ''";
    sql += ");\n";
    if (HasMaster(t))
      sql += "CREATE INDEX IF NOT EXISTS " + Quote(t.name + "_master") + " ON " + name + " (" + kMaster +
             ", " + kOid + ");\n";
    // A record's own ID is looked up directly (the harness finds the
    // current address by it).
    for (const FieldDef& f : t.fields)
      if (f.fill == HostFill::UniqueId)
        sql += "CREATE INDEX IF NOT EXISTS " + Quote(t.name + "_" + f.name + "_lookup") + " ON " + name +
               " (" + Quote(f.name) + ");\n";
    // The master link is part of each named index, so that a seek reads
    // the index alone.
    for (const IndexDef& ix : t.indexes)
      sql += "CREATE INDEX IF NOT EXISTS " + Quote(t.name + "_" + ix.name) + " ON " + name + " (" +
             Quote(ix.keyColumn) + ", " + kOid + (HasMaster(t) ? ", " + kMaster : std::string()) + ");\n";
  }
  sql +=
      "CREATE TABLE IF NOT EXISTS \"_kelhost_meta\" (\"key\" TEXT PRIMARY KEY, \"value\" INTEGER NOT NULL);\n"
      "INSERT OR IGNORE INTO \"_kelhost_meta\" VALUES ('LastOid', 0);\n";
  db_.Exec(sql);
}

int64_t Store::NewOid() {
  if (!lastOid_) {
    Stmt s = db_.Use(readLastOid_);
    if (!s.Step()) db_.Fail();
    lastOid_ = s.Int(0);
  }
  // CheckLastOid refuses a counter at the largest id, but the ids of one
  // transaction may still run up to it.
  int64_t next = 0;
  if (__builtin_add_overflow(*lastOid_, int64_t{1}, &next))
    throw DamagedCounter(db_.path(), CounterFault::AtLargest, std::to_string(*lastOid_), *lastOid_);
  lastOid_ = next;
  lastOidOwed_ = true;
  return next;
}

void Store::CheckLastOid() {
  int64_t highest = 0;
  {
    Stmt s = db_.Use(highestOid_);
    if (s.Step()) highest = s.Int(0);
  }
  Stmt s = db_.Use(readLastOid_);
  if (!s.Step()) throw DamagedCounter(db_.path(), CounterFault::Missing, "", highest);
  // As SQL writes the value, cut short for a message.
  std::string found = s.Text(2);
  if (rt::Len(found) > 40) found = rt::Left(found, 40) + "...";
  if (s.Text(1) != "integer") throw DamagedCounter(db_.path(), CounterFault::NotWhole, found, highest);
  const int64_t last = s.Int(0);
  // `highest` is 0 at least: a negative counter is below it.
  if (last < highest) throw DamagedCounter(db_.path(), CounterFault::BelowHighest, found, highest);
  if (last == std::numeric_limits<int64_t>::max())
    throw DamagedCounter(db_.path(), CounterFault::AtLargest, found, highest);
  lastOid_ = last;
}

std::vector<std::string> Store::Keys(const TableDef& t, const std::vector<rt::Variant>& values) const {
  std::vector<std::string> keys;
  keys.reserve(t.indexes.size());
  for (const IndexDef& ix : t.indexes) {
    std::string k;
    for (int f : ix.keyFieldIndexes) k += KeyText(values[f]);
    keys.push_back(UpperKey(k));
  }
  return keys;
}

RecordPtr Store::Keep(const TableDef& t, Record r) {
  auto kept = std::make_shared<const Record>(std::move(r));
  if (Keeping()) cache_.KeepRecord(Index(t), kept);
  return kept;
}

void Store::Insert(const TableDef& t, RecordPtr r) {
  {
    Stmt s = db_.Use(Sql(t).insert);
    int i = 1;
    s.Bind(i++, r->oid);
    if (HasMaster(t)) s.Bind(i++, r->master);
    for (size_t f = 0; f < t.fields.size(); ++f) BindField(s, i++, t.fields[f], r->values[f]);
    for (const std::string& k : r->keys) s.BindRef(i++, k);
    s.Run();
  }
  Note(t, r->oid);
  cache_.Inserted(Index(t), std::move(r));
}

void Store::Update(const TableDef& t, RecordPtr r) {
  // The record as it was, for the keys it leaves.
  const RecordPtr* kept = Keeping() ? cache_.FindRecord(Index(t), r->oid) : nullptr;
  const RecordPtr before = kept ? *kept : nullptr;
  {
    const bool sameKeys = before && before->keys == r->keys;
    Stmt s = db_.Use(sameKeys ? Sql(t).updateFields : Sql(t).update);
    int i = 1;
    for (size_t f = 0; f < t.fields.size(); ++f) BindField(s, i++, t.fields[f], r->values[f]);
    if (!sameKeys)
      for (const std::string& k : r->keys) s.BindRef(i++, k);
    s.Bind(i, r->oid);
    s.Run();
  }
  Note(t, r->oid);
  cache_.Updated(Index(t), before.get(), std::move(r));
}

void Store::Delete(const TableDef& t, int64_t oid) {
  db_.Use(Sql(t).remove).Bind(1, oid).Run();
  cache_.Deleted(Index(t), oid);
}

void Store::DeleteAll(const TableDef& t) {
  db_.Exec("DELETE FROM " + Quote(t.name));
  cache_.DroppedAll(Index(t));
}

RecordPtr Store::Load(const TableDef& t, int64_t oid) {
  if (Keeping())
    if (const RecordPtr* r = cache_.FindRecord(Index(t), oid)) return *r;
  Stmt s = db_.Use(Sql(t).load);
  s.Bind(1, oid);
  if (!s.Step()) return nullptr;
  return Keep(t, ReadRecord(t, s));
}

std::vector<Record> Store::All(const TableDef& t) {
  Stmt s = db_.Use(Sql(t).all);
  std::vector<Record> rows;
  while (s.Step()) rows.push_back(ReadRecord(t, s));
  return rows;
}

namespace {

Position ReadPosition(Stmt& s) { return s.Step() ? Position{s.Int(0), s.Int(1)} : Position{}; }

}  // namespace

// --- Transactions ------------------------------------------------------------------

void Store::Began(bool unchanged) {
  if (unchanged) {
    cache_.Trim();
  } else {
    cache_.Clear();
    lastOid_.reset();
  }
  lastOidOwed_ = false;
}

void Store::Flush() {
  if (!lastOidOwed_) return;
  db_.Use(writeLastOid_).Bind(1, *lastOid_).Run();
  lastOidOwed_ = false;
}

void Store::SavepointBegan() { savepoints_.push_back(log_.size()); }

void Store::SavepointReleased() {
  if (!savepoints_.empty()) savepoints_.pop_back();
}

void Store::RolledBack(bool savepoint) noexcept {
  cache_.Clear();
  lastOid_.reset();
  lastOidOwed_ = false;
  if (!savepoint) {
    savepoints_.clear();
    return;
  }
  if (savepoints_.empty()) return;
  // What the savepoint wrote first is gone; its ids may be handed out again.
  if (savepoints_.back() < log_.size()) {
    log_.resize(savepoints_.back());
    logged_ = std::unordered_set<int64_t>();  // made again from the log when needed
  }
  savepoints_.pop_back();
}

// --- The write log -----------------------------------------------------------------

void Store::StartLog() {
  log_.clear();
  // Room for what a call mostly writes, taken once rather than in steps.
  log_.reserve(kShortLog);
  logged_ = std::unordered_set<int64_t>();
  logging_ = true;
}

std::vector<std::pair<int, int64_t>> Store::TakeLog() {
  logging_ = false;
  // A fresh set: clearing would wipe every bucket a large call left.
  logged_ = std::unordered_set<int64_t>();
  return std::move(log_);
}

void Store::Note(const TableDef& t, int64_t oid) {
  if (!logging_) return;
  // A short log is searched as it stands; a long one through a set of its
  // ids, made when it grows long.
  if (log_.size() < kShortLog) {
    for (const auto& entry : log_)
      if (entry.second == oid) return;
  } else {
    if (logged_.empty())
      for (const auto& entry : log_) logged_.insert(entry.second);
    if (!logged_.insert(oid).second) return;
  }
  log_.emplace_back(Index(t), oid);
}

// --- Positions ---------------------------------------------------------------------

Position Store::First(const TableDef& t, const Order& o) {
  const StepKey k{Slot(o), o.byMaster ? o.master : 0, 0, 0};
  if (Keeping())
    if (std::optional<Position> p = cache_.FindStep(Index(t), k)) return *p;
  Stmt s = db_.Use(Sql(t).first[Slot(o)]);
  if (o.byMaster) s.Bind(1, o.master);
  const Position p = ReadPosition(s);
  if (Keeping()) cache_.KeepStep(Index(t), k, p);
  return p;
}

Position Store::Step(const TableDef& t, const Order& o, int64_t oid, const std::string& key, int32_t n) {
  const StepKey k{Slot(o), o.byMaster ? o.master : 0, oid, n};
  if (Keeping())
    if (std::optional<Position> p = cache_.FindStep(Index(t), k)) return *p;
  const bool back = n < 0;
  const int64_t skip = back ? -static_cast<int64_t>(n) - 1 : static_cast<int64_t>(n) - 1;
  TableSql& sql = Sql(t);
  Stmt s = db_.Use(skip == 0 ? (back ? sql.prev : sql.next)[Slot(o)] : (back ? sql.prevN : sql.nextN)[Slot(o)]);
  if (o.byMaster) s.Bind(1, o.master);
  s.Bind(2, oid);
  if (o.index >= 0) s.BindRef(3, key);
  if (skip != 0) s.Bind(4, skip);
  const Position p = ReadPosition(s);
  if (Keeping()) cache_.KeepStep(Index(t), k, p);
  return p;
}

Position Store::FindKey(const TableDef& t, int index, const std::string& key) {
  TableSql& sql = Sql(t);
  if (!Keeping()) {
    Stmt s = db_.Use(sql.findKey[static_cast<size_t>(index)]);
    s.BindRef(1, key);
    return ReadPosition(s);
  }
  if (std::optional<int64_t> oid = cache_.FindKey(Index(t), index, key)) {
    if (*oid == 0) return {};
    if (const RecordPtr* r = cache_.FindRecord(Index(t), *oid)) return {*oid, (*r)->master};
  }
  // The whole record: who looks a key up mostly reads the record next.
  Stmt s = db_.Use(sql.findKeyRecord[static_cast<size_t>(index)]);
  s.BindRef(1, key);
  if (!s.Step()) {
    cache_.KeepKey(Index(t), index, key, 0);
    return {};
  }
  const RecordPtr r = Keep(t, ReadRecord(t, s));
  cache_.KeepKey(Index(t), index, key, r->oid);
  return {r->oid, r->master};
}

Position Store::Find(const TableDef& t, int64_t oid) {
  if (Keeping()) {
    // The whole record, kept for whoever reads it next.
    const RecordPtr r = Load(t, oid);
    return r ? Position{r->oid, r->master} : Position{};
  }
  Stmt s = db_.Use(Sql(t).find);
  s.Bind(1, oid);
  return ReadPosition(s);
}

int64_t Store::Count(const TableDef& t, const Order& o) {
  Stmt s = db_.Use(Sql(t).count[Slot(o)]);
  if (o.byMaster) s.Bind(1, o.master);
  return s.Step() ? s.Int(0) : 0;
}

}  // namespace host::sqlite
