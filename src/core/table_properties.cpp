#include "core/table_properties.h"

#include "core/globals.h"
#include "platform/error.h"
#include "platform/object.h"

void CTableProperties::Init(const std::shared_ptr<host::DbTable>& table) { table_ = table; }

void CTableProperties::Save() {
  auto table = rt::Need(table_);
  recordId_ = table->Oid();
  index_ = rt::Need(table->Indexes())->Current();
  flagA_ = table->FlagA();
  flagB_ = table->FlagB();
  auto app = rt::Need(gApp);
  uiStateA_ = app->UiStateA();
  uiStateB_ = app->UiStateB();
  uiStateC_ = app->UiStateC();
  uiFlag_ = app->UiFlag();
  saved_ = true;
}

void CTableProperties::Restore(bool all) {
  if (!saved_) return;
  auto table = rt::Need(table_);
  table->SetFlagA(flagA_);
  table->SetFlagB(flagB_);
  if (!recordId_.empty()) {
    bool found = false;
    table->GotoOid(recordId_, 768, &found);
  }
  if (index_) rt::Need(table->Indexes())->SetCurrent(index_);
  if (all) {
    auto app = rt::Need(gApp);
    app->SetUiStateA(uiStateA_);
    app->SetUiStateB(uiStateB_);
    app->SetUiStateC(uiStateC_);
    app->SetUiFlag(uiFlag_);
  }
}
