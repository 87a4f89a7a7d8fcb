#include "kelhost/database.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <thread>

#include "host/sqlite/db.h"
#include "kelhost/command.h"
#include "kelhost/host_call.h"

namespace kelhost {

namespace {

constexpr const char* kTempMark = ".kelhost-tmp-";
constexpr size_t kTempLetters = 6;
// What SQLite may leave beside a database file.
constexpr const char* kCompanions[] = {"-wal", "-shm", "-journal"};

[[noreturn]] void RaiseSystem(const std::string& what, const std::string& path, int error) {
  throw std::runtime_error("cannot " + what + " " + path + ": " + std::strerror(error));
}

bool IsAlphaNumeric(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// True when `entry` is one of the temporary files of the database named
// `name`: "<name>.kelhost-tmp-XXXXXX", alone or with a companion suffix.
bool IsTempFileOf(const std::string& name, const std::string& entry) {
  const std::string head = name + kTempMark;
  if (entry.compare(0, head.size(), head) != 0 || entry.size() < head.size() + kTempLetters) return false;
  for (size_t i = head.size(); i < head.size() + kTempLetters; ++i)
    if (!IsAlphaNumeric(entry[i])) return false;
  const std::string rest = entry.substr(head.size() + kTempLetters);
  if (rest.empty()) return true;
  for (const char* suffix : kCompanions)
    if (rest == suffix) return true;
  return false;
}

// True when the file name `entry` is a temporary file of any database name,
// which a later run would remove as a leftover.
bool IsAnyTempFile(const std::string& entry) {
  for (size_t at = entry.find(kTempMark); at != std::string::npos; at = entry.find(kTempMark, at + 1))
    if (IsTempFileOf(entry.substr(0, at), entry)) return true;
  return false;
}

// An SQLite log file beside the missing database `path` ("" when there is
// none). It is not kelhost's to delete, and SQLite would take it for the
// new database's own log. A file that cannot be looked at counts as there.
std::string StrayLogFile(const std::string& path) {
  for (const char* suffix : kCompanions) {
    const std::string companion = path + suffix;
    struct stat st {};
    if (::lstat(companion.c_str(), &st) == 0 || errno != ENOENT) return companion;
  }
  return "";
}

// What forbids building the database `path` that is missing or about to be
// replaced (`missing` says which), "" when nothing does.
std::string Forbidden(const std::string& path, bool missing) {
  const std::string name = std::filesystem::path(path).filename().string();
  if (IsAnyTempFile(name))
    return path + " is named like a temporary file of kelhost (a database's name, \"" + kTempMark +
           "\" and six letters or digits), which a later init or demo would delete as a leftover; nothing was "
           "created";
  if (missing) {
    const std::string stray = StrayLogFile(path);
    if (!stray.empty())
      return path + " does not exist, but " + stray +
             " does; SQLite would take that file for the new database's log, so nothing was created or deleted";
  }
  return "";
}

bool Missing(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

// The folder of the new database `file`, open for as long as the database
// is built. A shared lock on it tells a later run of init or demo that
// temporary files in it may be in use; an exclusive one is tried only to
// remove stale ones. Where the folder may not be read or the file system
// has no such locks, nothing is removed and the build goes on without.
class Folder {
 public:
  explicit Folder(const std::filesystem::path& file)
      : path_(file.has_parent_path() ? file.parent_path().string() : ".") {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if ((fd_ < 0 && errno != EACCES) || ::access(path_.c_str(), W_OK) != 0)
      RaiseSystem("create", file.string(), errno);
  }
  ~Folder() {
    if (fd_ >= 0) ::close(fd_);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  // Removes the temporary files a killed run left for the database `name`
  // (regular files of the pattern only), then holds the shared lock. It
  // waits for the lock as long as a writer waits for the database: false,
  // with nothing removed, when another process held the folder throughout.
  bool RemoveStaleTempFiles(const std::string& name) {
    if (fd_ < 0) return true;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      if (DIR* dir = ::fdopendir(::fcntl(fd_, F_DUPFD_CLOEXEC, 0))) {
        while (const dirent* e = ::readdir(dir)) {
          struct stat st {};
          if (IsTempFileOf(name, e->d_name) && ::fstatat(fd_, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
              S_ISREG(st.st_mode))
            ::unlinkat(fd_, e->d_name, 0);
        }
        ::closedir(dir);
      }
    }
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(host::sqlite::Db::kDefaultBusyWaitMs);
    while (::flock(fd_, LOCK_SH | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) return true;  // no such locks here: on without
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  // Makes a rename in the folder last.
  void Sync() {
    if (fd_ >= 0 && ::fsync(fd_) != 0) RaiseSystem("sync the folder", path_, errno);
  }

 private:
  std::string path_;
  int fd_ = -1;
};

std::string TempName(const std::string& path) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string name = path + kTempMark;
  for (size_t i = 0; i < kTempLetters; ++i) name += kLetters[pick(random)];
  return name;
}

// Removes a database file with its companions; a missing one is fine.
void RemoveDatabaseFiles(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) RaiseSystem("delete", path, errno);
  for (const char* suffix : kCompanions) {
    const std::string companion = path + suffix;
    if (::unlink(companion.c_str()) != 0 && errno != ENOENT) RaiseSystem("delete", companion, errno);
  }
}

void SyncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) RaiseSystem("sync", path, errno);
  const bool synced = ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  if (!synced) RaiseSystem("sync", path, error);
}

// Renames `from` to `to` unless `to` exists; false when it does.
bool RenameIfFree(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) RaiseSystem("create", to, errno);
  // A file system without that rename: a second link cannot replace either.
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return false;
    RaiseSystem("create", to, errno);
  }
  ::unlink(from.c_str());
  return true;
}

// Why access(W_OK) refused the file `command` writes to: `readOnly` where
// the modes or the file system forbid writing, and as the probe says it
// where the file has gone since.
std::string Unwritable(const std::string& command, int error, const char* readOnly) {
  if (error == ENOENT) return "does not exist";
  const std::string reason =
      error == EACCES || error == EPERM || error == EROFS ? std::string(readOnly)
                                                          : std::string("cannot be written (") + std::strerror(error) + ")";
  return reason + "; " + command + " writes to it";
}

}  // namespace

std::string DescribeFile(const host::sqlite::FileProbe& probe) {
  using host::sqlite::FileKind;
  switch (probe.kind) {
    case FileKind::Own:
    case FileKind::Unmarked:
      return "is a kelhost database";
    case FileKind::Missing:
      return "does not exist";
    case FileKind::NotAFile:
      return "is a folder or another special file, not a kelhost database";
    case FileKind::Link:
      return "is a symbolic link; kelhost takes only the database file itself";
    case FileKind::Unreadable:
      return "cannot be read";
    case FileKind::Empty:
      return "is an empty file, not a kelhost database";
    case FileKind::NotSqlite:
      return "is not a kelhost database (not an SQLite database, or a damaged one)";
    case FileKind::Foreign:
      return "is another program's SQLite database, not a kelhost database";
    case FileKind::Newer:
      return "is a kelhost database of the newer schema version " + std::to_string(probe.schemaVersion) +
             " (this kelhost knows version " + std::to_string(host::sqlite::kSchemaVersion) + ")";
  }
  return "is not a kelhost database";
}

std::shared_ptr<host::sqlite::StandIn> OpenDatabase(const std::string& command, const std::string& path,
                                                    host::sqlite::OpenMode mode) {
  const host::sqlite::FileProbe probe = host::sqlite::ProbeFile(path);
  if (!host::sqlite::IsHostDatabase(probe.kind)) {
    PrintError(command + ": " + path + " " + DescribeFile(probe));
    return nullptr;
  }
  if (mode == host::sqlite::OpenMode::ReadWrite) {
    // Writing needs the file and, for SQLite's log files, its folder.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    // The file may have gone since the probe (a concurrent demo replaces
    // it): each refusal names its real reason.
    if (::access(path.c_str(), W_OK) != 0) {
      PrintError(command + ": " + path + " " + Unwritable(command, errno, "is read-only"));
      return nullptr;
    }
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0) {
      PrintError(command + ": " + path + " " + Unwritable(command, errno, "lies in a read-only folder"));
      return nullptr;
    }
  }
  return host::sqlite::StandIn::Open(path, mode);
}

int StoreNamedText(const std::string& command, const std::vector<std::string>& args, NamedTextStore store) {
  if (args.size() != 3 || args[1].empty()) {
    PrintError(command + (args.size() != 3 ? ": expects DB NAME VALUE" : ": the name is empty"));
    PrintError("usage: kelhost " + command + " DB NAME VALUE");
    return kExitUsage;
  }
  std::shared_ptr<host::sqlite::StandIn> host = OpenDatabase(command, args[0], host::sqlite::OpenMode::ReadWrite);
  if (!host) return kExitUsage;
  return RunUnlessRefused([&] { store(*host, args[1], args[2]); });
}

NewDatabase CreateWholeDatabase(const std::string& path, bool replace, const DatabaseBuild& build) {
  namespace fs = std::filesystem;
  NewDatabase result;
  result.problem = Forbidden(path, Missing(path));
  if (!result.problem.empty()) {
    result.outcome = NewDatabase::Refused;
    return result;
  }
  const fs::path target(path);
  Folder folder(target);
  if (!folder.RemoveStaleTempFiles(target.filename().string())) {
    result.problem = "the folder of " + path + " stayed locked by another process; gave up waiting";
    return result;
  }

  // Whatever ends the build early, its files go.
  const std::string temp = TempName(path);
  struct TempFiles {
    const std::string& path;
    ~TempFiles() {
      ::unlink(path.c_str());
      for (const char* suffix : kCompanions) ::unlink((path + suffix).c_str());
    }
  } cleanup{temp};

  if (std::shared_ptr<host::sqlite::StandIn> built = build(temp, result.problem)) built->Seal();
  else return result;
  for (const char* suffix : kCompanions) {
    if (fs::exists(fs::symlink_status(temp + suffix)))
      throw std::runtime_error("the new database " + temp + " kept its " + suffix + " file");
  }
  SyncFile(temp);

  // Asked again now: the folder may have changed while the database was
  // built. Only the database replaced is unlinked, with its own log files;
  // a missing one is never unlinked, so that a database another run has
  // just moved into place stays.
  const host::sqlite::FileProbe probe = host::sqlite::ProbeFile(path);
  const bool missing = probe.kind == host::sqlite::FileKind::Missing;
  if (!missing && !(replace && host::sqlite::IsHostDatabase(probe.kind))) {
    result.outcome = NewDatabase::Taken;
    result.problem = replace ? DescribeFile(probe) : "exists already";
    return result;
  }
  result.problem = Forbidden(path, missing);
  if (!result.problem.empty()) {
    result.outcome = NewDatabase::Refused;
    return result;
  }
  if (missing) {
    if (!RenameIfFree(temp, path)) {
      result.outcome = NewDatabase::Taken;
      result.problem = "exists already";
      return result;
    }
  } else {
    // The old database goes before its log, so that it never stands
    // without it.
    RemoveDatabaseFiles(path);
    if (::rename(temp.c_str(), path.c_str()) != 0) RaiseSystem("create", path, errno);
  }
  folder.Sync();
  result.outcome = NewDatabase::Created;
  return result;
}

}  // namespace kelhost
