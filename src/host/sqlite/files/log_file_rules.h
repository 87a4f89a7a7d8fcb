// How the stand-in tells SQLite's own files beside a database (log_files.h)
// from anyone else's, as functions of what looking at such a file found:
// the headers SQLite's file format gives its journal, its write-ahead log
// and that log's index, and the verdict over repeated looks at a file that
// other processes may be changing meanwhile. Nothing here touches a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace host::sqlite {

// The files SQLite keeps beside a database "DB".
enum class LogKind {
  Journal,   // "DB-journal", the rollback journal
  Wal,       // "DB-wal", the write-ahead log
  WalIndex,  // "DB-shm", the log's index
};

// How many of a file's first bytes the rules of `kind` look at.
size_t LogHeaderBytes(LogKind kind);

// True when `start`, the first bytes of a journal beside a database of
// `dbPageSize` bytes a page, is a header SQLite writes: one beginning with
// the journal's magic; 28 zero bytes (SQLite zeroes the header when a
// transaction ends in journal_mode=PERSIST); or the header of a writer
// that has not synced its journal yet (killed then, or still in its
// transaction), whose magic and record count are still zero while its
// sector size and page size stand as SQLite writes them, the page size
// the database's.
bool IsJournalHeader(std::span<const unsigned char> start, uint32_t dbPageSize);

// True when `start` begins with the header of a write-ahead log: the magic
// number (either byte order of the checksums) and the format version.
bool IsWalHeader(std::span<const unsigned char> start);

// True when `start`, the first bytes of an index of `fileSize` bytes, is
// an index SQLite wrote: one beginning with its version, or one that a
// process is setting up and that holds nothing but zeros so far (3 bytes,
// or whole steps of 4 KiB), or the first three bytes of an older header.
bool IsWalIndexHeader(std::span<const unsigned char> start, uint64_t fileSize);

// Who owns a file, and its permission bits, as stat gives them.
struct FileOwner {
  uint32_t uid = 0;
  uint32_t gid = 0;
  uint32_t mode = 0;
};

// True when the user `user` may write the database whose file is owned as
// `db`: its owner, root, a member of its group (`inDbGroup`, asked only
// when it matters) where the group may write it, and anyone where all may.
// A file beside the database is SQLite's only when such a user owns it:
// SQLite applies what a log holds to the database, so a log that anyone
// else put there would let them change a database they may not write.
bool MayWriteDatabase(const FileOwner& db, uint32_t user, const std::function<bool()>& inDbGroup);

// What one look at a file under the name of a log file found.
struct LogLook {
  enum class Found {
    NoFile,       // nothing is there
    Unlookable,   // lstat failed otherwise (error)
    Link,         // a symbolic link
    Folder,
    Special,      // a device, a pipe, a socket
    Changed,      // changed or went while it was read
    Unreadable,   // could not be read (error)
    Read,         // a regular file: its first bytes and its size
    NotToBeRead,  // the index of a database this process has open, which
                  // its own connection maps (see FindStrayLogFile)
  };
  Found found = Found::NoFile;
  int error = 0;                     // for Unlookable and Unreadable: errno
  std::vector<unsigned char> start{};  // for Read: the first LogHeaderBytes, fewer when the file is shorter
  uint64_t size = 0;                 // for Read: its size as it was read
};

// At most this many looks are taken at one file.
inline constexpr int kLogLooks = 20;

// Why the file that `look` looks at, under the name of SQLite's file of
// `kind` beside a database of `dbPageSize` bytes a page, is not SQLite's:
// what it is, after "which" ("is a folder, not a log file of SQLite", "is
// an SQLite database, not a log file of SQLite", "cannot be read (...)");
// "" when it is SQLite's, or when no file is there.
//
// SQLite's files come and go while other processes use the database: the
// last connection to close deletes the log and its index, the next one
// makes them again, and an index is truncated and grown as it is set up.
// So a file seen changing is looked at again, and so is a file that does
// not look like SQLite's: a refusal must not come from a moment in another
// process's work. `look` is called up to kLogLooks times (the caller
// spaces the looks); a file that changed on every look "kept changing
// while it was looked at".
std::string LogFileVerdict(LogKind kind, uint32_t dbPageSize, const std::function<LogLook()>& look);

}  // namespace host::sqlite
