#include "host/sqlite/core.h"

#include "host/sqlite/errors.h"
#include "host/sqlite/field_values.h"
#include "host/sqlite/ownership.h"
#include "host/sqlite/value_codec.h"
#include "platform/text.h"

namespace host::sqlite {

std::string PrivateSettingsOf(const std::string& user) { return "private:" + rt::UCase(user); }
std::string PublicSettingsOf(const std::string& user) { return "public:" + rt::UCase(user); }
std::string TableSettingsOf(const std::string& table) { return "table:" + rt::UCase(table); }

Core::Core(const std::string& path, Access access, const std::function<void(Core&)>& init)
    : db(path, access),
      schema(Schema::Default()),
      store(db, schema),
      views(store, schema, [this] { return TenantName(); }) {
  if (access == Access::Create) {
    Transaction tx(db);
    MarkDatabase(db, schema);
    if (init) init(*this);
    tx.Commit();
  } else {
    const FileProbe probe = Inspect(db);
    if (probe.kind == FileKind::Unmarked && access == Access::Write)
      db.SetFirstWriteHook([this] { MarkDatabase(db, schema); });
    else if (probe.kind != FileKind::Own && probe.kind != FileKind::Unmarked)
      RaiseHost(hosterr::NotOwnDatabase, path);
  }
  // The host's current address and contract type of this session.
  views.PositionAt(TableIndex("Adressen"), ParseOid(SessionValue(kSessionAddress)));
  views.PositionAt(TableIndex("kt_Vertragsdefinitionen"), ParseOid(SessionValue(kSessionContractType)));
}

// --- Tables --------------------------------------------------------------------------

int Core::TableIndex(std::string_view name) const {
  int t = schema.Find(name);
  if (t < 0) RaiseHost(hosterr::UnknownTable, std::string(name));
  return t;
}

int Core::FieldIndex(int t, std::string_view field) const {
  int f = Def(t).FieldIndex(field);
  if (f < 0) RaiseHost(hosterr::UnknownField, Def(t).name + "." + std::string(field));
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
  return views.InsertRecord(t, std::move(record), master);
}

// --- Session -------------------------------------------------------------------------

std::string Core::SessionValue(const char* key) {
  if (auto it = sessionOverrides_.find(key); it != sessionOverrides_.end()) return it->second;
  Stmt s = db.Prepare("SELECT \"value\" FROM \"_kelhost_session\" WHERE \"key\" = ?");
  s.Bind(1, std::string_view(key));
  return s.Step() ? s.Text(0) : std::string();
}

void Core::SetSessionValue(const char* key, const std::string& value, bool keep) {
  if (!keep) {
    sessionOverrides_[key] = value;
    return;
  }
  sessionOverrides_.erase(key);
  db.Prepare("INSERT OR REPLACE INTO \"_kelhost_session\" VALUES (?, ?)")
      .Bind(1, std::string_view(key))
      .Bind(2, std::string_view(value))
      .Run();
}

// --- Users ---------------------------------------------------------------------------

std::vector<std::string> Core::UserNames() {
  Stmt s = db.Prepare("SELECT \"name\" FROM \"_kelhost_users\" ORDER BY \"seq\"");
  std::vector<std::string> names;
  while (s.Step()) names.push_back(s.Text(0));
  return names;
}

void Core::AddUser(const std::string& name) {
  db.Prepare("INSERT INTO \"_kelhost_users\" (\"name\") VALUES (?)").Bind(1, std::string_view(name)).Run();
}

// --- Settings ------------------------------------------------------------------------

std::optional<rt::Variant> Core::Setting(const std::string& store, const std::string& key) {
  Stmt s = db.Prepare("SELECT \"value\" FROM \"_kelhost_settings\" WHERE \"store\" = ? AND \"ukey\" = ?");
  s.Bind(1, std::string_view(store)).Bind(2, std::string_view(rt::UCase(key)));
  if (!s.Step()) return std::nullopt;
  return DecodeValue(s.Text(0));
}

void Core::SetSetting(const std::string& store, const std::string& key, const rt::Variant& value) {
  const std::string encoded = EncodeValue(value);
  db.Prepare(
        "INSERT INTO \"_kelhost_settings\" VALUES (?1, ?2, ?3, ?4)"
        " ON CONFLICT (\"store\", \"ukey\") DO UPDATE SET \"value\" = ?4")
      .Bind(1, std::string_view(store))
      .Bind(2, std::string_view(rt::UCase(key)))
      .Bind(3, std::string_view(key))
      .Bind(4, std::string_view(encoded))
      .Run();
}

// --- Persistent variables ------------------------------------------------------------

int32_t Core::PersistVarCount() {
  Stmt s = db.Prepare("SELECT count(*) FROM \"_kelhost_persistvars\"");
  return s.Step() ? static_cast<int32_t>(s.Int(0)) : 0;
}

std::optional<std::string> Core::PersistVarNameAt(int32_t index) {
  if (index < 0) return std::nullopt;
  Stmt s = db.Prepare("SELECT \"name\" FROM \"_kelhost_persistvars\" ORDER BY \"seq\" LIMIT 1 OFFSET ?");
  s.Bind(1, int64_t{index});
  if (!s.Step()) return std::nullopt;
  return s.Text(0);
}

std::optional<Core::PersistVar> Core::FindPersistVar(const std::string& name) {
  Stmt s =
      db.Prepare("SELECT \"name\", \"value\", \"locked\" FROM \"_kelhost_persistvars\" WHERE \"uname\" = ?");
  s.Bind(1, std::string_view(rt::UCase(name)));
  if (!s.Step()) return std::nullopt;
  return PersistVar{s.Text(0), DecodeValue(s.Text(1)), s.Int(2) != 0};
}

void Core::SetPersistVar(const std::string& name, const rt::Variant& value, std::optional<bool> locked) {
  const std::string encoded = EncodeValue(value);
  Stmt s = db.Prepare(
      "INSERT INTO \"_kelhost_persistvars\" (\"name\", \"uname\", \"value\", \"locked\")"
      " VALUES (?1, ?2, ?3, coalesce(?4, 0))"
      " ON CONFLICT (\"uname\") DO UPDATE SET \"value\" = ?3, \"locked\" = coalesce(?4, \"locked\")");
  s.Bind(1, std::string_view(name))
      .Bind(2, std::string_view(rt::UCase(name)))
      .Bind(3, std::string_view(encoded));
  if (locked) {
    s.Bind(4, int64_t{*locked ? 1 : 0});
  } else {
    s.BindNull(4);
  }
  s.Run();
}

void Core::RemovePersistVar(const std::string& name) {
  db.Prepare("DELETE FROM \"_kelhost_persistvars\" WHERE \"uname\" = ?")
      .Bind(1, std::string_view(rt::UCase(name)))
      .Run();
}

}  // namespace host::sqlite
