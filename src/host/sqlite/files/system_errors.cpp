#include "host/sqlite/files/system_errors.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "host/sqlite/files/steps.h"

namespace host::sqlite {

namespace {

constexpr const char* kName = "kelhost-system-errors";
constexpr const char* kNoLogFilesName = "kelhost-system-errors-no-log-files";

// The highest version of sqlite3_io_methods and sqlite3_vfs that this
// layer forwards every method of. A newer default layer is offered to
// SQLite as this version: SQLite then calls no method the layer lacks.
constexpr int kIoVersion = 3;
constexpr int kVfsVersion = 3;

thread_local int noted = 0;
thread_local bool logWriteLockTaken = false;
thread_local std::chrono::steady_clock::time_point sleepDeadline{};

// Called right after a call of the default layer failed with `rc`, before
// anything else can change errno. SQLite's expected failures are not
// noted: a short read (it reads past the end of a file and takes zeros),
// deleting a file that is not there, and running out of memory, which no
// system call reported.
[[gnu::cold, gnu::noinline]] void Note(int rc) {
  const int error = errno;
  const int primary = rc & 0xFF;
  if (primary != SQLITE_IOERR && primary != SQLITE_FULL && primary != SQLITE_CANTOPEN) return;
  if (rc == SQLITE_IOERR_SHORT_READ || rc == SQLITE_IOERR_DELETE_NOENT || rc == SQLITE_IOERR_NOMEM) return;
  // The first failure is what stopped the statement; later ones are the
  // clean-up after it.
  if (noted == 0) noted = error;
}

// Passes the result through. A primary code of SQLITE_OK is success, with
// or without an extended code (SQLITE_OK_SYMLINK).
inline int Checked(int rc) {
  if ((rc & 0xFF) != SQLITE_OK) [[unlikely]]
    Note(rc);
  return rc;
}

// --- files ----------------------------------------------------------------------------

// A file of the layer: this header, then the default layer's file, whose
// size SQLite learns from szOsFile. SQLite allocates files 8-byte aligned.
struct File {
  sqlite3_file base;
  // For a database file of the layer that makes log files: its name (valid
  // while it is open), so that its index gets the database's group and
  // mode once it is mapped.
  const char* database;
  bool indexLooked;  // the index has been given them
};
static_assert(sizeof(File) % 8 == 0);

// Gives the log file `log` of the database `database` the database's group
// and mode, where this process owns it (or is root), so that everyone who
// may write the database may write it. SQLite's default layer makes a
// journal, a log and an index in the database's mode, but owned by the
// process that makes them, with its group: a member of the database's
// group who made them would keep the database's owner from writing it.
// (As root, it makes them the database owner's, with the database's group;
// a mode changed since is set here, and one that root owns is given to
// the database's owner.) Best effort: what cannot be changed stays as
// SQLite made it, and errno stays as it was.
void GiveDatabaseGroupAndMode(const std::string& log, const char* database) {
  const int saved = errno;
  struct stat db {}, st {};
  const uid_t me = ::geteuid();
  if (::stat(database, &db) == 0 && ::lstat(log.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      (st.st_uid == me || me == 0)) {
    const uid_t owner = me == 0 && st.st_uid == 0 && db.st_uid != 0 ? db.st_uid : static_cast<uid_t>(-1);
    if (st.st_gid != db.st_gid || owner != static_cast<uid_t>(-1))
      ::fchownat(AT_FDCWD, log.c_str(), owner, db.st_gid, AT_SYMLINK_NOFOLLOW);
    // After the group: changing it may clear mode bits.
    if ((st.st_mode & 0777) != (db.st_mode & 0777))
      ::fchmodat(AT_FDCWD, log.c_str(), db.st_mode & 0777, AT_SYMLINK_NOFOLLOW);
  }
  errno = saved;
}

sqlite3_file* Inner(sqlite3_file* f) { return reinterpret_cast<sqlite3_file*>(reinterpret_cast<File*>(f) + 1); }

// A file method of the layer: the default layer's same method on the
// inner file; with `kChecked`, its failure is noted. Methods that return
// no result code (a sector size, a barrier) pass without.
template <auto Method, bool kChecked = true>
struct Forward;
template <typename R, typename... Args, R (*sqlite3_io_methods::*Method)(sqlite3_file*, Args...), bool kChecked>
struct Forward<Method, kChecked> {
  static R Call(sqlite3_file* f, Args... args) {
    sqlite3_file* in = Inner(f);
    if constexpr (kChecked) {
      return Checked((in->pMethods->*Method)(in, args...));
    } else {
      return (in->pMethods->*Method)(in, args...);
    }
  }
};
template <auto Method, bool kChecked = true>
constexpr auto kForward = &Forward<Method, kChecked>::Call;

// The index is made by the first map of it, through the database's file.
int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** out) {
  sqlite3_file* in = Inner(f);
  const int rc = Checked(in->pMethods->xShmMap(in, region, size, extend, out));
  File* file = reinterpret_cast<File*>(f);
  if (file->database && !file->indexLooked) {
    file->indexLooked = true;
    GiveDatabaseGroupAndMode(std::string(file->database) + "-shm", file->database);
  }
  return rc;
}

// The index's locks as the default layer takes them. The first lock of a
// write-ahead log's index is its write lock (SQLite's file format): a
// shared lock refused there means that a writer holds it.
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
  sqlite3_file* in = Inner(f);
  const int rc = Checked(in->pMethods->xShmLock(in, offset, n, flags));
  if (rc == SQLITE_BUSY && offset == 0 && (flags & SQLITE_SHM_LOCK)) logWriteLockTaken = true;
  return rc;
}

// The layer's methods for files whose own methods are `inner`: of the same
// version, and missing where those are missing (SQLite asks whether a
// file has xShmMap before it uses a write-ahead log with it).
sqlite3_io_methods MethodsLike(const sqlite3_io_methods& inner) {
  sqlite3_io_methods m{};
  m.iVersion = std::min(inner.iVersion, kIoVersion);
  m.xClose = kForward<&sqlite3_io_methods::xClose>;
  m.xRead = kForward<&sqlite3_io_methods::xRead>;
  m.xWrite = kForward<&sqlite3_io_methods::xWrite>;
  m.xTruncate = kForward<&sqlite3_io_methods::xTruncate>;
  m.xSync = kForward<&sqlite3_io_methods::xSync>;
  m.xFileSize = kForward<&sqlite3_io_methods::xFileSize>;
  m.xLock = kForward<&sqlite3_io_methods::xLock>;
  m.xUnlock = kForward<&sqlite3_io_methods::xUnlock>;
  m.xCheckReservedLock = kForward<&sqlite3_io_methods::xCheckReservedLock>;
  m.xFileControl = kForward<&sqlite3_io_methods::xFileControl>;
  m.xSectorSize = kForward<&sqlite3_io_methods::xSectorSize, false>;
  m.xDeviceCharacteristics = kForward<&sqlite3_io_methods::xDeviceCharacteristics, false>;
  if (m.iVersion >= 2) {
    m.xShmMap = inner.xShmMap ? ShmMap : nullptr;
    m.xShmLock = inner.xShmLock ? ShmLock : nullptr;
    m.xShmBarrier = inner.xShmBarrier ? kForward<&sqlite3_io_methods::xShmBarrier, false> : nullptr;
    m.xShmUnmap = inner.xShmUnmap ? kForward<&sqlite3_io_methods::xShmUnmap> : nullptr;
  }
  if (m.iVersion >= 3) {
    m.xFetch = inner.xFetch ? kForward<&sqlite3_io_methods::xFetch> : nullptr;
    m.xUnfetch = inner.xUnfetch ? kForward<&sqlite3_io_methods::xUnfetch> : nullptr;
  }
  return m;
}

// The layer's methods for each set of methods the default layer gave a
// file (it has a few, by kind of locking). Never destroyed, and never
// moved: files closed by objects of static lifetime still use them.
const sqlite3_io_methods* MethodsFor(const sqlite3_io_methods* inner) {
  struct Known {
    std::mutex mutex;
    std::deque<std::pair<const sqlite3_io_methods*, sqlite3_io_methods>> methods;
  };
  static Known* const known = new Known;
  const std::lock_guard<std::mutex> lock(known->mutex);
  for (const auto& [of, mine] : known->methods)
    if (of == inner) return &mine;
  return &known->methods.emplace_back(inner, MethodsLike(*inner)).second;
}

// --- the layer ------------------------------------------------------------------------

sqlite3_vfs* Base(sqlite3_vfs* vfs) { return static_cast<sqlite3_vfs*>(vfs->pAppData); }

// The calls that name a file start with errno cleared: a failure the
// default layer finds without a system call (a name too long) then notes
// no stale reason. They are few, unlike the calls on open files.
int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
  sqlite3_vfs* base = Base(vfs);
  sqlite3_file* in = Inner(f);
  errno = 0;
  const int rc = Checked(base->xOpen(base, name, in, flags, outFlags));
  // SQLite closes a file whose methods are set even when the open failed.
  f->pMethods = in->pMethods ? MethodsFor(in->pMethods) : nullptr;
  File* file = reinterpret_cast<File*>(f);
  file->database = nullptr;
  file->indexLooked = false;
  if (rc == SQLITE_OK && name && std::string_view(vfs->zName) == kName) {
    if (flags & SQLITE_OPEN_MAIN_DB) file->database = name;
    if (flags & (SQLITE_OPEN_WAL | SQLITE_OPEN_MAIN_JOURNAL))
      GiveDatabaseGroupAndMode(name, sqlite3_filename_database(name));
  }
  return rc;
}
// Open for connections that make no log files: SQLite's journal and
// write-ahead log are opened where they are, never created.
int OpenWithoutMakingLogFiles(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
  if (flags & (SQLITE_OPEN_WAL | SQLITE_OPEN_MAIN_JOURNAL)) flags &= ~SQLITE_OPEN_CREATE;
  return Open(vfs, name, f, flags, outFlags);
}
int Delete(sqlite3_vfs* vfs, const char* name, int syncDir) {
  sqlite3_vfs* base = Base(vfs);
  errno = 0;
  return Checked(base->xDelete(base, name, syncDir));
}
int CheckAccess(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
  sqlite3_vfs* base = Base(vfs);
  errno = 0;
  return Checked(base->xAccess(base, name, flags, result));
}
int FullPathname(sqlite3_vfs* vfs, const char* name, int size, char* out) {
  sqlite3_vfs* base = Base(vfs);
  errno = 0;
  return Checked(base->xFullPathname(base, name, size, out));
}
void* DlOpen(sqlite3_vfs* vfs, const char* name) { return Base(vfs)->xDlOpen(Base(vfs), name); }
void DlError(sqlite3_vfs* vfs, int size, char* message) { Base(vfs)->xDlError(Base(vfs), size, message); }
void (*DlSym(sqlite3_vfs* vfs, void* handle, const char* symbol))(void) {
  return Base(vfs)->xDlSym(Base(vfs), handle, symbol);
}
void DlClose(sqlite3_vfs* vfs, void* handle) { Base(vfs)->xDlClose(Base(vfs), handle); }
int Randomness(sqlite3_vfs* vfs, int size, char* out) { return Base(vfs)->xRandomness(Base(vfs), size, out); }
// SQLite sleeps between its retries (of a lock, of a read through a log
// whose index another connection holds) for as long as it reckons, or as
// long as a test lets the waits last (steps.h); past this thread's
// deadline it sleeps no more.
int Sleep(sqlite3_vfs* vfs, int microseconds) {
  microseconds = static_cast<int>(ShortenedWait(microseconds));
  if (sleepDeadline != std::chrono::steady_clock::time_point{}) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(sleepDeadline -
                                                                            std::chrono::steady_clock::now());
    if (left.count() <= 0) return 0;
    if (left.count() < microseconds) microseconds = static_cast<int>(left.count());
  }
  return Base(vfs)->xSleep(Base(vfs), microseconds);
}
int CurrentTime(sqlite3_vfs* vfs, double* now) { return Base(vfs)->xCurrentTime(Base(vfs), now); }
int GetLastError(sqlite3_vfs* vfs, int size, char* out) { return Base(vfs)->xGetLastError(Base(vfs), size, out); }
int CurrentTimeInt64(sqlite3_vfs* vfs, sqlite3_int64* now) {
  return Base(vfs)->xCurrentTimeInt64(Base(vfs), now);
}
int SetSystemCall(sqlite3_vfs* vfs, const char* name, sqlite3_syscall_ptr call) {
  return Base(vfs)->xSetSystemCall(Base(vfs), name, call);
}
sqlite3_syscall_ptr GetSystemCall(sqlite3_vfs* vfs, const char* name) {
  return Base(vfs)->xGetSystemCall(Base(vfs), name);
}
const char* NextSystemCall(sqlite3_vfs* vfs, const char* name) {
  return Base(vfs)->xNextSystemCall(Base(vfs), name);
}

sqlite3_vfs LayerOver(sqlite3_vfs* base, bool makesLogFiles) {
  sqlite3_vfs vfs{};
  vfs.iVersion = std::min(base->iVersion, kVfsVersion);
  vfs.szOsFile = static_cast<int>(sizeof(File)) + base->szOsFile;
  vfs.mxPathname = base->mxPathname;
  vfs.zName = makesLogFiles ? kName : kNoLogFilesName;
  vfs.pAppData = base;
  vfs.xOpen = makesLogFiles ? Open : OpenWithoutMakingLogFiles;
  vfs.xDelete = Delete;
  vfs.xAccess = CheckAccess;
  vfs.xFullPathname = FullPathname;
  vfs.xDlOpen = base->xDlOpen ? DlOpen : nullptr;
  vfs.xDlError = base->xDlError ? DlError : nullptr;
  vfs.xDlSym = base->xDlSym ? DlSym : nullptr;
  vfs.xDlClose = base->xDlClose ? DlClose : nullptr;
  vfs.xRandomness = Randomness;
  vfs.xSleep = Sleep;
  vfs.xCurrentTime = CurrentTime;
  vfs.xGetLastError = base->xGetLastError ? GetLastError : nullptr;
  if (vfs.iVersion >= 2) vfs.xCurrentTimeInt64 = base->xCurrentTimeInt64 ? CurrentTimeInt64 : nullptr;
  if (vfs.iVersion >= 3) {
    vfs.xSetSystemCall = base->xSetSystemCall ? SetSystemCall : nullptr;
    vfs.xGetSystemCall = base->xGetSystemCall ? GetSystemCall : nullptr;
    vfs.xNextSystemCall = base->xNextSystemCall ? NextSystemCall : nullptr;
  }
  return vfs;
}

// The layer over SQLite's default one, registered once per process. Where
// it cannot be registered: the default layer itself for the layer that
// makes log files, which adds only the reasons; null for the other.
sqlite3_vfs* Registered(bool makesLogFiles) {
  sqlite3_vfs* base = sqlite3_vfs_find(nullptr);
  if (!base) return nullptr;
  // Never destroyed: connections that objects of static lifetime hold
  // close late.
  auto* layer = new sqlite3_vfs(LayerOver(base, makesLogFiles));
  if (sqlite3_vfs_register(layer, 0) != SQLITE_OK) {
    delete layer;
    return makesLogFiles ? base : nullptr;
  }
  return layer;
}

}  // namespace

sqlite3_vfs* SystemErrorsVfs() {
  static sqlite3_vfs* const vfs = Registered(true);
  return vfs;
}

sqlite3_vfs* SystemErrorsVfsMakingNoLogFiles() {
  static sqlite3_vfs* const vfs = Registered(false);
  return vfs;
}

void ForgetSystemError() {
  noted = 0;
  logWriteLockTaken = false;
}

bool LogWriteLockWasTaken() { return logWriteLockTaken; }

void SetSleepDeadline(std::chrono::steady_clock::time_point deadline) { sleepDeadline = deadline; }

int SystemError() { return noted; }

}  // namespace host::sqlite
