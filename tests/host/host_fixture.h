// A stand-in host on an in-memory database, for the host tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/application.h"
#include "host/sqlite/stand_in.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/variant.h"

namespace host_test {

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
  // With `sample`, the database holds the sample data of `kelhost init --sample`.
  void Open(bool sample) {
    host = host::sqlite::StandIn::Open(":memory:");
    if (sample) host->LoadSampleData();
    app = host->Application();
    db = app->Database();
    conn = db->Connection();
  }
  void SetUp() override {
    rt::SetToday(rt::DateSerial(2026, 3, 10));
    Open(true);
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
  // Prepares and inserts a record with the given text values.
  static void InsertNew(const std::shared_ptr<host::DbTable>& t,
                        const std::vector<std::pair<std::string, rt::Variant>>& values) {
    t->SetValues(t->NewValues(0));
    for (const auto& [f, v] : values) Put(t, f, v);
    t->Insert(256);
  }
  std::shared_ptr<host::sqlite::StandIn> host;
  std::shared_ptr<host::HostApplication> app;
  std::shared_ptr<host::HostDatabase> db;
  std::shared_ptr<host::DbConnection> conn;
};

}  // namespace host_test
