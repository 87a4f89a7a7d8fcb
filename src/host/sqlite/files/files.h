// The stand-in's care of the files on disk: the database file, and the
// files SQLite keeps beside it. Everything here sits between a command
// and SQLite's file layer; the object model above it never sees a path.
//
// What it guarantees, to every command and whoever runs it:
//   - A file that is not the stand-in's own is left byte for byte as it is:
//     before SQLite opens a name, ProbeFile (file_probe.h) tells what lies
//     there, and the names beside it that SQLite would take for its log
//     files are looked at first (log_files.h, by the rules of
//     log_file_rules.h). Only what SQLite itself writes there, from a user
//     who may write the database, is taken; anything else is refused.
//   - The stand-in's own databases carry a mark (ownership.h), read in one
//     read transaction.
//   - Whether this process may write a database is one answer
//     (write_access.h); a process that may not reads through SQLite's
//     read-only connection and makes no file beside the database.
//   - A database in WAL mode keeps its log and the log's index beside it,
//     in the database's group and mode (system_errors.h, Db::KeepLogFiles),
//     so that a reader who may not write always finds them.
//   - A database replaced whole goes through SQLite's online backup, in one
//     write transaction on the file's own connection (replacement.h); a
//     file moved away while it is written gets the write whole or nothing
//     of it, and the file that took its name gets nothing (Db::Close).
//   - SQLite's failures carry the system's reason (system_errors.h).
//   - Every moment where another process may change a file is a named step
//     (steps.h), where a test stops the process to change files there.
#pragma once

#include "host/sqlite/files/file_probe.h"
#include "host/sqlite/files/log_files.h"
#include "host/sqlite/files/ownership.h"
#include "host/sqlite/files/replacement.h"
#include "host/sqlite/files/steps.h"
#include "host/sqlite/files/system_errors.h"
#include "host/sqlite/files/write_access.h"
