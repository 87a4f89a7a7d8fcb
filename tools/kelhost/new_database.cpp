#include "kelhost/new_database.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include "host/sqlite/db.h"
#include "host/sqlite/errors.h"
#include "host/sqlite/log_files.h"
#include "kelhost/database.h"
#include "platform/error.h"

namespace kelhost {

namespace {

namespace fs = std::filesystem;
using host::sqlite::FileKind;
using host::sqlite::FileProbe;
using host::sqlite::kLogSuffixes;

constexpr const char* kTempMark = ".kelhost-tmp-";
constexpr size_t kTempLetters = 6;
constexpr size_t kTempExtra = 13 + kTempLetters;  // what a temporary name adds to the database's
// SQLite opens a database by its full path (the folder's real path, links
// resolved, and the name), and only while that path with "-journal" after
// it fits in 512 bytes.
constexpr size_t kSqliteFullPath = 512 - 8;
constexpr size_t kJournalSuffix = 8;  // "-journal", the longest name SQLite adds
constexpr size_t kWalSuffix = 4;      // "-wal" and "-shm", without which a database in WAL cannot be opened

// Ends the creation early: caught by CreateWholeDatabase.
struct Stop {
  NewDatabase::Outcome outcome;
  std::string problem;
};
[[noreturn]] void Refuse(std::string problem) { throw Stop{NewDatabase::Refused, std::move(problem)}; }
[[noreturn]] void Fail(std::string problem) { throw Stop{NewDatabase::Failed, std::move(problem)}; }

std::string Reason(int error) { return std::strerror(error); }

// True unless looking up `path` said that nothing is there (NamesNoFile):
// a lookup that was forbidden may hide a file.
bool Present(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) return true;
  return !host::sqlite::NamesNoFile(errno);
}

bool IsAlphaNumeric(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// True when `entry` is one of the temporary files whose names begin with
// `stem`: "<stem>.kelhost-tmp-XXXXXX", alone or with a log file's suffix.
bool IsTempFileOf(const std::string& stem, const std::string& entry) {
  const std::string head = stem + kTempMark;
  if (entry.compare(0, head.size(), head) != 0 || entry.size() < head.size() + kTempLetters) return false;
  for (size_t i = head.size(); i < head.size() + kTempLetters; ++i)
    if (!IsAlphaNumeric(entry[i])) return false;
  const std::string rest = entry.substr(head.size() + kTempLetters);
  if (rest.empty()) return true;
  for (const char* suffix : kLogSuffixes)
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

// Renames `from` to `to` unless `to` exists: false with errno set when it
// could not (EEXIST when `to` exists).
bool RenameIfFree(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without that rename: a second link cannot replace either.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

// The folder of the new database, open for as long as the database is
// built. A shared lock on it tells a later run of init or demo that
// temporary files in it may be in use; an exclusive one is tried only to
// remove stale ones. Where the folder may not be read or the file system
// has no such locks, nothing is removed and the build goes on without.
class Folder {
 public:
  explicit Folder(const std::string& path) : path_(path) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  ~Folder() {
    if (fd_ >= 0) ::close(fd_);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  // Removes the temporary files a killed run left under `stem` (regular
  // files of the pattern only), then holds the shared lock. It waits for
  // the lock as long as a writer waits for the database: false, with
  // nothing removed, when another process held the folder throughout.
  bool RemoveStaleTempFiles(const std::string& stem) {
    if (fd_ < 0) return true;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      if (DIR* dir = ::fdopendir(::fcntl(fd_, F_DUPFD_CLOEXEC, 0))) {
        while (const dirent* e = ::readdir(dir)) {
          struct stat st {};
          if (IsTempFileOf(stem, e->d_name) && ::fstatat(fd_, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
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

  // Makes the renames in the folder last; false, errno set, when it fails.
  bool Sync() { return fd_ < 0 || ::fsync(fd_) == 0; }

 private:
  std::string path_;
  int fd_ = -1;
};

bool SyncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  errno = error;
  return synced;
}

// One run of CreateWholeDatabase. The steps stand in this order:
//  1. the name, what lies at the path and beside it, the folder and the
//     lengths: refusals cost nothing yet;
//  2. the folder's lock, and only then the stale temporary files: no run
//     that holds the lock is building in them;
//  3. the new database, whole, in its temporary file, sealed and synced,
//     before anything at the path is touched: a failing build leaves the
//     path as it was;
//  4. a last look at the path, for what changed while the database was
//     built, then the one rename that gives it the name (or the exchange
//     with the old database, whose log files go aside just before).
class Creation {
 public:
  Creation(const std::string& path, bool replace) : path_(path), replace_(replace) {}

  ~Creation() {
    if (tempHolds_ != Holds::Other) ::unlink(temp_.c_str());
    if (!keepTempLogs_)
      for (const char* suffix : kLogSuffixes) ::unlink((temp_ + suffix).c_str());
  }
  Creation(const Creation&) = delete;
  Creation& operator=(const Creation&) = delete;

  void Run(const DatabaseBuild& build) {
    CheckName();
    existedAtStart_ = LookAtPath() == At::Database;
    CheckFolder();

    Folder folder(folder_);
    if (!folder.RemoveStaleTempFiles(stem_))
      Fail("the folder of " + path_ + " stayed locked by another process; gave up waiting; " + NotChanged());

    Build(build);
    Place();
    if (!folder.Sync())
      Fail(path_ + " is in place, but its folder could not be synced (" + Reason(errno) + ")");
  }

  // What a raised error says, with the temporary file named as the
  // database it becomes.
  std::string Words(std::string text) const {
    const std::string generic = host::sqlite::OwnErrorText(host::sqlite::hosterr::Storage) + ": ";
    if (text.compare(0, generic.size(), generic) == 0) text.erase(0, generic.size());
    if (!temp_.empty()) {
      if (text.compare(0, temp_.size() + 2, temp_ + ": ") == 0) text.erase(0, temp_.size() + 2);
      for (size_t at = text.find(temp_); at != std::string::npos; at = text.find(temp_, at + path_.size()))
        text.replace(at, temp_.size(), path_);
    }
    return "cannot create " + path_ + ": " + text + "; " + NotChanged();
  }

 private:
  enum class At { Nothing, Database };
  // What the temporary name holds, for the clean-up: the new database, the
  // old one exchanged for it, or a file that is neither's to delete.
  enum class Holds { New, Old, Other };

  std::string NotChanged() const { return path_ + (existedAtStart_ ? " was left as it was" : " was not created"); }

  // 1a. Names that a later run, or SQLite, would take for something else.
  void CheckName() {
    name_ = fs::path(path_).filename().string();
    if (IsAnyTempFile(name_))
      Refuse(path_ + " is named like a temporary file of kelhost (a database's name, \"" + kTempMark +
             "\" and six letters or digits), which a later init or demo would delete as a leftover; nothing was "
             "created");
  }

  // "x-wal" where "x" exists: SQLite would take the new database for x's
  // log and delete or overwrite it as soon as anyone opens x.
  void CheckNotALogName() const {
    for (const char* suffix : kLogSuffixes) {
      const std::string s = suffix;
      if (name_.size() <= s.size() || name_.compare(name_.size() - s.size(), s.size(), s) != 0) continue;
      const std::string owner = path_.substr(0, path_.size() - s.size());
      if (Present(owner))
        Refuse(path_ + " is the name SQLite gives a log file of " + owner +
               ", which exists; SQLite would delete or overwrite the new database on opening " + owner +
               ", so nothing was created");
    }
  }

  // 1b. What lies at the path, and beside it. A path that cannot be
  // looked at (a folder that may not be entered) is no file that exists.
  At LookAtPath() const {
    struct stat st {};
    if (::lstat(path_.c_str(), &st) != 0 && !host::sqlite::NamesNoFile(errno))
      Fail("cannot create " + path_ + ": " + Reason(errno));
    const FileProbe probe = host::sqlite::ProbeFile(path_);
    if (probe.kind == FileKind::Missing) {
      for (const char* suffix : kLogSuffixes) {
        const std::string log = path_ + suffix;
        if (Present(log))
          Refuse(path_ + " does not exist, but " + log +
                 " does; SQLite would take that file for the new database's log, so nothing was created or "
                 "deleted");
      }
      CheckNotALogName();
      return At::Nothing;
    }
    if (!replace_) Refuse(path_ + " exists already");
    if (probe.kind == FileKind::StrayLog) Refuse(path_ + " " + DescribeFile(probe));
    if (!host::sqlite::IsHostDatabase(probe.kind)) Refuse(path_ + " " + DescribeFile(probe) + "; it is left as it is");
    CheckNotALogName();
    return At::Database;
  }

  // 1c. The folder must take the files, and the names must fit: the
  // database's for every command that opens it, the temporary file's for
  // SQLite while it is built. The temporary file's name is cut short
  // rather than the database refused wherever that is enough.
  void CheckFolder() {
    const fs::path parent = fs::path(path_).parent_path();
    folder_ = parent.empty() ? "." : parent.string();
    struct stat st {};
    if (::stat(folder_.c_str(), &st) != 0) Fail("cannot create " + path_ + ": " + Reason(errno));
    if (!S_ISDIR(st.st_mode)) Fail("cannot create " + path_ + ": " + Reason(ENOTDIR));
    if (::access(folder_.c_str(), W_OK | X_OK) != 0) Fail("cannot create " + path_ + ": " + Reason(errno));

    const long limit = ::pathconf(folder_.c_str(), _PC_NAME_MAX);
    const size_t nameMax = limit > 0 ? static_cast<size_t>(limit) : NAME_MAX;
    if (name_.size() + kWalSuffix > nameMax)
      Refuse(path_ + " is too long: a database's file name may have at most " +
             std::to_string(nameMax - kWalSuffix) + " bytes (SQLite adds \"-wal\" to it), this one has " +
             std::to_string(name_.size()) + "; nothing was created");

    char* real = ::realpath(folder_.c_str(), nullptr);
    if (real == nullptr) Fail("cannot create " + path_ + ": " + Reason(errno));
    const std::string dir = real;
    std::free(real);
    const size_t dirRoom = dir == "/" ? 1 : dir.size() + 1;  // with the slash before the name
    if (dirRoom + name_.size() > kSqliteFullPath)
      Refuse(path_ + " is too long: SQLite opens a database by its full path, which may have at most " +
             std::to_string(kSqliteFullPath) + " bytes, and here it has " + std::to_string(dirRoom + name_.size()) +
             "; nothing was created");
    if (dirRoom + kTempExtra > kSqliteFullPath || nameMax < kTempExtra + kJournalSuffix)
      Refuse(path_ + " is too long for init and demo: they build a database in a temporary file beside it, "
             "whose name has " + std::to_string(kTempExtra) + " bytes more than the part of the database's name "
             "it keeps, and SQLite takes full paths of at most " + std::to_string(kSqliteFullPath) +
             " bytes; so the folder's full path may have at most " +
             std::to_string(kSqliteFullPath - kTempExtra - 1) + " bytes, and " + dir + " has " +
             std::to_string(dir.size()) + "; nothing was created");

    size_t stem = std::min({name_.size(), nameMax - kTempExtra - kJournalSuffix,
                            kSqliteFullPath - kTempExtra - dirRoom});
    // Cut between characters, not inside one.
    while (stem > 0 && stem < name_.size() && (static_cast<unsigned char>(name_[stem]) & 0xC0) == 0x80) --stem;
    stem_ = name_.substr(0, stem);
  }

  // 3. The whole database under the temporary name. Sealed, it has no log
  // files: none can be left beside the name it takes.
  void Build(const DatabaseBuild& build) {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    std::string name = stem_ + kTempMark;
    for (size_t i = 0; i < kTempLetters; ++i) name += kLetters[pick(random)];
    temp_ = (fs::path(path_).parent_path() / name).string();
    tempHolds_ = Holds::New;

    std::string problem;
    std::shared_ptr<host::sqlite::StandIn> built = build(temp_, problem);
    if (!built) Fail(problem + "; " + NotChanged());
    built->Seal();
    for (const char* suffix : kLogSuffixes)
      if (Present(temp_ + suffix)) Fail("cannot create " + path_ + ": the new database kept a log file; " + NotChanged());
    if (!SyncFile(temp_)) Fail("cannot create " + path_ + ": " + Reason(errno) + "; " + NotChanged());
  }

  // 4. The name. Looked at again first: the path and the files beside it
  // may have changed while the database was built. A path that another
  // run fills meanwhile is looked at anew (demo then replaces what init
  // or another demo put there).
  void Place() {
    for (int round = 0; round < 100; ++round) {
      if (LookAtPath() == At::Nothing) {
        if (RenameIfFree(temp_, path_)) {
          tempHolds_ = Holds::Other;
          return;
        }
        if (errno != EEXIST) Fail("cannot create " + path_ + ": " + Reason(errno) + "; " + NotChanged());
        if (!replace_) Refuse(path_ + " exists already");
        continue;
      }
      if (ReplaceOld()) return;
    }
    Fail(path_ + " kept changing while it was to be replaced; " + NotChanged());
  }

  // Puts the new database in place of the old one: false when the old one
  // vanished meanwhile (nothing changed; the caller looks again).
  bool ReplaceOld() {
    // a. The old database's log files go aside first, under the temporary
    //    name, where the old database will stand after the exchange: so
    //    the new database never stands beside them, and the old one never
    //    loses them. One that may not be moved ends it all: what was moved
    //    goes back.
    std::vector<const char*> moved;
    for (const char* suffix : kLogSuffixes) {
      const std::string log = path_ + suffix;
      if (!Present(log)) continue;
      if (!RenameIfFree(log, temp_ + suffix)) {
        const int error = errno;
        const std::string back = PutBack(moved);
        Fail("cannot replace " + path_ + ": its log file " + log + " cannot be moved (" + Reason(error) + "); " +
             path_ + " was left as it was, with its log files" + back);
      }
      moved.push_back(suffix);
    }

    // b. One step exchanges the new database and the old file, so that
    //    the path never lacks a database and the file taken out can still
    //    be looked at and put back.
    if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, path_.c_str(), RENAME_EXCHANGE) != 0) {
      const int error = errno;
      if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) return ReplaceByRename(moved);
      const std::string back = PutBack(moved);
      if (error == ENOENT && back.empty()) return false;
      Fail("cannot replace " + path_ + ": " + Reason(error) + "; " + path_ + " was left as it was" + back);
    }
    tempHolds_ = Holds::Old;

    // c. Only a host database is replaced. A file that came in its place
    //    since the last look goes back, and with it the log files moved.
    const FileProbe out = host::sqlite::ProbeFile(temp_);
    if (host::sqlite::IsHostDatabase(out.kind)) return true;  // the clean-up removes it with its log files
    if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, path_.c_str(), RENAME_EXCHANGE) != 0) {
      tempHolds_ = Holds::Other;
      keepTempLogs_ = true;
      Fail("a file came to " + path_ + " while it was being replaced, and cannot be put back (" +
           Reason(errno) + "); it is at " + temp_);
    }
    tempHolds_ = Holds::New;
    const std::string back = PutBack(moved);
    Refuse(path_ + " " + DescribeFile(out) + "; it is left as it is" + back);
  }

  // Where the file system cannot exchange two names: the new database
  // replaces whatever is at the path in one rename, as it always did.
  bool ReplaceByRename(const std::vector<const char*>& moved) {
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
      const int error = errno;
      const std::string back = PutBack(moved);
      Fail("cannot replace " + path_ + ": " + Reason(error) + "; " + path_ + " was left as it was" + back);
    }
    tempHolds_ = Holds::Other;  // the clean-up removes the old log files
    return true;
  }

  // Moves the log files in `moved` back beside the path; "" when all went
  // back, else what the message must add (and they are kept).
  std::string PutBack(const std::vector<const char*>& moved) {
    std::string lost;
    for (const char* suffix : moved) {
      if (RenameIfFree(temp_ + suffix, path_ + suffix)) continue;
      keepTempLogs_ = true;
      lost += "; its log file " + path_ + suffix + " could not be put back (" + Reason(errno) + ") and is at " +
              temp_ + suffix;
    }
    return lost;
  }

  const std::string path_;
  const bool replace_;
  std::string name_;    // the database's file name
  std::string folder_;  // its folder, "." for none given
  std::string stem_;    // what of the name the temporary file's begins with
  std::string temp_;
  Holds tempHolds_ = Holds::Other;
  bool keepTempLogs_ = false;
  bool existedAtStart_ = false;
};

}  // namespace

NewDatabase CreateWholeDatabase(const std::string& path, bool replace, const DatabaseBuild& build) {
  NewDatabase result;
  Creation creation(path, replace);
  try {
    creation.Run(build);
    result.outcome = NewDatabase::Created;
  } catch (const Stop& stop) {
    result.outcome = stop.outcome;
    result.problem = stop.problem;
  } catch (const rt::Error& e) {
    result.problem = creation.Words(e.description());
  } catch (const std::exception& e) {
    result.problem = creation.Words(e.what());
  }
  return result;
}

}  // namespace kelhost
