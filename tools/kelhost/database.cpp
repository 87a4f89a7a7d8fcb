#include "kelhost/database.h"

#include "kelhost/command.h"

namespace kelhost {

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
    case FileKind::Unreadable:
      return "cannot be read";
    case FileKind::Empty:
      return "is an empty file, not a kelhost database";
    case FileKind::NotSqlite:
      return "is not a kelhost database (not an SQLite database, or a damaged one)";
    case FileKind::Foreign:
      return "is another program's SQLite database, not a kelhost database";
    case FileKind::Newer:
      return "is a kelhost database of the newer schema version " + std::to_string(probe.schemaVersion) +
             " (this kelhost knows version " + std::to_string(host::sqlite::kSchemaVersion) + ")";
  }
  return "is not a kelhost database";
}

std::shared_ptr<host::sqlite::StandIn> OpenDatabase(const std::string& command, const std::string& path,
                                                    host::sqlite::OpenMode mode) {
  const host::sqlite::FileProbe probe = host::sqlite::ProbeFile(path);
  if (!host::sqlite::IsHostDatabase(probe.kind)) {
    PrintError(command + ": " + path + " " + DescribeFile(probe));
    return nullptr;
  }
  return host::sqlite::StandIn::Open(path, mode);
}

}  // namespace kelhost
