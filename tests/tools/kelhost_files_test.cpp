// kelhost and files that are not its own, or that it may only read: every
// command refuses what is not a kelhost database (a link included) and
// leaves it as it is, and so it does with a file that lies under the name
// of one of SQLite's log files beside a database; every name is a file
// name; a writing command refuses a database whose record counter is
// damaged, having written nothing. (How a reader that may not write reads
// is in kelhost_readers_test.cpp.)
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "debitor_fixture.h"
#include "file_helpers.h"
#include "host/sqlite/files/ownership.h"
#include "kelhost_paused.h"
#include "kelhost_run.h"

namespace kelhost_test {
namespace {

namespace fs = std::filesystem;
using test_files::KilledWriter;
using test_files::Listing;
using test_files::Sql;

class KelhostCliFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    files_ = dir_.File("files");
    fs::create_directory(files_);
    WriteFile(dir_.File("vertrag.txt"), ContractWith());
    WriteFile(dir_.File("artikel.csv"), kValidArticles);
  }
  std::string File(const std::string& name) const { return (fs::path(files_) / name).string(); }
  Result Run(const std::vector<std::string>& args, bool unprivileged = false) {
    Launch l{args, dir_.File("stdout.txt"), dir_.File("stderr.txt"), ""};
    l.unprivileged = unprivileged;
    return RunKelhost(l);
  }
  std::vector<std::string> Debitor(const std::string& db) {
    return {"debitor", db, "--contract", dir_.File("vertrag.txt"), "--articles", dir_.File("artikel.csv")};
  }
  TempDir dir_;
  std::string files_;
};

TEST_F(KelhostCliFiles, EveryCommandRefusesWhatIsNotAKelhostDatabaseAndLeavesIt) {
  WriteFile(File("empty.db"), "");
  WriteFile(File("notes.txt"), "Einkaufsliste\nMilch\n");
  Sql(File("foreign.db"),
      "PRAGMA journal_mode=WAL; CREATE TABLE \"Artikel\" (\"Id\" TEXT, \"Bezeichnung\" TEXT);"
      "INSERT INTO \"Artikel\" VALUES ('X', 'fremd');");
  host::sqlite::StandIn::Create(File("newer.db"), true);
  Sql(File("newer.db"), "PRAGMA user_version = 9;");
  fs::create_directory(File("folder.db"));
  // Links, whether they lead to a kelhost database or nowhere (where demo
  // would make one).
  host::sqlite::StandIn::Create(dir_.File("echt.db"), true);
  fs::create_symlink(dir_.File("echt.db"), File("link.db"));
  fs::create_symlink("fehlt.db", File("dangling.db"));

  struct Case {
    const char* name;
    const char* says;
  };
  const Case cases[] = {
      {"empty.db", "is an empty file, not a kelhost database"},
      {"notes.txt", "is not a kelhost database (not an SQLite database"},
      {"foreign.db", "is another program's SQLite database, not a kelhost database"},
      {"newer.db", "is a kelhost database of the newer schema version 9 (this kelhost knows version 1)"},
      {"folder.db", "is a folder or another special file"},
      {"link.db", "is a symbolic link; kelhost takes only the database file itself"},
      {"dangling.db", "is a symbolic link; kelhost takes only the database file itself"},
  };
  const std::set<std::string> listing = Listing(files_);
  for (const Case& c : cases) {
    const std::string path = File(c.name);
    const std::string before = fs::is_regular_file(path) ? ReadFile(path) : "";
    const std::vector<std::vector<std::string>> commands = {
        {"show", path, "Artikel"}, Debitor(path), {"demo", path}, {"init", path}};
    for (const std::vector<std::string>& args : commands) {
      SCOPED_TRACE(args[0] + " " + c.name);
      const Result r = Run(args);
      EXPECT_EQ(r.status, 2) << r.err;
      EXPECT_EQ(r.out, "");
      if (args[0] != "init") {
        EXPECT_NE(r.err.find("kelhost: " + args[0] + ": " + path + " " + c.says), std::string::npos) << r.err;
      }
      if (fs::is_regular_file(path)) {
        EXPECT_EQ(ReadFile(path), before);
      }
      EXPECT_EQ(Listing(files_), listing);
    }
  }
  // A file that is not there: show and debitor make none.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"show", File("fehlt.db"), "Artikel"}, Debitor(File("fehlt.db"))}) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(File("fehlt.db") + " does not exist"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Listing(files_), listing);
}

TEST_F(KelhostCliFiles, AnUnmarkedOlderDatabaseIsShownAsItIsAndMarkedByItsFirstContract) {
  const std::string db = File("alt.db");
  host::sqlite::StandIn::Create(db, true);
  Sql(db, "PRAGMA application_id = 0; PRAGMA user_version = 0;");
  const std::string before = ReadFile(db);
  Result r = Run({"show", db, "Adressen"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(db), before);
  EXPECT_EQ(host::sqlite::ProbeFile(db).kind, host::sqlite::FileKind::Unmarked);
  r = Run(Debitor(db));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(host::sqlite::ProbeFile(db).kind, host::sqlite::FileKind::Own);
  EXPECT_EQ(Run({"show", db, "kt_Vertraege"}).status, 0);
}

// The mark, the schema version and the tables are read in one read
// transaction: a file marked between the reads is not taken for another
// program's.
TEST_F(KelhostCliFiles, AnUnmarkedDatabaseMarkedWhileItIsLookedAtIsNoOtherProgramsFile) {
  const std::string db = File("alt.db");
  host::sqlite::StandIn::Create(db, true);
  Sql(db, "PRAGMA application_id = 0; PRAGMA user_version = 0;");
  PausedKelhost show({{"show", db, "Adressen"}, File("stdout.txt"), File("stderr.txt"), ""},
                     host::sqlite::kStepMarkRead);
  ASSERT_TRUE(show.Paused()) << ReadFile(File("stderr.txt"));
  Sql(db, "BEGIN; PRAGMA application_id = " + std::to_string(host::sqlite::kApplicationId) +
              "; PRAGMA user_version = 1; COMMIT;");
  EXPECT_EQ(show.Finish(), 0) << ReadFile(File("stderr.txt"));
  EXPECT_EQ(host::sqlite::ProbeFile(db).kind, host::sqlite::FileKind::Own);
}

// Every name a command is given opens the file of that name, also the
// names SQLite keeps for its in-memory database (":memory:") and for a
// temporary one (the empty name).
TEST_F(KelhostCliFiles, EveryNameIsAFileNameMemoryToo) {
  auto in = [this](const std::vector<std::string>& args) {
    return RunKelhost(Launch{args, dir_.File("stdout.txt"), dir_.File("stderr.txt"), files_});
  };
  const std::string db = File(":memory:");
  Result r = in({"init", ":memory:", "--sample"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(host::sqlite::ProbeFile(db).kind, host::sqlite::FileKind::Own);
  r = in(Debitor(":memory:"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(in({"setting", ":memory:", "Notiz", "ja"}).status, 0);
  EXPECT_EQ(in({"persist", ":memory:", "kt_AlarmWochenKuendigung", "8"}).status, 0);
  r = in({"show", ":memory:", "kt_Vertraege"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out).size(), 2u);
  const std::string before = dir_.File("before.db");
  fs::copy_file(db, before);
  r = in({"demo", ":memory:"});
  EXPECT_EQ(r.status, 0) << r.err;
  // The hint names the file, not the shell's in-memory database.
  EXPECT_NE(r.out.find("look at it with: sqlite3 './:memory:' 'SELECT"), std::string::npos) << r.out;
  // The empty name names no database, for every command.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"show", "", "Artikel"}, std::vector<std::string>{"setting", "", "k", "v"},
        std::vector<std::string>{"persist", "", "k", "v"}, Debitor("")}) {
    r = in(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(Lines(r.err).at(0), "kelhost: " + args[0] + ": no database given");
  }
  EXPECT_EQ(Listing(files_), test_files::WithKeptLogs({}, {":memory:"}));

  // What was stored went to the file, and demo replaced it.
  const char* const counts[] = {"SELECT count(*) FROM kt_Vertraege",
                                "SELECT count(*) FROM _kelhost_settings WHERE key = 'Notiz'",
                                "SELECT count(*) FROM _kelhost_persistvars WHERE name = 'kt_AlarmWochenKuendigung'"};
  for (const char* count : counts) {
    SCOPED_TRACE(count);
    EXPECT_EQ(test_files::Query(before, count), std::vector<std::string>{"1"});
    EXPECT_EQ(test_files::Query(db, count), std::vector<std::string>{count == counts[0] ? "1" : "0"});
  }
}

// SQLite takes whatever lies at DB-journal, DB-wal and DB-shm for the log
// of DB and deletes or overwrites it on opening DB, even to read. No
// command opens DB beside a file SQLite did not write there, nor makes a
// database under such a name; SQLite's own log files are taken as they are.
TEST_F(KelhostCliFiles, NoCommandLosesAFileUnderTheNameOfADatabasesLog) {
  const std::string db = File("x.db");
  ASSERT_EQ(Run({"init", db, "--sample"}).status, 0);
  // Others' files go where SQLite's were.
  test_files::RemoveKeptLogFiles(db);
  const std::string dbBytes = ReadFile(db);
  const std::string other = dir_.File("other.db");
  ASSERT_EQ(Run({"init", other}).status, 0);
  const std::string otherBytes = ReadFile(other);

  struct Stray {
    const char* what;
    const char* says;
  };
  const Stray strays[] = {{"database", "which is an SQLite database, not a log file of SQLite"},
                          {"text", "which is a file that SQLite did not write"},
                          {"folder", "which is a folder, not a log file of SQLite"},
                          {"link", "which is a symbolic link, not a log file of SQLite"}};
  for (const char* suffix : {"-journal", "-wal", "-shm"}) {
    const std::string log = db + suffix;
    for (const Stray& stray : strays) {
      SCOPED_TRACE(std::string(suffix) + " " + stray.what);
      const std::string kind = stray.what;
      if (kind == "database") fs::copy_file(other, log);
      if (kind == "text") WriteFile(log, "Notizen\n");
      if (kind == "folder") fs::create_directory(log);
      if (kind == "link") fs::create_symlink(other, log);
      for (const std::vector<std::string>& args :
           {std::vector<std::string>{"show", db, "Artikel"}, std::vector<std::string>{"setting", db, "k", "v"},
            std::vector<std::string>{"persist", db, "k", "v"}, Debitor(db), std::vector<std::string>{"demo", db}}) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "kelhost: " + args[0] + ": " + db + " has " + log + " beside it, " + stray.says +
                             "; SQLite would take it for the database's log and delete or overwrite it on opening "
                             "the database, so kelhost leaves both alone\n");
      }
      EXPECT_EQ(ReadFile(db), dbBytes);
      EXPECT_EQ(ReadFile(other), otherBytes);
      if (kind == "database" || kind == "text") {
        EXPECT_EQ(ReadFile(log), kind == "text" ? "Notizen\n" : otherBytes);
      } else {
        EXPECT_EQ(fs::symlink_status(log).type(), kind == "folder" ? fs::file_type::directory : fs::file_type::symlink);
      }
      EXPECT_EQ(Listing(files_), (std::set<std::string>{"x.db", "x.db" + std::string(suffix)}));
      fs::remove(log);
    }
    // Nor is a database made under such a name, the other way round.
    const Result r = Run({"init", log});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "kelhost: init: " + log + " is the name SQLite gives a log file of " + db +
                         ", which exists; SQLite would delete or overwrite the new database on opening " + db +
                         ", so nothing was created\n");
    EXPECT_FALSE(fs::exists(log));
  }

  // SQLite's own: empty files, the log and index of a database that another
  // process reads, a log and a journal left by processes that were killed.
  for (const char* suffix : {"-journal", "-wal", "-shm"}) WriteFile(db + suffix, "");
  EXPECT_EQ(Run({"show", db, "Artikel"}).status, 0);
  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &reader), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM Artikel;", nullptr, nullptr, nullptr), SQLITE_OK);
  ASSERT_TRUE(fs::exists(db + "-shm"));
  EXPECT_EQ(Run({"show", db, "Artikel"}).status, 0);
  EXPECT_EQ(Run({"setting", db, "k", "v"}).status, 0);
  sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(reader);
  KilledWriter(db, "UPDATE Artikel SET Bezeichnung = 'vom Abgebrochenen' WHERE Id = 'A1'");
  ASSERT_GT(fs::file_size(db + "-wal"), 0u);
  Result r = Run({"show", db, "Artikel"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("vom Abgebrochenen"), std::string::npos);
  KilledWriter(db,
               "PRAGMA journal_mode = DELETE; PRAGMA cache_size = 1; BEGIN;"
               " UPDATE Artikel SET Bezeichnung = 'halb' WHERE Id = 'A1';"
               " WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
               " INSERT INTO Artikel (Id) SELECT 'X' || i FROM n;");
  ASSERT_GT(fs::file_size(db + "-journal"), 0u);
  r = Run({"show", db, "Artikel"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("halb"), std::string::npos);
  EXPECT_EQ(Listing(files_), std::set<std::string>{"x.db"});
}

// In a rollback journal mode, a writer's journal holds zeros where its
// magic and record count go until the writer syncs it (at its commit, or
// when its cache spills): SQLite's own journal, of a writer still at work
// or of one that was killed, whose changes never reached the database. Its
// page size is the database's, which the database's header gives as 1 for
// 64 KiB.
TEST_F(KelhostCliFiles, ADatabaseIsTakenBesideTheJournalOfAWriterThatHasNotSyncedIt) {
  for (const char* pageSize : {"4096", "65536"}) {
    SCOPED_TRACE(pageSize);
    const std::string db = File(std::string("x") + pageSize + ".db");
    ASSERT_EQ(Run({"init", db, "--sample"}).status, 0);
    Sql(db, std::string("PRAGMA journal_mode = DELETE; PRAGMA page_size = ") + pageSize + "; VACUUM;");
    ASSERT_EQ(test_files::Query(db, "PRAGMA page_size"), std::vector<std::string>{pageSize});
    const std::string journal = db + "-journal";
    auto unsynced = [&journal] {
      const std::string start = ReadFile(journal).substr(0, 28);
      return start.size() == 28 && start.substr(0, 12) == std::string(12, '\0');
    };
    const char* update = "BEGIN; UPDATE Artikel SET Bezeichnung = 'ungesichert' WHERE Id = 'A1';";

    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, update, nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_TRUE(unsynced());
    Result r = Run({"show", db, "Artikel"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Wartung Basis"), std::string::npos);
    EXPECT_EQ(r.out.find("ungesichert"), std::string::npos);
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);

    KilledWriter(db, update);
    ASSERT_TRUE(unsynced());
    r = Run({"show", db, "Artikel"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Wartung Basis"), std::string::npos);
    EXPECT_EQ(r.out.find("ungesichert"), std::string::npos);
    r = Run({"setting", db, "k", "v"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(host::sqlite::StandIn::Open(db)->DatabaseSetting("k"), rt::Variant("v"));
  }
}

// A name that begins with "file:" is the name of a file, which SQLite
// would otherwise read as a URI, "file:y.db?" as y.db.
TEST_F(KelhostCliFiles, ANameBeginningWithFileIsAFileName) {
  auto here = [this](const std::vector<std::string>& args) {
    return RunKelhost(Launch{args, dir_.File("stdout.txt"), dir_.File("stderr.txt"), files_});
  };
  Sql(File("y.db"), "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
  ASSERT_EQ(here({"init", "z.db"}).status, 0);
  test_files::RemoveKeptLogFiles(File("z.db"));
  WriteFile(File("z.db-wal"), "Notizen\n");
  const std::string foreign = ReadFile(File("y.db"));
  const std::string zBytes = ReadFile(File("z.db"));

  for (const char* name : {"file:y.db?", "file:u.db", "file:z.db"}) {
    SCOPED_TRACE(name);
    const Result r = here({"init", name, "--sample"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(host::sqlite::ProbeFile(File(name)).kind, host::sqlite::FileKind::Own);
  }
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"show", "file:z.db", "Artikel"}, std::vector<std::string>{"setting", "file:z.db", "k", "v"},
        Debitor("file:z.db"), std::vector<std::string>{"demo", "file:y.db?"}}) {
    SCOPED_TRACE(args[0]);
    const Result r = here(args);
    EXPECT_EQ(r.status, 0) << r.err;
    // The shell would take the name for a URI.
    if (args[0] == "demo") {
      EXPECT_NE(r.out.find("sqlite3 './file:y.db?' 'SELECT"), std::string::npos) << r.out;
    }
  }
  EXPECT_TRUE(host::sqlite::StandIn::Open(File("file:z.db"))->DatabaseSetting("k"));
  EXPECT_EQ(ReadFile(File("y.db")), foreign);
  EXPECT_EQ(ReadFile(File("z.db")), zBytes);
  EXPECT_EQ(ReadFile(File("z.db-wal")), "Notizen\n");
  EXPECT_EQ(Listing(files_),
            test_files::WithKeptLogs({"y.db", "z.db", "z.db-wal"}, {"file:y.db?", "file:u.db", "file:z.db"}));
}

TEST_F(KelhostCliFiles, EveryWritingCommandRefusesADamagedRecordCounterAndLeavesTheFile) {
  const std::string db = File("kaputt.db");
  host::sqlite::StandIn::Create(db, true);
  const std::string sound = ReadFile(db);
  ASSERT_EQ(test_files::Query(db, "SELECT value FROM _kelhost_meta"), std::vector<std::string>{"29"});
  WriteFile(dir_.File("neu.txt"), "click cmdOK\n");
  WriteFile(dir_.File("typ.txt"), "type txtBezeichnung Neu\nclick cmdSave\n");
  const std::vector<std::vector<std::string>> commands = {
      Debitor(db),
      {"setting", db, "CreateAppointment4AllContracts", "true"},
      {"persist", db, "kt_AlarmWochenKuendigung", "8"},
      {"edit-type", db, "--new", "--script", dir_.File("typ.txt")},
      {"new-contract", db, "--script", dir_.File("neu.txt")},
  };
  struct Case {
    const char* damage;  // SQL
    const char* says;    // after "its record counter LastOid in _kelhost_meta "
  };
  const Case cases[] = {
      {"UPDATE _kelhost_meta SET value = 9223372036854775807",
       "is 9223372036854775807, the largest record id there is, so no record can follow"},
      {"UPDATE _kelhost_meta SET value = 0", "is 0, below the highest record id 29"},
      // A text that is no number stays text in the INTEGER column, and reads as 0.
      {"UPDATE _kelhost_meta SET value = '0 Stück'", "is '0 Stück', not a whole number"},
      {"UPDATE _kelhost_meta SET value = -5", "is -5, below the highest record id 29"},
      {"UPDATE _kelhost_meta SET value = 3.5", "is 3.5, not a whole number"},
      {"DELETE FROM _kelhost_meta", "is missing"},
  };
  for (const Case& c : cases) {
    WriteFile(db, sound);
    Sql(db, c.damage);
    // No log pending: the file holds everything.
    const std::set<std::string> listing = Listing(files_);
    ASSERT_EQ(listing, std::set<std::string>{"kaputt.db"});
    const std::string before = ReadFile(db);
    for (const std::vector<std::string>& args : commands) {
      SCOPED_TRACE(args[0] + " after " + c.damage);
      const Result r = Run(args);
      EXPECT_EQ(r.status, 2);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "kelhost: " + db + " is damaged: its record counter LastOid in _kelhost_meta " + c.says +
                           "; nothing was written\n");
      EXPECT_EQ(ReadFile(db), before);
      EXPECT_EQ(Listing(files_), listing);
    }
  }
  // The sound file: a contract, its records numbered on from the counter.
  WriteFile(db, sound);
  const Result r = Run(Debitor(db));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("kt_Vertraege 31\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace kelhost_test
