#include "host/sqlite/files/replacement.h"

#include "host/sqlite/errors.h"
#include "host/sqlite/files/ownership.h"
#include "host/sqlite/stand_in.h"
#include "host/sqlite/files/steps.h"

namespace host::sqlite {

Replacement::Replacement(const std::string& path) {
  if (!IsHostDatabase(ProbeFile(path).kind)) RaiseHost(hosterr::NotOwnDatabase, path);
  ReachStep(kStepProbed);
  // The file opened may not be the one probed: another process may have
  // put a file in its place meanwhile, a database or not (which SQLite
  // may refuse to open).
  FileKind kind = FileKind::NotSqlite;
  try {
    db_ = std::make_unique<Db>(path, Access::Write);
    kind = Inspect(*db_).kind;
  } catch (const rt::Error& e) {
    if (e.number() == hosterr::Busy || IsHostDatabase(ProbeFile(path).kind)) throw;
  }
  if (!IsHostDatabase(kind)) RaiseHost(hosterr::NotOwnDatabase, path);
}

Replacement::~Replacement() {
  try {
    Close();
  } catch (const rt::Error&) {
    // A caller that reports takes Close first.
  }
}

void Replacement::Close() {
  if (closed_) return;
  closed_ = true;
  ReachStep(kStepClosing);
  db_->Close();
}

int Replacement::PageSize() { return db_->PageSize(); }

bool Replacement::IsFileAt(const std::string& path) const { return db_->IsFileAt(path); }

void Replacement::CopyFrom(const std::string& source) {
  Db from(source, Access::Sealed);
  db_->CopyFrom(from);
}

}  // namespace host::sqlite
