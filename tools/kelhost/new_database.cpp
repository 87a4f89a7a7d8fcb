#include "kelhost/new_database.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "host/sqlite/db.h"
#include "host/sqlite/errors.h"
#include "host/sqlite/files/files.h"
#include "kelhost/database.h"
#include "kelhost/file_system.h"
#include "kelhost/temp_names.h"
#include "platform/error.h"

namespace kelhost {

namespace {

namespace fs = std::filesystem;
using host::sqlite::FileKind;
using host::sqlite::FileProbe;
using host::sqlite::kLogSuffixes;

// Ends the creation early: caught by CreateWholeDatabase.
struct Stop {
  NewDatabase::Outcome outcome;
  std::string problem;
};
[[noreturn]] void Refuse(std::string problem) { throw Stop{NewDatabase::Refused, std::move(problem)}; }
[[noreturn]] void Fail(std::string problem) { throw Stop{NewDatabase::Failed, std::move(problem)}; }

std::string Reason(int error) { return std::strerror(error); }

// What an error of the stand-in says beyond the text of its number, the
// storage error's "Fehler beim Datenbankzugriff" (which a message of
// kelhost's own replaces), and beyond the name of the database `path`
// where a failed open begins with it.
std::string Detail(const rt::Error& e, const std::string& path) {
  std::string text = e.description();
  const std::string generic = host::sqlite::OwnErrorText(host::sqlite::hosterr::Storage) + ": ";
  if (text.compare(0, generic.size(), generic) == 0) text.erase(0, generic.size());
  if (text.compare(0, path.size() + 2, path + ": ") == 0) text.erase(0, path.size() + 2);
  return text;
}

// One run of CreateWholeDatabase. The steps stand in this order:
//  1. the name, what lies at the path and beside it, the folder and the
//     lengths: refusals cost nothing yet;
//  2. the folder's lock, and only then the stale temporary files: no run
//     that holds the lock is building in them;
//  3. the old database opened, if there is one: the new one is made in
//     its page size, which a database in WAL requires of a copy;
//  4. the new database, whole, in its temporary file, before anything at
//     the path is touched: a failing build leaves the path as it was;
//  5. the old database's content replaced through SQLite, or the one
//     rename that gives the new file the free name. The path may change
//     while the database is built (another run fills it, someone moves a
//     file there): it is looked at again, and the steps from 3 on are taken
//     for what is there now;
//  6. the database opened once more, which leaves its log files beside it.
class Creation {
 public:
  Creation(const std::string& command, const std::string& path, bool replace)
      : command_(command), path_(path), replace_(replace) {}

  ~Creation() {
    if (temp_.empty()) return;
    if (!placed_) ::unlink(temp_.c_str());
    for (const char* suffix : kLogSuffixes) ::unlink((temp_ + suffix).c_str());
  }
  Creation(const Creation&) = delete;
  Creation& operator=(const Creation&) = delete;

  void Run(const DatabaseBuild& build) {
    CheckName();
    existedAtStart_ = LookAtPath() == At::Database;
    CheckFolder();

    FolderLock folder(folder_);
    if (!folder.RemoveThenHold([this](const std::string& name) { return IsTempFileOf(stem_, name); }))
      Fail("the folder of " + path_ + " stayed locked by another process; gave up waiting; " + NotChanged());

    for (int round = 0; round < 100; ++round) {
      const bool old = LookAtPath() == At::Database && OpenOld();
      const int pageSize = old ? old_->PageSize() : 0;
      if (!built_ || (old && pageSize != builtPageSize_)) Build(build, pageSize);
      host::sqlite::ReachStep(kStepBuilt);
      if (old ? CopyIntoOld() : TakeName(folder)) {
        old_.reset();
        LeaveLogFiles();
        return;
      }
      old_.reset();
    }
    Fail(path_ + " kept changing while it was to be replaced; " + NotChanged());
  }

  // What an error the build raised says.
  std::string Words(const std::string& detail) const {
    return "cannot create " + path_ + ": " + detail + "; " + NotChanged();
  }

 private:
  enum class At { Nothing, Database };

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
      if (MayExist(owner))
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
        if (MayExist(log))
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
  // SQLite while it is built.
  void CheckFolder() {
    const fs::path parent = fs::path(path_).parent_path();
    folder_ = parent.empty() ? "." : parent.string();
    struct stat st {};
    if (::stat(folder_.c_str(), &st) != 0) Fail("cannot create " + path_ + ": " + Reason(errno));
    if (!S_ISDIR(st.st_mode)) Fail("cannot create " + path_ + ": " + Reason(ENOTDIR));
    if (::access(folder_.c_str(), W_OK | X_OK) != 0) Fail("cannot create " + path_ + ": " + Reason(errno));

    const long limit = ::pathconf(folder_.c_str(), _PC_NAME_MAX);
    char* real = ::realpath(folder_.c_str(), nullptr);
    if (real == nullptr) Fail("cannot create " + path_ + ": " + Reason(errno));
    const std::string dir = real;
    std::free(real);
    const NameRoom room = RoomFor(name_, dir, limit > 0 ? static_cast<size_t>(limit) : NAME_MAX);
    if (!room.tooLong.empty()) Refuse(path_ + " " + room.tooLong);
    stem_ = room.stem;
  }

  // 3. The old database, opened as every command opens it and confirmed on
  // that connection: false when it went meanwhile.
  bool OpenOld() {
    const host::sqlite::WriteAccess access = host::sqlite::CheckWriteAccess(path_);
    if (access.refused == host::sqlite::WriteAccess::File) {
      if (host::sqlite::NamesNoFile(access.error)) return false;
      Refuse(path_ + " " + Unwritable(command_, access.error, "is read-only"));
    }
    if (access.refused == host::sqlite::WriteAccess::Folder)
      Refuse(path_ + " " + Unwritable(command_, access.error, "lies in a read-only folder"));
    // SQLite writes the log files too; one that it may only read (another
    // user's) would fail the write, and leave SQLite's index beside it.
    for (const char* suffix : kLogSuffixes) {
      const std::string log = path_ + suffix;
      if (::access(log.c_str(), W_OK) != 0 && !host::sqlite::NamesNoFile(errno))
        Fail("cannot replace " + path_ + ": its log file " + log + " may not be written (" + Reason(errno) + "); " +
             path_ + " was left as it was");
    }
    try {
      old_ = std::make_unique<host::sqlite::Replacement>(path_);
    } catch (const rt::Error& e) {
      if (e.number() == host::sqlite::hosterr::NotOwnDatabase) {
        if (LookAtPath() == At::Nothing) return false;
        Refuse(path_ + " changed while it was opened; it is left as it is");
      }
      Fail(ReplaceFailed(e));
    }
    return true;
  }

  // 4. The whole database under a temporary name. Sealed, it has no log
  // files: none can be left beside the name it may take, and the copy
  // reads it as one file.
  void Build(const DatabaseBuild& build, int pageSize) {
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_ = (fs::path(path_).parent_path() / NewTempName(stem_)).string();
    built_ = false;
    std::string problem;
    std::shared_ptr<host::sqlite::StandIn> made = build(temp_, {pageSize, path_}, problem);
    if (!made) Fail(problem + "; " + NotChanged());
    made->Seal();
    for (const char* suffix : kLogSuffixes)
      if (MayExist(temp_ + suffix))
        Fail("cannot create " + path_ + ": the new database kept a log file; " + NotChanged());
    builtPageSize_ = host::sqlite::Db(temp_, host::sqlite::Access::Sealed, 0, path_).PageSize();
    built_ = true;
  }

  // 5a. The old database takes the new one's content through SQLite. The
  // path is looked at before: the connection writes to the file it opened,
  // whatever the path names by then; and after: a file that came meanwhile
  // did not get the database, and is left as it is. False when the file
  // opened has moved before the copy, and the copy wrote nothing.
  bool CopyIntoOld() {
    if (!old_->IsFileAt(path_)) return false;
    host::sqlite::ReachStep(kStepCopying);
    try {
      old_->CopyFrom(temp_);
    } catch (const rt::Error& e) {
      // In a rollback journal mode SQLite refuses to write a file that has
      // moved since it was opened, and the refused copy wrote nothing: the
      // path is looked at again, as when the file had moved before. In WAL
      // mode it writes the moved file's log: the copy succeeds, goes whole
      // into the moved file (Replacement::Close), and is refused below.
      if (e.number() != host::sqlite::hosterr::Busy && !old_->IsFileAt(path_)) return false;
      Fail(ReplaceFailed(e));
    }
    host::sqlite::ReachStep(kStepCopied);
    if (!old_->IsFileAt(path_))
      Refuse("the new database was written into the database that was at " + path_ +
             ", but another process moved or replaced that file meanwhile; what is at " + path_ +
             " now is left as it is");
    try {
      old_->Close();
    } catch (const host::sqlite::FileMoved&) {
      Fail("the new database was written into the database that was at " + path_ +
           ", but another process moved that file as it was closed, and other processes kept its log " + path_ +
           "-wal, which now holds the new database under the old name");
    }
    return true;
  }

  std::string ReplaceFailed(const rt::Error& e) const {
    const std::string why = e.number() == host::sqlite::hosterr::Busy
                                ? "another process kept it locked; gave up waiting"
                                : Detail(e, path_);
    return "cannot replace " + path_ + ": " + why + "; " + path_ + " was left as it was";
  }

  // 5b. The free name, in one rename that never replaces, after a last
  // look at what lies beside it. False when the path was filled meanwhile.
  bool TakeName(FolderLock& folder) {
    if (LookAtPath() == At::Database) return false;
    if (!synced_ && !SyncFile(temp_)) Fail("cannot create " + path_ + ": " + Reason(errno) + "; " + NotChanged());
    synced_ = true;
    if (!RenameIfFree(temp_, path_)) {
      if (errno != EEXIST) Fail("cannot create " + path_ + ": " + Reason(errno) + "; " + NotChanged());
      if (!replace_) Refuse(path_ + " exists already");
      return false;
    }
    placed_ = true;
    if (!folder.Sync()) Fail(path_ + " is in place, but its folder could not be synced (" + Reason(errno) + ")");
    return true;
  }

  // 6. The log files beside the database, which every connection that may
  // write keeps from then on (host/sqlite/db.h), so that a reader who may
  // not write reads it at once: opened once, as every command opens it.
  // The database is in place whatever happens here.
  void LeaveLogFiles() const {
    try {
      host::sqlite::StandIn::Open(path_, host::sqlite::OpenMode::ReadOnly)->KeepLogFiles();
    } catch (const std::exception&) {
    }
  }

  const std::string command_;
  const std::string path_;
  const bool replace_;
  std::string name_;    // the database's file name
  std::string folder_;  // its folder, "." for none given
  std::string stem_;    // what of the name the temporary file's begins with
  std::string temp_;    // the temporary file, once named
  bool built_ = false;  // it holds the new database, sealed
  int builtPageSize_ = 0;
  bool synced_ = false;  // and is on disk
  bool placed_ = false;  // and has taken the name
  bool existedAtStart_ = false;
  std::unique_ptr<host::sqlite::Replacement> old_;  // the database at the path, open
};

}  // namespace

NewDatabase CreateWholeDatabase(const std::string& command, const std::string& path, bool replace,
                                const DatabaseBuild& build) {
  NewDatabase result;
  Creation creation(command, path, replace);
  try {
    creation.Run(build);
    result.outcome = NewDatabase::Created;
  } catch (const Stop& stop) {
    result.outcome = stop.outcome;
    result.problem = stop.problem;
  } catch (const rt::Error& e) {
    result.problem = creation.Words(Detail(e, path));
  } catch (const std::exception& e) {
    result.problem = creation.Words(e.what());
  }
  return result;
}

}  // namespace kelhost
