// Several kelhost processes on one database, a process (debitor, init,
// demo) killed at random points, and a database that another program keeps
// locked.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "debitor_fixture.h"
#include "file_helpers.h"
#include "kelhost_run.h"

namespace kelhost_test {
namespace {

using test_files::Query;

// The record heads of a debitor listing ("<table> <Oid>"), and the value
// of `field` in the record of `table`.
struct Listing {
  std::string number;
  std::vector<std::pair<std::string, std::string>> records;
  std::map<std::string, std::map<std::string, std::string>> values;  // table -> field -> value
};

Listing Parse(const std::string& out) {
  Listing l;
  std::string table;
  for (const std::string& line : Lines(out)) {
    if (line.rfind("Vertragnummer ", 0) == 0) {
      l.number = line.substr(14);
    } else if (line.rfind("  ", 0) == 0) {
      const size_t eq = line.find(" = ");
      if (eq != std::string::npos) l.values[table][line.substr(2, eq - 2)] = line.substr(eq + 3);
    } else if (const size_t blank = line.find(' '); blank != std::string::npos) {
      table = line.substr(0, blank);
      l.records.emplace_back(table, line.substr(blank + 1));
    }
  }
  return l;
}

class KelhostCliConcurrency : public DebitorTest {
 protected:
  std::vector<std::string> DebitorArgs() const {
    return {"debitor", db_, "--today", "2024-03-10", "--contract", contract_, "--articles", articles_};
  }
  // Runs `l` 25 times, after `before` each time, and kills it at points from
  // its start to past the end of a run that took `whole`; `after` looks at
  // what each run left. How many runs the kill ended.
  int KillAtPoints(const Launch& l, std::chrono::steady_clock::duration whole, const std::function<void()>& before,
                   const std::function<void()>& after) {
    int killed = 0;
    for (int i = 0; i <= 24; ++i) {
      SCOPED_TRACE(i);
      before();
      const pid_t pid = StartKelhost(l);
      std::this_thread::sleep_for(whole * i / 20);
      ::kill(pid, SIGKILL);
      killed += WaitKelhost(pid) == -1 ? 1 : 0;
      after();
    }
    return killed;
  }
};

TEST_F(KelhostCliConcurrency, ParallelRunsDrawDistinctNumbersAndListOnlyTheirOwnRecords) {
  constexpr int kProcesses = 8;
  constexpr int kRuns = 200;
  std::map<pid_t, int> running;
  std::vector<Result> results(kRuns);
  auto reap = [&] {
    int status = 0;
    const pid_t pid = ::waitpid(-1, &status, 0);
    ASSERT_TRUE(running.count(pid));
    Result& r = results[static_cast<size_t>(running[pid])];
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFile(dir_.File("out" + std::to_string(running[pid])));
    r.err = ReadFile(dir_.File("err" + std::to_string(running[pid])));
    running.erase(pid);
  };
  for (int i = 0; i < kRuns; ++i) {
    if (running.size() == kProcesses) reap();
    Launch l{DebitorArgs(), dir_.File("out" + std::to_string(i)), dir_.File("err" + std::to_string(i)), ""};
    running[StartKelhost(l)] = i;
  }
  while (!running.empty()) reap();

  std::set<std::string> numbers;
  std::set<std::pair<std::string, std::string>> records;
  std::map<std::string, std::string> numberOfContract;
  for (const Result& r : results) {
    ASSERT_EQ(r.status, 0) << r.err;
    const Listing l = Parse(r.out);
    EXPECT_TRUE(numbers.insert(l.number).second) << "number " << l.number << " printed twice";
    // The number range the run updated shows the run's own number, and the
    // contract it lists carries it.
    EXPECT_EQ(l.values.at("KMMD_Nummern").at("Nummer"), l.number);
    EXPECT_EQ(l.values.at("kt_Vertraege").at("Vertragnummer"), l.number);
    for (const auto& record : l.records) {
      if (record.first == "kt_Vertraege") numberOfContract[record.second] = l.number;
      if (record.first != "KMMD_Nummern") {
        EXPECT_TRUE(records.insert(record).second) << record.first << " " << record.second << " listed twice";
      }
    }
    EXPECT_EQ(l.records.size(), 7u) << r.out;  // range, contract, 2 reminders, state, position, attribute
  }
  EXPECT_EQ(numbers.size(), static_cast<size_t>(kRuns));

  // The database agrees: every contract complete and numbered as listed.
  const std::vector<host::sqlite::Row> contracts = Rows("kt_Vertraege");
  ASSERT_EQ(contracts.size(), static_cast<size_t>(kRuns));
  for (const host::sqlite::Row& c : contracts) EXPECT_EQ(rt::CStr(c["Vertragnummer"]), numberOfContract[c.oid]);
  EXPECT_EQ(Rows("kt_Vertragsstaende").size(), static_cast<size_t>(kRuns));
  EXPECT_EQ(Rows("kt_Vertragspositionen").size(), static_cast<size_t>(kRuns));
  EXPECT_EQ(Rows("kt_VertragsAktivitaeten").size(), 2u * kRuns);
  EXPECT_EQ(Rows("Adressmerkmale").size(), static_cast<size_t>(kRuns));
  EXPECT_EQ(Query(db_, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

TEST_F(KelhostCliConcurrency, AKilledRunLeavesAllOfItsContractOrNothing) {
  // 300 positions per contract widen the window a kill can fall into.
  std::string articles = "sArtikelID;dblAnzahl;lPreisDauer;sBeschreibung\n";
  for (int i = 1; i <= 300; ++i) {
    // Built piece by piece: GCC's -Wrestrict misreads chained additions.
    articles += "A";
    articles += std::to_string(i % 9 + 1);
    articles += ";1;12;Position ";
    articles += std::to_string(i);
    articles += "\n";
  }
  WriteFile(articles_, articles);
  Launch l{DebitorArgs(), dir_.File("out"), dir_.File("err"), ""};
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunKelhost(l).status, 0) << ReadFile(l.err);
  const auto whole = std::chrono::steady_clock::now() - start;

  // Kill points spread over a whole run, from a fixed seed.
  std::mt19937 random(20240310);
  std::uniform_int_distribution<int64_t> point(
      0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
  int kills = 0;
  for (int i = 0; i < 30; ++i) {
    const pid_t pid = StartKelhost(l);
    std::this_thread::sleep_for(std::chrono::microseconds(point(random)));
    kills += ::kill(pid, SIGKILL) == 0 ? 1 : 0;
    WaitKelhost(pid);
  }
  EXPECT_GT(kills, 0);
  ASSERT_EQ(RunKelhost(l).status, 0) << ReadFile(l.err);  // the database is usable afterwards

  EXPECT_EQ(Query(db_, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  // Each contract has its state with all 300 positions and its value, and
  // every number drawn belongs to a contract.
  const std::vector<std::string> contracts = Query(
      db_,
      "SELECT (SELECT count(*) FROM kt_Vertragsstaende s WHERE s._master = v._oid) || '/' ||"
      " (SELECT count(*) FROM kt_Vertragspositionen p JOIN kt_Vertragsstaende s ON p._master = s._oid"
      "  WHERE s._master = v._oid) || '/' || (v.AktValue > 0) FROM kt_Vertraege v");
  ASSERT_GE(contracts.size(), 2u);
  for (const std::string& c : contracts) EXPECT_EQ(c, "1/300/1");
  char last[16];
  std::snprintf(last, sizeof last, "%08zu", contracts.size());
  EXPECT_EQ(Query(db_, "SELECT Nummer FROM KMMD_Nummern"), std::vector<std::string>{last});
  EXPECT_EQ(Query(db_, "SELECT count(*) FROM Adressmerkmale"),
            std::vector<std::string>{std::to_string(contracts.size())});
}

TEST_F(KelhostCliConcurrency, AKilledInitLeavesNoDatabaseOrAWholeOneAndNothingInTheWay) {
  namespace fs = std::filesystem;
  const std::string db = dir_.File("neu.db");
  auto removeDb = [&db] {
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(db + suffix);
  };
  Launch l{{"init", db, "--sample"}, dir_.File("out"), dir_.File("err"), ""};
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunKelhost(l).status, 0) << ReadFile(l.err);
  const auto whole = std::chrono::steady_clock::now() - start;
  // Names a later init must leave alone: another database's temporary
  // file, and one that only looks like its own.
  const std::set<std::string> others = {"alt.db.kelhost-tmp-AbC123", "neu.db.kelhost-tmp-Notiz"};
  for (const std::string& name : others) WriteFile(dir_.File(name), "x");

  const int killed = KillAtPoints(l, whole, removeDb, [&db] {
    if (!fs::exists(fs::symlink_status(db))) return;
    ASSERT_EQ(host::sqlite::ProbeFile(db).kind, host::sqlite::FileKind::Own);
    EXPECT_EQ(Query(db, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Query(db, "SELECT count(*) FROM kt_Vertragsdefinitionen"), std::vector<std::string>{"4"});
  });
  EXPECT_GT(killed, 0);

  // A later init neither refuses nor trips over what killed runs left, and
  // removes its own temporary files of them, nothing else.
  removeDb();
  ASSERT_EQ(RunKelhost(l).status, 0) << ReadFile(l.err);
  std::set<std::string> temporary;
  for (const std::string& name : test_files::Listing(dir_.path()))
    if (name.find(".kelhost-tmp-") != std::string::npos) temporary.insert(name);
  EXPECT_EQ(temporary, others);
}

// A demo killed at any moment over a database whose last committed change
// lives in its log leaves, as SQLite reads it, the old database with that
// change or the new one whole; the next show and demo work, and nothing is
// left beside the database after that demo.
TEST_F(KelhostCliConcurrency, AKilledDemoLeavesTheOldDatabaseOrTheNewOne) {
  namespace fs = std::filesystem;
  const std::string folder = dir_.File("demo");
  fs::create_directory(folder);
  const std::string db = folder + "/alt.db";
  const std::string pristine = dir_.File("pristine.db");
  ASSERT_EQ(RunKelhost(dir_, {"init", pristine, "--sample"}).status, 0);
  auto oldDatabase = [&] {
    for (const std::string& name : test_files::Listing(folder)) fs::remove(folder + "/" + name);
    fs::copy_file(pristine, db);
    test_files::KilledWriter(db, "UPDATE Artikel SET Bezeichnung = 'alt' WHERE Id = 'A1'");
  };
  Launch l{{"demo", db}, dir_.File("out"), dir_.File("err"), ""};
  oldDatabase();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunKelhost(l).status, 0) << ReadFile(l.err);
  const auto whole = std::chrono::steady_clock::now() - start;

  const int killed = KillAtPoints(l, whole, oldDatabase, [&] {
    const Result shown = RunKelhost(dir_, {"show", db, "Artikel"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    const bool isOld = shown.out.find("\talt\t") != std::string::npos;
    EXPECT_EQ(Query(db, "SELECT count(*) FROM kt_Vertraege"), std::vector<std::string>{isOld ? "0" : "1"});
    EXPECT_EQ(Query(db, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    const Result again = RunKelhost(dir_, {"demo", db});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(test_files::Listing(folder), test_files::WithKeptLogs({}, {"alt.db"}));
    EXPECT_EQ(Query(db, "SELECT count(*) FROM kt_Vertraege"), std::vector<std::string>{"1"});
  });
  EXPECT_GT(killed, 0);
}

// init and demo delete nothing that is not theirs: log files beside a
// missing database (anyone's, and SQLite would take them for the new
// database's), a name a later run would take for its leftover, a
// database a concurrent init has just moved into place, and a temporary
// file beside a database that init refuses. A folder that
// another process keeps locked is waited for as long as the database.
TEST_F(KelhostCliConcurrency, InitAndDemoTouchOnlyTheirOwnFiles) {
  namespace fs = std::filesystem;
  const std::string folder = dir_.File("own");
  fs::create_directory(folder);
  const std::string notes = folder + "/notes";
  const std::map<std::string, std::string> strays = {{"-journal", "diary"}, {"-wal", "x"}, {"-shm", "y"}};
  for (const auto& [suffix, text] : strays) {
    SCOPED_TRACE(suffix);
    WriteFile(notes + suffix, text);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"init", notes, "--sample"},
                                                 std::vector<std::string>{"demo", notes}}) {
      const Result r = RunKelhost(dir_, args);
      EXPECT_EQ(r.status, 2) << r.err;
      EXPECT_EQ(r.err, "kelhost: " + args[0] + ": " + notes + " does not exist, but " + notes + suffix +
                           " does; SQLite would take that file for the new database's log, so nothing was "
                           "created or deleted\n");
      EXPECT_EQ(test_files::Listing(folder), std::set<std::string>{"notes" + suffix});
      EXPECT_EQ(ReadFile(notes + suffix), text);
    }
    fs::remove(notes + suffix);
  }

  const std::string tempLike = folder + "/shop.kelhost-tmp-backup";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"init", tempLike, "--sample"}, std::vector<std::string>{"demo", tempLike}}) {
    const Result r = RunKelhost(dir_, args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("is named like a temporary file of kelhost"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(test_files::Listing(folder).empty());

  // Two init of one database at once: exactly one creates it.
  const std::string db = folder + "/pair.db";
  for (int i = 0; i < 30; ++i) {
    SCOPED_TRACE(i);
    for (const char* name : {"", "-wal", "-shm"}) fs::remove(db + name);
    std::vector<pid_t> pair;
    for (const char* n : {"1", "2"})
      pair.push_back(StartKelhost({{"init", db}, dir_.File(std::string("out") + n), dir_.File(std::string("err") + n), ""}));
    std::multiset<int> status;
    for (pid_t pid : pair) status.insert(WaitKelhost(pid));
    ASSERT_EQ(status, (std::multiset<int>{0, 2}));
    EXPECT_EQ(ReadFile(dir_.File("err1")) + ReadFile(dir_.File("err2")),
              "kelhost: init: " + db + " exists already\n");
    EXPECT_EQ(host::sqlite::ProbeFile(db).kind, host::sqlite::FileKind::Own);
  }
  // A refused init removes no temporary file, not even one of its own
  // pattern: it is refused before it looks for any.
  const std::string stale = db + ".kelhost-tmp-AbC123";
  WriteFile(stale, "x");
  const Result refused = RunKelhost(dir_, {"init", db});
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "kelhost: init: " + db + " exists already\n");
  EXPECT_EQ(test_files::Listing(folder), test_files::WithKeptLogs({"pair.db.kelhost-tmp-AbC123"}, {"pair.db"}));
  fs::remove(stale);

  // The folder locked by another process: init gives up after 5 s.
  const int lock = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  const std::string late = folder + "/late.db";
  const auto start = std::chrono::steady_clock::now();
  const Result r = RunKelhost(dir_, {"init", late});
  const auto waited = std::chrono::steady_clock::now() - start;
  ::close(lock);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kelhost: init: the folder of " + late +
                       " stayed locked by another process; gave up waiting; " + late + " was not created\n");
  EXPECT_GE(waited, std::chrono::milliseconds(4500));
  EXPECT_LT(waited, std::chrono::seconds(15));
  EXPECT_EQ(test_files::Listing(folder), test_files::WithKeptLogs({}, {"pair.db"}));
}

// Another program's writer keeps the database locked; in a rollback
// journal, also a reader in a transaction, which keeps the commit waiting:
// every command that writes waits, then gives up as every wait does.
TEST_F(KelhostCliConcurrency, ADatabaseLockedByAnotherProgramIsWaitedForThenRefused) {
  struct Case {
    const char* journal;
    const char* hold;
  };
  for (const Case& c : {Case{"wal", "BEGIN IMMEDIATE"},
                        Case{"delete", "BEGIN; SELECT count(*) FROM kt_Vertraege"}}) {
    SCOPED_TRACE(c.hold);
    test_files::Sql(db_, std::string("PRAGMA journal_mode = ") + c.journal);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db_.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, c.hold, nullptr, nullptr, nullptr), SQLITE_OK);
    // Every command that writes, side by side.
    const std::vector<std::vector<std::string>> commands = {
        DebitorArgs(), {"setting", db_, "kt_Probe", "1"}, {"persist", db_, "kt_Probe", "1"}};
    std::vector<pid_t> running;
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < commands.size(); ++i) {
      const std::string n = std::to_string(i);
      running.push_back(StartKelhost({commands[i], dir_.File("out" + n), dir_.File("err" + n), ""}));
    }
    std::vector<int> status;
    for (pid_t pid : running) status.push_back(WaitKelhost(pid));
    const auto waited = std::chrono::steady_clock::now() - start;
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    for (size_t i = 0; i < commands.size(); ++i) {
      SCOPED_TRACE(commands[i][0]);
      EXPECT_EQ(status[i], 1);
      EXPECT_EQ(ReadFile(dir_.File("out" + std::to_string(i))), "");
      EXPECT_EQ(ReadFile(dir_.File("err" + std::to_string(i))),
                "kelhost: the database is locked by another process; gave up waiting, nothing was written\n");
    }
    EXPECT_GE(waited, std::chrono::seconds(4));
    EXPECT_TRUE(Rows("kt_Vertraege").empty());
    EXPECT_FALSE(host::sqlite::StandIn::Open(db_)->DatabaseSetting("kt_Probe"));
    EXPECT_EQ(Query(db_, "SELECT count(*) FROM _kelhost_persistvars WHERE name = 'kt_Probe'"),
              std::vector<std::string>{"0"});
  }
  EXPECT_EQ(RunKelhost(dir_, DebitorArgs()).status, 0);
}

}  // namespace
}  // namespace kelhost_test
