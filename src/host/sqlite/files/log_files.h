// The files SQLite keeps beside a database file "DB": its rollback journal
// "DB-journal", its write-ahead log "DB-wal" and that log's index "DB-shm".
//
// SQLite takes whatever it finds under those names for its own: opening DB
// plays back a journal and deletes it, and empties or truncates a log and
// an index it does not recognise. A file that someone else put there (a
// database of its own named "x-journal", notes in "x-wal", a folder) would
// be lost to the first command that opens DB, even one that only reads. So
// before SQLite opens a database, the stand-in looks at the three names and
// takes only what SQLite itself writes there, recognised by the headers of
// SQLite's documented file format, and only from a user who may write the
// database: SQLite applies a log to the database. Where that is not clear,
// the file counts as someone else's: refusing it costs its owner one `rm`,
// deleting it costs the file. What counts as SQLite's lies in
// log_file_rules.h; here the files are looked at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace host::sqlite {

// The names SQLite gives the files beside a database, in the order they
// are looked at.
inline constexpr const char* kLogSuffixes[] = {"-journal", "-wal", "-shm"};

// A file beside a database that SQLite did not write, or the log's index
// that this process may not read.
struct StrayLogFile {
  std::string path;  // the database's path and the suffix
  std::string what;  // what it is, after "which": "is a folder", ...
  // It belongs to a user who may not write the database
  // (MayWriteDatabase): what SQLite would do with it is apply it.
  bool byOtherUser = false;
  // The index ("-shm") is a regular file that the modes keep this process
  // from reading: SQLite can neither read it nor delete or overwrite it,
  // and reads a database in WAL mode only through it. `what` then gives
  // the system's reason ("Permission denied").
  bool unreadableIndex = false;
};

// The first of the three names beside `dbPath`, a database of `dbPageSize`
// bytes a page (as its header gives it), under which lies a file that is
// not one of SQLite's: anything but a regular file, a file that cannot be
// looked at or read, or a regular file without the header SQLite writes
// there. SQLite's own files pass as they are: an empty file, a journal or
// log left by a process that was killed, and the journal, log and index of
// a database in use by another process (also while that process is setting
// the index up, when it holds nothing but zeros, and before it synced its
// journal), and the empty log and the index that a database keeps while
// no process has it open; each only as a regular file whose owner may
// write the database (MayWriteDatabase): one of another user's, whatever
// it holds, is named as that user's (byOtherUser). An index this process
// may not read is named as such (unreadableIndex). A name the file system
// cannot hold (too long) has no file. The files are only read, and the
// index of a database that this process has open is not even opened:
// closing any descriptor of a file drops every lock the process holds on
// it, and the connection that maps the index relies on its locks.
std::optional<StrayLogFile> FindStrayLogFile(const std::string& dbPath, uint32_t dbPageSize);

}  // namespace host::sqlite
