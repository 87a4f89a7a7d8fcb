#include "kelhost/temp_names.h"

#include <algorithm>
#include <random>

#include "host/sqlite/files/log_files.h"

namespace kelhost {

namespace {

constexpr size_t kTempLetters = 6;
constexpr size_t kTempExtra = 13 + kTempLetters;  // what a temporary name adds to the database's
// SQLite opens a database by its full path (the folder's real path, links
// resolved, and the name), and only while that path with "-journal" after
// it fits in 512 bytes.
constexpr size_t kSqliteFullPath = 512 - 8;
constexpr size_t kJournalSuffix = 8;  // "-journal", the longest name SQLite adds
constexpr size_t kWalSuffix = 4;      // "-wal" and "-shm", without which a database in WAL cannot be opened

bool IsAlphaNumeric(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

bool IsTempFileOf(const std::string& stem, const std::string& entry) {
  const std::string head = stem + kTempMark;
  if (entry.compare(0, head.size(), head) != 0 || entry.size() < head.size() + kTempLetters) return false;
  for (size_t i = head.size(); i < head.size() + kTempLetters; ++i)
    if (!IsAlphaNumeric(entry[i])) return false;
  const std::string rest = entry.substr(head.size() + kTempLetters);
  if (rest.empty()) return true;
  for (const char* suffix : host::sqlite::kLogSuffixes)
    if (rest == suffix) return true;
  return false;
}

bool IsAnyTempFile(const std::string& entry) {
  for (size_t at = entry.find(kTempMark); at != std::string::npos; at = entry.find(kTempMark, at + 1))
    if (IsTempFileOf(entry.substr(0, at), entry)) return true;
  return false;
}

std::string NewTempName(const std::string& stem) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string name = stem + kTempMark;
  for (size_t i = 0; i < kTempLetters; ++i) name += kLetters[pick(random)];
  return name;
}

NameRoom RoomFor(const std::string& name, const std::string& realFolder, size_t nameMax) {
  NameRoom room;
  if (name.size() + kWalSuffix > nameMax) {
    room.tooLong = "is too long: a database's file name may have at most " + std::to_string(nameMax - kWalSuffix) +
                   " bytes (SQLite adds \"-wal\" to it), this one has " + std::to_string(name.size()) +
                   "; nothing was created";
    return room;
  }
  const size_t dirRoom = realFolder == "/" ? 1 : realFolder.size() + 1;  // with the slash before the name
  if (dirRoom + name.size() > kSqliteFullPath) {
    room.tooLong = "is too long: SQLite opens a database by its full path, which may have at most " +
                   std::to_string(kSqliteFullPath) + " bytes, and here it has " +
                   std::to_string(dirRoom + name.size()) + "; nothing was created";
    return room;
  }
  if (dirRoom + kTempExtra > kSqliteFullPath || nameMax < kTempExtra + kJournalSuffix) {
    room.tooLong = "is too long for init and demo: they build a database in a temporary file beside it, whose "
                   "name has " + std::to_string(kTempExtra) + " bytes more than the part of the database's name "
                   "it keeps, and SQLite takes full paths of at most " + std::to_string(kSqliteFullPath) +
                   " bytes; so the folder's full path may have at most " +
                   std::to_string(kSqliteFullPath - kTempExtra - 1) + " bytes, and " + realFolder + " has " +
                   std::to_string(realFolder.size()) + "; nothing was created";
    return room;
  }
  size_t stem = std::min({name.size(), nameMax - kTempExtra - kJournalSuffix, kSqliteFullPath - kTempExtra - dirRoom});
  // Cut between characters, not inside one.
  while (stem > 0 && stem < name.size() && (static_cast<unsigned char>(name[stem]) & 0xC0) == 0x80) --stem;
  room.stem = name.substr(0, stem);
  return room;
}

}  // namespace kelhost
