#include "core/table_properties.h"
#include "core_fixture.h"

namespace {

class CoreTableState : public coretest::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    for (const char* t : {"C", "A", "B"}) oids_.push_back(host_->InsertRow("KMMD_Nummern", {{"Tabelle", t}}));
    table_ = Open();
  }
  std::shared_ptr<host::DbTable> Open() { return gDB->Connection()->Table("KMMD_Nummern"); }
  std::string IndexName() { return table_->Indexes()->Current()->Name(); }

  // What a search does to the table and the host's view.
  void Search() {
    table_->Indexes()->Reset(0);
    table_->GotoOid(oids_[2], 256);
    table_->SetFlagA(0);
    table_->SetFlagB(0);
    app_->SetUiStateA(searchUi_);
    app_->SetUiStateB(searchUi_);
    app_->SetUiStateC(searchUi_);
    app_->SetUiFlag(9);
  }

  std::vector<std::string> oids_;
  std::shared_ptr<host::DbTable> table_;
  rt::ObjectPtr a_ = std::make_shared<rt::Object>(), b_ = std::make_shared<rt::Object>(),
                c_ = std::make_shared<rt::Object>(), searchUi_ = std::make_shared<rt::Object>();
};

TEST_F(CoreTableState, RestoreBeforeSaveTouchesNothing) {
  table_->GotoOid(oids_[1], 256);
  table_->SetFlagA(-1);
  app_->SetUiStateA(a_);
  app_->SetUiFlag(3);
  CTableProperties p;
  p.Init(table_);
  p.Restore(true);
  EXPECT_EQ(table_->Oid(), oids_[1]);
  EXPECT_EQ(table_->FlagA(), -1);
  EXPECT_EQ(app_->UiStateA(), a_);
  EXPECT_EQ(app_->UiFlag(), 3);
}

TEST_F(CoreTableState, RestoresTheTableAndOnRequestTheUserInterface) {
  table_->Indexes()->Select("Tabelle_Feld", 0);
  table_->GotoOid(oids_[1], 256);
  table_->SetFlagA(-1);
  table_->SetFlagB(1);
  app_->SetUiStateA(a_);
  app_->SetUiStateB(b_);
  app_->SetUiStateC(c_);
  app_->SetUiFlag(5);
  CTableProperties p;
  p.Init(table_);
  p.Save();

  Search();
  p.Restore(false);
  EXPECT_EQ(table_->Oid(), oids_[1]);
  EXPECT_EQ(IndexName(), "Tabelle_Feld");
  EXPECT_EQ(table_->FlagA(), -1);
  EXPECT_EQ(table_->FlagB(), 1);
  EXPECT_EQ(app_->UiStateA(), searchUi_);
  EXPECT_EQ(app_->UiFlag(), 9);

  for (int round = 0; round < 2; ++round) {  // a restore can be repeated
    Search();
    p.Restore(true);
    EXPECT_EQ(table_->Oid(), oids_[1]);
    EXPECT_EQ(IndexName(), "Tabelle_Feld");
    EXPECT_EQ(app_->UiStateA(), a_);
    EXPECT_EQ(app_->UiStateB(), b_);
    EXPECT_EQ(app_->UiStateC(), c_);
    EXPECT_EQ(app_->UiFlag(), 5);
  }
}

TEST_F(CoreTableState, NoRecordOrADeletedOneStillRestoresFlagsAndIndex) {
  table_->Indexes()->Select("Tabelle_Feld", 0);
  table_->SetFlagB(-1);
  ASSERT_EQ(table_->Oid(), "");
  CTableProperties empty;
  empty.Init(table_);
  empty.Save();
  Search();
  empty.Restore(false);
  EXPECT_EQ(table_->Oid(), oids_[2]);  // no record to go back to
  EXPECT_EQ(IndexName(), "Tabelle_Feld");
  EXPECT_EQ(table_->FlagB(), -1);

  table_->GotoOid(oids_[0], 256);
  CTableProperties gone;
  gone.Init(table_);
  gone.Save();
  auto other = Open();
  other->SelectOid(oids_[0]);
  other->Delete(0);
  Search();
  EXPECT_NO_THROW(gone.Restore(false));
  EXPECT_EQ(IndexName(), "Tabelle_Feld");
  EXPECT_EQ(table_->FlagB(), -1);
}

}  // namespace
