// Date picker: empty is not the date 0.
#include <gtest/gtest.h>

#include "platform/runtime_expect.h"
#include "platform/variant.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

class UiDatePicker : public UiTest {};

TEST_F(UiDatePicker, EmptyIsDistinctFromDateZero) {
  auto f = ui::NewForm<TestForm>();
  ui::DatePicker& dtp = f->DTPBeginn;
  EXPECT_FALSE(dtp.Value().has_value());
  EXPECT_TRUE(dtp.ValueVariant().IsNull());
  EXPECT_RT_ERROR((void)rt::CDate(dtp.ValueVariant()), 94);

  f->log.clear();
  dtp.SetValue(rt::kNoDate);  // 30.12.1899 is a date
  ASSERT_TRUE(dtp.Value().has_value());
  EXPECT_EQ(rt::CDate(dtp.ValueVariant()), rt::kNoDate);
  dtp.SetValue(std::nullopt);
  EXPECT_FALSE(dtp.Value().has_value());
  EXPECT_EQ(f->log, (std::vector<std::string>{"DTPBeginn_Change", "DTPBeginn_Change"}));
}

TEST_F(UiDatePicker, ChangeOnlyWhenTheValueChanges) {
  rt::SetToday(rt::DateSerial(2024, 3, 14));
  auto f = ui::NewForm<TestForm>();
  // A second picker follows the first, except when it is empty.
  ui::DatePicker DTPGeschlossenAm{*f, "DTPGeschlossenAm"};
  f->DTPBeginn.OnChange = [&] {
    if (DTPGeschlossenAm.Value()) DTPGeschlossenAm.SetValue(f->DTPBeginn.Value());
  };
  DTPGeschlossenAm.SetValue(rt::Today());
  f->DTPBeginn.SetValue(rt::DateSerial(2024, 3, 15));
  EXPECT_EQ(DTPGeschlossenAm.Value(), rt::DateSerial(2024, 3, 15));
  int changes = 0;
  f->DTPBeginn.OnChange = [&] { ++changes; };
  f->DTPBeginn.SetValue(rt::DateSerial(2024, 3, 15));
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(user.SetDate(f->DTPBeginn, rt::DateSerial(2024, 4, 1)));
  EXPECT_EQ(changes, 1);
  rt::SetToday(std::nullopt);

  // Dates outside the calendar are refused.
  EXPECT_RT_ERROR(f->DTPBeginn.SetValue(rt::Date{-700000}), 380);
  EXPECT_FALSE(user.SetDate(f->DTPBeginn, rt::Date{3000000}));
  EXPECT_EQ(f->DTPBeginn.Value(), rt::DateSerial(2024, 4, 1));
  EXPECT_EQ(changes, 1);
}

TEST_F(UiDatePicker, OnlyAPickerDesignedSoMayBeEmptiedByTheUser) {
  auto f = ui::NewForm<TestForm>();
  ui::DatePicker& dtp = f->DTPBeginn;
  dtp.SetValue(rt::DateSerial(2024, 3, 15));
  EXPECT_FALSE(dtp.AllowEmpty());
  EXPECT_FALSE(user.SetDate(dtp, std::nullopt));
  EXPECT_EQ(dtp.Value(), rt::DateSerial(2024, 3, 15));
  dtp.SetValue(std::nullopt);  // code may always empty it
  EXPECT_FALSE(dtp.Value().has_value());

  dtp.SetAllowEmpty(true);
  dtp.SetValue(rt::DateSerial(2024, 3, 15));
  EXPECT_TRUE(user.SetDate(dtp, std::nullopt));
  EXPECT_FALSE(dtp.Value().has_value());
}

}  // namespace
}  // namespace uitest

