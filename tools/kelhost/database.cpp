#include "kelhost/database.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>

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
  // (regular files of the pattern only), then holds the shared lock.
  void RemoveStaleTempFiles(const std::string& name) {
    if (fd_ < 0) return;
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
    ::flock(fd_, LOCK_SH);  // waits only for another run's removal
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
    if (::access(path.c_str(), W_OK) != 0) {
      PrintError(command + ": " + path + " is read-only; " + command + " writes to it");
      return nullptr;
    }
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0) {
      PrintError(command + ": " + path + " lies in a read-only folder; " + command + " writes to it");
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
  return RunUnlessLocked([&] { store(*host, args[1], args[2]); }) ? kExitOk : kExitFailed;
}

NewDatabase CreateWholeDatabase(const std::string& path, bool replace, const DatabaseBuild& build) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  Folder folder(target);
  folder.RemoveStaleTempFiles(target.filename().string());

  // Whatever ends the build early, its files go.
  const std::string temp = TempName(path);
  struct TempFiles {
    const std::string& path;
    ~TempFiles() {
      ::unlink(path.c_str());
      for (const char* suffix : kCompanions) ::unlink((path + suffix).c_str());
    }
  } cleanup{temp};

  NewDatabase result;
  if (std::shared_ptr<host::sqlite::StandIn> built = build(temp, result.problem)) built->Seal();
  else return result;
  for (const char* suffix : kCompanions) {
    if (fs::exists(fs::symlink_status(temp + suffix)))
      throw std::runtime_error("the new database " + temp + " kept its " + suffix + " file");
  }
  SyncFile(temp);

  if (replace) {
    const host::sqlite::FileProbe probe = host::sqlite::ProbeFile(path);
    if (probe.kind != host::sqlite::FileKind::Missing && !host::sqlite::IsHostDatabase(probe.kind)) {
      result.outcome = NewDatabase::Taken;
      result.problem = DescribeFile(probe);
      return result;
    }
    // The old database goes before its log, so that it never stands
    // without it.
    RemoveDatabaseFiles(path);
    if (::rename(temp.c_str(), path.c_str()) != 0) RaiseSystem("create", path, errno);
  } else {
    struct stat st {};
    const bool free = ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
    if (free) RemoveDatabaseFiles(path);
    if (!free || !RenameIfFree(temp, path)) {
      result.outcome = NewDatabase::Taken;
      result.problem = "exists already";
      return result;
    }
  }
  folder.Sync();
  result.outcome = NewDatabase::Created;
  return result;
}

}  // namespace kelhost
