#include "host/sqlite/record_cache.h"

namespace host::sqlite {

namespace {

// Empties a hash map at a cost that does not grow with what it once held:
// clear() wipes every bucket the map ever grew to, even when it is empty.
template <class Map>
void Drop(Map& map) {
  if (map.empty()) return;
  if (map.bucket_count() > 2 * RecordCache::kKeptAcross) {
    map = Map();
  } else {
    map.clear();
  }
}

}  // namespace

void RecordCache::Clear() {
  for (Table& table : tables_) {
    Drop(table.records);
    table.keys.clear();
    Drop(table.steps);
  }
}

void RecordCache::Trim() {
  for (Table& table : tables_) {
    if (table.records.size() > kKeptAcross) Drop(table.records);
    for (auto& keys : table.keys)
      if (keys.size() > kKeptAcross) Drop(keys);
    if (table.steps.size() > kKeptAcross) Drop(table.steps);
  }
}

const RecordPtr* RecordCache::FindRecord(int t, int64_t oid) const {
  const auto& records = tables_[static_cast<size_t>(t)].records;
  const auto it = records.find(oid);
  return it == records.end() ? nullptr : &it->second;
}

void RecordCache::KeepRecord(int t, RecordPtr r) {
  auto& records = tables_[static_cast<size_t>(t)].records;
  if (records.size() >= kMaxPerTable) Drop(records);
  const int64_t oid = r->oid;
  records.insert_or_assign(oid, std::move(r));
}

std::optional<int64_t> RecordCache::FindKey(int t, int index, const std::string& key) const {
  const auto& keys = tables_[static_cast<size_t>(t)].keys;
  if (static_cast<size_t>(index) >= keys.size()) return std::nullopt;
  const auto it = keys[static_cast<size_t>(index)].find(key);
  if (it == keys[static_cast<size_t>(index)].end()) return std::nullopt;
  return it->second;
}

void RecordCache::KeepKey(int t, int index, const std::string& key, int64_t oid) {
  auto& keys = tables_[static_cast<size_t>(t)].keys;
  if (static_cast<size_t>(index) >= keys.size()) keys.resize(static_cast<size_t>(index) + 1);
  auto& kept = keys[static_cast<size_t>(index)];
  if (kept.size() >= kMaxPerTable) Drop(kept);
  kept.insert_or_assign(key, oid);
}

std::optional<Position> RecordCache::FindStep(int t, const StepKey& k) const {
  const auto& steps = tables_[static_cast<size_t>(t)].steps;
  const auto it = steps.find(k);
  if (it == steps.end()) return std::nullopt;
  return it->second;
}

void RecordCache::KeepStep(int t, const StepKey& k, Position p) {
  auto& steps = tables_[static_cast<size_t>(t)].steps;
  if (steps.size() >= kMaxPerTable) Drop(steps);
  steps.insert_or_assign(k, p);
}

void RecordCache::ForgetKeys(Table& table, const Record& r) {
  for (size_t i = 0; i < table.keys.size() && i < r.keys.size(); ++i) table.keys[i].erase(r.keys[i]);
}

void RecordCache::Inserted(int t, RecordPtr r) {
  Table& table = tables_[static_cast<size_t>(t)];
  Drop(table.steps);
  ForgetKeys(table, *r);
  KeepRecord(t, std::move(r));
}

void RecordCache::Updated(int t, const Record* before, RecordPtr after) {
  Table& table = tables_[static_cast<size_t>(t)];
  // An update moves no record in the natural order (ids and masters stay);
  // a key the record keeps leads to the same first record as before, and
  // leaves the record where it was in its index.
  if (!before || before->keys != after->keys) {
    Drop(table.steps);
    table.keys.clear();
  }
  KeepRecord(t, std::move(after));
}

void RecordCache::Deleted(int t, int64_t oid) {
  Table& table = tables_[static_cast<size_t>(t)];
  Drop(table.steps);
  const auto it = table.records.find(oid);
  if (it != table.records.end()) {
    ForgetKeys(table, *it->second);
    table.records.erase(it);
  } else {
    table.keys.clear();
  }
}

void RecordCache::DroppedAll(int t) {
  Table& table = tables_[static_cast<size_t>(t)];
  Drop(table.records);
  table.keys.clear();
  Drop(table.steps);
}

}  // namespace host::sqlite
