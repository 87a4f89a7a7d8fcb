// Helpers of the tests that look at database files from outside the
// stand-in host: SQL run straight on a file, and what a folder holds.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace test_files {

// Runs SQL on the file with a connection of its own.
inline void Sql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* err = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
  EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
  sqlite3_free(err);
  sqlite3_close(db);
}

// Runs `sql` on `path` in a process that then ends as if killed, having
// closed nothing: what it committed in WAL lives in the log alone.
inline void KilledWriter(const std::string& path, const char* sql) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    sqlite3* w = nullptr;
    sqlite3_open(path.c_str(), &w);
    sqlite3_exec(w, sql, nullptr, nullptr, nullptr);
    ::_exit(0);
  }
  ::waitpid(pid, nullptr, 0);
}

// The first column of a query's rows, as text, read through a read-only
// connection.
inline std::vector<std::string> Query(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  std::vector<std::string> rows;
  EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* s = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  while (s && sqlite3_step(s) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(s, 0);
    rows.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
  }
  sqlite3_finalize(s);
  sqlite3_close(db);
  return rows;
}

// A connection of the test's own that stays open; every statement must
// succeed.
class Connection {
 public:
  explicit Connection(const std::string& path) { EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK); }
  ~Connection() { sqlite3_close(db_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  void Exec(const std::string& sql) {
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
  }
  std::string One(const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
    std::string value = s && sqlite3_step(s) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(s, 0)) : "";
    sqlite3_finalize(s);
    return value;
  }

 private:
  sqlite3* db_ = nullptr;
};

// The names `names` with the log files that kelhost keeps beside a
// database ("-wal" and "-shm") for each of `databases`.
inline std::set<std::string> WithKeptLogs(std::set<std::string> names, const std::set<std::string>& databases) {
  for (const std::string& db : databases) names.insert({db, db + "-wal", db + "-shm"});
  return names;
}

// Removes the log files that kelhost keeps beside a database that no
// process has open (an empty log and its index), as another program's
// last connection does.
inline void RemoveKeptLogFiles(const std::string& path) {
  EXPECT_EQ(std::filesystem::file_size(path + "-wal"), 0u) << path;
  std::filesystem::remove(path + "-wal");
  std::filesystem::remove(path + "-shm");
}

// The names in a folder.
inline std::set<std::string> Listing(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

}  // namespace test_files
