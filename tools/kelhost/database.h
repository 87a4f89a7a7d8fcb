// How kelhost opens the database file a command names. Only `init` and
// `demo` make databases (new_database.h); every other command opens
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
// "kelhost: <command>: <path> ..." on standard error and gives null, with
// `status` kExitUsage; a file the host refuses as it opens it (locked
// beyond the busy wait, unreadable without writing: see RunUnlessRefused)
// gives null with that status. The command then ends with `status`.
std::shared_ptr<host::sqlite::StandIn> OpenDatabase(const std::string& command, const std::string& path,
                                                    host::sqlite::OpenMode mode, int& status);

// The commands that store one named text in a database (`setting`,
// `persist`): `args` must be DB NAME VALUE with a name that is not empty;
// `store` then stores VALUE under NAME. kExitOk when stored, kExitUsage
// (after printing the problem) for bad arguments or a file that is not a
// host database; when the host refused the write, the status and message
// every writing command gives (see RunUnlessRefused).
using NamedTextStore = void (*)(host::sqlite::StandIn& host, const std::string& name, const std::string& value);
int StoreNamedText(const std::string& command, const std::vector<std::string>& args, NamedTextStore store);

// Why access(W_OK) refused the file `command` writes to, after its name:
// `readOnly` ("is read-only") where the modes or the file system forbid
// writing, "does not exist" where the file has gone since it was probed.
std::string Unwritable(const std::string& command, int error, const char* readOnly);

// What a file that is not a host database is, after its name: "is an empty
// file", "is another program's SQLite database", ...
std::string DescribeFile(const host::sqlite::FileProbe& probe);

}  // namespace kelhost
