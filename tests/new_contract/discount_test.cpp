// The discount field and the cent rounding of the dialog's amounts.
#include <cmath>
#include <limits>
#include <string>

#include "new_contract_fixture.h"
#include "platform/number.h"

namespace {

using coretest::Shown;

class NewContractDiscount : public nctest::NewContractTest {
 protected:
  void SetUp() override {
    NewContractTest::SetUp();
    AddWartung();
    dialog_ = OpenDialog();
  }
  void TearDown() override {
    dialog_.reset();
    NewContractTest::TearDown();
  }
  frmNewContract& f() { return *dialog_; }
  std::unique_ptr<frmNewContract> dialog_;
};

TEST_F(NewContractDiscount, KeysOtherThanDigitsCommaAndBackspaceAreDropped) {
  struct Case {
    const char* typed;
    const char* text;
  };
  const Case cases[] = {{"1.5", "1,5"}, {"12,75", "12,75"}, {"a-5b", "5"}, {"+1e2", "12"}, {" 7%", "7"}};
  for (const Case& k : cases) {
    user_.SelectAll(f().txtRabatt);
    user_.Type(f().txtRabatt, k.typed);
    EXPECT_EQ(f().txtRabatt.Text(), k.text) << k.typed;
  }
  user_.Backspace(f().txtRabatt, 1);
  EXPECT_EQ(f().txtRabatt.Text(), "");
}

TEST_F(NewContractDiscount, LeavingTheFieldAcceptsOrRefusesTheEntry) {
  const std::string invalid = "Ungültiger Rabatt!\r\nGeben Sie einen Rabatt zwischen 0 und 99 ein!";
  const std::string tooLarge = "Rabatt darf nicht größer 99% sein!";
  struct Case {
    const char* pasted;
    const char* message;  // nullptr: accepted
    const char* shown;
    double percent;
    ui::Color colour;
  };
  const Case cases[] = {
      {"10", nullptr, "10,00", 10, ui::color::Red},
      {"0", nullptr, "0,00", 0, ui::color::WindowText},
      {"1.5", nullptr, "1,50", 1.5, ui::color::Red},           // a pasted full stop is the comma
      {"0,125", nullptr, "0,13", 0.13, ui::color::Red},        // from the formatted text
      {"99,999", nullptr, "100,00", 100, ui::color::Red},      // below 100 when typed
      {"", "invalid", "", 100, ui::color::WindowText},
      // Other refused text leaves the red of the discount before it.
      {"abc", "invalid", "abc", 100, ui::color::Red},
      {"1.000,5", "invalid", "1.000,5", 100, ui::color::Red},
      {"-5", "invalid", "-5", 100, ui::color::Red},      // no negative discount
      {"100", "large", "100", 100, ui::color::WindowText},
      {"250,5", "large", "250,5", 100, ui::color::WindowText},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.pasted);
    const size_t before = Boxes().size();
    user_.SelectAll(f().txtRabatt);
    user_.Paste(f().txtRabatt, k.pasted);
    const bool left = user_.MoveFocus(f().txtMemo);
    EXPECT_EQ(f().txtRabatt.Text(), k.shown);
    EXPECT_EQ(NewContractPeer::dblRabattProzent(f()), k.percent);
    EXPECT_EQ(f().txtRabatt.ForeColor(), k.colour);
    if (k.message == nullptr) {
      EXPECT_TRUE(left);
      EXPECT_EQ(Boxes().size(), before);
      continue;
    }
    // Refused: the focus stays, and a click on OK is swallowed.
    EXPECT_FALSE(left);
    EXPECT_TRUE(f().txtRabatt.HasFocus());
    const std::string prompt = std::string(k.message) == "invalid" ? invalid : tooLarge;
    EXPECT_EQ(BoxesFrom(before), (std::vector<Shown>{{prompt, ui::mb::IconExclamation, "Kelmaris Paktor"}}));
    EXPECT_FALSE(user_.Click(f().cmdOK));
    EXPECT_TRUE(Rows("kt_Vertraege").empty());
    // Put right again for the next case.
    user_.SelectAll(f().txtRabatt);
    user_.Paste(f().txtRabatt, "99,999");
    ASSERT_TRUE(user_.MoveFocus(f().txtMemo));
  }
}

TEST_F(NewContractDiscount, AnErrorWhileValidatingGoesToTheReporter) {
  user_.SelectAll(f().txtRabatt);
  user_.Paste(f().txtRabatt, "12");
  // The reformatted text's change fails.
  f().txtRabatt.OnChange = [] { rt::RaiseRuntime(rt::errc::InvalidCall); };
  EXPECT_TRUE(user_.MoveFocus(f().txtMemo));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, "Fehler in kt_FNewContract.txtRabatt_Validate");
  EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &H5 in kelPaktor2\r\n", 0), 0u);
  EXPECT_EQ(NewContractPeer::dblRabattProzent(f()), 0);
}

TEST_F(NewContractDiscount, Round2AndApplyDiscountGiveTheProjectsValues) {
  // The one cent rounding of the project (half to even, beyond 32-bit cents).
  for (double x : {0.125, -0.125, 2.675, 21474836.48, std::numeric_limits<double>::quiet_NaN()})
    EXPECT_EQ(NewContractPeer::Round2(x), rt::Round2(x)) << x;

  struct Discount {
    double price, percent, result;
  };
  const Discount cases[] = {
      {12.345, 0, 12.345},       // no discount: not rounded
      {100, 12.5, 87.5},         //
      {99.99, 10, 99.99 - 10.0}, // the reduction 9.999 rounds to 10.00
      {0.05, 50, 0.05 - 0.03},   // 0.025 is stored just above the half
      {10, 100, 0},              //
  };
  for (const Discount& k : cases)
    EXPECT_EQ(NewContractPeer::ApplyDiscount(f(), k.price, k.percent), k.result) << k.price << " " << k.percent;
  // Arithmetic that leaves the doubles raises to the save.
  EXPECT_EQ(coretest::ErrorOf([&] { NewContractPeer::ApplyDiscount(f(), 1e308, 1e10); }), rt::errc::Overflow);
}

}  // namespace
