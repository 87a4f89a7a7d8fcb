// A thin layer over one SQLite connection: prepared statements kept for
// reuse, typed binding and reading, nested transactions. Every SQLite
// failure is raised as the host's storage error.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace host::sqlite {

class Db;

// One use of a cached prepared statement; resets it when the use ends.
class Stmt {
 public:
  Stmt(Db& db, sqlite3_stmt* s) : db_(&db), s_(s) {}
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  ~Stmt();

  // Parameters count from 1.
  Stmt& Bind(int i, int64_t v);
  Stmt& Bind(int i, double v);
  Stmt& Bind(int i, std::string_view v);
  Stmt& BindNull(int i);

  // Steps once; true while a row is available.
  bool Step();
  // Steps to the end (for statements without rows).
  void Run();

  bool IsNull(int col) const;
  int64_t Int(int col) const;
  double Real(int col) const;
  std::string Text(int col) const;

 private:
  Db* db_;
  sqlite3_stmt* s_;
};

class Db {
 public:
  // Opens or creates the database; files get WAL and synchronous=NORMAL.
  explicit Db(const std::string& path);
  ~Db();
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  // A statement prepared once per SQL text and kept for later uses.
  Stmt Prepare(const std::string& sql);
  // Runs SQL without parameters (may hold several statements).
  void Exec(const std::string& sql);
  int64_t Changes() const;
  [[noreturn]] void Fail() const;  // raises the connection's last error

 private:
  friend class Stmt;
  sqlite3* db_ = nullptr;
  std::unordered_map<std::string, sqlite3_stmt*> cache_;
};

// A nested transaction (a savepoint): Commit keeps the changes; leaving
// the scope without Commit rolls them back.
class Transaction {
 public:
  explicit Transaction(Db& db);
  ~Transaction();
  void Commit();

 private:
  Db& db_;
  bool done_ = false;
};

}  // namespace host::sqlite
