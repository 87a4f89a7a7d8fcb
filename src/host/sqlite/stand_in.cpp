// The stand-in host's harness: opening and creating databases, the session,
// seeding and reading back records, settings, persistent variables, macros
// and the fault switch.
#include "host/sqlite/stand_in.h"

#include <filesystem>
#include <system_error>

#include "host/sqlite/core.h"
#include "host/sqlite/error_texts.h"
#include "host/sqlite/errors.h"
#include "host/sqlite/objects.h"
#include "host/sqlite/sample_data.h"
#include "platform/text.h"

namespace host::sqlite {

const rt::Variant& Row::operator[](std::string_view field) const {
  for (const auto& [name, value] : fields)
    if (rt::EqualsIgnoreCase(name, field)) return value;
  RaiseHost(hosterr::UnknownField, std::string(field));
}

namespace {

Row ToRow(const TableDef& def, const Record& r) {
  Row row;
  row.oid = std::to_string(r.oid);
  if (def.masterIndex >= 0) row.masterOid = std::to_string(r.master);
  row.fields.reserve(def.fields.size());
  for (size_t i = 0; i < def.fields.size(); ++i) row.fields.emplace_back(def.fields[i].name, r.values[i]);
  return row;
}

}  // namespace

// The records a call wrote as it left them: stored records never change
// (a write stores a new one), so holding them is enough. The Core keeps
// their tables' definitions.
struct WrittenLog {
  CorePtr core;
  std::vector<std::pair<const TableDef*, RecordPtr>> records;
};

std::vector<WrittenRecord> CallResult::Written() const {
  std::vector<WrittenRecord> written;
  if (!written_) return written;
  written.reserve(written_->records.size());
  for (const auto& [def, r] : written_->records) written.push_back({def->name, ToRow(*def, *r)});
  return written;
}

namespace {

class StandInImpl : public StandIn {
 public:
  // `path` "": a database in memory.
  StandInImpl(CorePtr core, std::string path)
      : core_(std::move(core)), app_(NewApplication(core_)), path_(std::move(path)) {
    SetErrorTextsHost(core_);
  }

  std::shared_ptr<HostApplication> Application() override { return app_; }

  void Close() override { core_->db.Close(); }
  void KeepLogFiles() override { core_->db.KeepLogFiles(true); }

  void Seal() override {
    if (path_.empty()) return;
    if (core_->db.InTransaction()) RaiseHost(hosterr::InvalidArgument, "Seal innerhalb eines Aufrufs");
    // Leaving WAL moves the log into the file and removes the log and its
    // index; this connection then holds nothing between statements. A
    // connection of its own puts the file back into WAL and, being the
    // last one in WAL on it, removes the log it made when it closes. No
    // step syncs: the caller syncs the finished file once.
    core_->db.Exec("PRAGMA synchronous=OFF");
    core_->db.KeepLogFiles(false);
    SwitchJournal(core_->db, "delete");
    Db again(path_, Access::Write);
    again.KeepLogFiles(false);
    again.Exec("PRAGMA synchronous=OFF");
    SwitchJournal(again, "wal");
  }

  // --- Host calls ----------------------------------------------------------------
  CallResult RunCall(const std::function<void()>& call) override {
    if (core_->db.InTransaction()) RaiseHost(hosterr::InvalidArgument, "RunCall innerhalb eines Aufrufs");
    // Records read before the call and changed by another process meanwhile
    // are read again (Core::Began).
    Transaction tx(core_->db);
    core_->store.StartLog();
    std::exception_ptr error;
    try {
      call();
    } catch (...) {
      error = std::current_exception();
    }
    // The records are taken before the commit: afterwards another process
    // may change them.
    auto written = std::make_shared<WrittenLog>();
    written->core = core_;
    std::exception_ptr listing;
    try {
      const std::vector<std::pair<int, int64_t>> log = core_->store.TakeLog();
      written->records.reserve(log.size());
      for (const auto& [t, oid] : log) {
        const TableDef& def = core_->Def(t);
        if (RecordPtr r = core_->store.Load(def, oid)) written->records.emplace_back(&def, std::move(r));
      }
    } catch (...) {
      listing = std::current_exception();
    }
    tx.Commit();
    if (listing) std::rethrow_exception(listing);
    return CallResult(std::move(error), std::move(written));
  }

  SqlStatistics Statistics() override {
    const SqlCounters& c = core_->db.counters();
    return {c.statements, c.prepares};
  }

  void SetBusyWait(int milliseconds) override { core_->db.SetBusyWait(milliseconds); }

  void LoadSampleData() override {
    {
      Transaction tx(core_->db);
      LoadSample(*core_);
      tx.Commit();
    }
    RestoreSessionViews();
  }

  // --- Session -------------------------------------------------------------------
  bool SetCurrentAddress(const std::string& id, bool keep) override {
    const int t = core_->TableIndex("Adressen");
    int64_t oid = 0;
    if (!id.empty()) {
      Stmt s =
          core_->db.Prepare("SELECT " + Quote(kOidColumn) + " FROM \"Adressen\" WHERE \"ID\" = ? ORDER BY " +
                            Quote(kOidColumn) + " LIMIT 1");
      s.Bind(1, std::string_view(id));
      if (s.Step()) oid = s.Int(0);
    }
    SetSessionRecord(t, kSessionAddress, oid, keep);
    return oid != 0;
  }
  void SetCurrentAddressOid(const std::string& oid, bool keep) override {
    SetSessionRecord(core_->TableIndex("Adressen"), kSessionAddress, ParseOid(oid), keep);
  }
  void SetCurrentContractTypeOid(const std::string& oid, bool keep) override {
    SetSessionRecord(core_->TableIndex("kt_Vertragsdefinitionen"), kSessionContractType, ParseOid(oid), keep);
  }
  void SetCurrentUser(const std::string& name, bool keep) override {
    for (const std::string& user : core_->own.UserNames()) {
      if (user == name) {
        core_->SetSessionValue(kSessionUser, name, keep);
        return;
      }
    }
    RaiseHost(hosterr::UnknownUser, name);
  }
  void SetTenant(const std::string& name, bool keep) override {
    core_->SetSessionValue(kSessionTenant, name, keep);
  }

  // --- Data ------------------------------------------------------------------------
  void AddUser(const std::string& name) override { core_->own.AddUser(name); }

  std::string InsertRow(const std::string& table,
                        const std::vector<std::pair<std::string, rt::Variant>>& values,
                        const std::string& masterOid) override {
    const int t = core_->TableIndex(table);
    const TableDef& def = core_->Def(t);
    int64_t master = 0;
    if (def.masterIndex >= 0) {
      master = masterOid.empty() ? core_->views.CurrentOid(def.masterIndex) : ParseOid(masterOid);
      if (master == 0 || core_->store.Find(core_->Def(def.masterIndex), master).oid == 0)
        RaiseHost(hosterr::NoMasterRecord, def.name);
    } else if (!masterOid.empty()) {
      RaiseHost(hosterr::InvalidArgument, def.name + " hat keine übergeordnete Tabelle");
    }
    return std::to_string(core_->InsertRow(t, values, master));
  }

  void DeleteRows(const std::string& table) override {
    const int t = core_->TableIndex(table);
    core_->store.DeleteAll(core_->Def(t));
    core_->views.Forget(t);
  }

  std::vector<Row> Rows(const std::string& table) override {
    const TableDef& def = core_->Def(core_->TableIndex(table));
    std::vector<Row> rows;
    for (const Record& r : core_->store.All(def)) rows.push_back(ToRow(def, r));
    return rows;
  }

  std::vector<std::string> FieldNames(const std::string& table) override {
    std::vector<std::string> names;
    for (const FieldDef& f : core_->Def(core_->TableIndex(table)).fields) names.push_back(f.name);
    return names;
  }

  std::vector<std::string> TableNames() override {
    std::vector<std::string> names;
    for (const TableDef& t : core_->schema.tables()) names.push_back(t.name);
    return names;
  }

  void SetFieldSize(const std::string& table, const std::string& field, int32_t size) override {
    const int t = core_->TableIndex(table);
    core_->schema.SetFieldSize(t, core_->FieldIndex(t, field), size);
  }
  void SetFieldDefault(const std::string& table, const std::string& field, const rt::Variant& value) override {
    const int t = core_->TableIndex(table);
    core_->views.SetDefault(t, core_->FieldIndex(t, field), value);
  }

  // --- Settings, persistent variables, macros ---------------------------------------
  void SetDatabaseSetting(const std::string& key, const rt::Variant& value) override {
    core_->own.SetSetting(kDatabaseSettings, key, value);
  }
  std::optional<rt::Variant> DatabaseSetting(const std::string& key) override {
    return core_->own.Setting(kDatabaseSettings, key);
  }
  void SetPersistVar(const std::string& name, const rt::Variant& value, bool locked) override {
    core_->own.SetPersistVar(name, value, locked);
  }
  void RemovePersistVar(const std::string& name) override { core_->own.RemovePersistVar(name); }
  void RegisterMacro(const std::string& project, const std::string& module, const std::string& name,
                     MacroFn fn) override {
    core_->macros[{rt::UCase(project), rt::UCase(module), rt::UCase(name)}] = std::move(fn);
  }

  // --- Faults ------------------------------------------------------------------------
  void FailNext(const std::string& table, const std::string& member, int32_t number,
                const std::string& description) override {
    core_->faults.Add(table, member, number, description, false);
  }
  void FailAlways(const std::string& table, const std::string& member, int32_t number,
                  const std::string& description) override {
    core_->faults.Add(table, member, number, description, true);
  }
  void ClearFaults() override { core_->faults.Clear(); }

 private:
  // Makes a record the session's current one (0 or a missing record: none).
  void SetSessionRecord(int t, const char* key, int64_t oid, bool keep) {
    if (oid != 0 && core_->store.Find(core_->Def(t), oid).oid == 0) oid = 0;
    core_->SetSessionValue(key, oid == 0 ? std::string() : std::to_string(oid), keep);
    core_->views.PositionAt(t, oid);
  }
  void RestoreSessionViews() {
    core_->views.PositionAt(core_->TableIndex("Adressen"), ParseOid(core_->SessionValue(kSessionAddress)));
    core_->views.PositionAt(core_->TableIndex("kt_Vertragsdefinitionen"),
                            ParseOid(core_->SessionValue(kSessionContractType)));
  }

  static void SwitchJournal(Db& db, const std::string& mode) {
    Stmt s = db.Prepare("PRAGMA journal_mode=" + mode);
    if (!s.Step() || s.Text(0) != mode)
      RaiseHost(hosterr::Busy, "Das Protokoll der Datenbank ist noch in Gebrauch");
  }

  CorePtr core_;
  std::shared_ptr<HostApplication> app_;
  std::string path_;
};

}  // namespace

std::shared_ptr<StandIn> StandIn::Open(const std::string& path, OpenMode mode) {
  if (!IsHostDatabase(ProbeFile(path).kind)) RaiseHost(hosterr::NotOwnDatabase, path);
  return std::make_shared<StandInImpl>(
      std::make_shared<Core>(path, mode == OpenMode::ReadOnly ? Access::Read : Access::Write), path);
}

std::shared_ptr<StandIn> StandIn::OpenInMemory() {
  return std::make_shared<StandInImpl>(std::make_shared<Core>(":memory:", Access::Memory), "");
}

std::shared_ptr<StandIn> StandIn::Create(const std::string& path, bool withSample, const NewFileOptions& file) {
  namespace fs = std::filesystem;
  // A link counts as present even when it leads nowhere: opening it would
  // create its target.
  std::error_code ec;
  if (fs::exists(fs::symlink_status(path, ec)))
    RaiseHost(hosterr::InvalidArgument, (file.reportAs.empty() ? path : file.reportAs) + " ist bereits vorhanden");
  try {
    const auto sample = [withSample](Core& core) {
      if (withSample) LoadSample(core);
    };
    return std::make_shared<StandInImpl>(std::make_shared<Core>(path, Access::Create, sample, file), path);
  } catch (...) {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix, ec);
    throw;
  }
}

}  // namespace host::sqlite
