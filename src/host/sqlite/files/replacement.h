// Replacing a host database whole by another through SQLite's online
// backup: the new database's pages are written into the old database's
// own file, in one write transaction on it. SQLite's journal or
// write-ahead log keeps that atomic, as it does every other write: other
// connections see the old database or the new one whole, a process killed
// meanwhile leaves the old one with every committed transaction, and no
// file is moved, renamed or deleted, neither the database nor the files
// beside it.
#pragma once

#include <memory>
#include <string>

#include "host/sqlite/db.h"

namespace host::sqlite {

// The steps (steps.h) where another process may put a file in the path's
// place: between the look at the file at the path and its opening; and
// after the copy, as the connection is about to close.
inline constexpr const char* kStepProbed = "replacement: probed";
inline constexpr const char* kStepClosing = "replacement: closing";

class Replacement {
 public:
  // Opens the host database `path` for writing, as StandIn::Open does (the
  // files beside it are looked at first; see ProbeFile), and confirms on
  // that connection that it is a host database: raises NotOwnDatabase when
  // it is not, the storage error when it cannot be opened. Writes nothing.
  explicit Replacement(const std::string& path);
  // Closes the database (Close, unless taken before).
  ~Replacement();

  // Reaches kStepClosing, then takes the connection's close path
  // (Db::Close): what the write-ahead log holds goes into the file opened,
  // wherever it now is, and the log is left empty, for SQLite finds a
  // database's log by name and would take it for the log of a file that
  // has the name by then. Raises FileMoved where the file has moved and
  // other connections kept its log beyond the busy wait.
  void Close();

  // The database's page size. A database in WAL takes a copy only of its
  // own page size, so the new one is made with it (NewFileOptions).
  int PageSize();

  // True when `path` names the file opened (device and inode).
  bool IsFileAt(const std::string& path) const;

  // Writes the whole database file `source` (complete, with no log beside
  // it, as StandIn::Seal leaves it, and written by no other process) into
  // the opened file in one write
  // transaction, waiting for another writer as long as a write does (then
  // hosterr::Busy). When it raises, the opened database is as it was.
  // `source` is only read.
  void CopyFrom(const std::string& source);

 private:
  std::unique_ptr<Db> db_;
  bool closed_ = false;
};

}  // namespace host::sqlite
