// List view: selection rules, item click, columns and sub-items.
#include <gtest/gtest.h>

#include "platform/runtime_expect.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

class UiListView : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    f = NewLoadedForm();
    lvw = &f->lvwTypes;
    lvw->AddColumn("Typ", 2000);
    lvw->AddColumn("Dauer", 1000, ui::ListView::Alignment::Right);
    lvw->AddColumn("OID", 0);
  }
  std::shared_ptr<TestForm> f;
  ui::ListView* lvw = nullptr;
};

TEST_F(UiListView, FirstItemAddedToAnEmptyListIsSelected) {
  EXPECT_FALSE(lvw->HasSelectedItem());
  ui::ListItem& first = lvw->Add("Wartung");
  lvw->Add("Miete");
  EXPECT_TRUE(first.Selected());
  EXPECT_EQ(&lvw->SelectedItem(), &first);

  lvw->Clear();
  EXPECT_FALSE(lvw->HasSelectedItem());
  EXPECT_RT_ERROR((void)lvw->SelectedItem(), 91);
  // Filled again after Clear: the first item is selected again.
  lvw->Add("Leasing");
  EXPECT_EQ(lvw->SelectedItem().Text(), "Leasing");
}

TEST_F(UiListView, SelectingFromCodeRaisesNoItemClick) {
  lvw->Add("A");
  lvw->Add("B");
  f->log.clear();
  lvw->SetSelectedItem(&lvw->Item(2));
  EXPECT_EQ(lvw->SelectedItem().Index(), 2);
  lvw->SetSelectedItem(nullptr);
  EXPECT_FALSE(lvw->HasSelectedItem());
  EXPECT_TRUE(f->log.empty());

  ui::ListView other{*f, "lvwOther"};
  other.AddColumn("x", 100);
  ui::ListItem& foreign = other.Add("fremd");
  EXPECT_RT_ERROR(lvw->SetSelectedItem(&foreign), 380);
}

TEST_F(UiListView, UserClickSelectsTheItemBeforeItemClickRuns) {
  lvw->Add("A");
  lvw->Add("B");
  int selectedDuringClick = 0;
  lvw->OnItemClick = [&](ui::ListItem& item) {
    selectedDuringClick = lvw->SelectedItem().Index();
    EXPECT_EQ(item.Text(), "B");
  };
  EXPECT_TRUE(user.ClickItem(*lvw, 2));
  EXPECT_EQ(selectedDuringClick, 2);
  EXPECT_FALSE(user.ClickItem(*lvw, 3));
  EXPECT_FALSE(user.ClickItem(*lvw, 0));
}

TEST_F(UiListView, RemovingRenumbersAndDropsTheSelection) {
  lvw->Add("A");
  ui::ListItem& b = lvw->Add("B");
  ui::ListItem& c = lvw->Add("C");
  lvw->SetSelectedItem(&b);
  lvw->Remove(2);
  EXPECT_EQ(lvw->Count(), 2);
  EXPECT_EQ(c.Index(), 2);
  EXPECT_FALSE(lvw->HasSelectedItem());
  lvw->Remove(1);  // an unselected item: nothing else changes
  EXPECT_EQ(c.Index(), 1);
  EXPECT_RT_ERROR(lvw->Remove(5), 35600);
  EXPECT_RT_ERROR((void)lvw->Item(0), 35600);
}

TEST_F(UiListView, SubItemsExistForTheColumnsAfterTheFirst) {
  ui::ListItem& item = lvw->Add("Wartung");
  item.SetSubItems(1, "12 Monate");
  item.SetSubItems(2, "OID-7");
  item.SetToolTipText("Wartung");
  EXPECT_EQ(item.SubItems(2), "OID-7");
  EXPECT_EQ(lvw->Add("leer").SubItems(1), "");  // never set
  EXPECT_RT_ERROR(item.SetSubItems(3, "zu weit"), 380);
  EXPECT_RT_ERROR((void)item.SubItems(0), 380);
  EXPECT_EQ(item.ToolTipText(), "Wartung");

  EXPECT_EQ(lvw->ColumnCount(), 3);
  EXPECT_TRUE(lvw->Column(3).Hidden());
  EXPECT_FALSE(lvw->Column(2).Hidden());
  EXPECT_EQ(lvw->Column(2).Align, ui::ListView::Alignment::Right);
}

}  // namespace
}  // namespace uitest
