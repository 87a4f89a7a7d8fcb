// Shared fixture of the core tests: a fresh stand-in host on an in-memory
// database, a fixed today, the scripted UI service (ui_; OK-only boxes are
// answered and recorded, questions need a queued answer), and the process-wide
// state as a working entry call of a living CKT object leaves it (gApp and
// gDB bound to the stand-in, a reporter in gAddonError, everything else
// empty). Every test starts and ends with that state reset.
//
// Suites derive a class of their own name from CoreTest:
//   class CoreConfig : public coretest::CoreTest {};
//   TEST_F(CoreConfig, ...) { ... host_->SetDatabaseSetting(...); ... Boxes()[0].prompt ... }
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/addon_error.h"
#include "core/globals.h"
#include "host/sqlite/stand_in.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/ui/scripted_service.h"
#include "platform/ui/service.h"

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

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::SetToday(FixedToday());
    host::sqlite::RegisterErrorTexts();
    ui_ = std::make_shared<ui::test::ScriptedService>();
    ui::SetService(ui_);
    ResetGlobals();
    host_ = host::sqlite::StandIn::Open(":memory:");
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

  std::shared_ptr<host::sqlite::StandIn> host_;
  std::shared_ptr<host::HostApplication> app_;
  std::shared_ptr<ui::test::ScriptedService> ui_;
};

}  // namespace coretest
