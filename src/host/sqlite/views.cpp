#include "host/sqlite/views.h"

#include <charconv>
#include <utility>

#include "host/sqlite/errors.h"
#include "host/sqlite/field_values.h"
#include "platform/text.h"

namespace host::sqlite {

int64_t ParseOid(const std::string& oid) {
  int64_t v = 0;
  const char* end = oid.data() + oid.size();
  auto [p, ec] = std::from_chars(oid.data(), end, v);
  if (ec != std::errc() || p != end || v <= 0) return 0;
  return v;
}

Views::Views(Store& store, const Schema& schema, std::function<std::string()> tenant)
    : store_(store), schema_(schema), tenant_(std::move(tenant)), views_(schema.tables().size()) {
  for (const TableDef& def : schema_.tables()) {
    rt::Array a;
    for (const FieldDef& f : def.fields) a.items.push_back(EmptyValue(f));
    empty_.emplace_back(std::move(a));
  }
}

// --- Views and records -----------------------------------------------------------

void Views::FollowMaster(int t) {
  View& v = views_[t];
  const int m = Def(t).masterIndex;
  if (m >= 0) {
    Follow(m);
    const View& master = views_[m];
    if (v.followed != master.moves) {
      // The first detail of the master's current record, looked up when
      // needed. Counted as a move: the details of this view follow it.
      Discard(v);
      v.atFirst = true;
      Moved(v);
      v.followed = master.moves;
    }
  }
  v.followedAll = allMoves_;
}

void Views::Resolve(int t) {
  View& v = views_[t];
  if (!v.atFirst) return;
  const int m = Def(t).masterIndex;
  Resolve(m);
  const int64_t master = views_[m].cur;
  const Position p = master == 0 ? Position{} : store_.First(Def(t), Order{-1, true, master});
  v.atFirst = false;
  v.cur = p.oid;
  v.curMaster = p.master;
}

Order Views::ViewOrder(int t) {
  Order o;
  o.index = views_[t].index;
  const TableDef& def = Def(t);
  if (o.index < 0 && def.masterIndex >= 0) {
    Resolve(def.masterIndex);
    o.byMaster = true;
    o.master = views_[def.masterIndex].cur;
  }
  return o;
}

const Record* Views::Row(int t) {
  Resolve(t);
  View& v = views_[t];
  if (v.cur == 0) return nullptr;
  if (!v.row || v.row->oid != v.cur) {
    v.row = store_.Load(Def(t), v.cur);
    if (!v.row) return nullptr;
  }
  return v.row.get();
}

RecordPtr Views::Current(int t) {
  Follow(t);
  return Row(t) ? views_[t].row : nullptr;
}

int64_t Views::CurrentOid(int t) {
  Follow(t);
  Resolve(t);
  return views_[t].cur;
}

std::string Views::Oid(int t) {
  const int64_t cur = CurrentOid(t);
  return cur == 0 ? std::string() : std::to_string(cur);
}

void Views::Discard(View& v) {
  v.edit = Edit::None;
  v.pending.clear();
  v.changed.clear();
}

// --- Positioning -----------------------------------------------------------------

// Makes p current in v, dropping the pending edit; the details of v follow
// when next used.
void Views::Place(View& v, Position p) {
  Discard(v);
  if (v.atFirst || v.cur != p.oid) Moved(v);
  v.atFirst = false;
  v.cur = p.oid;
  v.curMaster = p.master;
}

void Views::SetCurrent(int t, Position p) {
  // Whether the record changes (and the details must follow) is known only
  // once the view's own record is.
  Resolve(t);
  const int m = Def(t).masterIndex;
  if (p.oid != 0 && m >= 0) {
    if (views_[m].cur != p.master) SetCurrent(m, store_.Find(Def(m), p.master));
    // This detail keeps the record it was placed on.
    views_[t].followed = views_[m].moves;
  }
  Place(views_[t], p);
}

void Views::MoveFirst(int t) {
  Follow(t);
  Order o = ViewOrder(t);
  SetCurrent(t, ViewIsEmpty(o) ? Position{} : store_.First(Def(t), o));
}

void Views::Move(int t, int32_t n) {
  Follow(t);
  Resolve(t);
  View& v = views_[t];
  if (v.cur == 0) {
    Discard(v);
    return;
  }
  if (n == 0) return;
  Order o = ViewOrder(t);
  std::string key;
  if (o.index >= 0) {
    const Record* r = Row(t);
    if (r) key = r->keys[o.index];
  }
  SetCurrent(t, store_.Step(Def(t), o, v.cur, key, n));
}

bool Views::Seek(int t, const std::string& key) {
  Follow(t);
  const int index = views_[t].index;
  if (index < 0) RaiseHost(hosterr::NoIndexSelected, Def(t).name);
  Position p = store_.FindKey(Def(t), index, UpperKey(key));
  if (p.oid == 0) return false;
  SetCurrent(t, p);
  return true;
}

bool Views::GotoOid(int t, const std::string& oid) {
  Follow(t);
  const int64_t id = ParseOid(oid);
  Position p = id == 0 ? Position{} : store_.Find(Def(t), id);
  if (p.oid == 0) return false;
  SetCurrent(t, p);
  return true;
}

void Views::SelectOid(int t, const std::string& oid) {
  Follow(t);
  const int64_t id = ParseOid(oid);
  SetCurrent(t, id == 0 ? Position{} : store_.Find(Def(t), id));
}

void Views::PositionAt(int t, int64_t oid) {
  Follow(t);
  SetCurrent(t, oid == 0 ? Position{} : store_.Find(Def(t), oid));
}

void Views::Forget(int t) {
  Follow(t);
  View& v = views_[t];
  v.row.reset();
  SetCurrent(t, Position{});
}

void Views::Refresh() {
  for (View& v : views_) v.row.reset();
}

// --- Fields ------------------------------------------------------------------------

rt::Variant Views::Read(int t, int field) {
  Follow(t);
  View& v = views_[t];
  if (v.edit == Edit::New) return v.pending[field];
  if (v.edit == Edit::Change && v.changed[field]) return v.pending[field];
  const Record* r = Row(t);
  if (!r) return EmptyValue(Def(t).fields[field]);
  return r->values[field];
}

void Views::Put(int t, int field, const rt::Variant& value) {
  Follow(t);
  View& v = views_[t];
  if (v.edit != Edit::New) Resolve(t);
  const TableDef& def = Def(t);
  if (v.edit != Edit::New && v.cur == 0) RaiseHost(hosterr::NoCurrentRecord, def.name);
  rt::Variant stored = ToFieldValue(def.fields[field], value);
  if (v.edit == Edit::None) {
    v.edit = Edit::Change;
    v.pending.assign(def.fields.size(), rt::Variant());
    v.changed.assign(def.fields.size(), false);
  }
  v.pending[field] = std::move(stored);
  if (v.edit == Edit::Change) v.changed[field] = true;
}

// --- Writing -----------------------------------------------------------------------

void Views::SetDefault(int t, int field, const rt::Variant& value) {
  empty_[t].AsArray().items[field] = ToFieldValue(Def(t).fields[field], value);
}

void Views::SetValues(int t, const rt::Variant& values) {
  const TableDef& def = Def(t);
  if (!values.IsArray()) RaiseHost(hosterr::InvalidArgument, def.name + ".SetValues");
  const rt::Array& a = values.AsArray();
  std::vector<rt::Variant> pending;
  if (&a == &std::as_const(empty_[t]).AsArray()) {
    // NewValues as it was handed out: the empty values need no conversion.
    pending = a.items;
  } else {
    pending.reserve(def.fields.size());
    for (size_t i = 0; i < def.fields.size(); ++i)
      pending.push_back(i < a.items.size() ? ToFieldValue(def.fields[i], a.items[i])
                                           : EmptyValue(def.fields[i]));
  }
  Follow(t);
  View& v = views_[t];
  Discard(v);
  v.edit = Edit::New;
  v.pending = std::move(pending);
}

void Views::FillHostFields(int t, Record& r, std::vector<size_t>& filled) {
  const TableDef& def = Def(t);
  for (size_t i = 0; i < def.fields.size(); ++i) {
    const FieldDef& f = def.fields[i];
    if (f.fill == HostFill::None || !r.values[i].AsString().empty()) continue;
    std::string text;
    switch (f.fill) {
      case HostFill::TenantName:
        text = tenant_();
        break;
      case HostFill::UniqueId:
        text = std::to_string(r.oid);
        break;
      case HostFill::MasterId: {
        const TableDef& m = Def(def.masterIndex);
        const int id = m.FieldIndex("ID");
        const RecordPtr master = store_.Load(m, r.master);
        if (id >= 0 && master) text = KeyText(master->values[id]);
        break;
      }
      case HostFill::None:
        break;
    }
    if (rt::Len(text) > f.size) text = rt::Left(text, f.size);
    r.values[i] = rt::Variant(std::move(text));
    filled.push_back(i);
  }
}

int64_t Views::InsertRecord(int t, std::vector<rt::Variant>& values, int64_t master) {
  // The id and the record are written together: inside a write transaction
  // the id is written back when it commits (a record that fails leaves its
  // id unused); outside, in a transaction of its own.
  std::optional<Transaction> tx;
  if (!store_.db().Writing()) tx.emplace(store_.db());
  auto r = std::make_shared<Record>();
  r->oid = store_.NewOid();
  r->master = master;
  r->values = std::move(values);
  std::vector<size_t> filled;
  try {
    FillHostFields(t, *r, filled);
    r->keys = store_.Keys(Def(t), r->values);
    store_.Insert(Def(t), r);
  } catch (...) {
    // The values as they came, host-filled fields empty again.
    values = std::move(r->values);
    for (size_t i : filled) values[i] = rt::Variant(std::string());
    throw;
  }
  if (tx) tx->Commit();
  return r->oid;
}

void Views::Insert(int t) {
  Follow(t);
  View& v = views_[t];
  const TableDef& def = Def(t);
  if (v.edit != Edit::New) RaiseHost(hosterr::NoCurrentRecord, def.name);
  int64_t master = 0;
  if (def.masterIndex >= 0) {
    Resolve(def.masterIndex);
    master = views_[def.masterIndex].cur;
    if (master == 0) RaiseHost(hosterr::NoMasterRecord, def.name);
  }
  // The prepared record goes into the insert; a failed insert leaves it
  // prepared as it was.
  const int64_t oid = InsertRecord(t, v.pending, master);
  Place(v, Position{oid, master});
}

void Views::BeginEdit(int t) {
  Follow(t);
  View& v = views_[t];
  if (v.edit == Edit::New) return;
  Resolve(t);
  if (v.cur == 0) RaiseHost(hosterr::NoCurrentRecord, Def(t).name);
  if (v.edit == Edit::None) {
    v.edit = Edit::Change;
    v.pending.assign(Def(t).fields.size(), rt::Variant());
    v.changed.assign(Def(t).fields.size(), false);
  }
}

void Views::Update(int t) {
  Follow(t);
  Resolve(t);
  View& v = views_[t];
  const TableDef& def = Def(t);
  // A prepared new record is stored by Insert only; Update must not drop it
  // silently.
  if (v.edit == Edit::New || v.cur == 0) RaiseHost(hosterr::NoCurrentRecord, def.name);
  if (v.edit != Edit::Change) return;
  const Record* current = Row(t);
  if (!current) RaiseHost(hosterr::NoCurrentRecord, def.name);
  Record r = *current;
  bool keysChanged = false;
  for (size_t i = 0; i < def.fields.size(); ++i)
    if (v.changed[i]) {
      r.values[i] = std::move(v.pending[i]);
      keysChanged = keysChanged || def.inKey[i];
    }
  // Keys are made of key fields alone: with none of them changed, the
  // record keeps its own.
  if (keysChanged) r.keys = store_.Keys(def, r.values);
  auto updated = std::make_shared<const Record>(std::move(r));
  store_.Update(def, updated);
  v.row = std::move(updated);
  Discard(v);
}

void Views::Delete(int t) {
  Follow(t);
  Resolve(t);
  View& v = views_[t];
  Discard(v);
  if (v.cur == 0) return;
  Order o = ViewOrder(t);
  std::string key;
  if (o.index >= 0) {
    const Record* r = Row(t);
    if (r) key = r->keys[o.index];
  }
  Position next = store_.Step(Def(t), o, v.cur, key, 1);
  store_.Delete(Def(t), v.cur);
  v.row.reset();
  SetCurrent(t, next);
}

// --- Indexes and state -------------------------------------------------------------

void Views::SelectIndex(int t, int index) {
  Follow(t);
  View& v = views_[t];
  v.index = index;
  // The current record stays when it lies in the new view: always under a
  // named index, and in the natural order when it belongs to the master's
  // current record (as the master's first detail does).
  if (v.atFirst) return;
  Order o = ViewOrder(t);
  if (v.cur != 0 && o.byMaster && v.curMaster != o.master) SetCurrent(t, Position{});
}

std::string Views::KeyValue(int t, int index) {
  Follow(t);
  if (index < 0) return {};
  const Record* r = Row(t);
  return r ? r->keys[index] : std::string();
}

int32_t Views::SelectionCount(int t) {
  Follow(t);
  Order o = ViewOrder(t);
  if (ViewIsEmpty(o)) return 0;
  return static_cast<int32_t>(store_.Count(Def(t), o));
}

}  // namespace host::sqlite
