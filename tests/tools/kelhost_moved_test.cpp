// A database file moved away, and another program's database put at its
// name, while a command writes it: the write ends whole in the file that
// was moved, or is rolled back and reported as not written; the file now
// at the name gets nothing, not even a log. In WAL and in a rollback
// journal, at each step where it matters.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
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
using test_files::Query;

class KelhostMovedWhileWritten : public DebitorTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    DebitorTest::SetUp();
    test_files::Sql(db_, std::string("PRAGMA journal_mode = ") + GetParam());
    foreign_ = dir_.File("foreign.db");
    test_files::Sql(foreign_, "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
    foreignBytes_ = ReadFile(foreign_);
    contracts_ = Contracts(db_);
  }
  static int Contracts(const std::string& db) {
    return std::stoi(Query(db, "SELECT count(*) FROM kt_Vertraege").at(0));
  }
  // Runs `args` to `step`, moves DB aside and the foreign file to DB
  // there, and lets it go on: its exit status.
  int SwapAt(const std::vector<std::string>& args, const char* step) {
    PausedKelhost run({args, dir_.File("stdout.txt"), dir_.File("stderr.txt"), ""}, step);
    if (!run.Paused()) return -2;
    fs::rename(db_, aside_);
    fs::rename(foreign_, db_);
    return run.Finish();
  }
  std::vector<std::string> DebitorArgs() const {
    return {"debitor", db_, "--today", "2024-03-10", "--contract", contract_, "--articles", articles_};
  }
  // The moved file is a whole database with `added` more contracts than
  // before, with no log of its own.
  void ExpectAside(int added) {
    EXPECT_FALSE(fs::exists(aside_ + "-wal"));
    EXPECT_FALSE(fs::exists(aside_ + "-journal"));
    EXPECT_EQ(Query(aside_, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    EXPECT_EQ(Contracts(aside_), contracts_ + added);
  }
  // The foreign file at DB is as it was, with no log that SQLite would
  // apply to it, and SQLite reads it so.
  void ExpectForeignUntouched() {
    EXPECT_EQ(ReadFile(db_), foreignBytes_);
    EXPECT_TRUE(!fs::exists(db_ + "-wal") || fs::file_size(db_ + "-wal") == 0);
    EXPECT_FALSE(fs::exists(db_ + "-journal"));
    EXPECT_EQ(Query(db_, "SELECT x FROM t"), std::vector<std::string>{"1"});
  }
  std::string Out() const { return ReadFile(dir_.File("stdout.txt")); }
  std::string Err() const { return ReadFile(dir_.File("stderr.txt")); }

  std::string foreign_, foreignBytes_, aside_ = dir_.File("aside.db");
  int contracts_ = 0;
};

// Moved before the commit: the call is rolled back and said to have
// written nothing; no contract number is printed.
TEST_P(KelhostMovedWhileWritten, BeforeTheCommitNothingIsWrittenAnywhere) {
  EXPECT_EQ(SwapAt(DebitorArgs(), host::sqlite::kStepBeforeCommit), 1);
  EXPECT_EQ(Out().find("Vertragnummer"), std::string::npos) << Out();
  EXPECT_NE(Err().find("kelhost: " + db_ +
                       " was moved away or replaced by another process while it was written; nothing was written\n"),
            std::string::npos)
      << Err();
  ExpectForeignUntouched();
  ExpectAside(0);
}

// Moved after the commit, before the close: the call is whole in the
// moved file, and the command reports it.
TEST_P(KelhostMovedWhileWritten, AfterTheCommitTheCallIsWholeInTheMovedFile) {
  EXPECT_EQ(SwapAt(DebitorArgs(), host::sqlite::kStepBeforeClose), 0) << Err();
  EXPECT_NE(Out().find("Vertragnummer "), std::string::npos) << Out();
  ExpectForeignUntouched();
  ExpectAside(1);
}

// The stores of kelhost's own take the same path.
TEST_P(KelhostMovedWhileWritten, SettingAndPersistTakeTheSamePath) {
  for (const char* command : {"setting", "persist"}) {
    SCOPED_TRACE(command);
    fs::remove(aside_);
    WriteFile(foreign_, foreignBytes_);
    ASSERT_TRUE(fs::exists(db_));
    EXPECT_EQ(SwapAt({command, db_, "Notiz", "ja"}, host::sqlite::kStepBeforeCommit), 1);
    EXPECT_NE(Err().find("nothing was written"), std::string::npos) << Err();
    ExpectForeignUntouched();
    EXPECT_EQ(Query(aside_, "SELECT count(*) FROM _kelhost_settings WHERE key = 'Notiz'"),
              std::vector<std::string>{"0"});
    EXPECT_EQ(Query(aside_, "SELECT count(*) FROM _kelhost_persistvars WHERE name = 'Notiz'"),
              std::vector<std::string>{"0"});
    // Back to the start for the next command.
    fs::rename(db_, foreign_);
    fs::rename(aside_, db_);
  }
}

INSTANTIATE_TEST_SUITE_P(Journals, KelhostMovedWhileWritten, ::testing::Values("wal", "delete"));

}  // namespace
}  // namespace kelhost_test
