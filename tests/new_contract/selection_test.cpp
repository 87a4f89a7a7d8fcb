// Choosing a contract type in the list, the options that follow its side
// and kind, and a type adjusted in memory.
#include <memory>
#include <string>

#include "core/records.h"
#include "new_contract_fixture.h"

namespace {

using coretest::Shown;
using nctest::D;

class NewContractSelection : public nctest::NewContractTest {
 protected:
  struct Members {
    std::string typ;
    int32_t art, wann, dauer, verl, zp, vzp;
    friend bool operator==(const Members&, const Members&) = default;
  };
  static Members Of(const frmNewContract& f) {
    return {NewContractPeer::sTyp(f),
            NewContractPeer::lArt(f),
            NewContractPeer::lRechnungWann(f),
            NewContractPeer::lDauer(f),
            NewContractPeer::lVerlaengerungsdauer(f),
            NewContractPeer::lZahlungsperiode(f),
            NewContractPeer::lVerlaengerungsZahlungsperiode(f)};
  }
};

TEST_F(NewContractSelection, AClickTakesTheTypeFromItsItem) {
  const std::string a = AddType({{"Bezeichnung", "A"}});
  const std::string b = AddType({{"Bezeichnung", "B"}, {"Art", 2}, {"RechnungWann", 1}, {"Dauer", 6},
                                 {"Zahlungsperiode", 1}, {"Verlaengerungsdauer", 0},
                                 {"VerlaengerungsZahlungsperiode", 0}, {"NoBooking", true}});
  auto f = OpenDialog();
  EXPECT_EQ(Of(*f), (Members{"D", 1, 0, 12, 12, 3, 12}));
  EXPECT_EQ(f->chkNoBooking.Value(), 0);
  ASSERT_TRUE(user_.ClickItem(f->lvwBezeichnung, 2));
  EXPECT_EQ(Of(*f), (Members{"D", 2, 1, 6, 0, 1, 0}));
  EXPECT_EQ(f->chkNoBooking.Value(), 1);
  EXPECT_EQ(NewContractPeer::lSelectedIndex(*f), 2);
  EXPECT_EQ(NewContractPeer::CurrentTypeOid(*f), b);
  EXPECT_EQ(f->lstInvoices.ListCount(), 6);  // monthly for six months

  // A type deleted meanwhile: the values come from the item, the table
  // stays on the type it was on, and OK does nothing.
  user_.ClickItem(f->lvwBezeichnung, 1);
  auto types = gDB->Connection()->Table("kt_Vertragsdefinitionen");
  types->GotoOid(b, 0);
  types->Delete(0);
  types->GotoOid(a, 0);
  ASSERT_TRUE(user_.ClickItem(f->lvwBezeichnung, 2));
  EXPECT_EQ(NewContractPeer::CurrentTypeOid(*f), a);
  EXPECT_EQ(Of(*f), (Members{"D", 2, 1, 6, 0, 1, 0}));
  user_.Click(f->cmdOK);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Rows("kt_Vertraege").empty());
  EXPECT_FALSE(f->bOK());
}

TEST_F(NewContractSelection, SideAndKindSwitchTheOptions) {
  AddType({{"Bezeichnung", "A renewable"}});
  AddType({{"Bezeichnung", "B one-off"}, {"Art", 2}});
  AddType({{"Bezeichnung", "C payable"}, {"Typ", "K"}, {"NoBooking", true}});
  AddType({{"Bezeichnung", "D odd side"}, {"Typ", "X"}});
  auto f = OpenDialog();

  // A typed number, a chosen period and an emptied conclusion date.
  user_.Untick(f->ChkAutoNumber);
  user_.Type(f->txtVertragnummer, "V-1");
  user_.Tick(f->chkOldContract);
  user_.Tick(f->chkRabattNurErsteLaufzeit);
  EXPECT_EQ(f->lstInvoices.ListIndex(), 0);

  // Receivable one-off: number drawn again, period dropped, the first-term
  // box disabled but still ticked.
  user_.ClickItem(f->lvwBezeichnung, 2);
  EXPECT_EQ(f->ChkAutoNumber.Value(), 1);
  EXPECT_TRUE(f->ChkAutoNumber.Enabled());
  EXPECT_EQ(f->txtVertragnummer.Text(), "");
  EXPECT_FALSE(f->txtVertragnummer.Enabled());
  EXPECT_EQ(f->chkOldContract.Value(), 0);
  EXPECT_FALSE(f->lstInvoices.Visible());
  EXPECT_EQ(f->lstInvoices.ListIndex(), -1);
  EXPECT_FALSE(f->chkRabattNurErsteLaufzeit.Enabled());
  EXPECT_EQ(f->chkRabattNurErsteLaufzeit.Value(), 1);
  EXPECT_EQ(f->lstInvoices.ListCount(), 4);

  // Payable: the four boxes disabled, NoBooking from the type, no periods,
  // the number typed.
  user_.ClickItem(f->lvwBezeichnung, 3);
  EXPECT_FALSE(f->ChkAutoNumber.Enabled());
  EXPECT_EQ(f->ChkAutoNumber.Value(), 0);
  EXPECT_FALSE(f->chkOldContract.Enabled());
  EXPECT_FALSE(f->chkNoBooking.Enabled());
  EXPECT_EQ(f->chkNoBooking.Value(), 1);
  EXPECT_FALSE(f->chkRabattNurErsteLaufzeit.Enabled());
  EXPECT_EQ(f->chkRabattNurErsteLaufzeit.Value(), 1);
  EXPECT_EQ(f->lstInvoices.ListCount(), 0);
  EXPECT_TRUE(f->txtVertragnummer.Enabled());
  // A new start date moves only the conclusion date for a payable type.
  user_.SetDate(f->DTPVertragBeginn, D(2024, 5, 1));
  EXPECT_EQ(f->DTPGeschlossenAm.Value(), D(2024, 5, 1));
  EXPECT_EQ(f->lstInvoices.ListCount(), 0);

  // Another side switches nothing of it.
  user_.ClickItem(f->lvwBezeichnung, 4);
  EXPECT_FALSE(f->ChkAutoNumber.Enabled());
  EXPECT_EQ(NewContractPeer::sTyp(*f), "X");

  // Back to renewable: the box enabled again, still ticked; the filled
  // conclusion date moves to the start.
  user_.SetDate(f->DTPGeschlossenAm, D(2024, 2, 1));
  user_.ClickItem(f->lvwBezeichnung, 1);
  EXPECT_TRUE(f->chkRabattNurErsteLaufzeit.Enabled());
  EXPECT_EQ(f->chkRabattNurErsteLaufzeit.Value(), 1);
  EXPECT_EQ(f->DTPGeschlossenAm.Value(), D(2024, 5, 1));
  EXPECT_TRUE(f->ChkAutoNumber.Enabled());
  EXPECT_TRUE(f->chkOldContract.Enabled());
}

TEST_F(NewContractSelection, AnAdjustedTypeIsTakenOverAndDroppedOnlyAfterTheQuestion) {
  const std::string a = AddType({{"Bezeichnung", "A"}});
  AddType({{"Bezeichnung", "B"}, {"Dauer", 24}});
  auto f = OpenDialog();
  const Members stored = Of(*f);

  // For another type than the selected one, or with none, nothing changes.
  Adjusted("999999");
  NewContractPeer::InitAgain(*f);
  EXPECT_FALSE(NewContractPeer::bDefEdited(*f));
  gDefinition.reset();
  NewContractPeer::InitAgain(*f);
  EXPECT_FALSE(NewContractPeer::bDefEdited(*f));
  EXPECT_FALSE(f->lblDirty.Visible());
  EXPECT_EQ(Of(*f), stored);

  Adjusted(a);
  NewContractPeer::InitAgain(*f);
  EXPECT_TRUE(NewContractPeer::bDefEdited(*f));
  EXPECT_TRUE(f->lblDirty.Visible());
  const Members adjusted{"D", 2, 1, 6, 0, 1, 0};
  EXPECT_EQ(Of(*f), adjusted);
  EXPECT_EQ(f->chkNoBooking.Value(), 1);
  EXPECT_FALSE(f->chkRabattNurErsteLaufzeit.Enabled());  // one-off now
  EXPECT_EQ(f->lstInvoices.ListCount(), 6);

  // The same item again: no question.
  user_.ClickItem(f->lvwBezeichnung, 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(NewContractPeer::bDefEdited(*f));

  // Another one, answered No: the adjusted type stays selected.
  ui_->AnswerNext(ui::MsgResult::No, "gehen verloren");
  user_.ClickItem(f->lvwBezeichnung, 2);
  EXPECT_EQ(BoxesFrom(0), (std::vector<Shown>{{"Die Änderungen, die Sie an der Vertragsdefinition gemacht haben, "
                                                "gehen verloren, wenn Sie eine andere Vertragsdefinition auswählen!"
                                                "Wollen Sie das wirklich?",
                                                ui::mb::YesNo + ui::mb::IconExclamation + ui::mb::DefaultButton2,
                                                "Kelmaris Paktor"}}));
  EXPECT_EQ(f->lvwBezeichnung.SelectedItem().Index(), 1);
  EXPECT_TRUE(NewContractPeer::bDefEdited(*f));
  EXPECT_TRUE(f->lblDirty.Visible());
  EXPECT_EQ(Of(*f), adjusted);
  EXPECT_NE(gDefinition, nullptr);

  // Yes: the other type, and the adjusted copy is gone for good.
  ui_->AnswerNext(ui::MsgResult::Yes);
  user_.ClickItem(f->lvwBezeichnung, 2);
  EXPECT_FALSE(NewContractPeer::bDefEdited(*f));
  EXPECT_FALSE(f->lblDirty.Visible());
  EXPECT_EQ(NewContractPeer::lDauer(*f), 24);
  EXPECT_EQ(gDefinition, nullptr);
  EXPECT_EQ(gPositions, nullptr);
  user_.ClickItem(f->lvwBezeichnung, 1);
  NewContractPeer::InitAgain(*f);
  EXPECT_FALSE(NewContractPeer::bDefEdited(*f));
}

TEST_F(NewContractSelection, AnAdjustedCopyFromAnEarlierContractIsReleased) {
  const std::string a = AddType();
  Adjusted(a);
  auto f = OpenDialog();
  EXPECT_EQ(gDefinition, nullptr);
  EXPECT_EQ(gPositions, nullptr);
  NewContractPeer::InitAgain(*f);
  EXPECT_FALSE(NewContractPeer::bDefEdited(*f));
}

TEST_F(NewContractSelection, NumberAndPeriodBoxes) {
  AddType();
  auto f = OpenDialog();
  user_.Untick(f->ChkAutoNumber);
  EXPECT_TRUE(f->txtVertragnummer.Enabled());
  user_.Type(f->txtVertragnummer, "7");
  user_.Tick(f->ChkAutoNumber);
  EXPECT_EQ(f->txtVertragnummer.Text(), "");
  EXPECT_FALSE(f->txtVertragnummer.Enabled());

  user_.Tick(f->chkOldContract);
  EXPECT_TRUE(f->lstInvoices.Visible());
  EXPECT_TRUE(f->lstInvoices.Enabled());
  EXPECT_EQ(f->lstInvoices.BackColor(), ui::color::Window);
  EXPECT_EQ(f->lstInvoices.ListIndex(), 0);
  user_.Select(f->lstInvoices, 2);
  user_.Untick(f->chkOldContract);
  EXPECT_FALSE(f->lstInvoices.Visible());
  EXPECT_FALSE(f->lstInvoices.Enabled());
  EXPECT_EQ(f->lstInvoices.BackColor(), ui::color::ButtonFace);
  EXPECT_EQ(f->lstInvoices.ListIndex(), -1);

  // An empty list: ticking selects nothing.
  f->lstInvoices.Clear();
  user_.Tick(f->chkOldContract);
  EXPECT_EQ(f->lstInvoices.ListIndex(), -1);
  EXPECT_TRUE(f->lstInvoices.Visible());
}

}  // namespace
