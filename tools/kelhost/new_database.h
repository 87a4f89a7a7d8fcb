// How `init` and `demo` make a database: the policy (new_database.cpp);
// the temporary names are in temp_names.h, the system calls in
// file_system.h. The README's "Several processes on one database" gives
// the whole account as a user sees it.
//
// A new database is built whole in a temporary file beside `path`, closed
// and without log files (StandIn::Seal), before anything at `path` is
// touched. Then, where `path` is free, the file takes the name in one
// rename that never replaces; where `path` is a host database (demo), its
// content is replaced through SQLite's online backup, in one write
// transaction on the database's own file (host/sqlite/files/replacement.h):
// kelhost moves, renames or deletes no file of it. Once the database is in
// place, it is opened once more, as every command opens it, which leaves
// its log files "-wal" and "-shm" beside it for good (host/sqlite/db.h):
// a reader who may not write finds them. The temporary files are removed
// whatever happens.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/sqlite/stand_in.h"

namespace kelhost {

// The steps (host/sqlite/files/steps.h) of CreateWholeDatabase where another
// process may move a file to the database's name: the new database is
// built, and not yet written into the old one or given the name; the name
// was looked at again, and the copy into the old one's file is about to
// begin; the new database is written into the old one's file, and the
// name not yet looked at again.
inline constexpr const char* kStepBuilt = "creation: built";
inline constexpr const char* kStepCopying = "creation: copying";
inline constexpr const char* kStepCopied = "creation: copied";

// What CreateWholeDatabase did.
struct NewDatabase {
  enum Outcome {
    Created,  // the database is in place
    Refused,  // its name, the file there or the files beside it forbid it; nothing was changed
    Failed,   // the system, the build or a lock stood in the way; nothing was
              // changed, but where `problem` says what holds instead: the new
              // database took its name, and the folder could not be synced; or
              // it went into a file moved away meanwhile, and stays in that
              // file's log under the old name, which other processes kept
  };
  Outcome outcome = Failed;
  // Why not, in full and naming the database as given (never a temporary
  // file), with the system's reason where the system refused; printed
  // after "kelhost: <command>: ".
  std::string problem;
};

// Builds a database in the file `file`, made as `options` says
// (StandIn::Create, CreateSampleDatabase, and whatever else belongs in
// it; its errors name the database it is built for), and returns it
// complete, or null with `problem` set. It may raise.
using DatabaseBuild = std::function<std::shared_ptr<host::sqlite::StandIn>(
    const std::string& file, const host::sqlite::NewFileOptions& options, std::string& problem)>;

// Makes the database `path` with `build`, for `command` ("init", "demo"):
//  - with `replace` false only while `path` is free; any file there, even
//    one that came meanwhile, is refused ("exists already");
//  - with `replace` true also in place of a host database at `path`, which
//    is opened as every command opens it, confirmed on that connection and
//    written through it, with the new database made in its page size; any
//    other file there is refused, and so is one that takes the name while
//    it is written (after the write: it is left as it is).
// A missing `path` is never unlinked, so of two runs for one free `path`
// exactly one creates it; a run with `replace` that finds `path` taken
// meanwhile by a host database replaces that.
//
// Refused before anything is built or removed: a `path` named like a
// temporary file, one that is the name of a log file of an existing file
// ("x-wal" beside "x"), a missing `path` beside which such a log file
// lies, a host database beside which lies a file that SQLite did not
// write, a read-only one, and a name or full path too long (temp_names.h).
// Failed when the folder is missing or may not be written or entered,
// while another process keeps the folder locked or the database locked for
// writing (each after waiting as long as a writer waits), or when the build
// or the file system fails. Never raises.
NewDatabase CreateWholeDatabase(const std::string& command, const std::string& path, bool replace,
                                const DatabaseBuild& build);

}  // namespace kelhost
