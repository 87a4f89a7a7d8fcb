// Shared fixture of the core tests: a fresh stand-in host on an in-memory
// database, a fixed today, the scripted UI service (ui_; OK-only boxes are
// answered and recorded, questions need a queued answer), and the process-wide
// state as a working entry call of a living CKT object leaves it (gApp and
// gDB bound to the stand-in, a reporter in gAddonError, everything else
// empty). Every test starts and ends with that state reset.
//
// The fixtures of the add-on's other suites derive from it too and share its
// helpers: records read back (Rows, Only, ExpectFields, Count), message
// boxes compared whole (BoxesFrom), field values built by name (Merge).
//
// Suites derive a class of their own name from CoreTest:
//   class CoreConfig : public coretest::CoreTest {};
//   TEST_F(CoreConfig, ...) { ... host_->SetDatabaseSetting(...); ... Boxes()[0].prompt ... }
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/addon_error.h"
#include "core/globals.h"
#include "host/sqlite/stand_in.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/object.h"
#include "platform/ui/scripted_service.h"
#include "platform/ui/service.h"
#include "platform/variant.h"

namespace coretest {

// Empties every process-wide variable of the add-on.
inline void ResetGlobals() {
  gApp.reset();
  gDB.reset();
  gAddonError.reset();
  gVersion.clear();
  gCreateAppointment4AllContracts = false;
  gAlarmWochenKuendigung = 0;
  gAlarmWochenEnde = 0;
  gDefinition.reset();
  gPositions.reset();
  gContractD.reset();
  gColArt.reset();
}

// The number of the error `f` raises; 0 when it raises none.
inline int32_t ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const rt::Error& e) {
    return e.number();
  }
  return 0;
}

// The error `f` raises as "Fehler &H<hex> in <source>: <description>"; ""
// when it raises none.
inline std::string ErrorText(const std::function<void()>& f) {
  try {
    f();
  } catch (const rt::Error& e) {
    return e.what();
  }
  return "";
}

// The date every core test runs on: Sunday, 10 March 2024.
inline rt::Date FixedToday() { return rt::DateSerial(2024, 3, 10); }

inline rt::Date D(int32_t y, int32_t m, int32_t d) { return rt::DateSerial(y, m, d); }
// The day at 09:00, as reminders lie.
inline rt::Date At9(int32_t y, int32_t m, int32_t d) { return rt::Date{D(y, m, d).serial + 0.375}; }
// The signed error number of an HRESULT written in hexadecimal.
inline int32_t Hr(uint32_t n) { return static_cast<int32_t>(n); }
// The host's storage failure, for injected faults.
inline constexpr uint32_t kStorage = 0x8004100C;

// Field values by name, as records are built and compared.
using Values = std::vector<std::pair<std::string, rt::Variant>>;

// `base` with every value of `overrides` put in (by name, letter case
// ignored) or added.
inline Values Merge(Values base, const Values& overrides) {
  for (const auto& [name, value] : overrides) {
    bool replaced = false;
    for (auto& [n, v] : base) {
      if (rt::NameEquals(n, name)) {
        v = value;
        replaced = true;
      }
    }
    if (!replaced) base.emplace_back(name, value);
  }
  return base;
}

// Records per table that the saves of a contract write.
struct Counts {
  size_t contracts = 0, reminders = 0, states = 0, positions = 0, attributes = 0;
  friend bool operator==(const Counts&, const Counts&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Counts& c) {
    return os << "{contracts " << c.contracts << ", reminders " << c.reminders << ", states " << c.states
              << ", positions " << c.positions << ", attributes " << c.attributes << "}";
  }
};

// A message box as the user saw it.
struct Shown {
  std::string prompt;
  int style = 0;
  std::optional<std::string> title;  // nullopt: no title of its own
  friend bool operator==(const Shown&, const Shown&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Shown& b) {
    return os << "[" << b.title.value_or("<none>") << "] " << b.style << " " << b.prompt;
  }
};

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetToday(FixedToday());
    host::sqlite::RegisterErrorTexts();
    ui_ = std::make_shared<ui::test::ScriptedService>();
    ui::SetService(ui_);
    ResetGlobals();
    host_ = host::sqlite::StandIn::OpenInMemory();
    app_ = host_->Application();
    gApp = app_;
    gDB = app_->Database();
    gAddonError = std::make_shared<CAddonError>();
  }

  void TearDown() override {
    // A broken UI script fails the test even where a trap swallowed it.
    EXPECT_TRUE(ui_->Failures().empty()) << ui_->Failures().front();
    ResetGlobals();
    ui::SetService(nullptr);
    rt::SetToday(std::nullopt);
  }

  // The message boxes shown so far.
  const std::vector<ui::test::MsgBoxCall>& Boxes() const { return ui_->Messages(); }
  // The boxes shown after the first `from` ones.
  std::vector<Shown> BoxesFrom(size_t from) const {
    std::vector<Shown> out;
    for (size_t i = from; i < Boxes().size(); ++i) {
      const ui::test::MsgBoxCall& b = Boxes()[i];
      out.push_back({b.prompt, b.style, b.title});
    }
    return out;
  }
  // A fresh scripted service, for a table case that counts its boxes from
  // none; a broken script of the cases before still fails the test.
  void NewUi() {
    EXPECT_TRUE(ui_->Failures().empty()) << ui_->Failures().front();
    ui_ = std::make_shared<ui::test::ScriptedService>();
    ui::SetService(ui_);
  }

  std::vector<host::sqlite::Row> Rows(const std::string& table) { return host_->Rows(table); }
  // The one record of `table`; a failure of the test when there is not
  // exactly one.
  host::sqlite::Row Only(const std::string& table) {
    auto rows = host_->Rows(table);
    EXPECT_EQ(rows.size(), 1u) << table;
    return rows.empty() ? host::sqlite::Row{} : rows.front();
  }
  Counts Count() {
    return {Rows("kt_Vertraege").size(), Rows("kt_VertragsAktivitaeten").size(), Rows("kt_Vertragsstaende").size(),
            Rows("kt_Vertragspositionen").size(), Rows("Adressmerkmale").size()};
  }
  static double Num(const host::sqlite::Row& r, const char* field) { return rt::CDbl(r[field]); }
  static std::string Str(const host::sqlite::Row& r, const char* field) { return rt::CStr(r[field]); }
  static rt::Date DateOf(const host::sqlite::Row& r, const char* field) { return r[field].AsDate(); }
  // Every field of `expected` as the record holds it (kind and value).
  static void ExpectFields(const host::sqlite::Row& r, const Values& expected, const std::string& what) {
    for (const auto& [field, value] : expected) EXPECT_EQ(r[field], value) << what << ": " << field;
  }

  std::shared_ptr<host::sqlite::StandIn> host_;
  std::shared_ptr<host::HostApplication> app_;
  std::shared_ptr<ui::test::ScriptedService> ui_;
};

}  // namespace coretest
