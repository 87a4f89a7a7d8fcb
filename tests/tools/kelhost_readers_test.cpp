// A reader that may not write the database (another user, a read-only
// file, a read-only folder) reads with SQLite's locks, as every reader
// does: it sees committed transactions only and waits for a writer as
// long as a writer waits. Where SQLite would have to write to let it read
// (a database in WAL mode that no process has open, a transaction that a
// process left unfinished when it ended), it says so, reads nothing and
// makes no file. A writing command refuses such a database up front.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "debitor_fixture.h"
#include "file_helpers.h"
#include "host/sqlite/db.h"
#include "kelhost_paused.h"
#include "kelhost_run.h"

namespace kelhost_test {
namespace {

namespace fs = std::filesystem;
using test_files::Connection;
using test_files::KilledWriter;
using test_files::Listing;
using test_files::Sql;

// Fills SQLite's cache of its transaction past its size, so that it writes
// changes into the database file before it commits, holding the file's
// exclusive lock (in a rollback journal mode).
constexpr const char* kSpill =
    " WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
    " INSERT INTO Artikel (Id) SELECT 'X' || i FROM n;";

class KelhostCliReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir_.File("vertrag.txt"), ContractWith());
    WriteFile(dir_.File("artikel.csv"), kValidArticles);
    // Others may enter the test's folder.
    ::chmod(dir_.path().c_str(), 0755);
  }
  // Runs kelhost as a user who meets the file modes ("nobody" when the
  // test runs as root).
  Result AsReader(const std::vector<std::string>& args) {
    Launch l{args, dir_.File("stdout.txt"), dir_.File("stderr.txt"), ""};
    l.unprivileged = true;
    return RunKelhost(l);
  }
  std::vector<std::string> Debitor(const std::string& db) {
    return {"debitor", db, "--contract", dir_.File("vertrag.txt"), "--articles", dir_.File("artikel.csv")};
  }
  static std::string CannotReadWal(const std::string& db) {
    return "kelhost: cannot read " + db +
           " without writing beside it: it is in WAL mode, and SQLite reads it only through its log " + db +
           "-wal and the log's index " + db +
           "-shm, which are not there while no process has the database open, and which kelhost makes only as a "
           "user who may write " + db + " and its folder; nothing was read\n";
  }
  TempDir dir_;
};

// A database of root's (mode 0644, in a folder others may enter) that a
// reader who may not write, "nobody", reads.
class KelhostCliOwnersDatabase : public KelhostCliReaders {
 protected:
  void SetUp() override {
    KelhostCliReaders::SetUp();
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
    db_ = dir_.File("x.db");
    host::sqlite::StandIn::Create(db_, true);
    ::chmod(db_.c_str(), 0644);
  }
  // The folder holds the database alone, beside the test's own files.
  void ExpectNothingBesideTheDatabase() {
    EXPECT_EQ(Listing(dir_.path()),
              (std::set<std::string>{"x.db", "vertrag.txt", "artikel.csv", "stdout.txt", "stderr.txt"}));
  }
  std::string db_;
};

// A read-only file in a folder the reader may write, and a file in a
// folder it may not: in a rollback journal mode it is shown as it is; in
// WAL mode only while its log files are there, for SQLite reads such a
// database through them, and the reader does not make them (they would be
// the reader's, in the file's read-only mode, and keep the owner from
// writing). debitor refuses both.
TEST_F(KelhostCliReaders, AReadOnlyDatabaseIsShownThroughSqliteAndNeverWritten) {
  const std::string open = dir_.File("open"), locked = dir_.File("locked");
  fs::create_directory(open);
  fs::create_directory(locked);
  struct Case {
    std::string db, folder, why;
    bool wal;
  };
  std::vector<Case> cases;
  for (const std::string mode : {"wal", "delete"}) {
    cases.push_back({open + "/readonly-" + mode + ".db", open, "is read-only; debitor writes to it", mode == "wal"});
    cases.push_back(
        {locked + "/" + mode + ".db", locked, "lies in a read-only folder; debitor writes to it", mode == "wal"});
    for (size_t i = cases.size() - 2; i < cases.size(); ++i) {
      host::sqlite::StandIn::Create(cases[i].db, true);
      Sql(cases[i].db, "PRAGMA journal_mode = " + mode);
    }
  }
  for (const Case& c : cases) ::chmod(c.db.c_str(), c.folder == open ? 0444 : 0666);
  ::chmod(open.c_str(), 0777);
  ::chmod(locked.c_str(), 0555);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.db);
    const std::string before = ReadFile(c.db);
    const std::set<std::string> listing = Listing(c.folder);
    // The list of the tables opens the database as the listing of one
    // does, with the same refusal.
    Result r;
    for (const std::vector<std::string>& show :
         {std::vector<std::string>{"show", c.db, "Artikel"}, std::vector<std::string>{"show", c.db}}) {
      r = AsReader(show);
      if (c.wal) {
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, CannotReadWal(c.db));
      } else {
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Lines(r.out).size(), show.size() == 3 ? 10u : 16u);
      }
    }
    r = AsReader(Debitor(c.db));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("kelhost: debitor: " + c.db + " " + c.why), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(c.db), before);
    EXPECT_EQ(Listing(c.folder), listing);

    if (!c.wal || ::geteuid() != 0) continue;
    // Another user's connection makes the log files, and the reader reads
    // through them.
    Connection owner(c.db);
    EXPECT_EQ(owner.One("SELECT count(*) FROM Artikel"), "9");
    r = AsReader({"show", c.db, "Artikel"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 10u);
  }
  ::chmod(locked.c_str(), 0755);
}

// With the writer inside its transaction, the reader sees what was
// committed before it: in WAL mode at once, in a rollback journal mode
// once the writer no longer holds the file, and else it gives up as a
// writer gives up. A transaction that a killed process left unfinished is
// SQLite's to roll back before anyone reads, which the reader may not do.
TEST_F(KelhostCliOwnersDatabase, AReaderWhoMayNotWriteSeesOnlyCommittedTransactions) {
  const std::string& db = db_;
  auto a1 = [this, &db] {
    const Result r = AsReader({"show", db, "Artikel"});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& line : Lines(r.out))
      if (line.rfind("A1\t", 0) == 0) return line.substr(3, line.find('\t', 3) - 3);
    return std::string("(none)");
  };

  {
    Connection writer(db);
    writer.Exec("BEGIN IMMEDIATE; UPDATE Artikel SET Bezeichnung = 'neu' WHERE Id = 'A1'");
    EXPECT_EQ(a1(), "Wartung Basis");
    writer.Exec("COMMIT");
    EXPECT_EQ(a1(), "neu");
  }

  Sql(db, "PRAGMA journal_mode = DELETE");
  {
    // Looked at without opening it: closing a descriptor of the file would
    // drop the writer's locks, which belong to this process.
    const uintmax_t size = fs::file_size(db);
    Connection writer(db);
    writer.Exec(std::string("PRAGMA cache_size = 1; BEGIN; UPDATE Artikel SET Bezeichnung = 'offen' WHERE Id = 'A1';") +
                kSpill);
    ASSERT_GT(fs::file_size(db), size) << "the transaction did not reach the file";
    const auto start = std::chrono::steady_clock::now();
    const Result r = AsReader({"show", db, "Artikel"});
    // As long as a writer waits: once, not for each statement.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4900));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(8000));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "kelhost: the database is locked by another process; gave up waiting, nothing was written\n");
    writer.Exec("ROLLBACK");
  }
  EXPECT_EQ(a1(), "neu");

  KilledWriter(db, (std::string("PRAGMA cache_size = 1; BEGIN; UPDATE Artikel SET Bezeichnung = 'halb' WHERE Id = 'A1';") +
                    kSpill)
                       .c_str());
  ASSERT_NE(ReadFile(db).find("halb"), std::string::npos) << "the transaction did not reach the file";
  const Result r = AsReader({"show", db, "Artikel"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "kelhost: cannot read " + db +
                       " without writing to it: a process ended during a transaction and left its journal " + db +
                       "-journal, which SQLite must roll back into " + db +
                       " before anyone reads it; kelhost rolls it back only in a database marked as its own, as a "
                       "user who may write " + db + " and its folder; nothing was read\n");
  EXPECT_TRUE(fs::exists(db + "-journal"));
  // A user who may write rolls it back by reading.
  const Result owner = RunKelhost(dir_, {"show", db, "Artikel"});
  EXPECT_EQ(owner.status, 0) << owner.err;
  EXPECT_EQ(owner.out.find("halb"), std::string::npos);
  EXPECT_EQ(a1(), "neu");
  ExpectNothingBesideTheDatabase();
}

// A database made before databases were marked is told from another
// program's by what it holds, which is read with SQLite's locks too: not
// while a writer's transaction is in the file, nor past a transaction that
// a killed process left unfinished.
TEST_F(KelhostCliOwnersDatabase, AnUnmarkedDatabaseIsLookedAtWithSqlitesLocks) {
  const std::string& db = db_;
  Sql(db, "PRAGMA application_id = 0; PRAGMA user_version = 0;");
  Result r = AsReader({"show", db, "Artikel"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, CannotReadWal(db));
  r = RunKelhost(dir_, {"show", db, "Artikel"});
  EXPECT_EQ(r.status, 0) << r.err;

  Sql(db, "PRAGMA journal_mode = DELETE");
  const std::string drop = "PRAGMA cache_size = 1; BEGIN; DROP TABLE Artikelgruppen;" + std::string(kSpill);
  {
    const uintmax_t size = fs::file_size(db);
    Connection writer(db);
    writer.Exec(drop);
    ASSERT_GT(fs::file_size(db), size) << "the transaction did not reach the file";
    r = RunKelhost(dir_, {"show", db, "Artikel"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelhost: the database is locked by another process; gave up waiting, nothing was written\n");
    writer.Exec("ROLLBACK");
  }
  KilledWriter(db, drop.c_str());
  ASSERT_TRUE(fs::exists(db + "-journal"));
  for (const bool reader : {true, false}) {
    r = reader ? AsReader({"show", db, "Artikel"}) : RunKelhost(dir_, {"show", db, "Artikel"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("kelhost: cannot read " + db + " without writing to it: a process ended during a transaction"),
              std::string::npos)
        << r.err;
  }
  EXPECT_TRUE(fs::exists(db + "-journal"));
}

// A process killed after it began the log, before the first transaction
// in it, leaves the log and its index in a state that SQLite sets right
// before it reads through them (in a process that may write).
TEST_F(KelhostCliOwnersDatabase, ALogLeftHalfBegunIsSetRightOnlyByAUserWhoMayWrite) {
  const std::string& db = db_;
  KilledWriter(db, "UPDATE Artikel SET Bezeichnung = 'weg' WHERE Id = 'A1'");
  fs::resize_file(db + "-wal", 32);  // the log's header alone
  Result r = AsReader({"show", db, "Artikel"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "kelhost: cannot read " + db +
                       " without writing beside it: it is in WAL mode, and a process that ended left its log " + db +
                       "-wal and the log's index " + db +
                       "-shm in a state that SQLite sets right before it reads through them, which kelhost does "
                       "only as a user who may write " + db + " and its folder; nothing was read\n");
  r = RunKelhost(dir_, {"show", db, "Artikel"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("weg"), std::string::npos);
  ExpectNothingBesideTheDatabase();
}

// A writer that has just opened a database in WAL mode sets the log's
// index up before it reads; a reader who may not write and comes
// meanwhile waits for it, as for a writer's lock, and then reads.
TEST_F(KelhostCliOwnersDatabase, AReaderWhoMayNotWriteWaitsWhileAWriterSetsTheLogIndexUp) {
  const std::string& db = db_;
  Connection writer(db);
  EXPECT_EQ(writer.One("SELECT count(*) FROM Artikel"), "9");
  // The index as a writer leaves it until it has set it up: its header
  // zeroed, here by another process, whose closing of the file drops none
  // of this process's locks on it.
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open((db + "-shm").c_str(), O_RDWR);
    const std::string zeros(136, '\0');
    ::_exit(fd >= 0 && ::pwrite(fd, zeros.data(), zeros.size(), 0) == 136 ? 0 : 1);
  }
  int status = -1;
  ::waitpid(pid, &status, 0);
  ASSERT_EQ(status, 0);

  Launch l{{"show", db, "Artikel"}, dir_.File("stdout.txt"), dir_.File("stderr.txt"), ""};
  l.unprivileged = true;
  PausedKelhost show(l, host::sqlite::kStepLogIndexNotSetUp);
  ASSERT_TRUE(show.Paused()) << ReadFile(l.err);
  EXPECT_EQ(writer.One("SELECT count(*) FROM Artikel"), "9");  // sets the index up
  EXPECT_EQ(show.Finish(), 0) << ReadFile(l.err);
  EXPECT_EQ(Lines(ReadFile(l.out)).size(), 10u);
}

// A writer that stalls while it sets the log's index up (it holds the
// log's write lock, the index not yet valid) lives on: the reader who may
// not write waits for it as for any writer, at most the busy wait, and
// then says that the database is locked. Once the writer is done, the
// reader reads.
TEST_F(KelhostCliOwnersDatabase, AReaderWaitsForAWriterStalledOnTheLogIndexAsForAnyWriter) {
  const std::string& db = db_;
  Connection owner(db);
  EXPECT_EQ(owner.One("SELECT count(*) FROM Artikel"), "9");
  // The stalled writer: another process that zeroes the index's header and
  // takes the log's write lock (the index's first lock byte, at 120, as
  // SQLite's file format places it), until told to end.
  int ready[2], done[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(done), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ready[0]);
    ::close(done[1]);
    const int fd = ::open((db + "-shm").c_str(), O_RDWR);
    const std::string zeros(136, '\0');
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 120;
    lock.l_len = 1;
    const bool held = fd >= 0 && ::pwrite(fd, zeros.data(), zeros.size(), 0) == 136 && ::fcntl(fd, F_SETLK, &lock) == 0;
    const char c = held ? 'y' : 'n';
    (void)!::write(ready[1], &c, 1);
    char go = 0;
    (void)!::read(done[0], &go, 1);
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(done[0]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  Result r = AsReader({"show", db, "Artikel"});
  ::close(done[1]);
  ::waitpid(pid, nullptr, 0);
  ::close(ready[0]);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "kelhost: the database is locked by another process; gave up waiting, nothing was written\n");
  EXPECT_EQ(owner.One("SELECT count(*) FROM Artikel"), "9");  // sets the index right
  r = AsReader({"show", db, "Artikel"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 10u);
}

// The log's index of mode 0600, its owner's: named as an index this user
// may not read, and left as it is.
TEST_F(KelhostCliOwnersDatabase, AnIndexTheReaderMayNotReadIsNamedSo) {
  const std::string& db = db_;
  Connection writer(db);
  EXPECT_EQ(writer.One("SELECT count(*) FROM Artikel"), "9");
  ::chmod((db + "-shm").c_str(), 0600);
  const Result r = AsReader({"show", db, "Artikel"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "kelhost: show: " + db + " has its log's index " + db +
                       "-shm beside it, which this user may not read (Permission denied); SQLite reads a database "
                       "in WAL mode only through that index\n");
  EXPECT_EQ(writer.One("SELECT count(*) FROM Artikel"), "9");
}

}  // namespace
}  // namespace kelhost_test
