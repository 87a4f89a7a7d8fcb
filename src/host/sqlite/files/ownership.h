// How the stand-in knows its own database files: SQLite's application_id
// holds kApplicationId and user_version the schema version. Files made
// before databases were marked carry neither; one that has exactly the
// stand-in's tables (names and columns) is taken as the stand-in's and
// marked on its first write.
#pragma once

#include <cstdint>

#include "host/sqlite/db.h"
#include "host/sqlite/schema.h"
#include "host/sqlite/stand_in.h"

namespace host::sqlite {

// "KelH".
inline constexpr int32_t kApplicationId = 0x4B656C48;

// The step (steps.h) inside Inspect's read transaction, after the mark was
// read and before the rest: a file marked meanwhile is not seen marked.
inline constexpr const char* kStepMarkRead = "ownership: mark read";

// What the open database `db` is: Own, Unmarked, Foreign or Newer, all read
// in one read transaction (`db` may not be in one).
FileProbe Inspect(Db& db);

// What a database marked as the stand-in's, of schema version `version`,
// is: Own, or Newer than this stand-in knows.
FileProbe OfVersion(int32_t version);

// Creates whatever is missing of the stand-in's tables and indexes and
// marks the database as the stand-in's, at kSchemaVersion. Runs inside a
// write transaction.
void MarkDatabase(Db& db, const Schema& schema);

}  // namespace host::sqlite
