#include "kelhost/database.h"

#include <cerrno>
#include <cstring>

#include "host/sqlite/files/write_access.h"
#include "kelhost/command.h"
#include "kelhost/host_call.h"

namespace kelhost {

std::string Unwritable(const std::string& command, int error, const char* readOnly) {
  if (error == ENOENT) return "does not exist";
  const std::string reason =
      error == EACCES || error == EPERM || error == EROFS ? std::string(readOnly)
                                                          : std::string("cannot be written (") + std::strerror(error) + ")";
  return reason + "; " + command + " writes to it";
}

std::string DescribeFile(const host::sqlite::FileProbe& probe) {
  using host::sqlite::FileKind;
  switch (probe.kind) {
    case FileKind::Own:
    case FileKind::Unmarked:
      return "is a kelhost database";
    case FileKind::Missing:
      return "does not exist";
    case FileKind::NotAFile:
      return "is a folder or another special file, not a kelhost database";
    case FileKind::Link:
      return "is a symbolic link; kelhost takes only the database file itself";
    case FileKind::Unreadable:
      return "cannot be read";
    case FileKind::Empty:
      return "is an empty file, not a kelhost database";
    case FileKind::NotSqlite:
      return "is not a kelhost database (not an SQLite database, or a damaged one)";
    case FileKind::Foreign:
      return "is another program's SQLite database, not a kelhost database";
    case FileKind::StrayLog:
      if (probe.strayByOtherUser)
        return "has " + probe.stray + " beside it, which " + probe.strayIs +
               "; SQLite would take it for the database's own log file and apply what it holds to the database, so "
               "kelhost leaves both alone";
      return "has " + probe.stray + " beside it, which " + probe.strayIs +
             "; SQLite would take it for the database's log and delete or overwrite it on opening the database, so "
             "kelhost leaves both alone";
    case FileKind::UnreadableIndex:
      return "has its log's index " + probe.stray + " beside it, which this user may not read (" + probe.strayIs +
             "); SQLite reads a database in WAL mode only through that index";
    case FileKind::Newer:
      return "is a kelhost database of the newer schema version " + std::to_string(probe.schemaVersion) +
             " (this kelhost knows version " + std::to_string(host::sqlite::kSchemaVersion) + ")";
  }
  return "is not a kelhost database";
}

std::shared_ptr<host::sqlite::StandIn> OpenDatabase(const std::string& command, const std::string& path,
                                                    host::sqlite::OpenMode mode, int& status) {
  host::sqlite::FileProbe probe{host::sqlite::FileKind::Missing};
  status = RunUnlessRefused([&] { probe = host::sqlite::ProbeFile(path); });
  if (status != kExitOk) return nullptr;
  status = kExitUsage;
  if (!host::sqlite::IsHostDatabase(probe.kind)) {
    PrintError(command + ": " + path + " " + DescribeFile(probe));
    return nullptr;
  }
  if (mode == host::sqlite::OpenMode::ReadWrite) {
    // The file may have gone since the probe (a concurrent demo replaces
    // it): each refusal names its real reason.
    const host::sqlite::WriteAccess access = host::sqlite::CheckWriteAccess(path);
    if (!access.granted()) {
      const bool file = access.refused == host::sqlite::WriteAccess::File;
      PrintError(command + ": " + path + " " +
                 Unwritable(command, access.error, file ? "is read-only" : "lies in a read-only folder"));
      return nullptr;
    }
  }
  std::shared_ptr<host::sqlite::StandIn> host;
  status = RunUnlessRefused([&] { host = host::sqlite::StandIn::Open(path, mode); });
  return host;
}

int StoreNamedText(const std::string& command, const std::vector<std::string>& args, NamedTextStore store) {
  if (args.size() != 3 || args[0].empty() || args[1].empty())
    return UsageError(command, args.size() != 3 ? "expects DB NAME VALUE"
                               : args[0].empty() ? "no database given"
                                                 : "the name is empty");
  int status = kExitOk;
  std::shared_ptr<host::sqlite::StandIn> host =
      OpenDatabase(command, args[0], host::sqlite::OpenMode::ReadWrite, status);
  if (!host) return status;
  return RunUnlessRefused([&] {
    store(*host, args[1], args[2]);
    host->Close();
  });
}

}  // namespace kelhost
