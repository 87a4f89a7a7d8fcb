#include "host/sqlite/log_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>

#include "host/sqlite/db.h"
#include "host/sqlite/file_probe.h"
#include "host/sqlite/log_file_rules.h"

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

}  // namespace

std::optional<StrayLogFile> FindStrayLogFile(const std::string& dbPath, uint32_t dbPageSize) {
  const bool openHere = Db::OpenInThisProcess(dbPath);
  for (size_t i = 0; i < std::size(kKinds); ++i) {
    const std::string path = dbPath + kLogSuffixes[i];
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
      return StrayLogFile{path, std::strerror(last.error), true};
    return StrayLogFile{path, std::move(what)};
  }
  return std::nullopt;
}

}  // namespace host::sqlite
