// A stand-in host on an in-memory database holding the sample data of
// `kelhost init --sample`, for the host tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/application.h"
#include "host/sqlite/errors.h"
#include "host/sqlite/stand_in.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/variant.h"

namespace host_test {

namespace hosterr = host::sqlite::hosterr;
using Strings = std::vector<std::string>;

// The error number a call raises; 0 when it raises none.
template <class F>
int32_t ErrorOf(F&& f) {
  try {
    f();
  } catch (const rt::Error& e) {
    return e.number();
  }
  return 0;
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetToday(rt::DateSerial(2026, 3, 10));
    host = host::sqlite::StandIn::OpenInMemory();
    host->LoadSampleData();
    app = host->Application();
    db = app->Database();
    conn = db->Connection();
  }
  void TearDown() override { rt::SetToday(std::nullopt); }

  std::shared_ptr<host::DbTable> Table(const std::string& name) { return conn->Table(name); }
  static rt::Variant Get(const std::shared_ptr<host::DbTable>& t, const std::string& field) {
    return t->Fields()->Item(field)->Value();
  }
  static void Put(const std::shared_ptr<host::DbTable>& t, const std::string& field, const rt::Variant& v) {
    t->Fields()->Item(field)->SetValue(v);
  }
  static std::string Text(const std::shared_ptr<host::DbTable>& t, const std::string& field) {
    return rt::CStr(Get(t, field));
  }
  // A field of every record of the view, from MoveFirst to end of file.
  static Strings Walk(const std::shared_ptr<host::DbTable>& t, const std::string& field) {
    Strings out;
    for (t->MoveFirst(256); !t->Eof(); t->Move(1, 256)) out.push_back(Text(t, field));
    return out;
  }
  // Prepares and inserts a record with the given values.
  static void InsertNew(const std::shared_ptr<host::DbTable>& t,
                        const std::vector<std::pair<std::string, rt::Variant>>& values) {
    t->SetValues(t->NewValues(0));
    for (const auto& [f, v] : values) Put(t, f, v);
    t->Insert(256);
  }
  // A field of every record of a table, read back through the harness.
  Strings Column(const std::string& table, const std::string& field) {
    Strings out;
    for (const auto& row : host->Rows(table)) out.push_back(rt::CStr(row[field]));
    return out;
  }

  std::shared_ptr<host::sqlite::StandIn> host;
  std::shared_ptr<host::HostApplication> app;
  std::shared_ptr<host::HostDatabase> db;
  std::shared_ptr<host::DbConnection> conn;
};

// A database file name in the temp folder, unique to this process and
// name; its files are removed at the end of the scope.
class TempDatabase {
 public:
  explicit TempDatabase(const std::string& name)
      : path_((std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()) + ".db"))
                  .string()) {}
  ~TempDatabase() {
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path_ + suffix, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace host_test
