// Which files the stand-in takes as its own, and that opening a file it
// refuses, or only reads, changes nothing.
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "file_helpers.h"
#include "host/sqlite/db.h"
#include "host/sqlite/files/steps.h"
#include "host_fixture.h"

namespace host_test {
namespace {

namespace fs = std::filesystem;
using host::sqlite::FileKind;
using host::sqlite::OpenMode;
using host::sqlite::ProbeFile;
using host::sqlite::StandIn;
using test_files::Listing;
using test_files::Sql;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class HostFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "host_files_XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string File(const std::string& name) const { return (fs::path(dir_) / name).string(); }
  // A database of the stand-in whose mark was taken away again.
  std::string Unmarked(const std::string& name) {
    const std::string path = File(name);
    StandIn::Create(path, true);
    Sql(path, "PRAGMA application_id = 0; PRAGMA user_version = 0;");
    return path;
  }
  std::string dir_;
};

TEST_F(HostFiles, OnlyItsOwnAndUnmarkedOlderDatabasesAreTakenAndOthersStayAsTheyAre) {
  std::ofstream(File("empty.db")).close();
  std::ofstream(File("notes.txt")) << "SQLite format 3 is what this file is not\n";
  std::ofstream(File("short.db")) << "SQLite format 3";
  fs::create_directory(File("folder.db"));
  Sql(File("foreign.db"), "CREATE TABLE \"Artikel\" (\"Nummer\" TEXT); INSERT INTO \"Artikel\" VALUES ('1');");
  Sql(File("foreign-wal.db"), "PRAGMA journal_mode=WAL; CREATE TABLE t (x);");
  StandIn::Create(File("newer.db"), false);
  Sql(File("newer.db"), "PRAGMA user_version = 2;");
  Sql(Unmarked("extra.db"), "CREATE TABLE \"Notizen\" (x);");
  Sql(Unmarked("lacking.db"), "DROP TABLE \"_kelhost_users\";");
  Sql(Unmarked("versioned.db"), "PRAGMA user_version = 7;");
  StandIn::Create(File("own.db"), true);
  Unmarked("old.db");

  struct Case {
    const char* name;
    FileKind kind;
  };
  const Case cases[] = {
      {"missing.db", FileKind::Missing},    {"folder.db", FileKind::NotAFile},
      {"empty.db", FileKind::Empty},        {"notes.txt", FileKind::NotSqlite},
      {"short.db", FileKind::NotSqlite},    {"foreign.db", FileKind::Foreign},
      {"foreign-wal.db", FileKind::Foreign}, {"newer.db", FileKind::Newer},
      {"extra.db", FileKind::Foreign},      {"lacking.db", FileKind::Foreign},
      {"versioned.db", FileKind::Foreign},  {"own.db", FileKind::Own},
      {"old.db", FileKind::Unmarked},
  };
  const std::set<std::string> listing = Listing(dir_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = File(c.name);
    const std::string before = fs::is_regular_file(path) ? Bytes(path) : "";
    EXPECT_EQ(ProbeFile(path).kind, c.kind);
    if (!host::sqlite::IsHostDatabase(c.kind)) {
      for (OpenMode mode : {OpenMode::ReadWrite, OpenMode::ReadOnly})
        EXPECT_EQ(ErrorOf([&] { StandIn::Open(path, mode); }), hosterr::NotOwnDatabase);
    } else {
      // Opening and reading writes nothing.
      for (OpenMode mode : {OpenMode::ReadWrite, OpenMode::ReadOnly})
        EXPECT_EQ(StandIn::Open(path, mode)->Rows("Artikel").size(), 9u);
    }
    if (fs::is_regular_file(path)) {
      EXPECT_EQ(Bytes(path), before);
    }
    // No log files left behind: the ones a database keeps were there.
    EXPECT_EQ(Listing(dir_), listing);
  }
  EXPECT_EQ(ProbeFile(File("newer.db")).schemaVersion, 2);
}

TEST_F(HostFiles, AnUnmarkedOlderDatabaseIsMarkedWithItsFirstWrite) {
  const std::string path = Unmarked("old.db");
  {
    auto reader = StandIn::Open(path, OpenMode::ReadOnly);
    EXPECT_EQ(ErrorOf([&] { reader->SetDatabaseSetting("k", "v"); }), hosterr::Storage);
  }
  EXPECT_EQ(ProbeFile(path).kind, FileKind::Unmarked);
  {
    auto host = StandIn::Open(path);
    EXPECT_EQ(ProbeFile(path).kind, FileKind::Unmarked);
    // A write that fails leaves the file unmarked; the next one marks it.
    EXPECT_EQ(ErrorOf([&] { host->InsertRow("Keine", {}); }), hosterr::UnknownTable);
    host->RunCall([] {});
    EXPECT_EQ(ProbeFile(path).kind, FileKind::Own);
    EXPECT_EQ(host->Rows("Adressen").size(), 3u);
  }
  EXPECT_EQ(ProbeFile(path).kind, FileKind::Own);
  EXPECT_EQ(ProbeFile(path).schemaVersion, host::sqlite::kSchemaVersion);
}

// A connection of this process on a WAL database maps its index and holds
// POSIX locks on it, and closing any descriptor of that file would drop
// them all: looking at the files beside the database leaves them.
TEST_F(HostFiles, LookingAtADatabaseThisProcessHasOpenLeavesItsLocksOnTheIndex) {
  const std::string path = File("own.db");
  StandIn::Create(path, true);
  auto host = StandIn::Open(path);
  ASSERT_EQ(host->Rows("Artikel").size(), 9u);
  // Open until the end: closing it would drop the locks too.
  const int index = ::open((path + "-shm").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(index, 0);
  // An open file description's lock conflicts with this process's own
  // POSIX locks, so asking for one finds them.
  auto locked = [index] {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    EXPECT_EQ(::fcntl(index, F_OFD_GETLK, &lock), 0);
    return lock.l_type != F_UNLCK;
  };
  ASSERT_TRUE(locked());
  EXPECT_EQ(ProbeFile(path).kind, FileKind::Own);
  EXPECT_TRUE(locked());
  host.reset();
  ::close(index);
}

// A database keeps its log and the log's index when the last connection
// closes: the log empty, everything in the file. They are SQLite's own to
// every later look, and a sealed database keeps none.
TEST_F(HostFiles, TheLogFilesADatabaseKeepsAreEmptyAndTakenAsSqlites) {
  const std::string path = File("kept.db");
  StandIn::Create(path, true);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(fs::file_size(path + "-wal"), 0u);
    EXPECT_TRUE(fs::exists(path + "-shm"));
    EXPECT_EQ(ProbeFile(path).kind, FileKind::Own);
    StandIn::Open(path, OpenMode::ReadWrite)->SetDatabaseSetting("Farbe", rt::Variant(std::string("blau")));
  }
  EXPECT_EQ(test_files::Query(path, "SELECT count(*) FROM _kelhost_settings"), std::vector<std::string>{"1"});

  const std::string sealed = File("sealed.db");
  StandIn::Create(sealed, true)->Seal();
  EXPECT_FALSE(fs::exists(sealed + "-wal"));
  EXPECT_FALSE(fs::exists(sealed + "-shm"));
}

// What the test's step hook does when the connection has opened its file.
struct SwapOnOpen {
  static inline std::string path, aside, other;
  static void Hook(const char* step) {
    if (std::string(step) != host::sqlite::kStepOpened) return;
    fs::rename(path, aside);
    fs::rename(other, path);
  }
};

// The files registered as open in this process are the ones its
// connections opened: another file put at the name while a connection
// opens it is not, nor is it taken for the connection's file.
TEST_F(HostFiles, AFilePutAtTheNameDuringTheOpenIsNotTakenForTheOneOpened) {
  SwapOnOpen::path = File("x.db");
  SwapOnOpen::aside = File("aside.db");
  SwapOnOpen::other = File("other.db");
  StandIn::Create(SwapOnOpen::path, true);
  StandIn::Create(SwapOnOpen::other, true);
  host::sqlite::SetStepHook(&SwapOnOpen::Hook);
  {
    host::sqlite::Db db(SwapOnOpen::path, host::sqlite::Access::Write);
    host::sqlite::SetStepHook(nullptr);
    EXPECT_FALSE(host::sqlite::Db::OpenInThisProcess(SwapOnOpen::path));
    EXPECT_FALSE(db.IsFileAt(SwapOnOpen::path));
    EXPECT_TRUE(db.HasMoved());
  }
  host::sqlite::SetStepHook(nullptr);
  host::sqlite::Db db(SwapOnOpen::path, host::sqlite::Access::Write);
  EXPECT_TRUE(host::sqlite::Db::OpenInThisProcess(SwapOnOpen::path));
  EXPECT_TRUE(db.IsFileAt(SwapOnOpen::path));
  EXPECT_FALSE(db.HasMoved());
}

}  // namespace
}  // namespace host_test
