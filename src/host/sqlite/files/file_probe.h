// What a file is to the stand-in, found before SQLite opens it: SQLite
// changes the files beside a database when it opens one, and a file that
// is not the stand-in's must stay as it is.
#pragma once

#include <cstdint>
#include <string>

namespace host::sqlite {

// What a file is to the stand-in.
enum class FileKind {
  Own,         // a database of the stand-in
  Unmarked,    // made before databases were marked, with exactly the stand-in's tables
  Missing,     // no such file
  NotAFile,    // a folder, a device or another file that is not a regular one
  Link,        // a symbolic link, wherever it leads (or none)
  Unreadable,  // may not be read
  Empty,       // 0 bytes
  NotSqlite,   // not an SQLite database (a text file, ...), or a damaged one
  Foreign,     // another program's SQLite database
  Newer,       // a database of the stand-in with a newer schema version
  StrayLog,    // an SQLite database beside which lies, under the name of one
               // of SQLite's log files, a file that SQLite did not write
               // (log_files.h): opening the database would destroy it; or
               // one of a user who may not write the database, which SQLite
               // would apply to it
  UnreadableIndex,  // an SQLite database whose log's index ("-shm", in
                    // `stray`) this process may not read (the system's
                    // reason in `strayIs`): SQLite reads it only through that
};

struct FileProbe {
  FileKind kind;
  int32_t schemaVersion = 0;  // user_version, for Own, Foreign and Newer
  std::string stray{};        // for StrayLog and UnreadableIndex: that file's path ...
  std::string strayIs{};      // ... and what it is ("is a folder, ...")
  bool strayByOtherUser = false;  // ... a file of a user who may not write the database
};

// What `path` is, found without changing the file, nor letting SQLite
// change the files beside it: SQLite opens nothing
// until the files under the names of its log files have been found to be
// its own. A file without the stand-in's mark in its header is read with
// SQLite's locks (see Access::Inspect): a writer that keeps it locked
// beyond the busy wait raises hosterr::Busy, and what SQLite cannot read
// without writing raises ReadNeedsWrite (for a database in WAL mode that
// no process has open, only where this process may not write: one that
// may lets SQLite make the log files, which the last to close removes).
FileProbe ProbeFile(const std::string& path);

// The kinds Open takes.
inline bool IsHostDatabase(FileKind kind) { return kind == FileKind::Own || kind == FileKind::Unmarked; }

// True when a failed lookup of a path (lstat's errno) means that no file is
// there: none by that name, a path through something that is not a folder,
// or a name too long for the file system, which can hold no such file. Any
// other failure (a folder that may not be entered) leaves open whether one
// is there.
bool NamesNoFile(int error);

}  // namespace host::sqlite
