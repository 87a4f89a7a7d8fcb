#include "host/sqlite/core.h"

#include "host/sqlite/errors.h"
#include "host/sqlite/field_values.h"
#include "host/sqlite/files/ownership.h"
#include "platform/text.h"

namespace host::sqlite {

std::string PrivateSettingsOf(const std::string& user) { return "private:" + UpperKey(user); }
std::string PublicSettingsOf(const std::string& user) { return "public:" + UpperKey(user); }
std::string TableSettingsOf(const std::string& table) { return "table:" + UpperKey(table); }

Core::Core(const std::string& path, Access access, const std::function<void(Core&)>& init,
           const NewFileOptions& file)
    : db(path, access, file.pageSize, file.reportAs),
      schema(Schema::Default()),
      store(db, schema),
      views(store, schema, [this] { return TenantName(); }),
      own(db) {
  db.SetObserver(this);
  if (access == Access::Create || access == Access::Memory) {
    Transaction tx(db);
    MarkDatabase(db, schema);
    if (init) init(*this);
    tx.Commit();
  } else {
    const FileProbe probe = Inspect(db);
    if (probe.kind != FileKind::Own && probe.kind != FileKind::Unmarked) RaiseHost(hosterr::NotOwnDatabase, path);
    // Before this connection's first write: a record counter that cannot be
    // trusted refuses the file, with nothing written; a file made before
    // files were marked gets its mark.
    const bool mark = probe.kind == FileKind::Unmarked && access == Access::Write;
    db.SetFirstWriteHook([this, mark] {
      store.CheckLastOid();
      if (mark) MarkDatabase(db, schema);
    });
  }
  // The host's current address and contract type of this session.
  views.PositionAt(TableIndex("Adressen"), ParseOid(SessionValue(kSessionAddress)));
  views.PositionAt(TableIndex("kt_Vertragsdefinitionen"), ParseOid(SessionValue(kSessionContractType)));
}

Core::~Core() { db.SetObserver(nullptr); }

// --- Write transactions --------------------------------------------------------------

void Core::Began(bool unchanged) {
  store.Began(unchanged);
  if (unchanged) return;
  // What was read before may have been changed by another connection.
  views.Refresh();
  own.Clear();
}

void Core::Flush() { store.Flush(); }

void Core::RolledBack(bool savepoint) noexcept {
  store.RolledBack(savepoint);
  views.Refresh();
  own.Clear();
}

// --- Tables --------------------------------------------------------------------------

int Core::TableIndex(std::string_view name) const {
  int t = schema.Find(name);
  if (t < 0) RaiseHost(hosterr::UnknownTable, std::string(name));
  return t;
}

namespace {

[[noreturn, gnu::cold, gnu::noinline]] void RaiseUnknownField(const TableDef& t, std::string_view field) {
  RaiseHost(hosterr::UnknownField, t.name + "." + std::string(field));
}

}  // namespace

int Core::FieldIndex(int t, std::string_view field) const {
  const int f = Def(t).FieldIndex(field);
  if (f < 0) RaiseUnknownField(Def(t), field);
  return f;
}

int64_t Core::InsertRow(int t, const std::vector<std::pair<std::string, rt::Variant>>& values,
                        int64_t master) {
  const TableDef& def = Def(t);
  std::vector<rt::Variant> record;
  for (const FieldDef& f : def.fields) record.push_back(EmptyValue(f));
  for (const auto& [name, value] : values) {
    const int f = FieldIndex(t, name);
    record[f] = ToFieldValue(def.fields[f], value);
  }
  return views.InsertRecord(t, record, master);
}

// --- Session -------------------------------------------------------------------------

std::string Core::SessionValue(const char* key) {
  if (auto it = sessionOverrides_.find(key); it != sessionOverrides_.end()) return it->second;
  return own.SessionValue(key);
}

void Core::SetSessionValue(const char* key, const std::string& value, bool keep) {
  if (!keep) {
    sessionOverrides_[key] = value;
    return;
  }
  sessionOverrides_.erase(key);
  own.SetSessionValue(key, value);
}

}  // namespace host::sqlite
