#include "host/sqlite/db.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

#include "host/sqlite/errors.h"
#include "host/sqlite/files/steps.h"
#include "host/sqlite/files/system_errors.h"
#include "host/sqlite/files/write_access.h"

namespace host::sqlite {

// --- Query -------------------------------------------------------------------------

Query& Query::operator=(Query&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(s_);
    sql_ = std::move(other.sql_);
    s_ = other.s_;
    other.s_ = nullptr;
  }
  return *this;
}

// The connection closes once its last statement is finalized (see ~Db).
Query::~Query() { sqlite3_finalize(s_); }

// --- Stmt --------------------------------------------------------------------------

Stmt::~Stmt() {
  sqlite3_reset(s_);
  sqlite3_clear_bindings(s_);
}

Stmt& Stmt::Bind(int i, int64_t v) {
  if (sqlite3_bind_int64(s_, i, v) != SQLITE_OK) db_->Fail();
  return *this;
}

Stmt& Stmt::Bind(int i, double v) {
  if (sqlite3_bind_double(s_, i, v) != SQLITE_OK) db_->Fail();
  return *this;
}

Stmt& Stmt::Bind(int i, std::string_view v) {
  if (sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT) != SQLITE_OK)
    db_->Fail();
  return *this;
}

Stmt& Stmt::BindRef(int i, std::string_view v) {
  if (sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC) != SQLITE_OK) db_->Fail();
  return *this;
}

Stmt& Stmt::BindNull(int i) {
  if (sqlite3_bind_null(s_, i) != SQLITE_OK) db_->Fail();
  return *this;
}

bool Stmt::Step() {
  if (!stepped_) {
    stepped_ = true;
    ++db_->counters_.statements;
  }
  ForgetSystemError();
  int rc = sqlite3_step(s_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  db_->Fail();
}

void Stmt::Run() {
  while (Step()) {
  }
}

bool Stmt::IsNull(int col) const { return sqlite3_column_type(s_, col) == SQLITE_NULL; }
int64_t Stmt::Int(int col) const { return sqlite3_column_int64(s_, col); }
double Stmt::Real(int col) const { return sqlite3_column_double(s_, col); }

std::string Stmt::Text(int col) const {
  const unsigned char* p = sqlite3_column_text(s_, col);
  if (!p) return {};
  return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(s_, col)));
}

// --- Db ----------------------------------------------------------------------------

namespace {

// A file name as an SQLite URI ("file:" and the path, with the characters
// that a URI gives a meaning to escaped), with the query `query` unless it
// is empty. Every file is opened by such a URI: SQLite as built here may
// take any name that begins with "file:" for a URI, so a file named
// "file:x.db?mode=memory" would otherwise open x.db, or none at all. A
// relative path begins with "./": SQLite takes the path ":memory:", plain
// or in a URI, for its in-memory database, and "./:memory:" names the
// same file as ":memory:" does to the system.
std::string Uri(const std::string& path, const char* query) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = path.rfind('/', 0) == 0 ? "file://" : "file:./";
  for (unsigned char c : path) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20 || c == 0x7F) {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 0x0F];
    } else {
      uri += static_cast<char>(c);
    }
  }
  if (*query != '\0') uri.append("?").append(query);
  return uri;
}

// The bound on a kept log while connections use it (Db::KeepLogFiles).
constexpr int64_t kLogBoundBytes = 4 << 20;

// SQLite keeps process-wide statistics of its memory use by default, under
// a global mutex taken on every allocation and free it makes, whatever the
// connection's own locking. Nothing here reads them (no heap limits, no
// sqlite3_memory_used), so they are switched off before SQLite starts. Too
// late once SQLite runs in this process (SQLite then refuses the change and
// keeps counting): harmless either way.
void SkipMemoryStatistics() {
  static const bool done = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)done;
}

// SQLite's words for the connection's last error, and where a system call
// failed (a file that cannot be opened, a full disk, a file-size limit) the
// system's reason after them, as the connections' file layer noted it (see
// system_errors.h) since the failed call began. Other errors keep SQLite's
// words alone, and so does a full database that no system call reported
// (SQLite's own limit on pages).
std::string ErrorWords(sqlite3* db, int rc) {
  if (!db) return sqlite3_errstr(rc);
  std::string words = sqlite3_errmsg(db);
  const int primary = sqlite3_errcode(db) & 0xFF;
  const int system = SystemError();
  if (system != 0 && (primary == SQLITE_IOERR || primary == SQLITE_FULL || primary == SQLITE_CANTOPEN))
    words += std::string(" (") + std::strerror(system) + ")";
  return words;
}

// The database files the connections of this process have open, by device
// and inode. Never destroyed: connections that objects with static
// lifetime hold close after every static of this file is gone.
using FileId = std::pair<uint64_t, uint64_t>;
struct OpenFiles {
  std::mutex mutex;
  std::multiset<FileId> ids;
};
OpenFiles& Opened() {
  static OpenFiles* const files = new OpenFiles;
  return *files;
}

// Another connection kept its write lock for the whole busy wait.
[[noreturn]] void RaiseGaveUp(int waitedMs) {
  RaiseHost(hosterr::Busy, "nach " + std::to_string(waitedMs) + " ms Warten aufgegeben");
}

std::optional<FileId> IdOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

}  // namespace

bool Db::OpenInThisProcess(const std::string& path) {
  const std::optional<FileId> id = IdOf(path);
  if (!id) return false;
  OpenFiles& opened = Opened();
  const std::lock_guard<std::mutex> lock(opened.mutex);
  return opened.ids.count(*id) != 0;
}

Db::Db(const std::string& path, Access access, int newPageSize, const std::string& reportAs)
    : path_(path), name_(reportAs.empty() ? path : reportAs) {
  SkipMemoryStatistics();
  const bool memory = access == Access::Memory;
  std::string name = memory ? ":memory:" : Uri(path, "");
  int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
  bool mayWrite = false;
  if (access == Access::Create || memory) {
    flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    mayWrite = !memory;
  } else if (access == Access::Write || (access == Access::Read && CheckWriteAccess(path).granted())) {
    // A reader that may write joins the writers' shared index and keeps
    // the log files as they do; it writes no data.
    flags |= SQLITE_OPEN_READWRITE;
    mayWrite = true;
  } else if (access == Access::Read || access == Access::Inspect) {
    // A reader that may not write: SQLite's read-only connection, which
    // takes the locks every reader takes, so that it waits for a writer's
    // commit and never sees part of one. Where SQLite would have to write
    // to let it read (a log's index that is missing, a transaction to roll
    // back), it refuses, and ReadNeedsWrite says why. It makes no log
    // files, not even in a folder it may write: they would take the
    // database's mode and this user as their owner, and keep the
    // database's owner from writing it until someone removed them.
    flags |= SQLITE_OPEN_READONLY;
    name = Uri(path, "mode=ro&readonly_shm=1");
    readOnlyGuest_ = true;
  } else {
    // No other process writes the file: it is read as it stands, without
    // locks or log files.
    flags |= SQLITE_OPEN_READONLY;
    name = Uri(path, "mode=ro&immutable=1");
  }
  mayWrite_ = (flags & SQLITE_OPEN_READWRITE) != 0 && !memory;
  struct stat log {};
  foundLogFiles_ = mayWrite_ && (::lstat((path + "-wal").c_str(), &log) == 0 || ::lstat((path + "-shm").c_str(), &log) == 0);
  wrote_ = access == Access::Create;
  // Every call into SQLite that may fail on the file forgets the reason
  // noted before it, for ErrorWords.
  ForgetSystemError();
  const sqlite3_vfs* vfs = readOnlyGuest_ ? SystemErrorsVfsMakingNoLogFiles() : SystemErrorsVfs();
  // SQLite's default layer would make the log files that such a reader
  // must not make.
  if (readOnlyGuest_ && !vfs)
    RaiseHost(hosterr::Storage, name_ + ": the file layer for readers who make no files could not be set up");
  int rc = sqlite3_open_v2(name.c_str(), &db_, flags, vfs ? vfs->zName : nullptr);
  if (rc != SQLITE_OK) {
    const std::string msg = ErrorWords(db_, rc);
    sqlite3_close(db_);
    db_ = nullptr;
    RaiseHost(hosterr::Storage, name_ + ": " + msg);
  }
  SetBusyWait(busyWaitMs_);
  try {
    if (access == Access::Read || access == Access::Inspect || access == Access::Sealed)
      Exec("PRAGMA query_only=1");
    // Before anything reads the schema (as the pragmas below do).
    if (readOnlyGuest_) WaitForLogIndex();
    // The page size holds only when set before the first write, and
    // switching to WAL is one.
    if (access == Access::Create && newPageSize > 0) Exec("PRAGMA page_size=" + std::to_string(newPageSize));
    if (access == Access::Create) Exec("PRAGMA journal_mode=WAL");
    // Per connection: a commit reaches the log, a checkpoint the disk.
    if (!memory) Exec("PRAGMA synchronous=NORMAL");
    if (mayWrite) {
      // The log stays, bounded while in use (a long session reuses it
      // rather than growing it anew after each checkpoint), and SQLite
      // truncates it to nothing as the last connection closes, under any
      // bound.
      Exec("PRAGMA journal_size_limit=" + std::to_string(kLogBoundBytes));
      int persist = 1;
      sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    }
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
  // The file opened is the one at the name where SQLite finds it unmoved
  // between two looks at the name that agree; another process may have
  // put a file there during the open, which this process does not hold.
  if (!memory) {
    ReachStep(kStepOpened);
    const std::optional<FileId> at = IdOf(path);
    if (at && !HasMoved() && IdOf(path) == at) {
      file_ = at;
      OpenFiles& opened = Opened();
      const std::lock_guard<std::mutex> lock(opened.mutex);
      opened.ids.insert(*file_);
    }
  }
}

Db::~Db() {
  // The close path once more, where nothing can be reported: a caller
  // that reports takes Close first.
  LeaveLog();
  if (file_) {
    OpenFiles& opened = Opened();
    const std::lock_guard<std::mutex> lock(opened.mutex);
    opened.ids.erase(opened.ids.find(*file_));
  }
  for (auto& [sql, s] : cache_) sqlite3_finalize(s);
  // Kept statements of others (Query) may outlive the connection by a
  // little; it closes when the last of them is finalized.
  sqlite3_close_v2(db_);
}

int Db::Compile(Query& query) noexcept {
  if (query.s_) return SQLITE_OK;
  ForgetSystemError();
  const int rc = sqlite3_prepare_v3(db_, query.sql_.c_str(), static_cast<int>(query.sql_.size()),
                                    SQLITE_PREPARE_PERSISTENT, &query.s_, nullptr);
  if (rc == SQLITE_OK) ++counters_.prepares;
  return rc;
}

Stmt Db::Use(Query& query) {
  if (Compile(query) != SQLITE_OK) Fail();
  return Stmt(*this, query.s_);
}

Stmt Db::Prepare(const std::string& sql) {
  auto it = cache_.find(sql);
  if (it != cache_.end()) return Stmt(*this, it->second);
  sqlite3_stmt* s = nullptr;
  ForgetSystemError();
  if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &s,
                         nullptr) != SQLITE_OK)
    Fail();
  ++counters_.prepares;
  cache_.emplace(sql, s);
  return Stmt(*this, s);
}

void Db::Exec(std::string_view sql) {
  const char* p = sql.data();
  const char* const end = p + sql.size();
  while (p < end) {
    sqlite3_stmt* s = nullptr;
    const char* tail = end;
    ForgetSystemError();
    int rc = sqlite3_prepare_v2(db_, p, static_cast<int>(end - p), &s, &tail);
    if (rc == SQLITE_OK && s) {
      ++counters_.prepares;
      ++counters_.statements;
      ForgetSystemError();
      while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
      }
      if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) {
      const std::string words = ErrorWords(db_, rc);
      const int extended = sqlite3_extended_errcode(db_);
      sqlite3_finalize(s);
      Raise(extended, words);
    }
    sqlite3_finalize(s);
    if (!s && tail == p) break;
    p = tail;
  }
}

int64_t Db::Changes() const { return sqlite3_changes64(db_); }

void Db::Fail() const { Raise(sqlite3_extended_errcode(db_), ErrorWords(db_, sqlite3_errcode(db_))); }

void Db::Raise(int extended, const std::string& words) const {
  RaiseIfReadNeedsWrite(extended);
  RaiseHost((extended & 0xFF) == SQLITE_BUSY ? hosterr::Busy : hosterr::Storage, words);
}

void Db::WaitForLogIndex() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ShortenedWait(busyWaitMs_));
  // SQLite retries a read through an index that a writer holds for about
  // 10 s on its own: the wait ends with the busy wait all the same.
  struct SleepsEnd {
    explicit SleepsEnd(std::chrono::steady_clock::time_point at) { SetSleepDeadline(at); }
    ~SleepsEnd() { SetSleepDeadline({}); }
  } sleeps(deadline);
  for (bool first = true;; first = false) {
    // Reading the schema opens the log and its index.
    ForgetSystemError();
    if (sqlite3_exec(db_, "SELECT 1 FROM sqlite_schema LIMIT 1", nullptr, nullptr, nullptr) == SQLITE_OK) return;
    const int extended = sqlite3_extended_errcode(db_);
    // SQLite gave up on an index that a living writer holds (its write
    // lock taken) while it sets it up: a wait as for any writer.
    if (extended == SQLITE_PROTOCOL && LogWriteLockWasTaken()) RaiseGaveUp(busyWaitMs_);
    const bool notSetUp = extended == SQLITE_READONLY_RECOVERY || extended == SQLITE_READONLY_CANTINIT;
    if (notSetUp && std::chrono::steady_clock::now() < deadline) {
      if (first) ReachStep(kStepLogIndexNotSetUp);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    // Raised here, not by the next statement, which would wait again.
    Raise(extended, ErrorWords(db_, extended));
  }
}

void Db::RaiseIfReadNeedsWrite(int extended) const {
  if (!readOnlyGuest_) return;
  switch (extended) {
    case SQLITE_READONLY_ROLLBACK:
      throw ReadNeedsWrite(name_, WriteNeeded::Rollback);
    // The write-ahead log or its index is missing and may not be made
    // (SQLite cannot open it, or may not create it in the folder), or
    // the index may only be read where SQLite needs to write it.
    case SQLITE_READONLY_DIRECTORY:
    case SQLITE_READONLY_CANTINIT:
    case SQLITE_READONLY_RECOVERY:
    case SQLITE_READONLY_CANTLOCK:
      throw ReadNeedsWrite(name_, WriteNeeded::LogIndex);
    // SQLite kept finding the log and its index as a process that ended
    // left them, not as it can read them without setting them right.
    case SQLITE_PROTOCOL:
      throw ReadNeedsWrite(name_, WriteNeeded::LogRecovery);
    // A file SQLite needs beside the database and may not make: the log or
    // its index of a database in WAL mode, the journal of one in a
    // rollback journal mode.
    default:
      if ((extended & 0xFF) == SQLITE_CANTOPEN)
        throw ReadNeedsWrite(name_, ReadsThroughLog() ? WriteNeeded::LogIndex : WriteNeeded::Rollback);
  }
}

bool Db::ReadsThroughLog() const {
  // SQLite reads through a log that lies beside the database, whatever
  // the header says.
  struct stat st {};
  if (::lstat((path_ + "-wal").c_str(), &st) == 0) return true;
  // Read through the connection's own file: a descriptor of its own would
  // drop the process's locks on the file when closed.
  sqlite3_file* file = nullptr;
  if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
      !file->pMethods)
    return true;
  // The file format's read and write versions: 2 for WAL, 1 for a
  // rollback journal.
  unsigned char versions[2] = {0, 0};
  return file->pMethods->xRead(file, versions, 2, 18) != SQLITE_OK || versions[1] == 2;
}

bool Db::IsFileAt(const std::string& path) const { return file_ && IdOf(path) == file_; }

bool Db::HasMoved() const {
  int moved = 0;
  if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK) return false;
  return moved != 0;
}

bool Db::EmptyLog(bool wait) {
  sqlite3_busy_timeout(db_, wait ? busyWaitMs_ : 0);
  // TRUNCATE: every frame into the file, the file synced, the log cut to
  // nothing; a database in a rollback journal mode has no log, and SQLite
  // says OK.
  const int rc = sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  sqlite3_busy_timeout(db_, busyWaitMs_);
  return rc == SQLITE_OK;
}

bool Db::LeaveLog() {
  if (!mayWrite_ || InTransaction()) return true;
  if (!foundLogFiles_ && !wrote_) KeepLogFiles(false);
  const bool moved = HasMoved();
  return EmptyLog(moved) || !moved;
}

void Db::Close() {
  ReachStep(kStepBeforeClose);
  if (!LeaveLog()) throw FileMoved(name_, true);
}

int Db::PageSize() {
  Stmt s = Prepare("PRAGMA page_size");
  if (!s.Step()) Fail();
  return static_cast<int>(s.Int(0));
}

void Db::CopyFrom(Db& source) {
  if (InTransaction() || source.InTransaction())
    RaiseHost(hosterr::InvalidArgument, "Kopie einer Datenbank innerhalb einer Transaktion");
  ForgetSystemError();
  sqlite3_backup* backup = sqlite3_backup_init(db_, "main", source.db_, "main");
  if (!backup) Fail();
  // All pages in one step: one write transaction of this connection.
  const int step = sqlite3_backup_step(backup, -1);
  // Finishing sets this connection's error to the step's.
  const int rc = sqlite3_backup_finish(backup);
  committedVersion_.reset();
  if (step == SQLITE_DONE && rc == SQLITE_OK) {
    wrote_ = true;
    return;
  }
  const int failed = step == SQLITE_DONE ? rc : step;
  if ((failed & 0xFF) == SQLITE_BUSY || (failed & 0xFF) == SQLITE_LOCKED)
    RaiseGaveUp(busyWaitMs_);
  RaiseHost(hosterr::Storage, ErrorWords(db_, failed));
}

void Db::SetBusyWait(int milliseconds) {
  busyWaitMs_ = milliseconds;
  sqlite3_busy_timeout(db_, milliseconds);
}

void Db::KeepLogFiles(bool keep) {
  // SQLite reads the setting as the last connection closes: a log it then
  // keeps it truncates to journal_size_limit, and the index stays as it is.
  int persist = keep ? 1 : 0;
  sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
  // Decided by the caller: LeaveLog goes by it.
  foundLogFiles_ = keep;
}

bool Db::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

int Db::Run(Query& query) noexcept {
  if (const int rc = Compile(query); rc != SQLITE_OK) return rc;
  ++counters_.statements;
  ForgetSystemError();
  const int rc = sqlite3_step(query.s_);
  // The reset keeps the step's error as the connection's last error.
  sqlite3_reset(query.s_);
  return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
}

std::optional<uint32_t> Db::DataVersion() const {
  unsigned int version = 0;
  if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK) return std::nullopt;
  return version;
}

void Db::BeginWrite() {
  const int rc = Run(begin_);
  if (rc == SQLITE_BUSY)
    RaiseGaveUp(busyWaitMs_);
  if (rc != SQLITE_OK) Fail();
  writing_ = true;
  hookRan_ = false;
  try {
    // BEGIN IMMEDIATE has begun reading, so the version counts every
    // commit of every connection up to now.
    const std::optional<uint32_t> version = DataVersion();
    const bool unchanged = version && committedVersion_ == version;
    if (observer_) observer_->Began(unchanged);
    if (firstWrite_) {
      firstWrite_();
      hookRan_ = true;
    }
  } catch (...) {
    RollbackWrite();
    throw;
  }
}

void Db::CommitWrite() {
  try {
    if (observer_) observer_->Flush();
  } catch (...) {
    RollbackWrite();
    throw;
  }
  // A file moved away before the commit gets nothing, and nor does what
  // is at its name now: in WAL mode the commit would go into the log under
  // the old name (see Close), in a rollback journal mode into the moved
  // file, which is no longer the database named.
  ReachStep(kStepBeforeCommit);
  if (HasMoved()) {
    RollbackWrite();
    throw FileMoved(name_, false);
  }
  const int rc = Run(commit_);
  if (rc != SQLITE_OK) {
    const std::string msg = ErrorWords(db_, rc);
    // A commit that failed leaves nothing of the transaction behind. In a
    // rollback journal mode, readers keep it from writing the file (a
    // writer in WAL never waits at its commit): a wait as any other.
    RollbackWrite();
    if ((rc & 0xFF) == SQLITE_BUSY) RaiseGaveUp(busyWaitMs_);
    RaiseHost(hosterr::Storage, msg);
  }
  writing_ = false;
  wrote_ = true;
  committedVersion_ = DataVersion();
  if (hookRan_) firstWrite_ = nullptr;
  hookRan_ = false;
  // Moved while it committed: the log goes into the file now, as Close
  // does it.
  if (HasMoved() && !EmptyLog(true)) throw FileMoved(name_, true);
}

void Db::RollbackWrite() noexcept {
  // SQLite may have rolled back by itself already (after an I/O error).
  if (InTransaction()) Run(rollback_);
  writing_ = false;
  hookRan_ = false;
  committedVersion_.reset();
  if (observer_) observer_->RolledBack(false);
}

void Db::BeginSavepoint() {
  if (observer_) observer_->Flush();
  if (Run(savepoint_) != SQLITE_OK) Fail();
  if (observer_) observer_->SavepointBegan();
}

void Db::ReleaseSavepoint() {
  if (Run(release_) != SQLITE_OK) Fail();
  if (observer_) observer_->SavepointReleased();
}

void Db::RollbackSavepoint() noexcept {
  // The rollback of a failed step cannot itself be reported.
  if (Run(rollbackTo_) == SQLITE_OK) Run(release_);
  if (observer_) observer_->RolledBack(true);
}

// --- Transaction -------------------------------------------------------------------

Transaction::Transaction(Db& db) : db_(db), outer_(!db.InTransaction()) {
  if (outer_) {
    db_.BeginWrite();
  } else {
    db_.BeginSavepoint();
  }
}

Transaction::~Transaction() {
  if (done_) return;
  if (outer_) {
    db_.RollbackWrite();
  } else {
    db_.RollbackSavepoint();
  }
}

void Transaction::Commit() {
  if (outer_) {
    done_ = true;  // a failed commit has rolled back already
    db_.CommitWrite();
  } else {
    db_.ReleaseSavepoint();
    done_ = true;
  }
}

}  // namespace host::sqlite
