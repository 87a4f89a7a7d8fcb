// kelhost show DB [TABLE]: lists every row of a host table, under every
// master, in insertion order: a line of field names in schema order, then
// one line per row, tab-separated, texts escaped (show_format.h). The table
// name matches without regard to letter case. Without TABLE it lists the
// tables it shows, one a line, in schema order. An unknown table (the
// message names the tables there are) or a file that is not a kelhost
// database gives exit 2. The database is only read, with SQLite's locks
// like every reader, so that the listing is of committed records only: a
// read-only file, or one in a read-only folder, can be shown, unless SQLite
// would have to write to read it (see RunUnlessRefused), which gives exit
// 1, as does a writer that keeps the database locked beyond the busy wait.
#include <iostream>

#include "host/sqlite/errors.h"
#include "host/sqlite/stand_in.h"
#include "kelhost/command.h"
#include "kelhost/database.h"
#include "kelhost/host_call.h"
#include "kelhost/show_format.h"

namespace kelhost {

namespace {

int RunShow(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("show", "DB is missing");
  if (args.size() > 2) return UsageError("show", "too many arguments");
  const std::string& path = args[0];
  if (path.empty()) return UsageError("show", "no database given");
  int status = kExitOk;
  auto host = OpenDatabase("show", path, host::sqlite::OpenMode::ReadOnly, status);
  if (!host) return status;
  if (args.size() == 1) {
    for (const std::string& name : host->TableNames()) std::cout << name << "\n";
    return kExitOk;
  }
  const std::string& table = args[1];
  std::vector<std::string> names;
  try {
    names = host->FieldNames(table);
  } catch (const rt::Error& e) {
    if (e.number() != host::sqlite::hosterr::UnknownTable) throw;
    std::string tables;
    for (const std::string& name : host->TableNames()) tables += (tables.empty() ? "" : ", ") + name;
    PrintError("show: unknown table " + table + "; the tables are " + tables);
    return kExitUsage;
  }
  std::vector<host::sqlite::Row> rows;
  if (const int refused = RunUnlessRefused([&] { rows = host->Rows(table); }); refused != kExitOk) return refused;
  std::string line;
  for (size_t i = 0; i < names.size(); ++i) line += (i ? "\t" : "") + names[i];
  std::cout << line << "\n";
  for (const host::sqlite::Row& row : rows) {
    line.clear();
    for (size_t i = 0; i < row.fields.size(); ++i) {
      if (i) line += '\t';
      line += FormatShowValue(row.fields[i].second);
    }
    // A reader that went away (a closed pipe) ends the listing; main
    // reports the failed output.
    if (!(std::cout << line << "\n")) break;
  }
  return kExitOk;
}

}  // namespace

KELHOST_COMMAND({"show",
                 "DB [TABLE]",
                 "list every row of a host table, tab-separated; only reads the database",
                 {{"DB", "the database file"},
                  {"TABLE", "the table, letter case ignored (left out: the tables there are, one a line)"}},
                 RunShow});

}  // namespace kelhost
