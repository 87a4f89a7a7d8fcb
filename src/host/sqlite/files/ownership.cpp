#include "host/sqlite/files/ownership.h"

#include <map>
#include <string>
#include <vector>

#include "host/sqlite/files/steps.h"
#include "host/sqlite/store.h"
#include "platform/error.h"

namespace host::sqlite {

namespace {

// The stand-in's own tables, next to the host tables in the same file.
constexpr const char* kOwnTables =
    "CREATE TABLE IF NOT EXISTS \"_kelhost_session\" (\"key\" TEXT PRIMARY KEY, \"value\" TEXT NOT NULL);\n"
    "CREATE TABLE IF NOT EXISTS \"_kelhost_users\" (\"seq\" INTEGER PRIMARY KEY, \"name\" TEXT NOT NULL);\n"
    "CREATE TABLE IF NOT EXISTS \"_kelhost_settings\" (\"store\" TEXT NOT NULL, \"ukey\" TEXT NOT NULL,"
    " \"key\" TEXT NOT NULL, \"value\" TEXT NOT NULL, PRIMARY KEY (\"store\", \"ukey\"));\n"
    "CREATE TABLE IF NOT EXISTS \"_kelhost_persistvars\" (\"seq\" INTEGER PRIMARY KEY,"
    " \"name\" TEXT NOT NULL, \"uname\" TEXT NOT NULL UNIQUE, \"value\" TEXT NOT NULL,"
    " \"locked\" INTEGER NOT NULL DEFAULT 0);\n";

void CreateTables(Db& db, const Schema& schema) {
  Store(db, schema).CreateSchema();
  db.Exec(kOwnTables);
}

// The tables of a database with their column names in order.
using Layout = std::map<std::string, std::vector<std::string>>;

Layout LayoutOf(Db& db) {
  std::vector<std::string> tables;
  {
    Stmt s = db.Prepare(
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
    while (s.Step()) tables.push_back(s.Text(0));
  }
  Layout layout;
  for (const std::string& t : tables) {
    Stmt s = db.Prepare("SELECT name FROM pragma_table_info(?)");
    s.Bind(1, std::string_view(t));
    std::vector<std::string>& columns = layout[t];
    while (s.Step()) columns.push_back(s.Text(0));
  }
  return layout;
}

// The layout the stand-in creates, taken from a new database in memory.
const Layout& HostLayout() {
  static const Layout layout = [] {
    Db db(":memory:", Access::Memory);
    CreateTables(db, Schema::Default());
    return LayoutOf(db);
  }();
  return layout;
}

int64_t Pragma(Db& db, const char* name) {
  Stmt s = db.Prepare(std::string("PRAGMA ") + name);
  return s.Step() ? s.Int(0) : 0;
}

}  // namespace

FileProbe OfVersion(int32_t version) {
  return {version > kSchemaVersion ? FileKind::Newer : FileKind::Own, version};
}

FileProbe Inspect(Db& db) {
  // One read transaction: the mark, the schema version and the tables are
  // read from one committed state, so that a file being marked meanwhile
  // is seen marked or unmarked, never half of each.
  db.Exec("BEGIN");
  try {
    const auto app = static_cast<int32_t>(Pragma(db, "application_id"));
    ReachStep(kStepMarkRead);
    const auto version = static_cast<int32_t>(Pragma(db, "user_version"));
    FileProbe probe{FileKind::Foreign, version};
    if (app == kApplicationId) {
      probe = OfVersion(version);
    } else if (app == 0 && version == 0 && LayoutOf(db) == HostLayout()) {
      probe = {FileKind::Unmarked, 0};
    }
    db.Exec("COMMIT");
    return probe;
  } catch (...) {
    try {
      if (db.InTransaction()) db.Exec("ROLLBACK");
    } catch (const rt::Error&) {
      // What failed is reported, not the rollback after it.
    }
    throw;
  }
}

void MarkDatabase(Db& db, const Schema& schema) {
  CreateTables(db, schema);
  db.Exec("PRAGMA application_id = " + std::to_string(kApplicationId) +
          "; PRAGMA user_version = " + std::to_string(kSchemaVersion));
}

}  // namespace host::sqlite
