// Whether this process may write a database file: the one answer that
// every part asks (which connection SQLite opens, which commands refuse a
// file up front, whether demo may replace it).
#pragma once

#include <string>

namespace host::sqlite {

// What of a database file this process may not write.
struct WriteAccess {
  enum What {
    Granted,  // the file and its folder may be written
    File,     // the file may not (or is not there: see error)
    Folder,   // its folder may not, where SQLite makes the log files
  };
  What refused = Granted;
  int error = 0;  // access()'s errno for what was refused
  bool granted() const { return refused == Granted; }
};

// May this process write the database `path`: the file itself, and the
// folder it lies in ("." for a name without one), where SQLite creates its
// journal, or its log and the log's index. As access(W_OK) answers for the
// process's real user and groups: modes, a read-only file system, root.
WriteAccess CheckWriteAccess(const std::string& path);

}  // namespace host::sqlite
