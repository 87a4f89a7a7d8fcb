#include "host/sqlite/replacement.h"

#include "host/sqlite/errors.h"
#include "host/sqlite/ownership.h"
#include "host/sqlite/stand_in.h"
#include "host/sqlite/steps.h"

namespace host::sqlite {

Replacement::Replacement(const std::string& path) : path_(path) {
  if (!IsHostDatabase(ProbeFile(path).kind)) RaiseHost(hosterr::NotOwnDatabase, path);
  ReachStep(kStepProbed);
  db_ = std::make_unique<Db>(path, Access::Write);
  // The file opened may not be the one probed: another process may have
  // put a file in its place meanwhile.
  if (!IsHostDatabase(Inspect(*db_).kind)) RaiseHost(hosterr::NotOwnDatabase, path);
}

Replacement::~Replacement() {
  // SQLite leaves the log of a file that has moved as it is when the last
  // connection closes, under the name it had.
  if (db_->IsFileAt(path_)) return;
  try {
    db_->Exec("PRAGMA wal_checkpoint(TRUNCATE)");
  } catch (const rt::Error&) {
    // A reader of the moved file holds the log; it is left as SQLite leaves it.
  }
}

int Replacement::PageSize() { return db_->PageSize(); }

bool Replacement::IsFileAt(const std::string& path) const { return db_->IsFileAt(path); }

void Replacement::CopyFrom(const std::string& source) {
  Db from(source, Access::Inspect);
  db_->CopyFrom(from);
}

}  // namespace host::sqlite
