// A thin layer over one SQLite connection: statements compiled once and
// kept, typed binding and reading, write transactions. Every SQLite failure
// is raised as the host's storage error; a write lock that another
// connection keeps longer than the busy wait is raised as hosterr::Busy.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;

namespace host::sqlite {

class Db;

// What a connection did since it opened, for benchmarks and tests that
// watch what host calls cost.
struct SqlCounters {
  int64_t statements = 0;  // statements run (each use of a statement that stepped)
  int64_t prepares = 0;    // statements compiled
};

// An SQL statement that one connection compiles on its first use and keeps
// until the statement or the connection goes. The holder finds it by this
// handle: nothing hashes or compares its text on later uses.
class Query {
 public:
  Query() = default;
  explicit Query(std::string sql) : sql_(std::move(sql)) {}
  Query(Query&& other) noexcept : sql_(std::move(other.sql_)), s_(other.s_) { other.s_ = nullptr; }
  Query& operator=(Query&& other) noexcept;
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;
  ~Query();

 private:
  friend class Db;
  std::string sql_;
  sqlite3_stmt* s_ = nullptr;
};

// One use of a kept statement; resets it when the use ends.
class Stmt {
 public:
  Stmt(Db& db, sqlite3_stmt* s) : db_(&db), s_(s) {}
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  ~Stmt();

  // Parameters count from 1. Bind copies the text; BindRef does not, and
  // the text must then stay as it is until the use ends.
  Stmt& Bind(int i, int64_t v);
  Stmt& Bind(int i, double v);
  Stmt& Bind(int i, std::string_view v);
  Stmt& BindRef(int i, std::string_view v);
  Stmt& BindNull(int i);

  // Steps once; true while a row is available.
  bool Step();
  // Steps to the end (for statements without rows).
  void Run();

  bool IsNull(int col) const;
  int64_t Int(int col) const;
  double Real(int col) const;
  std::string Text(int col) const;

 private:
  Db* db_;
  sqlite3_stmt* s_;
  bool stepped_ = false;
};

// How a database file is opened.
enum class Access {
  Create,  // a new file, in WAL mode
  Write,   // an existing file, read and written; never created
  Read,    // an existing file, only read, with SQLite's locks like every reader
  Inspect, // an existing file that may be anyone's, only read, with SQLite's
           // locks, as a Read connection that may not write reads (see Db)
  Sealed,  // a database this process made and no other process writes, whole
           // in its file (StandIn::Seal), only read as the file stands
  Memory,  // a new database in memory, never a file: the path only names it in errors
};

// Told of a connection's write transactions by the one who keeps copies of
// what was read in them (see Db::SetObserver).
class TransactionObserver {
 public:
  virtual ~TransactionObserver() = default;
  // The outermost write transaction began. `unchanged`: nothing changed the
  // database since this connection's last commit, not this connection
  // outside its write transactions nor any other connection, so what was
  // kept from earlier transactions still holds.
  virtual void Began(bool unchanged) = 0;
  // Writes held back are due: before a savepoint begins, and before the
  // outermost transaction commits.
  virtual void Flush() = 0;
  // A savepoint began (after Flush), or ended keeping its changes.
  virtual void SavepointBegan() = 0;
  virtual void SavepointReleased() = 0;
  // A savepoint (`savepoint` true) or the whole transaction was rolled back,
  // or a commit failed: nothing kept from the transaction holds.
  virtual void RolledBack(bool savepoint) noexcept = 0;
};

// The step (steps.h) where a read-only guest (see Db) found the log's
// index not set up, and waits for it.
inline constexpr const char* kStepLogIndexNotSetUp = "read: log index not set up";
// The step where SQLite has opened a connection's file, and the
// connection has not yet taken the file's identity (see IsFileAt).
inline constexpr const char* kStepOpened = "open: opened";
// The steps where another process may move a file that a connection
// writes: a write transaction is about to commit (its changes made, the
// file not yet looked at); the connection is about to close (see Close).
inline constexpr const char* kStepBeforeCommit = "write: committing";
inline constexpr const char* kStepBeforeClose = "write: closing";

class Db {
 public:
  // How long a write transaction waits for another connection's write
  // lock before it gives up, unless SetBusyWait says otherwise.
  static constexpr int kDefaultBusyWaitMs = 5000;

  // Opens the database file of exactly the name `path`: every name is a
  // file name, never an SQLite URI ("file:x.db?mode=memory") nor SQLite's
  // in-memory database (":memory:"). Access::Create makes the file (a
  // present file is used as it is), with `newPageSize` as its page size
  // where that is not 0, and switches it to WAL; the others only open it
  // and write nothing to it (but that a connection that may write rolls
  // back, as every SQLite connection does, what a killed writer left).
  //
  // A connection that may write keeps the log files (KeepLogFiles): a
  // database in WAL mode keeps its log "-wal", empty once the last
  // connection has moved it into the file, and its index "-shm" beside
  // it, so that a reader who may not write always finds them; from the
  // first connection on that writes to it (one that found none and wrote
  // nothing leaves none).
  //
  // A Read connection that may write the file and its folder joins the
  // writers as every connection does. One that may not, and an Inspect
  // connection, is a read-only guest: it takes SQLite's locks as well, and
  // so sees only committed transactions, waiting for a writer as long as
  // the busy wait; it makes no file beside the database; what SQLite
  // cannot read without writing raises ReadNeedsWrite. It never reads the
  // file as it stands, for the file's owner may be writing it meanwhile.
  //
  // Errors name the file `reportAs`, or `path` where that is empty: a
  // database built under a temporary name reports the name it is built for.
  Db(const std::string& path, Access access, int newPageSize = 0, const std::string& reportAs = {});
  ~Db();
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  // A use of a kept statement, compiled on its first use.
  Stmt Use(Query& query);
  // A statement kept per SQL text, found by hashing the text: for
  // statements off the hot paths.
  Stmt Prepare(const std::string& sql);
  // Runs SQL without parameters (may hold several statements), compiled
  // for this one run.
  void Exec(std::string_view sql);
  int64_t Changes() const;
  [[noreturn]] void Fail() const;  // raises the connection's last error

  // The bound on waiting for another connection's write lock.
  void SetBusyWait(int milliseconds);

  // Whether the log and its index stay beside the database when this
  // connection is the last to close it (SQLITE_FCNTL_PERSIST_WAL). Kept,
  // the log is left empty once its last checkpoint has moved it into the
  // file (SQLite does so for a connection with a journal_size_limit).
  // Every connection that may write keeps them from its open on; one that
  // must leave nothing beside a file (another program's, a file about to
  // take another name) says so here. No effect on a read-only connection,
  // which makes no log files. Said here, it holds also for a connection
  // that found no log files and writes nothing, which else leaves none.
  void KeepLogFiles(bool keep);

  // The file name the connection was opened with, as given, and the name
  // its errors give the file.
  const std::string& path() const { return path_; }
  const std::string& name() const { return name_; }

  // True when `path` names the file this connection has open, by device
  // and inode. The connection knows its file when its name named it right
  // after the open, as SQLite found (HasMoved) between two looks at the
  // name; otherwise false.
  bool IsFileAt(const std::string& path) const;

  // True when the file this connection has open is no longer at the name
  // it was opened by (moved, renamed, deleted, another file put there), as
  // SQLite itself finds it (SQLITE_FCNTL_HAS_MOVED); false for a database
  // in memory.
  bool HasMoved() const;

  // The close path of every connection that may write a file; ~Db takes it
  // too, where nothing can be reported, so a caller that reports a write
  // as done takes it first (it reaches kStepBeforeClose first). SQLite finds a database's log by the
  // database's name, and on closing a file that has moved skips the
  // checkpoint and leaves the log under the old name, where it would be
  // taken for the log of whatever file has the name by then. So before the
  // close, what the log holds goes into the file opened, wherever it is
  // now, and the log is left empty: without waiting while the file is at
  // its name (other connections that keep the log from that share it, and
  // SQLite leaves it as it leaves any); waiting for them as long as the
  // busy wait where it has moved, then raising FileMoved (committed) if
  // they still keep it. Nothing for a rollback journal: SQLite commits
  // into the file itself, nor for a connection that may not write. The
  // connection stays open for what still refers to it, and ~Db takes the
  // path again; nothing should be written through it in between.
  void Close();

  // The database's page size.
  int PageSize();

  // Replaces everything the database holds by what `source` holds, with
  // SQLite's online backup, in one write transaction of this connection:
  // other connections see the old database or the new one whole; a
  // writer's lock is waited for as long as the busy wait (then
  // hosterr::Busy), and a reader in a transaction keeps its view. A
  // database in WAL takes only a source of its own page size. Neither
  // connection may be in a transaction.
  void CopyFrom(Db& source);

  const SqlCounters& counters() const { return counters_; }

  // True while a Db of this process has the database file `path` open
  // (the same file, by device and inode, under whatever name). Closing a
  // descriptor of a file drops every lock the process holds on it, so what
  // looks into SQLite's files must know whether this process's own
  // connections rely on such locks.
  static bool OpenInThisProcess(const std::string& path);

  // SQLite's count of changes to the database file, by this connection or
  // any other, as of the last transaction this connection began (every
  // statement outside a transaction begins one).
  std::optional<uint32_t> DataVersion() const;

  // True while a transaction is open on this connection.
  bool InTransaction() const;
  // True while a write transaction that a Transaction began is open: no
  // other connection can write meanwhile.
  bool Writing() const { return writing_; }

  // Runs once inside the next outermost write transaction, right after it
  // began; forgotten once such a transaction committed (a rollback undoes
  // what it did, so it runs again in the next one).
  void SetFirstWriteHook(std::function<void()> hook) { firstWrite_ = std::move(hook); }
  // The one observer of the write transactions (null: none).
  void SetObserver(TransactionObserver* observer) { observer_ = observer; }

 private:
  friend class Stmt;
  friend class Transaction;
  // BEGIN IMMEDIATE: takes the write lock at once, waiting at most the
  // busy wait for it, so that a transaction never has to upgrade a read
  // to a write (SQLite cannot wait for that upgrade).
  void BeginWrite();
  void CommitWrite();
  void RollbackWrite() noexcept;
  void BeginSavepoint();
  void ReleaseSavepoint();
  void RollbackSavepoint() noexcept;
  // Compiles a kept statement unless it is; the SQLite result code.
  int Compile(Query& query) noexcept;
  // Runs a kept statement without rows; the SQLite result code.
  int Run(Query& query) noexcept;

  // Raises the SQLite error `extended` (an extended result code), with
  // SQLite's `words`: ReadNeedsWrite where it refused a read-only guest
  // what needs writing, else hosterr::Busy or the storage error.
  [[noreturn]] void Raise(int extended, const std::string& words) const;
  // The ReadNeedsWrite part of Raise; returns for any other error.
  void RaiseIfReadNeedsWrite(int extended) const;
  // True when SQLite reads the database through its write-ahead log: a log
  // lies beside it, or its header says it is in WAL mode (also where the
  // header cannot be read); false for a rollback journal mode.
  bool ReadsThroughLog() const;
  // For a read-only guest on a database in WAL mode: a writer that has
  // just opened the database sets up the log's index before its first
  // read, and a guest that comes meanwhile finds it not set up (which
  // SQLite would have to do itself). The guest waits for it as for a
  // writer's lock, at most the busy wait.
  void WaitForLogIndex();

  sqlite3* db_ = nullptr;
  std::string path_;
  std::string name_;
  // Close without the step and without raising: false where the file has
  // moved and other connections kept its log.
  bool LeaveLog();
  // Empties the log into the file opened (see Close), waiting for other
  // connections as long as the busy wait with `wait`, else not at all:
  // true when the log is empty, or the database has none.
  bool EmptyLog(bool wait);

  // The identity of the file this connection opened, where it could be
  // told (see IsFileAt); listed as open while the connection lives
  // (OpenInThisProcess).
  std::optional<std::pair<uint64_t, uint64_t>> file_;
  // A connection that may write a file (not in memory, not read-only):
  // it takes the close path.
  bool mayWrite_ = false;
  // Whether the log files lay beside the file when the connection opened
  // it, and whether the connection has written to it since: one that
  // found none and wrote nothing leaves none (LeaveLog), so that a command
  // that fails before it writes leaves the files beside the database as
  // it found them.
  bool foundLogFiles_ = false;
  bool wrote_ = false;
  // A Read connection of a process that may not write the file or its
  // folder, or an Inspect connection: SQLite refuses what would need
  // writing.
  bool readOnlyGuest_ = false;
  int busyWaitMs_ = kDefaultBusyWaitMs;
  std::function<void()> firstWrite_;
  bool hookRan_ = false;  // the open write transaction ran firstWrite_
  bool writing_ = false;
  TransactionObserver* observer_ = nullptr;
  // The data version right after this connection's last commit.
  std::optional<uint32_t> committedVersion_;
  std::unordered_map<std::string, sqlite3_stmt*> cache_;
  Query begin_{"BEGIN IMMEDIATE"}, commit_{"COMMIT"}, rollback_{"ROLLBACK"};
  Query savepoint_{"SAVEPOINT kelhost"}, release_{"RELEASE kelhost"}, rollbackTo_{"ROLLBACK TO kelhost"};
  SqlCounters counters_;
};

// A write transaction. The outermost one begins with BEGIN IMMEDIATE and
// ends with COMMIT; inside another transaction it is a savepoint. Commit
// keeps the changes; leaving the scope without Commit rolls them back.
class Transaction {
 public:
  explicit Transaction(Db& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Db& db_;
  bool outer_;
  bool done_ = false;
};

}  // namespace host::sqlite
