// A reader that may not write the database (another user, a read-only
// file, a read-only folder) reads with SQLite's locks, as every reader
// does: it sees committed transactions only and waits for a writer as
// long as a writer waits. A database in WAL mode it reads through the log
// files that kelhost keeps beside it; where another program removed them,
// or SQLite would have to write to let it read (a transaction that a
// process left unfinished when it ended), it says so, reads nothing and
// makes no file. A writing command refuses such a database up front.
//
// kelhost runs here as its test build with every wait ten times shorter
// (host/sqlite/files/steps.h): a reader gives up after 0.5 s, not 5 s.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
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
  Result AsReader(const std::vector<std::string>& args) { return RunKelhost(ReaderLaunch(args)); }
  Launch ReaderLaunch(const std::vector<std::string>& args) {
    Launch l = Quick(args);
    l.unprivileged = true;
    return l;
  }
  // kelhost with the waits shortened, as the user running the test.
  Launch Quick(const std::vector<std::string>& args) {
    Launch l{args, dir_.File("stdout.txt"), dir_.File("stderr.txt"), ""};
    l.exe = KELHOST_PAUSED_PATH;
    l.env.push_back(std::string("KELHOST_WAITS_DIVIDED_BY=") + std::to_string(kWaitsDividedBy));
    return l;
  }
  static constexpr int kWaitsDividedBy = 10;
  static constexpr std::chrono::milliseconds kBusyWait{host::sqlite::Db::kDefaultBusyWaitMs / kWaitsDividedBy};
  std::vector<std::string> Debitor(const std::string& db) {
    return {"debitor", db, "--contract", dir_.File("vertrag.txt"), "--articles", dir_.File("artikel.csv")};
  }
  // The refusal where another program removed the log files.
  static std::string CannotReadWal(const std::string& db) {
    return "kelhost: cannot read " + db +
           " without writing beside it: it is in WAL mode, and SQLite reads it only through its log " + db +
           "-wal and the log's index " + db +
           "-shm, which are not there (kelhost keeps them beside the database; another program removed them, as "
           "the sqlite3 shell does when it closes the database); kelhost makes them only as a user who may write " +
           db + " and its folder: the database's owner can run any kelhost command that writes to " + db +
           ", which leaves them there for good, or switch " + db +
           " to a rollback journal with PRAGMA journal_mode=DELETE; nothing was read\n";
  }
  // Another program's last connection, which removes the log files.
  static void RemoveLogFilesAsAnotherProgram(const std::string& db) {
    Sql(db, "SELECT count(*) FROM Artikel");
    ASSERT_FALSE(fs::exists(db + "-wal"));
    ASSERT_FALSE(fs::exists(db + "-shm"));
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
  // The folder holds the database and `logs` alone, beside the test's own
  // files.
  void ExpectBesideTheDatabaseOnly(std::set<std::string> logs) {
    logs.insert({"x.db", "vertrag.txt", "artikel.csv", "stdout.txt", "stderr.txt"});
    EXPECT_EQ(Listing(dir_.path()), logs);
  }
  std::string db_;
};

// A read-only file in a folder the reader may write, and a file in a
// folder it may not: in a rollback journal mode it is shown as it is; in
// WAL mode through the log files that kelhost keeps beside it from `init`
// on. Where another program removed them, the reader does not make them
// (they would be the reader's, in the file's read-only mode, and keep the
// owner from writing) and says what the owner can do. debitor refuses
// every one.
TEST_F(KelhostCliReaders, AReadOnlyDatabaseIsShownThroughSqliteAndNeverWritten) {
  const std::string open = dir_.File("open"), locked = dir_.File("locked");
  fs::create_directory(open);
  fs::create_directory(locked);
  struct Case {
    std::string db, folder, why, mode;
  };
  std::vector<Case> cases;
  for (const std::string mode : {"wal", "removed", "delete"}) {
    cases.push_back({open + "/readonly-" + mode + ".db", open, "is read-only; debitor writes to it", mode});
    cases.push_back({locked + "/" + mode + ".db", locked, "lies in a read-only folder; debitor writes to it", mode});
    for (size_t i = cases.size() - 2; i < cases.size(); ++i) {
      const Result init = RunKelhost(dir_, {"init", cases[i].db, "--sample"});
      ASSERT_EQ(init.status, 0) << init.err;
      EXPECT_EQ(fs::file_size(cases[i].db + "-wal"), 0u);
      EXPECT_TRUE(fs::exists(cases[i].db + "-shm"));
      if (mode == "removed") RemoveLogFilesAsAnotherProgram(cases[i].db);
      if (mode == "delete") Sql(cases[i].db, "PRAGMA journal_mode = DELETE");
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
      if (c.mode == "removed") {
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

    if (c.mode != "removed" || ::geteuid() != 0) continue;
    // A kelhost command of a user who may write makes the log files again,
    // and keeps them: the reader reads through them.
    r = RunKelhost(dir_, {"setting", c.db, "Farbe", "blau"});
    EXPECT_EQ(r.status, 0) << r.err;
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
    EXPECT_GE(std::chrono::steady_clock::now() - start, kBusyWait);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5 * kBusyWait);
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
  ExpectBesideTheDatabaseOnly({});
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
    r = RunKelhost(Quick({"show", db, "Artikel"}));
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
  ExpectBesideTheDatabaseOnly({"x.db-wal", "x.db-shm"});
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

  const Launch l = ReaderLaunch({"show", db, "Artikel"});
  PausedKelhost show(l, host::sqlite::kStepLogIndexNotSetUp);
  ASSERT_TRUE(show.Paused()) << ReadFile(l.err);
  EXPECT_EQ(writer.One("SELECT count(*) FROM Artikel"), "9");  // sets the index up
  EXPECT_EQ(show.Finish(), 0) << ReadFile(l.err);
  EXPECT_EQ(Lines(ReadFile(l.out)).size(), 10u);
}

// kelhost keeps the log files beside a database in WAL mode, from init or
// demo on and after every command: a reader who may not write finds them
// whenever no process has the database open, and reads the last
// committed state through them.
TEST_F(KelhostCliOwnersDatabase, AReaderWhoMayNotWriteIsServedAfterEveryWriterClosed) {
  for (const std::string command : {"init", "demo"}) {
    SCOPED_TRACE(command);
    const std::string db = dir_.File(command + ".db");
    const Result made = RunKelhost(
        dir_, command == "init" ? std::vector<std::string>{"init", db, "--sample"} : std::vector<std::string>{"demo", db});
    ASSERT_EQ(made.status, 0) << made.err;
    struct stat file {};
    ASSERT_EQ(::stat(db.c_str(), &file), 0);
    for (const char* suffix : {"-wal", "-shm"}) {
      struct stat log {};
      ASSERT_EQ(::stat((db + suffix).c_str(), &log), 0) << suffix;
      EXPECT_EQ(log.st_uid, file.st_uid);
      EXPECT_EQ(log.st_gid, file.st_gid);
      EXPECT_EQ(log.st_mode & 0777, file.st_mode & 0777);
    }
    EXPECT_EQ(fs::file_size(db + "-wal"), 0u);
    const size_t contracts = command == "demo" ? 1 : 0;
    for (size_t i = 0; i < 3; ++i) {
      const Result shown = AsReader({"show", db, "kt_Vertraege"});
      EXPECT_EQ(shown.status, 0) << shown.err;
      EXPECT_EQ(Lines(shown.out).size(), 1 + contracts + i);
      const Result written = RunKelhost(dir_, Debitor(db));
      EXPECT_EQ(written.status, 0) << written.err;
      EXPECT_EQ(fs::file_size(db + "-wal"), 0u);
    }
  }
}

// Where another program removed the log files (the sqlite3 shell does as
// it closes the database), the reader says so and what the owner can do;
// the owner's next kelhost command puts them back for good.
TEST_F(KelhostCliOwnersDatabase, WhereAnotherProgramRemovedTheLogFilesTheReaderSaysWhatTheOwnerCanDo) {
  RemoveLogFilesAsAnotherProgram(db_);
  Result r = AsReader({"show", db_, "Artikel"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, CannotReadWal(db_));
  r = RunKelhost(dir_, Debitor(db_));
  EXPECT_EQ(r.status, 0) << r.err;
  r = AsReader({"show", db_, "kt_Vertraege"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 2u);

  fs::remove(db_ + "-shm");
  r = AsReader({"show", db_, "Artikel"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("-shm, of which " + db_ + "-shm is not there (another program removed it); kelhost makes them"),
            std::string::npos)
      << r.err;
  ExpectBesideTheDatabaseOnly({"x.db-wal"});
}

// A log file beside a database is SQLite's only when its owner may write
// the database. One that another user put there, in a folder where anyone
// may make files, is named and never applied, whoever runs the command,
// though SQLite would take it: the same file as root's changes the
// database.
TEST_F(KelhostCliReaders, ALogFileOfAUserWhoMayNotWriteIsNamedAndNeverApplied) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  const std::string shared = dir_.File("shared");
  fs::create_directory(shared);
  ::chmod(shared.c_str(), 01777);
  for (const std::string suffix : {"-wal", "-journal"}) {
    SCOPED_TRACE(suffix);
    const std::string db = shared + "/x" + suffix + ".db", copy = shared + "/copy" + suffix + ".db";
    const Result made = RunKelhost(dir_, {"init", db, "--sample"});
    ASSERT_EQ(made.status, 0) << made.err;
    RemoveLogFilesAsAnotherProgram(db);
    if (suffix == "-journal") Sql(db, "PRAGMA journal_mode = DELETE");
    // Another user's log of a change to a copy of the database.
    fs::copy_file(db, copy);
    if (suffix == "-wal") {
      KilledWriter(copy, "UPDATE Artikel SET Bezeichnung = 'untergeschoben' WHERE Id = 'A1'");
    } else {
      Sql(copy, "UPDATE Artikel SET Bezeichnung = 'untergeschoben' WHERE Id = 'A1'");
      KilledWriter(copy, (std::string("PRAGMA cache_size = 1; BEGIN; UPDATE Artikel SET Bezeichnung = 'anders' "
                                      "WHERE Id = 'A2';") +
                          kSpill)
                             .c_str());
    }
    const std::string planted = db + suffix;
    fs::copy_file(copy + suffix, planted);
    ASSERT_EQ(::chown(planted.c_str(), 65534, 65534), 0);
    const std::string before = ReadFile(db), plantedBytes = ReadFile(planted);

    for (const bool asOther : {false, true}) {
      for (const std::vector<std::string>& args : {std::vector<std::string>{"show", db, "Artikel"}, Debitor(db)}) {
        SCOPED_TRACE(args[0] + (asOther ? " as nobody" : " as root"));
        const Result r = asOther ? AsReader(args) : RunKelhost(dir_, args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "kelhost: " + args[0] + ": " + db + " has " + planted +
                             " beside it, which belongs to the user nobody, who may not write the database; SQLite "
                             "would take it for the database's own log file and apply what it holds to the "
                             "database, so kelhost leaves both alone\n");
      }
    }
    EXPECT_EQ(ReadFile(db), before);
    EXPECT_EQ(ReadFile(planted), plantedBytes);

    ASSERT_EQ(::chown(planted.c_str(), 0, 0), 0);
    const Result r = RunKelhost(dir_, {"show", db, "Artikel"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("untergeschoben"), std::string::npos);
  }
}

// Two users of one group, made for the test: the database's owner, whose
// group it is, and a member of that group.
class KelhostCliGroupMembers : public KelhostCliReaders {
 protected:
  void SetUp() override {
    KelhostCliReaders::SetUp();
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make users";
    const std::string tag = std::to_string(::getpid());
    group_ = "kpg" + tag;
    owner_ = "kpo" + tag;
    member_ = "kpm" + tag;
    ASSERT_EQ(Shell("groupadd " + group_), 0);
    ASSERT_EQ(Shell("useradd -M -N -g " + group_ + " -s /usr/sbin/nologin " + owner_), 0);
    ASSERT_EQ(Shell("useradd -M -U -G " + group_ + " -s /usr/sbin/nologin " + member_), 0);
  }
  void TearDown() override {
    if (group_.empty()) return;
    Shell("userdel " + owner_);
    Shell("userdel " + member_);
    Shell("groupdel " + group_);
  }
  static int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }
  Result As(const std::string& user, const std::vector<std::string>& args) {
    Launch l = Quick(args);
    l.user = user;
    return RunKelhost(l);
  }
  // The log files beside `db`: `user`'s, in the database's group and mode.
  void ExpectLogFilesOf(const std::string& db, const std::string& user) {
    struct stat file {};
    ASSERT_EQ(::stat(db.c_str(), &file), 0);
    for (const char* suffix : {"-wal", "-shm"}) {
      SCOPED_TRACE(suffix);
      struct stat log {};
      ASSERT_EQ(::stat((db + suffix).c_str(), &log), 0);
      EXPECT_EQ(log.st_uid, ::getpwnam(user.c_str())->pw_uid);
      EXPECT_EQ(log.st_gid, file.st_gid);
      EXPECT_EQ(log.st_mode & 0777, file.st_mode & 0777);
    }
  }
  std::string group_, owner_, member_;
};

// Log files that kelhost makes carry the database's group and mode, so
// that everyone who may write the database may write them: a member's
// read does not keep the owner from writing, nor the owner's the member.
TEST_F(KelhostCliGroupMembers, LogFilesCarryTheDatabasesGroupAndModeWhoeverMakesThem) {
  const std::string shared = dir_.File("shared");
  fs::create_directory(shared);
  ASSERT_EQ(::chown(shared.c_str(), ::getpwnam(owner_.c_str())->pw_uid, ::getgrnam(group_.c_str())->gr_gid), 0);
  ::chmod(shared.c_str(), 0775);
  const std::string db = shared + "/x.db";
  Result r = As(owner_, {"init", db, "--sample"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The owner lets the group write; the owner's next command gives the
  // log files the database's mode.
  ::chmod(db.c_str(), 0664);
  r = As(owner_, {"show", db, "Artikel"});
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectLogFilesOf(db, owner_);
  r = As(member_, Debitor(db));
  EXPECT_EQ(r.status, 0) << r.err;

  // Made by the member where another program removed them: a command
  // that writes keeps them (one that only reads leaves none where it
  // found none).
  RemoveLogFilesAsAnotherProgram(db);
  r = As(member_, {"show", db, "Artikel"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(db + "-wal"));
  r = As(member_, {"setting", db, "Farbe", "blau"});
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectLogFilesOf(db, member_);
  for (const std::string& user : {owner_, member_}) {
    SCOPED_TRACE(user);
    r = As(user, Debitor(db));
    EXPECT_EQ(r.status, 0) << r.err;
  }
  r = As(owner_, {"show", db, "kt_Vertraege"});
  EXPECT_EQ(Lines(r.out).size(), 4u);

  // Made by root, or found as root's: the owner's, as SQLite makes them.
  RemoveLogFilesAsAnotherProgram(db);
  for (const bool found : {false, true}) {
    SCOPED_TRACE(found);
    if (found) {
      fs::remove(db + "-wal");
      WriteFile(db + "-wal", "");
    }
    r = RunKelhost(dir_, {"setting", db, "Farbe", "rot"});
    EXPECT_EQ(r.status, 0) << r.err;
    ExpectLogFilesOf(db, owner_);
  }
  r = As(member_, Debitor(db));
  EXPECT_EQ(r.status, 0) << r.err;
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
