// The few system calls with which init and demo handle files and folders:
// a rename that never replaces, the lock on a database's folder, syncs.
// Every other file of a database is SQLite's to handle.
#pragma once

#include <functional>
#include <string>

namespace kelhost {

// True unless looking up `path` said that nothing is there (see
// host::sqlite::NamesNoFile): a lookup that was forbidden may hide a file.
bool MayExist(const std::string& path);

// Renames `from` to `to` unless `to` exists: false with errno set when it
// could not (EEXIST when `to` exists). Where the file system has no such
// rename, a second link takes its place, which cannot replace either.
bool RenameIfFree(const std::string& from, const std::string& to);

// Makes the file's contents last; false, errno set, when that fails.
bool SyncFile(const std::string& path);

// A database's folder, open for as long as a database is built in it. A
// shared lock tells a later init or demo that temporary files in it may be
// in use; an exclusive one is tried only to remove stale ones. Where the
// folder may not be read or the file system has no such locks, nothing is
// removed and the build goes on without.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Removes the regular files of the folder whose names `stale` accepts,
  // unless another process holds the folder, then holds the shared lock.
  // It waits for the lock as long as a writer waits for a database: false,
  // with nothing removed, when another process held the folder throughout.
  bool RemoveThenHold(const std::function<bool(const std::string& name)>& stale);

  // Makes the renames in the folder last; false, errno set, when it fails.
  bool Sync();

 private:
  int fd_ = -1;
};

}  // namespace kelhost
