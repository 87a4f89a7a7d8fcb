#include "core/table_properties.h"

#include "core/globals.h"
#include "platform/error.h"

namespace {

template <class T>
std::shared_ptr<T> Need(std::shared_ptr<T> p) {
  if (!p) rt::RaiseRuntime(rt::errc::ObjectNotSet);
  return p;
}

}  // namespace

void CTableProperties::Init(const std::shared_ptr<host::DbTable>& table) { table_ = table; }

void CTableProperties::Save() {
  auto table = Need(table_);
  recordId_ = table->Oid();
  index_ = Need(table->Indexes())->Current();
  flagA_ = table->FlagA();
  flagB_ = table->FlagB();
  auto app = Need(gApp);
  uiStateA_ = app->UiStateA();
  uiStateB_ = app->UiStateB();
  uiStateC_ = app->UiStateC();
  uiFlag_ = app->UiFlag();
  saved_ = true;
}

void CTableProperties::Restore(bool all) {
  if (!saved_) return;
  auto table = Need(table_);
  table->SetFlagA(flagA_);
  table->SetFlagB(flagB_);
  if (!recordId_.empty()) {
    bool found = false;
    table->GotoOid(recordId_, 768, &found);
  }
  if (index_) Need(table->Indexes())->SetCurrent(index_);
  if (all) {
    auto app = Need(gApp);
    app->SetUiStateA(uiStateA_);
    app->SetUiStateB(uiStateB_);
    app->SetUiStateC(uiStateC_);
    app->SetUiFlag(uiFlag_);
  }
}
