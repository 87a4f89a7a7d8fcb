// Kind and side, durations, the fit of the payment period and how the
// renewal column follows the first one.
#include "editor_fixture.h"

namespace editortest {
namespace {

using coretest::Shown;

class ContractTypesTerms : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    f = NewEditor();
    ASSERT_TRUE(f->InitNew());
  }

  // What the kind handlers decide, in one line.
  struct State {
    int32_t art;
    std::string dauer, dauer2, kuend, unit, unit2;
    bool dauerOn, renewalOn, noticeOn, boxOn, boxTicked, workflowOn;
    friend bool operator==(const State&, const State&) = default;
    friend std::ostream& operator<<(std::ostream& os, const State& s) {
      return os << "{" << s.art << " " << s.dauer << "/" << s.dauer2 << " notice " << s.kuend << " " << s.unit << "/"
                << s.unit2 << " on:" << s.dauerOn << s.renewalOn << s.noticeOn << s.boxOn << s.boxTicked
                << s.workflowOn << "}";
    }
  };
  State Now() const {
    return {Probe(*f).Art(),
            f->txtDauer.Text(),
            f->txtDauer2.Text(),
            f->cboKuendFrist.Text(),
            f->lblDauerEinheit.Caption(),
            f->lblDauerEinheit2.Caption(),
            f->txtDauer.Reachable(),
            f->txtDauer2.Reachable() && f->cboZahlungsperiode2.Reachable(),
            f->cboKuendFrist.Reachable(),
            f->chkVerlaengerbar.Enabled(),
            f->chkVerlaengerbar.Value() == ui::CheckBox::Checked,
            f->cboWorkflow.Reachable()};
  }

  std::shared_ptr<frmFEditDefinitions> f;
};

TEST_F(ContractTypesTerms, KindAndSideStateMachine) {
  const State renewable{1, "12", "12", "6", "in Monaten", "in Monaten", true, true, true, true, true, true};
  const State oneOff{2, "12", "12", "0", "in Monaten", "in Monaten", true, false, false, true, false, false};
  const State openEnded{3, "0", "0", "6", "unbefristet", "unbefristet", false, false, true, false, true, false};
  const State openEndedUnticked{3, "0", "0", "6", "unbefristet", "unbefristet", false, false, true, false, false, false};
  const State oneOffAfterOpen{2, "12", "12", "0", "in Monaten", "in Monaten", true, false, false, true, false, false};
  struct Step {
    const char* what;
    std::function<bool()> act;
    State expected;
  };
  const Step steps[] = {
      {"untick", [&] { return user_.Untick(f->chkVerlaengerbar); }, oneOff},
      {"tick", [&] { return user_.Tick(f->chkVerlaengerbar); }, renewable},
      {"open-ended", [&] { return user_.Choose(f->optUnbefristet); }, openEnded},
      {"fixed", [&] { return user_.Choose(f->optBefristet); }, renewable},
      {"untick", [&] { return user_.Untick(f->chkVerlaengerbar); }, oneOff},
      {"open-ended unticked", [&] { return user_.Choose(f->optUnbefristet); }, openEndedUnticked},
      {"fixed unticked", [&] { return user_.Choose(f->optBefristet); }, oneOffAfterOpen},
  };
  for (const Step& s : steps) {
    EXPECT_TRUE(s.act()) << s.what;
    EXPECT_EQ(Now(), s.expected) << s.what;
  }
  EXPECT_FALSE(f->cboKuenfristBezug.Enabled());

  // The side: "K" unticks and locks the booking box and the workflow;
  // "D" unlocks the box without ticking it.
  ASSERT_TRUE(user_.Tick(f->chkVerlaengerbar));
  ASSERT_TRUE(user_.Tick(f->chkNoBooking));
  EXPECT_TRUE(user_.Choose(f->optKreditor));
  EXPECT_EQ(Probe(*f).Typ(), "K");
  EXPECT_EQ(f->chkNoBooking.Value(), ui::CheckBox::Unchecked);
  EXPECT_FALSE(f->chkNoBooking.Enabled());
  EXPECT_FALSE(f->cboWorkflow.Reachable());
  EXPECT_TRUE(f->fraPositionenK.InFrontOf(f->fraPositionen));
  EXPECT_TRUE(user_.Choose(f->optDebitor));
  EXPECT_EQ(Probe(*f).Typ(), "D");
  EXPECT_TRUE(f->chkNoBooking.Enabled());
  EXPECT_EQ(f->chkNoBooking.Value(), ui::CheckBox::Unchecked);
  EXPECT_TRUE(f->cboWorkflow.Reachable());
  EXPECT_TRUE(f->fraPositionen.InFrontOf(f->fraPositionenK));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesTerms, TheRenewalColumnFollowsTheFirstButNeverTheOtherWay) {
  // The period is mirrored; the notice count and unit too.
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 1));  // vierteljährlich
  ASSERT_TRUE(user_.Select(f->cboKuendFrist, 2));       // 3
  ASSERT_TRUE(user_.Select(f->cboKuendEinh, 1));        // Monate
  EXPECT_EQ(f->cboZahlungsperiode2.Text(), "vierteljährlich");
  EXPECT_EQ(f->cboKuendFrist2.Text(), "3");
  EXPECT_EQ(f->cboKuendEinh2.Text(), "Monate");
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode2, 3));
  ASSERT_TRUE(user_.Select(f->cboKuendFrist2, 0));
  EXPECT_EQ(f->cboZahlungsperiode.Text(), "vierteljährlich");
  EXPECT_EQ(f->cboKuendFrist.Text(), "3");

  // The duration from 12 months on; a shorter one leaves the renewal alone.
  const struct {
    const char* typed;
    const char* dauer;
    const char* dauer2;
  } durations[] = {{"6", "6", "12"}, {"24", "24", "24"}, {"012", "12", "12"}, {"36", "36", "36"}, {"10", "10", "36"}};
  for (const auto& d : durations) {
    ASSERT_TRUE(user_.SelectAll(f->txtDauer));
    ASSERT_TRUE(user_.Paste(f->txtDauer, d.typed));
    EXPECT_EQ(f->txtDauer.Text(), d.dauer) << d.typed;
    EXPECT_EQ(f->txtDauer2.Text(), d.dauer2) << d.typed;
  }
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Die Zahlungsperiode passt nicht zur Vertragsdauer (10 Monate)"});
}

TEST_F(ContractTypesTerms, ThePeriodMustFitTheDurationOnEveryChange) {
  const std::string fit = "Die Zahlungsperiode passt nicht zur Vertragsdauer (";
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 1));  // 12 / 3 fits
  EXPECT_TRUE(Boxes().empty());
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 4));  // 12 / 24 does not
  EXPECT_EQ(BoxesFrom(0), (std::vector<Shown>{{fit + "12 Monate)", 64, std::nullopt}}));
  EXPECT_EQ(f->cboZahlungsperiode.Text(), "zweijährlich");   // stays chosen
  EXPECT_EQ(f->cboZahlungsperiode2.Text(), "vierteljährlich");  // not mirrored
  EXPECT_TRUE(f->cboZahlungsperiode.HasFocus());

  // Typed digit by digit, each keystroke is checked: "2" of "24" does not
  // fit a quarter and the focus moves away.
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 1));
  ASSERT_TRUE(user_.SelectAll(f->txtDauer));
  EXPECT_FALSE(user_.Type(f->txtDauer, "24"));
  EXPECT_EQ(f->txtDauer.Text(), "2");
  EXPECT_EQ(Boxes().back().prompt, fit + "2 Monate)");
  EXPECT_TRUE(f->cboZahlungsperiode.HasFocus());

  // "012" reformatted shows the message once, naming 12.
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 4));
  const size_t before = Boxes().size();
  ASSERT_TRUE(user_.SelectAll(f->txtDauer));
  ASSERT_TRUE(user_.Paste(f->txtDauer, "012"));
  ASSERT_EQ(Boxes().size(), before + 1);
  EXPECT_EQ(Boxes().back().prompt, fit + "12 Monate)");

  // Open-ended (duration 0): no check.
  ASSERT_TRUE(user_.Choose(f->optUnbefristet));
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 7));
  EXPECT_EQ(Boxes().size(), before + 1);
}

TEST_F(ContractTypesTerms, DurationsTakeDigitsOnlyAndAnythingElseIsAnInvalidEntry) {
  ASSERT_TRUE(user_.SelectAll(f->txtDauer));
  ASSERT_TRUE(user_.Type(f->txtDauer, "2a4"));  // the letter is swallowed
  EXPECT_EQ(f->txtDauer.Text(), "24");
  ASSERT_TRUE(user_.Backspace(f->txtDauer));
  EXPECT_EQ(f->txtDauer.Text(), "2");
  EXPECT_TRUE(user_.Type(f->txtDauer2, "x"));
  EXPECT_EQ(f->txtDauer2.Text(), "24");

  const std::string invalid = "Ungültige Eingabe in Vertragsdauer !";
  const char* bad[] = {"", "abc", "99999999999", "2147483648", "1 2", "-12", "+12"};
  for (const char* text : bad) {
    const size_t before = Boxes().size();
    ASSERT_TRUE(user_.SelectAll(f->txtDauer));
    ASSERT_TRUE(user_.Paste(f->txtDauer, text));
    ASSERT_EQ(Boxes().size(), before + 1) << text;
    EXPECT_EQ(Boxes().back().prompt, invalid);
    EXPECT_EQ(Boxes().back().title, std::optional<std::string>("Bitte ändern ..."));
    EXPECT_EQ(f->txtDauer.Text(), text);  // left as it stands
    EXPECT_TRUE(f->txtDauer.HasFocus());
    // Choosing a period then reads it the same way.
    f->cboZahlungsperiode.SetListIndex(0);
    EXPECT_EQ(Boxes().back().prompt, invalid);
  }
  ASSERT_TRUE(user_.SelectAll(f->txtDauer));
  ASSERT_TRUE(user_.Paste(f->txtDauer, "2147483640"));  // the largest counts still fit monthly
  EXPECT_EQ(f->txtDauer2.Text(), "2147483640");
  // Leading zeros do not count towards the digits.
  ASSERT_TRUE(user_.SelectAll(f->txtDauer));
  ASSERT_TRUE(user_.Paste(f->txtDauer, "00000000012"));
  EXPECT_EQ(f->txtDauer.Text(), "12");

  // The renewal duration follows the same rule when it is left.
  const std::string invalid2 = "Ungültige Eingabe in Verlängerungsvertragsdauer !";
  for (const char* text : bad) {
    const size_t before = Boxes().size();
    ASSERT_TRUE(user_.SelectAll(f->txtDauer2));
    ASSERT_TRUE(user_.Paste(f->txtDauer2, text));
    EXPECT_FALSE(user_.Leave(*f)) << text;
    EXPECT_EQ(BoxesFrom(before), (std::vector<Shown>{{invalid2, 64, "Bitte ändern ..."}})) << text;
    EXPECT_TRUE(f->txtDauer2.HasFocus()) << text;
  }
  ASSERT_TRUE(user_.SelectAll(f->txtDauer2));
  ASSERT_TRUE(user_.Paste(f->txtDauer2, "000000000024"));
  EXPECT_TRUE(user_.Leave(*f));
  EXPECT_EQ(f->txtDauer2.Text(), "24");
}

TEST_F(ContractTypesTerms, ThePriceHintComesForADebtorTypeWithPositionsOnly) {
  const std::string hint = "Überprüfen Sie bitte, ob die Preise noch stimmen !";
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 3));
  EXPECT_TRUE(Boxes().empty());
  ui::ListItem& row = f->lvwPositionen.Add("");
  row.SetSubItems(3, "10,00");
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 1));
  ASSERT_EQ(Prompts(), std::vector<std::string>{hint});
  EXPECT_EQ(Boxes()[0].style, 0);
  EXPECT_EQ(f->lvwPositionen.Item(1).SubItems(3), "10,00");  // nothing recomputed
  ASSERT_TRUE(user_.Choose(f->optKreditor));
  ASSERT_TRUE(user_.Select(f->cboZahlungsperiode, 0));
  EXPECT_EQ(Boxes().size(), 1u);
}

}  // namespace
}  // namespace editortest
