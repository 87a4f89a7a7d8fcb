// kelhost without a script shows the dialogs on screen. Without a display
// the commands say so and touch nothing; with one (Qt's offscreen platform
// here) the dialog waits for its user inside the call's transaction, so the
// database is held for writing until the dialog closes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "file_helpers.h"
#include "kelhost_run.h"

namespace kelhost_test {
namespace {

class KelhostCliScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = dir_.File("t.db");
    ASSERT_EQ(RunKelhost(dir_, {"init", db_, "--sample"}).status, 0);
  }

  // Whether another process holds the database for writing now.
  bool HeldForWriting() const {
    sqlite3* db = nullptr;
    if (sqlite3_open(db_.c_str(), &db) != SQLITE_OK) {
      sqlite3_close(db);
      return false;
    }
    const bool held = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_BUSY;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return held;
  }

  // The records of the tables the dialogs write, as `kelhost show` lists
  // them.
  std::string Records() const {
    std::string all;
    for (const char* table : {"kt_Vertragsdefinitionen", "kt_DefinitionsPositionen", "kt_Vertraege", "KMMD_Nummern"})
      all += RunKelhost(dir_, {"show", db_, table}).out;
    return all;
  }

  TempDir dir_;
  std::string db_;
};

const std::vector<std::vector<std::string>> kScreenCommands = {
    {"new-contract"},
    {"edit-type", "--type", "Wartung jährlich"},
    {"edit-type", "--new"},
};

std::vector<std::string> Args(const std::vector<std::string>& command, const std::string& db) {
  std::vector<std::string> args = {command.front(), db};
  args.insert(args.end(), command.begin() + 1, command.end());
  return args;
}

TEST_F(KelhostCliScreen, WithoutADisplayTheCommandsSaySoAndTouchNothing) {
  const std::string before = ReadFile(db_);
  for (const auto& command : kScreenCommands) {
    const Result r = RunKelhost(dir_, Args(command, db_));
    EXPECT_EQ(r.status, 2) << command.front();
    EXPECT_EQ(r.out, "") << command.front();
    EXPECT_EQ(r.err, "kelhost: " + command.front() +
                         ": no display to show the dialog on (DISPLAY or WAYLAND_DISPLAY); give --script FILE to "
                         "play it from a script; nothing was written\n");
  }
  EXPECT_EQ(ReadFile(db_), before);
}

TEST_F(KelhostCliScreen, WhileADialogIsOpenTheDatabaseIsHeldForWriting) {
  const std::string before = Records();
  for (const auto& command : kScreenCommands) {
    Launch l{Args(command, db_), dir_.File("out"), dir_.File("err"), ""};
    l.offscreen = true;
    const pid_t pid = StartKelhost(l);
    // The dialog opens within the call: the database becomes held and
    // stays so while nobody closes it.
    bool held = false;
    bool exited = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!held && !exited && std::chrono::steady_clock::now() < deadline) {
      held = HeldForWriting();
      int status = 0;
      exited = ::waitpid(pid, &status, WNOHANG) == pid;
      if (!held) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(held) << command.front() << ": " << ReadFile(l.err);
    ASSERT_FALSE(exited) << command.front() << ": " << ReadFile(l.err);
    ::kill(pid, SIGTERM);
    WaitKelhost(pid);
    // Ended without a save: nothing of the call stays, and the database is
    // free again.
    EXPECT_FALSE(HeldForWriting()) << command.front();
    EXPECT_EQ(Records(), before) << command.front();
  }
}

}  // namespace
}  // namespace kelhost_test
