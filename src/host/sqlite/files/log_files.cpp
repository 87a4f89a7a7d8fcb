#include "host/sqlite/files/log_files.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <vector>

#include "host/sqlite/db.h"
#include "host/sqlite/files/file_probe.h"
#include "host/sqlite/files/log_file_rules.h"

namespace host::sqlite {

namespace {

// The kinds of the files under kLogSuffixes, in the same order.
constexpr LogKind kKinds[] = {LogKind::Journal, LogKind::Wal, LogKind::WalIndex};
static_assert(std::size(kKinds) == std::size(kLogSuffixes));

bool Same(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The first `n` bytes of the regular file `path`, which lstat found as
// `looked`, read through a descriptor of its own. No SQLite lock is lost
// by closing it: SQLite locks neither journals nor logs, and the index is
// read here only while this process has no connection on the database
// (closing any descriptor of a file drops every lock the process holds on
// it). Changed when the file went before it was opened, is no longer the
// file looked at, or changed while it was read.
LogLook ReadStart(const std::string& path, const struct stat& looked, size_t n) {
  LogLook look;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) {
    look.found = errno == ENOENT ? LogLook::Found::Changed : LogLook::Found::Unreadable;
    look.error = errno;
    return look;
  }
  struct stat before {}, after {};
  if (::fstat(fd, &before) != 0) {
    look.found = LogLook::Found::Unreadable;
    look.error = errno;
  } else if (!S_ISREG(before.st_mode) || before.st_ino != looked.st_ino || before.st_dev != looked.st_dev) {
    look.found = LogLook::Found::Changed;
  } else {
    look.start.resize(n);
    size_t got = 0;
    look.found = LogLook::Found::Read;
    while (got < n) {
      const ssize_t r = ::pread(fd, look.start.data() + got, n - got, static_cast<off_t>(got));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) {
        look.found = LogLook::Found::Unreadable;
        look.error = errno;
        break;
      }
      if (r == 0) break;
      got += static_cast<size_t>(r);
    }
    look.start.resize(got);
    look.size = static_cast<uint64_t>(before.st_size);
    if (look.found == LogLook::Found::Read && (::fstat(fd, &after) != 0 || !Same(before, after)))
      look.found = LogLook::Found::Changed;
  }
  ::close(fd);
  return look;
}

// One look at the file under `path`, SQLite's file of `kind` beside a
// database that this process has open when `databaseOpenHere`.
LogLook LookAt(const std::string& path, LogKind kind, bool databaseOpenHere) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (NamesNoFile(errno)) return {};
    return {LogLook::Found::Unlookable, errno, {}, 0};
  }
  if (S_ISLNK(st.st_mode)) return {LogLook::Found::Link};
  if (S_ISDIR(st.st_mode)) return {LogLook::Found::Folder};
  if (!S_ISREG(st.st_mode)) return {LogLook::Found::Special};
  if (st.st_size == 0) return {LogLook::Found::Read};
  // The index of a database this process has open is the one its own
  // connection maps, and is not read here (see ReadStart).
  if (kind == LogKind::WalIndex && databaseOpenHere) return {LogLook::Found::NotToBeRead};
  return ReadStart(path, st, LogHeaderBytes(kind));
}

// The user's entry in the user database: false when it has none.
bool UserEntry(uid_t uid, passwd& entry, std::vector<char>& buffer) {
  passwd* found = nullptr;
  buffer.resize(16384);
  return ::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr;
}

// True when the user `uid` is a member of the group `gid`, as the user and
// group databases have it (its primary group or one it is listed in).
bool InGroup(uid_t uid, gid_t gid) {
  passwd entry{};
  std::vector<char> buffer;
  if (!UserEntry(uid, entry, buffer)) return false;
  if (entry.pw_gid == gid) return true;
  int count = 64;
  std::vector<gid_t> groups;
  do {
    groups.resize(static_cast<size_t>(count) + 1);
    count = static_cast<int>(groups.size());
  } while (::getgrouplist(entry.pw_name, entry.pw_gid, groups.data(), &count) < 0 &&
           static_cast<size_t>(count) >= groups.size());
  groups.resize(static_cast<size_t>(std::max(count, 0)));
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// The user as the words name it: "the user nobody", "the user id 1234".
std::string UserWords(uid_t uid) {
  passwd entry{};
  std::vector<char> buffer;
  if (UserEntry(uid, entry, buffer)) return std::string("the user ") + entry.pw_name;
  return "the user id " + std::to_string(uid);
}

// The regular file `path` beside the database owned as `db`, when a user
// who may not write the database owns it.
std::optional<StrayLogFile> ByOtherUser(const std::string& path, const FileOwner& db) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (MayWriteDatabase(db, st.st_uid, [&] { return InGroup(st.st_uid, db.gid); })) return std::nullopt;
  return StrayLogFile{
      .path = path, .what = "belongs to " + UserWords(st.st_uid) + ", who may not write the database", .byOtherUser = true};
}

}  // namespace

std::optional<StrayLogFile> FindStrayLogFile(const std::string& dbPath, uint32_t dbPageSize) {
  const bool openHere = Db::OpenInThisProcess(dbPath);
  struct stat db {};
  const bool dbLooked = ::stat(dbPath.c_str(), &db) == 0;
  const FileOwner owner{db.st_uid, db.st_gid, static_cast<uint32_t>(db.st_mode & 07777)};
  for (size_t i = 0; i < std::size(kKinds); ++i) {
    const std::string path = dbPath + kLogSuffixes[i];
    if (dbLooked)
      if (std::optional<StrayLogFile> other = ByOtherUser(path, owner)) return other;
    bool first = true;
    LogLook last;
    std::string what = LogFileVerdict(kKinds[i], dbPageSize, [&] {
      if (!first) ::usleep(1000);  // another process's moment passes
      first = false;
      return last = LookAt(path, kKinds[i], openHere);
    });
    if (what.empty()) continue;
    if (kKinds[i] == LogKind::WalIndex && last.found == LogLook::Found::Unreadable &&
        (last.error == EACCES || last.error == EPERM))
      return StrayLogFile{.path = path, .what = std::strerror(last.error), .unreadableIndex = true};
    return StrayLogFile{path, std::move(what)};
  }
  return std::nullopt;
}

}  // namespace host::sqlite
