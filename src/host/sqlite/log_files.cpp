#include "host/sqlite/log_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/sqlite/db.h"

namespace host::sqlite {

namespace {

// The headers, from SQLite's file format.
// A rollback journal begins with these eight bytes; a journal whose
// transaction ended in journal_mode=PERSIST has its 28-byte header zeroed.
constexpr unsigned char kJournalMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
constexpr size_t kJournalHeader = 28;
// A write-ahead log begins with a 32-byte header: the magic number (its
// last bit the checksums' byte order) and the format version, big-endian.
constexpr uint32_t kWalMagic = 0x377f0682;
constexpr uint32_t kWalVersion = 3007000;
constexpr size_t kWalHeader = 32;
// The log's index begins with two copies of its header, each starting with
// the index version in the machine's own byte order, and the checkpoint's
// state: 136 bytes. A process that sets the index up truncates the file to
// 3 bytes, grows it in steps of 4 KiB of zeros, and may fill in the
// first page's hash table before it writes the header, so that a fresh
// index briefly begins with zeros (or the first three bytes of an older
// header).
constexpr uint32_t kShmVersion = 3007000;
constexpr size_t kShmHeader = 136;
constexpr off_t kShmStep = 4096;

uint32_t BigEndian32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool AllZero(const std::vector<unsigned char>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; });
}

// What reading the start of a file found.
struct Look {
  enum Outcome { Read, Gone, Changed, Failed } outcome = Failed;
  std::vector<unsigned char> bytes;  // for Read: the first bytes, fewer when the file is shorter
  off_t size = 0;                    // for Read: its size as it was read
  int error = 0;                     // for Failed: errno
};

bool Same(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The first `n` bytes of the regular file `path`, which lstat found as
// `looked`, read through a descriptor of its own. No SQLite lock is lost
// by closing it: SQLite locks neither journals nor logs, and the index is
// read here only while this process has no connection on the database
// (closing any descriptor of a file drops every lock the process holds on
// it). Gone when the file went before it was opened, Changed when it is no
// longer the file looked at or changed while it was read.
Look ReadStart(const std::string& path, const struct stat& looked, size_t n) {
  Look look;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) {
    look.outcome = errno == ENOENT ? Look::Gone : Look::Failed;
    look.error = errno;
    return look;
  }
  struct stat before {}, after {};
  if (::fstat(fd, &before) != 0) {
    look.error = errno;
  } else if (!S_ISREG(before.st_mode) || before.st_ino != looked.st_ino || before.st_dev != looked.st_dev) {
    look.outcome = Look::Changed;
  } else {
    look.bytes.resize(n);
    size_t got = 0;
    look.outcome = Look::Read;
    while (got < n) {
      const ssize_t r = ::pread(fd, look.bytes.data() + got, n - got, static_cast<off_t>(got));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) {
        look.outcome = Look::Failed;
        look.error = errno;
        break;
      }
      if (r == 0) break;
      got += static_cast<size_t>(r);
    }
    look.bytes.resize(got);
    look.size = before.st_size;
    if (look.outcome == Look::Read && (::fstat(fd, &after) != 0 || !Same(before, after))) look.outcome = Look::Changed;
  }
  ::close(fd);
  return look;
}

// What a regular file that SQLite did not write is.
std::string RegularWhat(const std::vector<unsigned char>& start) {
  static constexpr char kSqlite[] = "SQLite format 3";  // with its NUL: 16 bytes
  if (start.size() >= sizeof kSqlite && std::memcmp(start.data(), kSqlite, sizeof kSqlite) == 0)
    return "is an SQLite database, not a log file of SQLite";
  return "is a file that SQLite did not write";
}

bool IsJournal(const std::vector<unsigned char>& b) {
  if (b.size() >= sizeof kJournalMagic && std::memcmp(b.data(), kJournalMagic, sizeof kJournalMagic) == 0)
    return true;
  return b.size() >= kJournalHeader && AllZero(std::vector<unsigned char>(b.begin(), b.begin() + kJournalHeader));
}

bool IsWal(const std::vector<unsigned char>& b) {
  return b.size() >= kWalHeader && (BigEndian32(b.data()) & ~1u) == kWalMagic &&
         BigEndian32(b.data() + 4) == kWalVersion;
}

bool IsShm(const std::vector<unsigned char>& b, off_t size) {
  unsigned char version[4];
  std::memcpy(version, &kShmVersion, sizeof version);
  if (size >= 4 && b.size() >= 4 && std::memcmp(b.data(), version, 4) == 0) return true;
  if (size == 3) return b.size() == 3 && (std::memcmp(b.data(), version, 3) == 0 || AllZero(b));
  return size % kShmStep == 0 && b.size() >= kShmHeader &&
         AllZero(std::vector<unsigned char>(b.begin(), b.begin() + kShmHeader));
}

// Why the file under `path`, which SQLite takes for the database's file
// with `suffix`, is not SQLite's; "" when it is, or when there is none.
//
// SQLite's files come and go while other processes use the database: the
// last connection to close deletes the log and its index, the next one
// makes them again, and an index is truncated and grown as it is set up.
// So a file seen changing is looked at again, and so, a few times over a
// few milliseconds, is a file that does not look like SQLite's: a refusal
// must not come from a moment in another process's work.
std::string Check(const std::string& path, const std::string& suffix, bool databaseOpenHere) {
  constexpr int kLooks = 20;
  std::string verdict;
  for (int i = 0; i < kLooks; ++i) {
    if (i > 0) ::usleep(1000);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      // Only a file that is there can be lost.
      if (NamesNoFile(errno)) return "";
      return std::string("cannot be looked at (") + std::strerror(errno) + ")";
    }
    if (S_ISLNK(st.st_mode)) return "is a symbolic link, not a log file of SQLite";
    if (S_ISDIR(st.st_mode)) return "is a folder, not a log file of SQLite";
    if (!S_ISREG(st.st_mode)) return "is a special file, not a log file of SQLite";
    if (st.st_size == 0) return "";
    // The index of a database this process has open is the one its own
    // connection maps, and is not read here (see ReadStart).
    if (suffix == "-shm" && databaseOpenHere) return "";

    const Look look = ReadStart(path, st, suffix == "-shm" ? kShmHeader : kWalHeader);
    if (look.outcome == Look::Gone || look.outcome == Look::Changed) continue;
    if (look.outcome == Look::Failed) return std::string("cannot be read (") + std::strerror(look.error) + ")";
    if (look.size == 0) return "";
    const bool sqlites = suffix == "-journal" ? IsJournal(look.bytes)
                         : suffix == "-wal"   ? IsWal(look.bytes)
                                              : IsShm(look.bytes, look.size);
    if (sqlites) return "";
    verdict = RegularWhat(look.bytes);
  }
  return verdict.empty() ? "kept changing while it was looked at" : verdict;
}

}  // namespace

bool NamesNoFile(int error) { return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG; }

std::optional<StrayLogFile> FindStrayLogFile(const std::string& dbPath) {
  const bool openHere = Db::OpenInThisProcess(dbPath);
  for (const char* suffix : kLogSuffixes) {
    const std::string path = dbPath + suffix;
    std::string what = Check(path, suffix, openHere);
    if (!what.empty()) return StrayLogFile{path, std::move(what)};
  }
  return std::nullopt;
}

}  // namespace host::sqlite
