#include "host/sqlite/files/file_probe.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>
#include <vector>

#include "host/sqlite/db.h"
#include "host/sqlite/errors.h"
#include "host/sqlite/files/log_files.h"
#include "host/sqlite/files/ownership.h"
#include "host/sqlite/files/system_errors.h"
#include "platform/error.h"

namespace host::sqlite {

namespace {

int32_t BigEndian32(const unsigned char* p) {
  return static_cast<int32_t>((uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3]);
}

// The page size in a database's header: two bytes big-endian at offset 16,
// where 1 stands for 65536.
uint32_t PageSize(const unsigned char* header) {
  const uint32_t size = (uint32_t{header[16]} << 8) | header[17];
  return size == 1 ? 65536 : size;
}

// Reads the first `n` bytes of a file through SQLite's own file layer. A
// plain open and close would not do: POSIX locks belong to the process, and
// closing any descriptor of a file drops all of them, so a connection of
// this process on the file would lose its locks, and another process
// closing its last connection would then take the write-ahead log away
// under it. SQLite's layer keeps such a descriptor open until the locks of
// the process on the file are gone. It is the layer the connections open
// their files through, which passes them on to SQLite's default layer,
// where that bookkeeping lies.
bool ReadHeader(const std::string& path, unsigned char* buf, int n) {
  sqlite3_vfs* vfs = SystemErrorsVfs();
  if (!vfs) return false;
  const char* name = sqlite3_create_filename(path.c_str(), "", "", 0, nullptr);
  if (!name) return false;
  std::vector<std::max_align_t> storage((static_cast<size_t>(vfs->szOsFile) + sizeof(std::max_align_t) - 1) /
                                        sizeof(std::max_align_t));
  auto* file = reinterpret_cast<sqlite3_file*>(storage.data());
  int flags = 0;
  bool read = false;
  if (vfs->xOpen(vfs, name, file, SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB, &flags) == SQLITE_OK) {
    read = file->pMethods->xRead(file, buf, n, 0) == SQLITE_OK;
  }
  if (file->pMethods) file->pMethods->xClose(file);
  sqlite3_free_filename(name);
  return read;
}

// What the database `path`, whose header carries no mark, holds, read with
// SQLite's locks. A database in WAL mode that no process has open is read
// only through log files that SQLite makes: a process that may write
// makes them, as every reader that may write does, and removes them as
// the last to close (the file may be another program's, beside which
// nothing is left); one that may not is refused again.
FileProbe InspectUnmarked(const std::string& path) {
  try {
    Db db(path, Access::Inspect);
    return Inspect(db);
  } catch (const ReadNeedsWrite& r) {
    if (r.need() != WriteNeeded::LogIndex) throw;
  }
  Db db(path, Access::Read);
  db.KeepLogFiles(false);
  return Inspect(db);
}

}  // namespace

FileProbe ProbeFile(const std::string& path) {
  // A link is named for what it is, not followed: the header is read
  // through SQLite's file layer, which opens no link, and a command that
  // made or replaced the database would do so where the link leads.
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {NamesNoFile(errno) ? FileKind::Missing : FileKind::Unreadable};
  if (S_ISLNK(st.st_mode)) return {FileKind::Link};
  if (!S_ISREG(st.st_mode)) return {FileKind::NotAFile};
  if (st.st_size == 0) return {FileKind::Empty};

  // The file's header: SQLite's magic text, the page size at offset 16,
  // user_version at 60, application_id at 68.
  unsigned char header[100];
  if (st.st_size < static_cast<off_t>(sizeof header)) return {FileKind::NotSqlite};
  if (!ReadHeader(path, header, sizeof header)) return {FileKind::Unreadable};
  if (std::memcmp(header, "SQLite format 3", 16) != 0) return {FileKind::NotSqlite};
  const bool marked = BigEndian32(header + 68) == kApplicationId;
  if (marked && BigEndian32(header + 60) > kSchemaVersion) return OfVersion(BigEndian32(header + 60));

  // Every command that takes the file opens it with SQLite, and so does the
  // look below: first the names of SQLite's log files beside it.
  if (const std::optional<StrayLogFile> stray = FindStrayLogFile(path, PageSize(header))) {
    FileProbe probe{stray->unreadableIndex ? FileKind::UnreadableIndex : FileKind::StrayLog};
    probe.stray = stray->path;
    probe.strayIs = stray->what;
    probe.strayByOtherUser = stray->byOtherUser;
    return probe;
  }

  // The mark is written when a database is made and stays; a file whose
  // header lacks it may carry it in the write-ahead log (an older file
  // marked by a writer still at work), so SQLite has the last word.
  if (marked) return OfVersion(BigEndian32(header + 60));
  try {
    return InspectUnmarked(path);
  } catch (const ReadNeedsWrite&) {
    throw;
  } catch (const rt::Error& e) {
    if (e.number() == hosterr::Busy) throw;
    return {FileKind::NotSqlite};  // damaged, or not a database after all
  }
}

bool NamesNoFile(int error) { return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG; }

}  // namespace host::sqlite
