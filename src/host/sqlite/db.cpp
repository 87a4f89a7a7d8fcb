#include "host/sqlite/db.h"

#include <sqlite3.h>

#include "host/sqlite/errors.h"

namespace host::sqlite {

// --- Stmt --------------------------------------------------------------------------

Stmt::~Stmt() {
  sqlite3_reset(s_);
  sqlite3_clear_bindings(s_);
}

Stmt& Stmt::Bind(int i, int64_t v) {
  if (sqlite3_bind_int64(s_, i, v) != SQLITE_OK) db_->Fail();
  return *this;
}

Stmt& Stmt::Bind(int i, double v) {
  if (sqlite3_bind_double(s_, i, v) != SQLITE_OK) db_->Fail();
  return *this;
}

Stmt& Stmt::Bind(int i, std::string_view v) {
  if (sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT) != SQLITE_OK)
    db_->Fail();
  return *this;
}

Stmt& Stmt::BindNull(int i) {
  if (sqlite3_bind_null(s_, i) != SQLITE_OK) db_->Fail();
  return *this;
}

bool Stmt::Step() {
  int rc = sqlite3_step(s_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  db_->Fail();
}

void Stmt::Run() {
  while (Step()) {
  }
}

bool Stmt::IsNull(int col) const { return sqlite3_column_type(s_, col) == SQLITE_NULL; }
int64_t Stmt::Int(int col) const { return sqlite3_column_int64(s_, col); }
double Stmt::Real(int col) const { return sqlite3_column_double(s_, col); }

std::string Stmt::Text(int col) const {
  const unsigned char* p = sqlite3_column_text(s_, col);
  if (!p) return {};
  return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(s_, col)));
}

// --- Db ----------------------------------------------------------------------------

Db::Db(const std::string& path) {
  int rc = sqlite3_open_v2(path.c_str(), &db_,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    RaiseHost(hosterr::Storage, path + ": " + msg);
  }
  // Another program (the sqlite3 shell) may hold the file for a moment.
  sqlite3_busy_timeout(db_, 5000);
  try {
    if (path != ":memory:" && !path.empty()) Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

Db::~Db() {
  for (auto& [sql, s] : cache_) sqlite3_finalize(s);
  sqlite3_close(db_);
}

Stmt Db::Prepare(const std::string& sql) {
  auto it = cache_.find(sql);
  if (it != cache_.end()) return Stmt(*this, it->second);
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &s,
                         nullptr) != SQLITE_OK)
    Fail();
  cache_.emplace(sql, s);
  return Stmt(*this, s);
}

void Db::Exec(const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "";
    sqlite3_free(err);
    RaiseHost(hosterr::Storage, msg);
  }
}

int64_t Db::Changes() const { return sqlite3_changes64(db_); }

void Db::Fail() const { RaiseHost(hosterr::Storage, sqlite3_errmsg(db_)); }

// --- Transaction -------------------------------------------------------------------

Transaction::Transaction(Db& db) : db_(db) { db_.Exec("SAVEPOINT kelhost"); }

Transaction::~Transaction() {
  if (done_) return;
  try {
    db_.Exec("ROLLBACK TO kelhost; RELEASE kelhost");
  } catch (...) {
    // The rollback of a failed step cannot itself be reported.
  }
}

void Transaction::Commit() {
  db_.Exec("RELEASE kelhost");
  done_ = true;
}

}  // namespace host::sqlite
