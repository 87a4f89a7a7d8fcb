// The system's reason that the stand-in adds to SQLite's words: the errno
// of the first failed call since the failing call into SQLite began, and
// never a reason left over from an earlier call.
#include <sqlite3.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/sqlite/db.h"
#include "host/sqlite/files/system_errors.h"
#include "host_fixture.h"

namespace host_test {
namespace {

namespace fs = std::filesystem;
using host::sqlite::Access;
using host::sqlite::Db;
using host::sqlite::ForgetSystemError;
using host::sqlite::Query;
using host::sqlite::SystemError;
using host::sqlite::SystemErrorsVfs;
using host::sqlite::Transaction;

// The description of the error a call raises; empty when it raises none.
template <class F>
std::string WordsOf(F&& f) {
  try {
    f();
  } catch (const rt::Error& e) {
    return e.description();
  }
  return {};
}

std::string Reason(int error) { return std::string(" (") + std::strerror(error) + ")"; }

// Puts `call` in place of the default layer's system call `name` for the
// scope (the layer passes the swap on).
class SwappedSystemCall {
 public:
  SwappedSystemCall(const char* name, sqlite3_syscall_ptr call)
      : vfs_(SystemErrorsVfs()), name_(name), old_(vfs_->xGetSystemCall(vfs_, name)) {
    EXPECT_EQ(vfs_->xSetSystemCall(vfs_, name, call), SQLITE_OK) << name;
  }
  ~SwappedSystemCall() { vfs_->xSetSystemCall(vfs_, name_, old_); }
  SwappedSystemCall(const SwappedSystemCall&) = delete;
  SwappedSystemCall& operator=(const SwappedSystemCall&) = delete;

 private:
  sqlite3_vfs* vfs_;
  const char* name_;
  sqlite3_syscall_ptr old_;
};

// System calls that fail: without touching errno, as a failure the default
// layer finds by itself; and with a reason of their own.
int OpenFailing(const char*, int, int) { return -1; }
int UnlinkFailing(const char*) { return -1; }
ssize_t ReadFailing(int, void*, size_t, off_t) {
  errno = EIO;
  return -1;
}
ssize_t WriteTooLarge(int, const void*, size_t, off_t) {
  errno = EFBIG;
  return -1;
}

// A database file in a folder that is missing.
std::string InMissingFolder() {
  return (fs::temp_directory_path() / ("host_system_errors_missing_" + std::to_string(::getpid())) / "x.db")
      .string();
}

class HostSystemErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    vfs_ = SystemErrorsVfs();
    ASSERT_NE(vfs_, nullptr);
    ASSERT_STREQ(vfs_->zName, "kelhost-system-errors");
  }

  // Opens a main database file through the layer, and closes it again if it
  // opened; SQLite's primary result code.
  int OpenThroughLayer(const std::string& path) {
    std::vector<uint64_t> file((static_cast<size_t>(vfs_->szOsFile) + 7) / 8);
    auto* f = reinterpret_cast<sqlite3_file*>(file.data());
    // A file name as SQLite passes it: followed by its (empty) parameters.
    const std::string name = path + std::string(4, '\0');
    int outFlags = 0;
    const int rc = vfs_->xOpen(vfs_, name.c_str(), f,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MAIN_DB, &outFlags);
    if (f->pMethods) f->pMethods->xClose(f);
    return rc & 0xFF;
  }

  // A failure whose reason is noted, as an earlier call leaves it: a
  // database in a folder that is missing cannot be made.
  void FailWithAReason() {
    const std::string words = WordsOf([&] { Db(InMissingFolder(), Access::Create); });
    ASSERT_TRUE(words.ends_with("unable to open database file" + Reason(ENOENT))) << words;
    ASSERT_EQ(SystemError(), ENOENT);
  }

  sqlite3_vfs* vfs_ = nullptr;
};

TEST_F(HostSystemErrors, TheLayerNotesTheFirstFailuresErrnoOnlyAndNoStaleOne) {
  const TempDatabase file("host_system_errors_file");
  std::ofstream(file.path()) << "x";
  const std::string belowAFile = file.path() + "/x.db";
  ForgetSystemError();
  EXPECT_EQ(SystemError(), 0);
  EXPECT_EQ(OpenThroughLayer(InMissingFolder()), SQLITE_CANTOPEN);
  EXPECT_EQ(SystemError(), ENOENT);
  // A later failure, for another reason, is the clean-up after the first.
  EXPECT_EQ(OpenThroughLayer(belowAFile), SQLITE_CANTOPEN);
  EXPECT_EQ(SystemError(), ENOENT);
  // Once forgotten, the next failure gives the reason.
  ForgetSystemError();
  EXPECT_EQ(SystemError(), 0);
  EXPECT_EQ(OpenThroughLayer(belowAFile), SQLITE_CANTOPEN);
  EXPECT_EQ(SystemError(), ENOTDIR);

  // A call naming a file that fails without setting errno notes no reason,
  // whatever errno was before it.
  {
    const SwappedSystemCall open("open", reinterpret_cast<sqlite3_syscall_ptr>(OpenFailing));
    ForgetSystemError();
    errno = EXDEV;
    EXPECT_EQ(OpenThroughLayer(file.path()), SQLITE_CANTOPEN);
    EXPECT_EQ(SystemError(), 0);
  }
  {
    const SwappedSystemCall unlink("unlink", reinterpret_cast<sqlite3_syscall_ptr>(UnlinkFailing));
    ForgetSystemError();
    errno = EXDEV;
    EXPECT_EQ(vfs_->xDelete(vfs_, file.path().c_str(), 0) & 0xFF, SQLITE_IOERR);
    EXPECT_EQ(SystemError(), 0);
  }
}

// Each call into SQLite that may fail forgets what an earlier one noted: a
// failure that no system call reported has SQLite's words alone, and one
// that a system call reported has that call's reason.
TEST_F(HostSystemErrors, AFailureCarriesNoReasonLeftOverFromAnEarlierCall) {
  const TempDatabase file("host_system_errors");
  Db db(file.path(), Access::Create);
  db.Exec("CREATE TABLE t(x)");
  Query insert("INSERT INTO t VALUES (randomblob(20000))");
  {
    // Compiles the kept statements, so that their later uses compile nothing.
    Transaction t(db);
    db.Use(insert).Run();
    t.Commit();
  }

  // Compiling: reading the schema fails. A rolled-back change of the schema
  // has the connection read it again, and the pages read are let go.
  const auto readSchemaAgain = [&] { db.Exec("BEGIN; CREATE TABLE y(x); ROLLBACK; PRAGMA shrink_memory"); };
  const std::string readFailed = "disk I/O error" + Reason(EIO);
  const std::vector<std::pair<const char*, std::function<void()>>> compiles{
      {"a kept statement's first use",
       [&] {
         Query count("SELECT count(*) FROM t");
         db.Use(count);
       }},
      {"a statement kept by its text", [&] { db.Prepare("SELECT count(*) FROM t"); }},
      {"SQL run once", [&] { db.Exec("SELECT count(*) FROM t"); }},
  };
  for (const auto& [what, compile] : compiles) {
    SCOPED_TRACE(what);
    readSchemaAgain();
    FailWithAReason();
    const SwappedSystemCall pread("pread", reinterpret_cast<sqlite3_syscall_ptr>(ReadFailing));
    const SwappedSystemCall pread64("pread64", reinterpret_cast<sqlite3_syscall_ptr>(ReadFailing));
    const std::string words = WordsOf(compile);
    EXPECT_TRUE(words.ends_with(readFailed)) << words;
  }

  // A write transaction's commit: the write fails at the file-size limit.
  {
    Transaction t(db);
    db.Exec("INSERT INTO t VALUES (1)");
    FailWithAReason();
    const SwappedSystemCall pwrite("pwrite", reinterpret_cast<sqlite3_syscall_ptr>(WriteTooLarge));
    const SwappedSystemCall pwrite64("pwrite64", reinterpret_cast<sqlite3_syscall_ptr>(WriteTooLarge));
    const std::string words = WordsOf([&] { t.Commit(); });
    EXPECT_TRUE(words.ends_with("disk I/O error" + Reason(EFBIG))) << words;
  }

  // Running SQL, and a kept statement's step: the database is full by its
  // limit on pages, which no system call reported.
  db.Exec("PRAGMA max_page_count = 1");  // as many as it has
  FailWithAReason();
  std::string words = WordsOf([&] { db.Exec("INSERT INTO t VALUES (randomblob(20000))"); });
  EXPECT_TRUE(words.ends_with("database or disk is full")) << words;
  FailWithAReason();
  words = WordsOf([&] { db.Use(insert).Run(); });
  EXPECT_TRUE(words.ends_with("database or disk is full")) << words;

  // Opening: the name is too long for SQLite, which finds so without a
  // system call, after a call that left errno set.
  const std::string tooLong = (fs::temp_directory_path() / std::string(600, 'n')).string();
  FailWithAReason();
  errno = EXDEV;
  words = WordsOf([&] { Db(tooLong, Access::Create); });
  EXPECT_TRUE(words.ends_with("unable to open database file")) << words;
}

}  // namespace
}  // namespace host_test
