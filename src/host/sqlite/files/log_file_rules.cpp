#include "host/sqlite/files/log_file_rules.h"

#include <algorithm>
#include <cstring>

namespace host::sqlite {

namespace {

// The headers, from SQLite's file format.
// A rollback journal begins with a 28-byte header: these eight bytes, the
// record count, a nonce, the database's page count before the transaction,
// the sector size and the page size, the numbers big-endian. SQLite writes
// the magic and the record count only as it syncs the journal, zeros until
// then, and zeroes the header of a journal whose transaction ended in
// journal_mode=PERSIST. The page size is a power of two from 512 to 65536,
// as the file format has it, and the sector size one from 32 to 65536, the
// bounds SQLite holds a journal's header to when it plays one back.
constexpr unsigned char kJournalMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
constexpr size_t kJournalHeader = 28;
constexpr size_t kJournalUnsynced = 12;  // the magic and the record count
constexpr size_t kJournalSectorAt = 20, kJournalPageAt = 24;
constexpr uint32_t kMinSector = 32, kMaxSector = 65536;
constexpr uint32_t kMinPage = 512, kMaxPage = 65536;
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
constexpr uint64_t kShmStep = 4096;

uint32_t BigEndian32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool AllZero(std::span<const unsigned char> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; });
}

bool IsPowerOfTwoWithin(uint32_t n, uint32_t least, uint32_t most) {
  return n >= least && n <= most && (n & (n - 1)) == 0;
}

// What a regular file that SQLite did not write is.
std::string RegularWhat(std::span<const unsigned char> start) {
  static constexpr char kSqlite[] = "SQLite format 3";  // with its NUL: 16 bytes
  if (start.size() >= sizeof kSqlite && std::memcmp(start.data(), kSqlite, sizeof kSqlite) == 0)
    return "is an SQLite database, not a log file of SQLite";
  return "is a file that SQLite did not write";
}

bool IsSqlites(LogKind kind, uint32_t dbPageSize, const LogLook& look) {
  switch (kind) {
    case LogKind::Journal:
      return IsJournalHeader(look.start, dbPageSize);
    case LogKind::Wal:
      return IsWalHeader(look.start);
    case LogKind::WalIndex:
      return IsWalIndexHeader(look.start, look.size);
  }
  return false;
}

}  // namespace

size_t LogHeaderBytes(LogKind kind) {
  switch (kind) {
    case LogKind::Journal:
      return kJournalHeader;
    case LogKind::Wal:
      return kWalHeader;
    case LogKind::WalIndex:
      return kShmHeader;
  }
  return kShmHeader;
}

bool IsJournalHeader(std::span<const unsigned char> start, uint32_t dbPageSize) {
  if (start.size() >= sizeof kJournalMagic && std::memcmp(start.data(), kJournalMagic, sizeof kJournalMagic) == 0)
    return true;
  if (start.size() < kJournalHeader || !AllZero(start.first(kJournalUnsynced))) return false;
  if (AllZero(start.first(kJournalHeader))) return true;
  const uint32_t page = BigEndian32(start.data() + kJournalPageAt);
  return IsPowerOfTwoWithin(BigEndian32(start.data() + kJournalSectorAt), kMinSector, kMaxSector) &&
         IsPowerOfTwoWithin(page, kMinPage, kMaxPage) && page == dbPageSize;
}

bool IsWalHeader(std::span<const unsigned char> start) {
  return start.size() >= kWalHeader && (BigEndian32(start.data()) & ~1u) == kWalMagic &&
         BigEndian32(start.data() + 4) == kWalVersion;
}

bool IsWalIndexHeader(std::span<const unsigned char> start, uint64_t fileSize) {
  unsigned char version[4];
  std::memcpy(version, &kShmVersion, sizeof version);
  if (fileSize >= 4 && start.size() >= 4 && std::memcmp(start.data(), version, 4) == 0) return true;
  if (fileSize == 3) return start.size() == 3 && (std::memcmp(start.data(), version, 3) == 0 || AllZero(start));
  return fileSize % kShmStep == 0 && start.size() >= kShmHeader && AllZero(start.first(kShmHeader));
}

bool MayWriteDatabase(const FileOwner& db, uint32_t user, const std::function<bool()>& inDbGroup) {
  constexpr uint32_t kGroupWrite = 0020, kOthersWrite = 0002;
  if (user == 0 || user == db.uid || (db.mode & kOthersWrite) != 0) return true;
  return (db.mode & kGroupWrite) != 0 && inDbGroup();
}

std::string LogFileVerdict(LogKind kind, uint32_t dbPageSize, const std::function<LogLook()>& look) {
  std::string verdict;
  for (int i = 0; i < kLogLooks; ++i) {
    const LogLook found = look();
    switch (found.found) {
      case LogLook::Found::NoFile:  // only a file that is there can be lost
      case LogLook::Found::NotToBeRead:
        return "";
      case LogLook::Found::Unlookable:
        return std::string("cannot be looked at (") + std::strerror(found.error) + ")";
      case LogLook::Found::Link:
        return "is a symbolic link, not a log file of SQLite";
      case LogLook::Found::Folder:
        return "is a folder, not a log file of SQLite";
      case LogLook::Found::Special:
        return "is a special file, not a log file of SQLite";
      case LogLook::Found::Changed:
        break;
      case LogLook::Found::Unreadable:
        return std::string("cannot be read (") + std::strerror(found.error) + ")";
      case LogLook::Found::Read:
        if (found.size == 0 || IsSqlites(kind, dbPageSize, found)) return "";
        verdict = RegularWhat(found.start);
        break;
    }
  }
  return verdict.empty() ? "kept changing while it was looked at" : verdict;
}

}  // namespace host::sqlite
