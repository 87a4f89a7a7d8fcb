#include "host/sqlite/replacement.h"

#include "host/sqlite/errors.h"
#include "host/sqlite/ownership.h"
#include "host/sqlite/stand_in.h"

namespace host::sqlite {

Replacement::Replacement(const std::string& path) {
  if (!IsHostDatabase(ProbeFile(path).kind)) RaiseHost(hosterr::NotOwnDatabase, path);
  db_ = std::make_unique<Db>(path, Access::Write);
  // The file opened may not be the one probed: another process may have
  // put a file in its place meanwhile.
  if (!IsHostDatabase(Inspect(*db_).kind)) RaiseHost(hosterr::NotOwnDatabase, path);
}

int Replacement::PageSize() { return db_->PageSize(); }

bool Replacement::IsFileAt(const std::string& path) const { return db_->IsFileAt(path); }

void Replacement::CopyFrom(const std::string& source) {
  Db from(source, Access::Inspect);
  db_->CopyFrom(from);
}

}  // namespace host::sqlite
