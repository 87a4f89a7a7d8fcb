// How kelhost opens the database file a command names. Only `init` and
// `demo` make databases (CreateWholeDatabase); every other command opens
// the file without writing anything at open and refuses a file that is not
// a host database (see host::sqlite::ProbeFile), leaving it as it is.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/sqlite/stand_in.h"

namespace kelhost {

// Opens `path` for `command` ("show", "debitor", ...). A file that is not a
// host database, or (for ReadWrite) one that this process may not write or
// that lies in a folder where it may not create files, is reported as
// "kelhost: <command>: <path> ..." on standard error and gives null; the
// command then ends with kExitUsage.
std::shared_ptr<host::sqlite::StandIn> OpenDatabase(const std::string& command, const std::string& path,
                                                    host::sqlite::OpenMode mode);

// The commands that store one named text in a database (`setting`,
// `persist`): `args` must be DB NAME VALUE with a name that is not empty;
// `store` then stores VALUE under NAME. kExitOk when stored, kExitUsage
// (after printing the problem) for bad arguments or a file that is not a
// host database; when the host refused the write, the status and message
// every writing command gives (see RunUnlessRefused).
using NamedTextStore = void (*)(host::sqlite::StandIn& host, const std::string& name, const std::string& value);
int StoreNamedText(const std::string& command, const std::vector<std::string>& args, NamedTextStore store);

// --- New databases ----------------------------------------------------------------
// A new database appears whole or not at all. It is built in a temporary
// file in the same folder, named after it: "<DB>.kelhost-tmp-" and six
// letters or digits (SQLite's "-wal" and "-shm" files lie beside it while
// it is built). Only once the database is complete, closed and synced does
// it take its name (and the folder is synced after that). A run that is
// killed leaves no DB or a complete one, and perhaps such temporary files,
// which block nothing: the next run for the same DB removes them (the
// files of exactly that pattern, nothing else), unless a database is being
// built in the same folder at that moment or the folder cannot be listed.

// What CreateWholeDatabase did.
struct NewDatabase {
  enum Outcome {
    Created,  // the database is in place
    Taken,    // `path` is taken (see CreateWholeDatabase); nothing was changed
    Refused,  // its name or the files beside it forbid `path`; nothing was changed
    Failed,   // `build` failed, or the folder stayed locked; nothing was changed
  };
  Outcome outcome = Failed;
  std::string problem;  // why: for Taken to stand after the path, for
                        // Refused and Failed on its own
};

// Builds the database `path`: `build` makes it (StandIn::Create,
// CreateSampleDatabase) under the file name it is given and returns it
// complete, or null with `problem` set. The database is then sealed
// (StandIn::Seal) and synced, and takes its name:
//  - with `replace` false only while `path` is free; a file there, even one
//    that came meanwhile, is Taken ("exists already");
//  - with `replace` true in place of a host database at `path` (with its
//    -wal, -shm and -journal files); any other file there is Taken
//    (DescribeFile), and so is one that came meanwhile where none was.
// A missing `path` is never unlinked, so of two runs for one free `path`
// exactly one creates it. Refused, before anything is built or removed
// (and asked again before the new file takes its name): a `path` named
// like a temporary file (which a later run would remove), and a missing
// `path` beside which a -wal, -shm or -journal file lies (not ours to
// delete, and SQLite would take it for the new database's log). Failed,
// after trying as long as a writer waits for the database, while another
// process locks the folder. Raises when the folder cannot take the file (a
// missing or read-only folder, a failed write or sync); the temporary
// files are removed whatever happens.
using DatabaseBuild =
    std::function<std::shared_ptr<host::sqlite::StandIn>(const std::string& file, std::string& problem)>;
NewDatabase CreateWholeDatabase(const std::string& path, bool replace, const DatabaseBuild& build);

// What a file that is not a host database is, after its name: "is an empty
// file", "is another program's SQLite database", ...
std::string DescribeFile(const host::sqlite::FileProbe& probe);

}  // namespace kelhost
