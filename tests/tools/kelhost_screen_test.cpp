// kelhost without a script shows the dialogs on screen. Without a display
// the commands say so and touch nothing; with one (Qt's offscreen platform
// here) the dialog waits for its user inside the call's transaction, so the
// database is held for writing until the dialog closes. Qt is loaded only
// then: the front end's library is not among those kelhost starts with, and
// when it cannot be loaded the commands say so as without a display.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
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

// The loader lists what it loads before main, as ldd does, when
// LD_TRACE_LOADED_OBJECTS is set, and then runs nothing.
TEST(KelhostCliStart, NoQtLibraryIsLoadedBeforeADialogIsShown) {
  TempDir dir;
  Launch l{{"version"}, dir.File("out"), dir.File("err"), ""};
  l.env = {"LD_TRACE_LOADED_OBJECTS=1"};
  const Result r = RunKelhost(l);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("libkelPaktor2.so"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("libQt"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("libkelui_qt"), std::string::npos) << r.out;
}

// A copy of kelhost in a folder of its own finds its libraries in ../lib,
// where each links to the built one; the front end's is missing, or a
// library without the front end's entry point stands in its place.
TEST_F(KelhostCliScreen, AFrontEndThatCannotBeLoadedIsReportedAsAMissingDisplay) {
  namespace fs = std::filesystem;
  const fs::path built = fs::path(KELHOST_PATH).parent_path().parent_path() / "lib";
  const fs::path root = dir_.File("copy");
  fs::create_directories(root / "bin");
  fs::create_directories(root / "lib");
  fs::copy_file(KELHOST_PATH, root / "bin" / "kelhost");
  for (const fs::directory_entry& e : fs::directory_iterator(built))
    if (e.path().filename() != "libkelui_qt.so") fs::create_symlink(e.path(), root / "lib" / e.path().filename());
  const std::string before = ReadFile(db_);
  // First no front end at all, then a library without its entry point.
  const std::vector<std::pair<std::optional<fs::path>, std::string>> cases = {
      {std::nullopt, "libkelui_qt.so: cannot open shared object file"},
      {built / "libkelplatform.so", "undefined symbol: kelui_qt_StartFrontEnd"},
  };
  for (const auto& [standIn, reason] : cases) {
    if (standIn) fs::create_symlink(*standIn, root / "lib" / "libkelui_qt.so");
    for (const auto& command : kScreenCommands) {
      Launch l{Args(command, db_), dir_.File("out"), dir_.File("err"), ""};
      l.offscreen = true;
      l.exe = (root / "bin" / "kelhost").string();
      const Result r = RunKelhost(l);
      EXPECT_EQ(r.status, 2) << command.front() << ": " << r.err;
      EXPECT_EQ(r.out, "") << command.front();
      const std::string prefix =
          "kelhost: " + command.front() + ": cannot load the front end that shows the dialog on screen (";
      const std::string suffix = "); give --script FILE to play it from a script; nothing was written\n";
      EXPECT_TRUE(r.err.starts_with(prefix) && r.err.ends_with(suffix)) << r.err;
      EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
  }
  EXPECT_EQ(ReadFile(db_), before);
}

// Qt failing in itself as it starts (no such platform plugin) ends the
// command as a front end that cannot be loaded does: Qt's words, then
// kelhost's, exit 2 and nothing written.
TEST_F(KelhostCliScreen, QtThatCannotStartIsReportedAndWritesNothing) {
  const std::string before = ReadFile(db_);
  for (const auto& command : kScreenCommands) {
    Launch l{Args(command, db_), dir_.File("out"), dir_.File("err"), ""};
    l.env = {"QT_QPA_PLATFORM=bogus"};
    const Result r = RunKelhost(l);
    EXPECT_EQ(r.status, 2) << command.front() << ": " << r.err;
    EXPECT_EQ(r.out, "") << command.front();
    EXPECT_NE(r.err.find("Could not find the Qt platform plugin \"bogus\""), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.ends_with("kelhost: " + command.front() +
                                ": Qt cannot start the front end that shows the dialog on screen; give --script "
                                "FILE to play it from a script; nothing was written\n"))
        << r.err;
  }
  EXPECT_EQ(ReadFile(db_), before);
  EXPECT_FALSE(std::filesystem::exists(db_ + "-journal"));
}

// A platform that starts without a screen (linuxfb on a framebuffer that
// cannot be opened, whether or not the machine has one) is found out
// before the database is opened: kelhost's words, exit 2, and neither the
// database nor any file beside it touched.
TEST_F(KelhostCliScreen, QtWithoutAScreenIsReportedBeforeTheDatabaseIsOpened) {
  // Without the log files that init left, opening the database would make them.
  test_files::RemoveKeptLogFiles(db_);
  const std::string before = ReadFile(db_);
  for (const auto& command : kScreenCommands) {
    Launch l{Args(command, db_), dir_.File("out"), dir_.File("err"), ""};
    l.env = {"QT_QPA_PLATFORM=linuxfb:fb=/dev/nonexistent", "QT_QPA_FB_DRM=0", "QT_QPA_FB_DISABLE_INPUT=1"};
    const Result r = RunKelhost(l);
    EXPECT_EQ(r.status, 2) << command.front() << ": " << r.err;
    EXPECT_EQ(r.out, "") << command.front();
    EXPECT_TRUE(r.err.ends_with("kelhost: " + command.front() +
                                ": Qt has no screen to show the dialog on; give --script FILE to play it from a "
                                "script; nothing was written\n"))
        << r.err;
    for (const char* beside : {"-wal", "-shm", "-journal"})
      EXPECT_FALSE(std::filesystem::exists(db_ + beside)) << command.front() << beside;
  }
  EXPECT_EQ(ReadFile(db_), before);
}

}  // namespace
}  // namespace kelhost_test
