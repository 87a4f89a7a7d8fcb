// How `init` and `demo` make a database: every decision they take about
// files lies here (new_database.cpp, with why each step stands where it
// does).
//
// A new database appears whole or not at all. It is built in a temporary
// file in the same folder, named after it: "<DB>.kelhost-tmp-" and six
// letters or digits, where DB is the database's file name, cut short
// where the temporary file's name or full path would be too long for the
// file system or for SQLite. SQLite's "-wal", "-shm" and "-journal" files
// lie beside it while it is built. Only once the database is complete,
// closed and synced does it take its name, in one rename (the folder is
// synced after that). A run that is killed leaves no DB, the old one or a
// complete new one, and perhaps such temporary files, which block nothing:
// the next run for the same DB removes them (the files of exactly that
// pattern, nothing else), unless a database is being built in the same
// folder at that moment or the folder cannot be listed.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/sqlite/stand_in.h"

namespace kelhost {

// What CreateWholeDatabase did.
struct NewDatabase {
  enum Outcome {
    Created,  // the database is in place
    Refused,  // its name, the file there or the files beside it forbid it; nothing was changed
    Failed,   // the system, the build or a lock stood in the way; nothing was changed
  };
  Outcome outcome = Failed;
  // Why not, in full and naming the database as given (never a temporary
  // file), with the system's reason where the system refused; printed
  // after "kelhost: <command>: ".
  std::string problem;
};

// Builds a database under the file name it is given (StandIn::Create,
// CreateSampleDatabase, and whatever else belongs in it) and returns it
// complete, or null with `problem` set. It may raise.
using DatabaseBuild =
    std::function<std::shared_ptr<host::sqlite::StandIn>(const std::string& file, std::string& problem)>;

// Makes the database `path` with `build`, then seals (StandIn::Seal) and
// syncs it and gives it its name:
//  - with `replace` false only while `path` is free; any file there, even
//    one that came meanwhile, is refused ("exists already");
//  - with `replace` true also in place of a host database at `path`, with
//    the log files SQLite keeps beside it; any other file there is refused,
//    and so is one that comes in its place while the new database is
//    built or takes its name (on file systems that can exchange two names
//    in one step; elsewhere the last look is just before the rename).
// When the old database cannot be replaced (a log file of it that may not
// be moved), it stays at `path`, byte for byte, with its log files, and
// the outcome is Failed. A new database never stands at `path` beside the
// old one's log files. A missing `path` is never unlinked, so of two runs
// for one free `path` exactly one creates it, and a run with `replace`
// that finds `path` taken meanwhile by a host database replaces that.
//
// Refused before anything is built or removed, and asked again before the
// new file takes its name: a `path` named like a temporary file (a later
// run would remove it), a `path` that is the name of a log file of an
// existing file ("x-wal" beside "x": SQLite would delete it), a missing
// `path` beside which such a log file lies, a host database beside which a
// file lies that SQLite did not write (host::sqlite::FindStrayLogFile),
// and a name or full path too long for a database that the other commands
// can open or for its temporary file (the problem says how long it may
// be). Failed when the folder is missing or may not be written or
// entered, while another process keeps the folder locked (after trying as
// long as a writer waits for the database), or when the build or the file
// system fails. The temporary files are removed whatever happens. Never
// raises.
NewDatabase CreateWholeDatabase(const std::string& path, bool replace, const DatabaseBuild& build);

}  // namespace kelhost
