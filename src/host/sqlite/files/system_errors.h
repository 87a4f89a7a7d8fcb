// SQLite's default file layer, with the system's reason for its failures
// kept.
//
// SQLite reports a failed system call with a code of its own
// (SQLITE_IOERR_WRITE, SQLITE_FULL, SQLITE_CANTOPEN, ...) and offers the
// system's error number through sqlite3_system_errno. Its unix layer takes
// that number from errno only once the statement has ended, after later
// calls have changed it, and takes none at all for a full disk. So the
// layer here sits between SQLite and its default layer: it passes every
// call through unchanged and, when one fails, notes errno as the failed
// system call left it, for the thread that made the call.
//
// The layer that makes log files also gives each journal, log and index it
// opens the database file's group and mode, where this process owns it (or
// is root): SQLite's default layer makes them in the database's mode but
// as the making process's own, with its group, and a member of the
// database's group who made them would keep the database's owner from
// writing it; the log and its index stay (Db::KeepLogFiles), so the first
// to make them would decide for good.
//
// Only what opens files through SystemErrorsVfs() uses the layer; it is not
// made SQLite's default, so other users of SQLite in the process are not
// touched. Files opened through it are the default layer's own files, with
// all their locks and their bookkeeping of locks per file in the process.
#pragma once

#include <chrono>

struct sqlite3_vfs;

namespace host::sqlite {

// The layer, registered with SQLite under its name (vfs->zName, for
// sqlite3_open_v2) on the first call, once per process. SQLite's default
// layer, unchanged, when the layer could not be registered; null when
// SQLite could not start.
sqlite3_vfs* SystemErrorsVfs();

// The same layer for connections that must make no files beside the
// database: it opens SQLite's journal and write-ahead log only where they
// are, and never creates them (the log's index is kept from being made by
// the connection's "readonly_shm" parameter). Null when it could not be
// registered: such a connection then opens nothing, for SQLite's default
// layer would make the files.
sqlite3_vfs* SystemErrorsVfsMakingNoLogFiles();

// Forgets the reason noted on this thread, and whether the log's write
// lock was found taken (LogWriteLockWasTaken). Called before each call
// into SQLite whose failure may then be reported.
void ForgetSystemError();

// True when, since ForgetSystemError, a connection on this thread found
// the write lock of a database's write-ahead log held by another
// connection: a writer at work, who may be setting up the log's index.
bool LogWriteLockWasTaken();

// Ends the sleeps that SQLite takes between its own retries on this
// thread at `deadline`: once it has passed, a sleep returns at once, and
// SQLite soon gives up. A default-constructed time point: no end.
void SetSleepDeadline(std::chrono::steady_clock::time_point deadline);

// errno as the first failure on this thread since ForgetSystemError left
// it: of opening a file, an I/O error (reading past the end of a file,
// which SQLite expects, and deleting a file that is not there are none)
// or a full disk. 0 when none failed, or the failure set no errno.
int SystemError();

}  // namespace host::sqlite
