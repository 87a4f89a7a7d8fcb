// The stand-in host: the host's object model over an embedded SQLite
// database, with the host's session (current user, tenant, address and
// contract type) and a harness for tests and for the kelhost tool.
//
// One SQLite table per host table, named as the host names it, one column
// per field with the field's own name; hidden columns of the stand-in's own
// hold the record id, the master link and index keys. Table and field names
// match without regard to letter case.
//
// A database file of the stand-in carries a mark: SQLite's application_id
// and the schema version in user_version. Only Create makes one; Open
// takes only such files (and unmarked ones made before files were marked
// that have exactly the stand-in's tables, marked with their first write)
// and writes nothing when it opens. Its first write, a call or a write of
// the harness, first checks the record counter (the last record id handed
// out) and refuses a file whose counter cannot be trusted, having written
// nothing.
//
// Several processes may use one file. Each call of the add-on that the
// host runs through RunCall is one SQLite write transaction: other
// processes see all of it or none, and a process that dies during a call
// leaves nothing of it. Inside its write transactions the stand-in keeps
// what it read and wrote (record_cache.h, own_tables.h), into the next one
// only while nothing else changed the file.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/application.h"
#include "host/sqlite/files/file_probe.h"
#include "platform/variant.h"

namespace host::sqlite {

// One record read back by the harness: its id, its master's id ("" for a
// table without master) and its fields in schema order.
struct Row {
  std::string oid;
  std::string masterOid;
  std::vector<std::pair<std::string, rt::Variant>> fields;

  // The value of a field (case-insensitive); raises when there is none.
  const rt::Variant& operator[](std::string_view field) const;
};

// One record a call wrote: its table and the record as the call left it.
struct WrittenRecord {
  std::string table;
  Row row;
};

// What a call kept of the records it wrote (stand_in.cpp).
struct WrittenLog;

// What RunCall reports of one call.
class CallResult {
 public:
  CallResult() = default;
  CallResult(std::exception_ptr error, std::shared_ptr<const WrittenLog> written)
      : error(std::move(error)), written_(std::move(written)) {}

  // What the call raised; null when it returned.
  std::exception_ptr error;

  // Every host record the call inserted or updated that still exists, once,
  // in the order first written, with its values as the call left them.
  // The records are taken when the call ends, and listed only when asked
  // for: a caller that does not list them does not pay for it.
  std::vector<WrittenRecord> Written() const;

 private:
  std::shared_ptr<const WrittenLog> written_;
};

// The schema version this stand-in writes into user_version.
inline constexpr int32_t kSchemaVersion = 1;

enum class OpenMode {
  ReadWrite,
  // Only reads, with SQLite's locks, so that it sees committed calls only;
  // also a read-only file, or one in a read-only folder, where SQLite can
  // read it without writing (else reads raise ReadNeedsWrite: see Db).
  // Every write raises the host's storage error.
  ReadOnly,
};

// How Create makes a database file.
struct NewFileOptions {
  int pageSize = 0;        // SQLite's page size for it; 0: SQLite's default
  std::string reportAs{};  // the name its errors give it; "": its path
};

using MacroFn = std::function<void(std::vector<rt::Variant>& args)>;

class StandIn {
 public:
  // Opens the database file `path` of the stand-in (every name is a file
  // name, ":memory:" too). Writes nothing when it opens. A file that
  // ProbeFile does not find to be a host database raises NotOwnDatabase
  // and stays as it is.
  static std::shared_ptr<StandIn> Open(const std::string& path, OpenMode mode = OpenMode::ReadWrite);
  // A new empty database with the schema, in memory only, for tests and
  // benchmarks.
  static std::shared_ptr<StandIn> OpenInMemory();
  // Creates a new database file with the schema, the mark and, with
  // `withSample`, the sample data, in one transaction, in WAL mode, as
  // `file` says. Raises when the file exists already; a file left
  // half-made by a failure is removed.
  static std::shared_ptr<StandIn> Create(const std::string& path, bool withSample,
                                         const NewFileOptions& file = {});
  virtual ~StandIn() = default;

  // Leaves the whole database in its file alone, so that the file may be
  // moved to another name while objects of this host still refer to it
  // (the add-on keeps the application it was last given): what the
  // write-ahead log holds goes into the file, the log and its index are
  // removed, and the file stays a WAL database for whoever opens it next.
  // The file is not synced on the way (the caller syncs it once, before it
  // moves it). This object keeps its connection, without log or lock;
  // nothing may be done through it afterwards. Raises hosterr::Busy when
  // another connection has the file open; nothing for one in memory.
  virtual void Seal() = 0;

  // The close path of the connection (Db::Close), for a caller about to
  // report that what it wrote is in the database: where the file was moved
  // away meanwhile, what the log holds goes into the moved file, and the
  // log under the old name is left empty; raises FileMoved where other
  // connections kept it from that beyond the busy wait. The object stays
  // usable for what still refers to it (the add-on keeps the application
  // it was last given), but nothing should be written through it
  // afterwards. Nothing for a database in memory.
  virtual void Close() = 0;

  // Keeps the log files beside the file when this connection is the last
  // to close it, also where it found none and writes nothing: for a
  // database that the caller has just made (Db::KeepLogFiles).
  virtual void KeepLogFiles() = 0;

  // The host application object an entry call of the add-on receives.
  virtual std::shared_ptr<HostApplication> Application() = 0;

  // --- Host calls ---------------------------------------------------------------
  // Runs `call` (one entry call of the add-on, or a whole scripted run of a
  // dialog) as one unit of work of the host: inside one write transaction,
  // begun with BEGIN IMMEDIATE and committed when `call` ends, whether it
  // returned or raised, so that what the add-on wrote before an error
  // stays written. The host's own savepoints nest inside. Other processes
  // see all of the call or none of it; a process that dies during the call
  // leaves nothing of it.
  //
  // Raises hosterr::Busy, without calling `call`, when another process
  // keeps the database locked longer than the busy wait, and after it, with
  // nothing of the call kept, when readers keep its commit waiting that
  // long (in a rollback journal mode); raises FileMoved when the file was
  // moved away or replaced before the commit (nothing of the call kept),
  // or just as it committed and its log could not go into the moved file;
  // raises
  // DamagedCounter (hosterr::Damaged), without calling `call` and with
  // nothing written, when the file's record counter cannot be trusted
  // (looked at before the first write through this object); raises the
  // storage error when the commit fails (then nothing of the call stays);
  // raises InvalidArgument inside another RunCall. What `call` raised is
  // handed back in the result, not raised.
  virtual CallResult RunCall(const std::function<void()>& call) = 0;
  // How much SQL the stand-in ran and compiled since it opened, for
  // benchmarks and tests that watch what host calls cost.
  struct SqlStatistics {
    int64_t statements = 0;  // statements run
    int64_t prepares = 0;    // statements compiled
  };
  virtual SqlStatistics Statistics() = 0;

  // How long RunCall (and every write) waits for another process's write
  // lock; 5 s unless set.
  virtual void SetBusyWait(int milliseconds) = 0;

  // Exactly the sample data of `kelhost init --sample`, in one transaction.
  virtual void LoadSampleData() = 0;

  // --- Session (kept in the database file, shared by separate runs) -------------
  // Each setter stores the value in the file's session; with `keep` false it
  // holds for this StandIn object only and the file keeps its session.
  // Current address by its Adressen.ID; "" or an unknown ID: none, and
  // the result is false.
  virtual bool SetCurrentAddress(const std::string& id, bool keep = true) = 0;
  virtual void SetCurrentAddressOid(const std::string& oid, bool keep = true) = 0;
  virtual void SetCurrentContractTypeOid(const std::string& oid, bool keep = true) = 0;  // "" = none
  // Must be one of the users (exact name); raises otherwise.
  virtual void SetCurrentUser(const std::string& name, bool keep = true) = 0;
  virtual void SetTenant(const std::string& name, bool keep = true) = 0;  // HostMandant.Name and .Text

  // --- Data -------------------------------------------------------------------------
  virtual void AddUser(const std::string& name) = 0;
  // Inserts a record with the given field values (others take their empty
  // value); a detail record goes under `masterOid`. Returns its id.
  virtual std::string InsertRow(const std::string& table,
                                const std::vector<std::pair<std::string, rt::Variant>>& values,
                                const std::string& masterOid = "") = 0;
  virtual void DeleteRows(const std::string& table) = 0;
  // Every record of a table, under every master, in insertion order.
  virtual std::vector<Row> Rows(const std::string& table) = 0;
  // The field names of a table in schema order (hidden columns not included).
  virtual std::vector<std::string> FieldNames(const std::string& table) = 0;
  // The names of the tables that Rows and FieldNames take, in schema order
  // (the host's own tables of sessions, settings and the like not included).
  virtual std::vector<std::string> TableNames() = 0;
  // Declares a narrower text size for a field (to exercise cutting rules).
  virtual void SetFieldSize(const std::string& table, const std::string& field, int32_t size) = 0;
  // Gives a field a default: a record prepared with NewValues starts with
  // `value` there instead of the field's empty value (to tell a field put
  // empty from one left as the host prepares it). InsertRow is not affected.
  virtual void SetFieldDefault(const std::string& table, const std::string& field, const rt::Variant& value) = 0;

  // --- Settings, persistent variables, macros ---------------------------------
  virtual void SetDatabaseSetting(const std::string& key, const rt::Variant& value) = 0;
  virtual std::optional<rt::Variant> DatabaseSetting(const std::string& key) = 0;
  virtual void SetPersistVar(const std::string& name, const rt::Variant& value, bool locked = false) = 0;
  virtual void RemovePersistVar(const std::string& name) = 0;
  // Registers the procedure Projects(project).ProjectItems(module).Procedures(name).
  virtual void RegisterMacro(const std::string& project, const std::string& module,
                             const std::string& name, MacroFn fn) = 0;

  // --- Faults -----------------------------------------------------------------------
  // Makes the next call (or every call) of `member` on `table` fail with the
  // given number and description (an empty description: the host's text for
  // the number). Names match without regard to letter case; `table` "" means
  // any object. The names:
  //  - DbTable members by their own name ("Insert", "Update", "Seek",
  //    "MoveFirst", "GotoOid", ...) on the table's name; DbConnection::Table
  //    as "Table" on the requested name; the table's fields, field and
  //    indexes as "Fields.Item", "Fields.Exists", "Field.Value",
  //    "Field.SetValue", "Field.Size", "Indexes.Select", "Indexes.Current",
  //    "Indexes.Reset", "Index.KeyValue", ... on the table's name;
  //  - other objects by their interface name without "Host"/"Db":
  //    "Application", "Database", "Connection" ("Mandant"), "Mandant",
  //    "Users", "User", "Settings", "Setting" ("Value", "SetValue"),
  //    "ScriptEngine" ("Evaluate", "PersistVars"), "PersistVars",
  //    "PersistVar", "Macros" ("Projects", "ProjectItems", "Procedures",
  //    "Run"), "ErrorTexts" ("Text").
  virtual void FailNext(const std::string& table, const std::string& member, int32_t number,
                        const std::string& description) = 0;
  virtual void FailAlways(const std::string& table, const std::string& member, int32_t number,
                          const std::string& description) = 0;
  virtual void ClearFaults() = 0;
};

// A document value for document fields: an opaque content text, copied
// from record to record as it is.
std::shared_ptr<HostDocument> NewDocument(const std::string& content);
// The content of a document value; "" for Nothing or another kind.
std::string DocumentContent(const rt::Variant& value);

// Registers the stand-in's HostErrorTexts class in the runtime's class
// registry (under host::kErrorTextsClass). Idempotent.
void RegisterErrorTexts();

}  // namespace host::sqlite
