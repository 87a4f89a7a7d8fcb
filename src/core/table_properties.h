// CTableProperties: remembers the state of one host table and of the host's
// user interface before a search and puts it back afterwards, so that the
// host's view of the table is as the user left it.
//
// Nothing here traps errors: a failing host call goes to the caller, and a
// failure in the middle of Restore leaves the steps before it done.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/table.h"
#include "platform/object.h"

class CTableProperties {
 public:
  // Keeps the table whose state Save and Restore handle.
  void Init(const std::shared_ptr<host::DbTable>& table);

  // Remembers, in this order: the current record id, the current index
  // object, FlagA and FlagB of the table, then UiStateA, UiStateB, UiStateC
  // and UiFlag of the process-wide gApp.
  void Save();

  // Does nothing before a Save. Otherwise puts back FlagA and FlagB, goes to
  // the remembered record when there was one (a record deleted since is not
  // an error), makes the remembered index current again and, only when
  // `all` is true, restores the user-interface state (UiStateA, UiStateB,
  // SetUiStateC, UiFlag). The state stays remembered: Restore may be
  // repeated, and a new Save replaces it.
  void Restore(bool all);

 private:
  std::shared_ptr<host::DbTable> table_;
  std::string recordId_;
  std::shared_ptr<host::DbIndex> index_;
  int16_t flagA_ = 0;
  int16_t flagB_ = 0;
  rt::ObjectPtr uiStateA_;
  rt::ObjectPtr uiStateB_;
  rt::ObjectPtr uiStateC_;
  int16_t uiFlag_ = 0;
  bool saved_ = false;
};
