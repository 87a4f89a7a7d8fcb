#include "kelhost/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "host/sqlite/db.h"
#include "host/sqlite/files/file_probe.h"

namespace kelhost {

bool MayExist(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) return true;
  return !host::sqlite::NamesNoFile(errno);
}

bool RenameIfFree(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

bool SyncFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  errno = error;
  return synced;
}

FolderLock::FolderLock(const std::string& folder) {
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool FolderLock::RemoveThenHold(const std::function<bool(const std::string& name)>& stale) {
  if (fd_ < 0) return true;
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    // A descriptor of its own, which closedir closes; where fdopendir
    // fails, it is closed here.
    const int listed = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    DIR* dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (dir) {
      while (const dirent* e = ::readdir(dir)) {
        struct stat st {};
        if (stale(e->d_name) && ::fstatat(fd_, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
          ::unlinkat(fd_, e->d_name, 0);
      }
      ::closedir(dir);
    } else if (listed >= 0) {
      ::close(listed);
    }
  }
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(host::sqlite::Db::kDefaultBusyWaitMs);
  while (::flock(fd_, LOCK_SH | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return true;  // no such locks here: on without
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool FolderLock::Sync() { return fd_ < 0 || ::fsync(fd_) == 0; }

}  // namespace kelhost
