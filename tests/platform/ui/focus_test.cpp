// Focus, validation and what the user may reach.
#include <gtest/gtest.h>

#include "ui_fixture.h"

namespace uitest {
namespace {

class UiFocus : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    f = NewLoadedForm();
    // The discount field refuses to be left while empty.
    f->txtRabatt.OnValidate = [this](bool& cancel) {
      ++validations;
      if (f->txtRabatt.Text().empty()) cancel = true;
    };
  }
  std::shared_ptr<TestForm> f;
  int validations = 0;
};

TEST_F(UiFocus, UserFocusMoveValidatesTheControlLeft) {
  ASSERT_TRUE(user.MoveFocus(f->txtRabatt));
  EXPECT_EQ(f->ActiveControl(), &f->txtRabatt);
  EXPECT_EQ(validations, 0);  // entering validates nothing

  // Empty: leaving is refused and the focus stays.
  EXPECT_FALSE(user.MoveFocus(f->txtDauer));
  EXPECT_EQ(validations, 1);
  EXPECT_TRUE(f->txtRabatt.HasFocus());

  EXPECT_TRUE(user.Type(f->txtRabatt, "5"));  // stays in the field: no validation
  EXPECT_EQ(validations, 1);
  EXPECT_TRUE(user.MoveFocus(f->txtDauer));
  EXPECT_EQ(validations, 2);
  EXPECT_TRUE(f->txtDauer.HasFocus());

  // A control that became unreachable has lost the focus: no validation.
  ASSERT_TRUE(user.MoveFocus(f->txtRabatt));
  f->txtRabatt.SetEnabled(false);
  EXPECT_TRUE(user.MoveFocus(f->txtDauer));
  EXPECT_EQ(validations, 2);
}

TEST_F(UiFocus, CancelledValidationSwallowsTheButtonClick) {
  ASSERT_TRUE(user.MoveFocus(f->txtRabatt));
  f->log.clear();
  EXPECT_FALSE(user.Click(f->cmdOK));
  EXPECT_TRUE(f->log.empty());
  EXPECT_TRUE(f->txtRabatt.HasFocus());

  EXPECT_TRUE(user.Paste(f->txtRabatt, "3"));
  EXPECT_TRUE(user.Click(f->cmdOK));
  EXPECT_EQ(f->log, (std::vector<std::string>{"cmdOK_Click"}));
  EXPECT_TRUE(f->cmdOK.HasFocus());
}

TEST_F(UiFocus, SetFocusFromCodeDoesNotValidateAndSkipsUnreachableControls) {
  ASSERT_TRUE(user.MoveFocus(f->txtRabatt));
  f->txtDauer.SetFocus();
  EXPECT_EQ(validations, 0);
  f->txtRabatt.SetVisible(false);
  f->txtRabatt.SetFocus();
  f->cmdOK.SetEnabled(false);
  f->cmdOK.SetFocus();
  f->fraGroup.SetEnabled(false);
  f->txtInFrame.SetFocus();
  f->lblDirty.SetFocus();  // labels take no focus
  EXPECT_TRUE(f->txtDauer.HasFocus());
}

TEST_F(UiFocus, UserCannotReachDisabledHiddenOrEnclosedControls) {
  f->log.clear();
  f->cmdOK.SetEnabled(false);
  EXPECT_FALSE(user.Click(f->cmdOK));
  f->chkFlag.SetVisible(false);
  EXPECT_FALSE(user.Tick(f->chkFlag));
  f->fraGroup.SetEnabled(false);  // the frame only: the controls keep their own state
  EXPECT_TRUE(f->optC.Enabled());
  EXPECT_FALSE(user.Choose(f->optC));
  EXPECT_FALSE(user.Type(f->txtInFrame, "x"));
  f->fraGroup.SetEnabled(true);
  f->fraGroup.SetVisible(false);
  EXPECT_FALSE(user.Choose(f->optC));
  EXPECT_TRUE(f->log.empty());
  EXPECT_EQ(f->txtInFrame.Text(), "");
}

TEST_F(UiFocus, TypingStopsWhenAHandlerMovesTheFocusAway) {
  // After each key the duration is checked; an odd value sends the user to
  // the period list.
  f->txtDauer.OnChange = [this] {
    if (!f->txtDauer.Text().empty() && (f->txtDauer.Text().back() - '0') % 2 == 1) f->cboPeriod.SetFocus();
  };
  ASSERT_TRUE(user.SelectAll(f->txtDauer));
  EXPECT_FALSE(user.Type(f->txtDauer, "34"));
  EXPECT_EQ(f->txtDauer.Text(), "3");
  EXPECT_TRUE(f->cboPeriod.HasFocus());
}

TEST_F(UiFocus, BackspaceOnTheLastDigitRaisesChangeWithAnEmptyText) {
  std::vector<std::string> seen;
  f->txtDauer.OnChange = [&] { seen.push_back(f->txtDauer.Text()); };
  EXPECT_TRUE(user.Backspace(f->txtDauer, 3));  // "12" -> "1" -> "" -> nothing more
  EXPECT_EQ(seen, (std::vector<std::string>{"1", ""}));
}

TEST_F(UiFocus, TabValidatesAndMovesOnInCreationOrderSkippingUnreachableControls) {
  // Creation order: txtDauer, txtRabatt, lblDirty, chkFlag, optA, optB,
  // (fraGroup) optC, txtInFrame, cboPeriod, cboUnit, lstInvoices, ...
  ASSERT_TRUE(user.MoveFocus(f->txtDauer));
  EXPECT_TRUE(user.Leave(*f));
  EXPECT_TRUE(f->txtRabatt.HasFocus());

  // Empty: the validation keeps the focus.
  EXPECT_FALSE(user.Leave(*f));
  EXPECT_EQ(validations, 1);
  EXPECT_TRUE(f->txtRabatt.HasFocus());
  ASSERT_TRUE(user.Type(f->txtRabatt, "5"));
  EXPECT_TRUE(user.Leave(*f));  // the label takes no focus
  EXPECT_TRUE(f->chkFlag.HasFocus());

  f->optA.SetEnabled(false);
  f->optB.SetVisible(false);
  f->fraGroup.SetEnabled(false);
  EXPECT_TRUE(user.Leave(*f));
  EXPECT_TRUE(f->cboPeriod.HasFocus());

  // From the last control the tab order wraps round to the first.
  f->cmdCancel.SetFocus();
  EXPECT_TRUE(user.Leave(*f));
  EXPECT_TRUE(f->txtDauer.HasFocus());

  // The first focus of a display is the first reachable control, too.
  f->txtDauer.SetEnabled(false);
  EXPECT_EQ(f->TabNext(nullptr), &f->txtRabatt);
}

TEST_F(UiFocus, ActingOnAFormThatWasNeverCreatedIsAScriptError) {
  TestForm raw;
  EXPECT_THROW(user.Click(raw.cmdOK), ui::ScriptFailure);
  EXPECT_THROW(user.Leave(raw), ui::ScriptFailure);
  raw.Create();
  EXPECT_TRUE(user.Click(raw.cmdOK));
}

}  // namespace
}  // namespace uitest
