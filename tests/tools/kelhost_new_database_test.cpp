// How init and demo make a database: demo replaces only a kelhost database,
// through SQLite in its own file, and leaves the old one whole when it
// cannot, whatever another process moves to its name at each step where
// that matters; it builds sample and contract before the name is taken, so
// that runs at once end as runs one after the other; every name the other
// commands can open can be made, or is refused up front; only stale
// temporary files are removed; and what they say names the command, the
// database and the system's reason.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "file_helpers.h"
#include "host/sqlite/files/replacement.h"
#include "kelhost/new_database.h"
#include "kelhost_paused.h"
#include "kelhost_run.h"

namespace kelhost_test {
namespace {

namespace fs = std::filesystem;
using test_files::Listing;
using test_files::Connection;
using test_files::Query;

class KelhostCliNewDatabase : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, bool unprivileged = false) {
    Launch l{args, dir_.File("stdout.txt"), dir_.File("stderr.txt"), ""};
    l.unprivileged = unprivileged;
    return RunKelhost(l);
  }
  static std::string Contracts(const std::string& db) {
    return Query(db, "SELECT count(*) FROM kt_Vertraege").at(0);
  }
  // Removes a database with what a reader may leave beside it.
  static void Remove(const std::string& db) {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(db + suffix);
  }
  TempDir dir_;
};

// The inode of `path` (0 when there is none).
ino_t Inode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// demo writes the new database into the old one's own file, through
// SQLite: the file and its log files stay where they are, what a killed
// writer committed goes with the old database, a reader in a transaction
// keeps its view, a writer is waited for. When the old database cannot be
// written, it stays byte for byte with its log files.
TEST_F(KelhostCliNewDatabase, DemoReplacesTheOldDatabaseInItsOwnFileThroughSqlite) {
  const std::string folder = dir_.File("shared");
  fs::create_directory(folder);
  const std::string db = folder + "/x.db";

  ASSERT_EQ(Run({"init", db, "--sample"}).status, 0);
  test_files::KilledWriter(db, "UPDATE Artikel SET Bezeichnung = 'alt' WHERE Id = 'A1'");
  ASSERT_GT(fs::file_size(db + "-wal"), 0u);
  const ino_t inode = Inode(db);
  const ino_t walInode = Inode(db + "-wal");
  {
    Connection reader(db), writer(db);
    reader.Exec("BEGIN");
    EXPECT_EQ(reader.One("SELECT count(*) FROM Artikel WHERE Bezeichnung = 'alt'"), "1");
    // The writer takes the lock while demo stands between its build and
    // its copy, and commits once demo goes on.
    PausedKelhost demo({{"demo", db}, dir_.File("stdout.txt"), dir_.File("stderr.txt"), ""}, kelhost::kStepBuilt);
    ASSERT_TRUE(demo.Paused());
    writer.Exec("BEGIN IMMEDIATE; UPDATE Artikel SET Bezeichnung = 'neben' WHERE Id = 'A2'");
    demo.Resume();
    writer.Exec("COMMIT");
    EXPECT_EQ(demo.Finish(), 0) << ReadFile(dir_.File("stderr.txt"));
    EXPECT_EQ(Inode(db), inode);
    EXPECT_EQ(Inode(db + "-wal"), walInode);
    EXPECT_EQ(reader.One("SELECT count(*) FROM Artikel WHERE Bezeichnung = 'alt'"), "1");
    EXPECT_EQ(reader.One("SELECT count(*) FROM kt_Vertraege"), "0");
    reader.Exec("COMMIT");
    EXPECT_EQ(reader.One("SELECT count(*) FROM Artikel WHERE Bezeichnung IN ('alt', 'neben')"), "0");
    EXPECT_EQ(reader.One("SELECT count(*) FROM kt_Vertraege"), "1");
  }
  EXPECT_EQ(Listing(folder), std::set<std::string>{"x.db"});
  EXPECT_EQ(Inode(db), inode);
  EXPECT_EQ(Query(db, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(Contracts(db), "1");

  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  // A shared folder with the sticky bit: the database is nobody's, its log
  // file root's, which nobody may not write.
  ::chmod(dir_.path().c_str(), 0755);
  ::chmod(folder.c_str(), 01777);
  Remove(db);
  ASSERT_EQ(Run({"init", db, "--sample"}, true).status, 0);
  test_files::RemoveKeptLogFiles(db);
  WriteFile(db + "-wal", "");
  const std::string before = ReadFile(db);
  const Result r = Run({"demo", db}, true);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "kelhost: demo: cannot replace " + db + ": its log file " + db +
                       "-wal may not be written (Permission denied); " + db + " was left as it was\n");
  EXPECT_EQ(ReadFile(db), before);
  EXPECT_EQ(Listing(folder), (std::set<std::string>{"x.db", "x.db-wal"}));
}

// What another process moves to DB's name while demo runs, at each step
// where it matters. A file that is not a kelhost database never gets the
// new database, neither from demo nor, through a log left under DB's name,
// from the next one to open it with SQLite; a kelhost database that comes
// is the one replaced.
class KelhostCliMovedDuringDemo : public KelhostCliNewDatabase {
 protected:
  void SetUp() override {
    db_ = dir_.File("x.db");
    ASSERT_EQ(Run({"init", db_, "--sample"}).status, 0);
    foreign_ = dir_.File("foreign.db");
    test_files::Sql(foreign_, "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
    foreignBytes_ = ReadFile(foreign_);
  }
  // demo, stopped at `step`.
  std::unique_ptr<PausedKelhost> DemoStoppedAt(const char* step) {
    return std::make_unique<PausedKelhost>(
        Launch{{"demo", db_}, dir_.File("stdout.txt"), dir_.File("stderr.txt"), ""}, step);
  }
  // Runs demo to `step`, moves DB aside (to aside_) and the foreign file
  // to DB there, and lets demo go on: its exit status.
  int SwapAt(const char* step) {
    auto demo = DemoStoppedAt(step);
    if (!demo->Paused()) return -2;
    fs::rename(db_, aside_);
    fs::rename(foreign_, db_);
    return demo->Finish();
  }
  // The file moved aside holds a whole database with `contracts` contracts
  // and no log beside it.
  void ExpectAside(const char* contracts) {
    EXPECT_FALSE(fs::exists(aside_ + "-wal"));
    EXPECT_EQ(Contracts(aside_), contracts);
    EXPECT_EQ(Query(aside_, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  }
  // The foreign file stands at DB as it was, and SQLite reads it so.
  void ExpectForeignUntouched() {
    EXPECT_EQ(ReadFile(db_), foreignBytes_);
    EXPECT_TRUE(!fs::exists(db_ + "-wal") || fs::file_size(db_ + "-wal") == 0);
    EXPECT_EQ(Query(db_, "SELECT x FROM t"), std::vector<std::string>{"1"});
  }
  std::string db_, foreign_, foreignBytes_, aside_ = dir_.File("aside.db");
};

// Between the look at DB and its opening: the file opened is looked at
// again, and left as it is, a database or not.
TEST_F(KelhostCliMovedDuringDemo, BetweenTheLookAndTheOpenAForeignFileIsLeftAsItIs) {
  struct Case {
    std::string bytes, is;
  };
  const Case cases[] = {
      {foreignBytes_, "is another program's SQLite database, not a kelhost database"},
      {"Notizen\n" + std::string(200, 'x'), "is not a kelhost database (not an SQLite database, or a damaged one)"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.is);
    Remove(db_);
    ASSERT_EQ(Run({"init", db_, "--sample"}).status, 0);
    WriteFile(foreign_, c.bytes);
    foreignBytes_ = c.bytes;
    auto demo = DemoStoppedAt(host::sqlite::kStepProbed);
    ASSERT_TRUE(demo->Paused());
    fs::rename(foreign_, db_);
    EXPECT_EQ(demo->Finish(), 2);
    EXPECT_EQ(ReadFile(dir_.File("stdout.txt")), "");
    EXPECT_EQ(ReadFile(dir_.File("stderr.txt")), "kelhost: demo: " + db_ + " " + c.is + "; it is left as it is\n");
    EXPECT_EQ(ReadFile(db_), foreignBytes_);
    // The log files that init left stay beside the file at the name.
    EXPECT_EQ(Listing(dir_.path()), test_files::WithKeptLogs({"stdout.txt", "stderr.txt"}, {"x.db"}));
  }
}

// Between the last look at DB and the copy, in a rollback journal: SQLite
// refuses to write a file that has moved since it was opened, and the copy
// wrote nothing; DB is looked at again, and what came is left as it is (in
// WAL, see the next but one).
TEST_F(KelhostCliMovedDuringDemo, BetweenTheLastLookAndTheCopyNothingIsWritten) {
  test_files::Sql(db_, "PRAGMA journal_mode = DELETE");
  EXPECT_EQ(SwapAt(kelhost::kStepCopying), 2);
  EXPECT_EQ(ReadFile(dir_.File("stderr.txt")), "kelhost: demo: " + db_ +
                                                   " is another program's SQLite database, not a kelhost database; "
                                                   "it is left as it is\n");
  ExpectForeignUntouched();
  ExpectAside("0");
}

// During the build: the database opened before is no longer DB, so the
// kelhost database that is DB now is opened and replaced.
TEST_F(KelhostCliMovedDuringDemo, DuringTheBuildAKelhostDatabaseMovedInIsTheOneReplaced) {
  const std::string other = dir_.File("other.db");
  ASSERT_EQ(Run({"init", other, "--sample"}).status, 0);
  ASSERT_EQ(Run({"setting", other, "Notiz", "ja"}).status, 0);
  auto demo = DemoStoppedAt(kelhost::kStepBuilt);
  ASSERT_TRUE(demo->Paused());
  fs::rename(other, db_);
  EXPECT_EQ(demo->Finish(), 0) << ReadFile(dir_.File("stderr.txt"));
  EXPECT_EQ(Contracts(db_), "1");
  EXPECT_EQ(Query(db_, "SELECT count(*) FROM _kelhost_settings WHERE key = 'Notiz'"), std::vector<std::string>{"0"});
  EXPECT_EQ(Query(db_, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

// During the copy, and in WAL also just before it (SQLite then writes the
// moved file's log): the new database went whole into the file opened,
// wherever it is now, and the file at DB got nothing, not even the log.
TEST_F(KelhostCliMovedDuringDemo, DuringTheCopyAForeignFileGetsNothingAndTheNewDatabaseStaysWhole) {
  for (const char* step : {kelhost::kStepCopied, kelhost::kStepCopying}) {
    SCOPED_TRACE(step);
    if (step == kelhost::kStepCopying) {  // from the start again
      fs::rename(db_, foreign_);
      Remove(db_);
      Remove(aside_);
      ASSERT_EQ(Run({"init", db_, "--sample"}).status, 0);
    }
    EXPECT_EQ(SwapAt(step), 2);
    EXPECT_EQ(ReadFile(dir_.File("stdout.txt")), "");
    EXPECT_EQ(ReadFile(dir_.File("stderr.txt")),
              "kelhost: demo: the new database was written into the database that was at " + db_ +
                  ", but another process moved or replaced that file meanwhile; what is at " + db_ +
                  " now is left as it is\n");
    ExpectForeignUntouched();
    ExpectAside("1");
  }
}

// After the copy, while demo closes the database: demo has done its work,
// and the new database is whole in the file it was written to, wherever
// that is; the file at DB gets nothing, not even the log.
TEST_F(KelhostCliMovedDuringDemo, AsDemoClosesAForeignFileGetsNothing) {
  EXPECT_EQ(SwapAt(host::sqlite::kStepClosing), 0) << ReadFile(dir_.File("stderr.txt"));
  ExpectForeignUntouched();
  ExpectAside("1");
}

// The new database takes the old one's page size before it becomes a WAL
// database: a database in WAL takes a copy only of its own page size.
TEST_F(KelhostCliNewDatabase, DemoReplacesAWalDatabaseOfAnotherPageSize) {
  const std::string db = dir_.File("x.db");
  ASSERT_EQ(Run({"init", db, "--sample"}).status, 0);
  test_files::Sql(db, "PRAGMA journal_mode = DELETE; PRAGMA page_size = 8192; VACUUM; PRAGMA journal_mode = WAL;");
  ASSERT_EQ(Query(db, "PRAGMA page_size"), std::vector<std::string>{"8192"});
  const Result r = Run({"demo", db});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Query(db, "PRAGMA page_size"), std::vector<std::string>{"8192"});
  EXPECT_EQ(Query(db, "PRAGMA journal_mode"), std::vector<std::string>{"wal"});
  EXPECT_EQ(Contracts(db), "1");
}

// A database the user may not write is refused before anything opens it,
// so that SQLite makes no log files beside it.
TEST_F(KelhostCliNewDatabase, DemoRefusesAReadOnlyDatabaseUpFront) {
  ::chmod(dir_.path().c_str(), 0755);
  const std::string folder = dir_.File("open");
  fs::create_directory(folder);
  ::chmod(folder.c_str(), 0777);
  const std::string db = folder + "/x.db";
  ASSERT_EQ(Run({"init", db, "--sample"}).status, 0);
  ::chmod(db.c_str(), 0444);
  const std::string before = ReadFile(db);
  const Result r = Run({"demo", db}, true);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kelhost: demo: " + db + " is read-only; demo writes to it\n");
  EXPECT_EQ(ReadFile(db), before);
  EXPECT_EQ(Listing(folder), test_files::WithKeptLogs({}, {"x.db"}));
}

// Stale temporary files are files: a link or a pipe named like one is
// someone else's, and stays.
TEST_F(KelhostCliNewDatabase, OnlyStaleTemporaryFilesAreRemoved) {
  const std::string folder = dir_.File("f");
  fs::create_directory(folder);
  const std::string target = dir_.File("target.txt");
  WriteFile(target, "Ziel\n");
  WriteFile(folder + "/x.db.kelhost-tmp-AbC123", "alt");
  fs::create_symlink(target, folder + "/x.db.kelhost-tmp-Lnk456");
  ASSERT_EQ(::mkfifo((folder + "/x.db.kelhost-tmp-Fif789").c_str(), 0600), 0);
  const Result r = Run({"init", folder + "/x.db"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Listing(folder),
            test_files::WithKeptLogs({"x.db.kelhost-tmp-Lnk456", "x.db.kelhost-tmp-Fif789"}, {"x.db"}));
  EXPECT_EQ(ReadFile(target), "Ziel\n");
}

// Two demo of one database at once end as one after the other: both
// succeed, and one whole database with one contract is left. An init at
// the same time either made the database first or found it made.
TEST_F(KelhostCliNewDatabase, RunsAtOnceEndAsRunsOneAfterTheOther) {
  const std::string db = dir_.File("db");
  auto both = [this](const std::vector<std::string>& first, const std::vector<std::string>& second) {
    const pid_t a = StartKelhost({first, dir_.File("out1"), dir_.File("err1"), ""});
    const pid_t b = StartKelhost({second, dir_.File("out2"), dir_.File("err2"), ""});
    return std::vector<int>{WaitKelhost(a), WaitKelhost(b)};
  };
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    Remove(db);
    ASSERT_EQ(Run({"init", db, "--sample"}).status, 0);
    {
      // Another process keeps the database open, with its last change in
      // the log.
      Connection keeper(db);
      keeper.Exec("UPDATE Artikel SET Bezeichnung = 'alt' WHERE Id = 'A1'");
      EXPECT_EQ(both({"demo", db}, {"demo", db}), (std::vector<int>{0, 0}))
          << ReadFile(dir_.File("err1")) << ReadFile(dir_.File("err2"));
      EXPECT_EQ(keeper.One("SELECT count(*) FROM Artikel WHERE Bezeichnung = 'alt'"), "0");
    }
    EXPECT_EQ(Contracts(db), "1");
    // What each printed is what its file held: the first contract.
    for (const char* out : {"out1", "out2"}) EXPECT_EQ(ReadFile(dir_.File(out)).rfind("Vertragnummer 00000001\n", 0), 0u);
  }
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    Remove(db);
    const std::vector<int> status = both({"init", db, "--sample"}, {"demo", db});
    EXPECT_EQ(status[1], 0) << ReadFile(dir_.File("err2"));
    if (status[0] != 0) {
      EXPECT_EQ(status[0], 2);
      EXPECT_EQ(ReadFile(dir_.File("err1")), "kelhost: init: " + db + " exists already\n");
    }
    EXPECT_EQ(Contracts(db), "1");
  }
  Remove(db);
  EXPECT_EQ(Listing(dir_.path()), (std::set<std::string>{"out1", "out2", "err1", "err2", "stdout.txt", "stderr.txt"}));
}

// A name the other commands can open, init and demo can make: their
// temporary file's name is cut short where it would not fit. Longer names
// are refused up front, saying how long they may be.
TEST_F(KelhostCliNewDatabase, EveryNameTheOtherCommandsOpenCanBeMade) {
  const std::string folder = dir_.File("names");
  fs::create_directory(folder);
  for (size_t length : {228u, 229u, 247u, 248u, 251u}) {
    SCOPED_TRACE(length);
    // The temporary name keeps 228 bytes: here they would end inside "ä".
    std::string name(std::min<size_t>(length, 227), 'n');
    if (length > 228) name.append("ä").append(length - 229, 'b');
    if (length == 228) name.push_back('n');
    const std::string db = folder + "/" + name;
    for (const char* command : {"init", "demo"}) {
      const Result r = Run({command, db});
      EXPECT_EQ(r.status, 0) << r.err;
    }
    EXPECT_EQ(Run({"show", db, "Artikel"}).status, 0);
    EXPECT_EQ(Listing(folder), test_files::WithKeptLogs({}, {fs::path(db).filename().string()}));
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(db + suffix);
  }
  const std::string tooLong = folder + "/" + std::string(252, 'n');
  for (const char* command : {"init", "demo"}) {
    const Result r = Run({command, tooLong});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kelhost: " + std::string(command) + ": " + tooLong +
                         " is too long: a database's file name may have at most 251 bytes (SQLite adds \"-wal\" to "
                         "it), this one has 252; nothing was created\n");
  }

  // Full paths: SQLite opens a database by its full path of at most 504
  // bytes; the temporary file needs its folder's to leave room for 20.
  std::string deep = fs::canonical(folder).string();
  while (deep.size() < 440) deep.append("/").append(40, 'd');
  deep.push_back('/');
  deep.append(470 - deep.size(), 'e');
  ASSERT_EQ(deep.size(), 470u);
  fs::create_directories(deep);
  const std::string longest = deep + "/" + std::string(504 - 471, 'm');
  EXPECT_EQ(Run({"init", longest}).status, 0);
  EXPECT_EQ(Run({"demo", longest}).status, 0);
  EXPECT_EQ(Run({"setting", longest, "k", "v"}).status, 0);
  Result r = Run({"init", longest + "m"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(" is too long: SQLite opens a database by its full path, which may have at most 504 bytes, "
                       "and here it has 505; nothing was created"),
            std::string::npos)
      << r.err;
  const std::string tight = deep + "/" + std::string(485 - 471, 'f');
  fs::create_directory(tight);
  r = Run({"init", tight + "/a.db"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("so the folder's full path may have at most 484 bytes, and " + tight + " has 485"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::is_empty(tight));
}

// Messages of init and demo: the command, the database as given (never the
// temporary file) and the system's reason.
TEST_F(KelhostCliNewDatabase, MessagesNameTheCommandTheDatabaseAndTheReason) {
  for (const char* command : {"init", "demo"}) {
    SCOPED_TRACE(command);
    Result r = RunKelhost(dir_, {command, "nirgends/x.db"}, dir_.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelhost: " + std::string(command) +
                         ": cannot create nirgends/x.db: No such file or directory\n");
  }
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play another user";
  // A folder that nobody may read and write but not enter.
  const std::string folder = dir_.File("zu");
  fs::create_directory(folder);
  ::chmod(dir_.path().c_str(), 0755);
  ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
  ::chmod(folder.c_str(), 0600);
  for (const char* command : {"init", "demo"}) {
    SCOPED_TRACE(command);
    const Result r = Run({command, folder + "/x.db"}, true);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "kelhost: " + std::string(command) + ": cannot create " + folder +
                         "/x.db: Permission denied\n");
  }
  ::chmod(folder.c_str(), 0755);
  EXPECT_TRUE(fs::is_empty(folder));
}

}  // namespace
}  // namespace kelhost_test
