// Host failures during a confirmation: the box, and exactly what stays
// written (there is no transaction).
#include <functional>
#include <string>
#include <vector>

#include "new_contract_fixture.h"

namespace {

using nctest::Counts;
using nctest::Hr;

class NewContractFailures : public nctest::NewContractTest {};

TEST_F(NewContractFailures, EachWriteThatFailsKeepsWhatWasWrittenBefore) {
  struct Case {
    const char* what;
    std::function<void()> arm;
    uint32_t number;
    Counts counts;        // contracts, reminders, states, positions, attributes
    const char* counter;  // the number range after the failure
  };
  auto fail = [this](const char* table, const char* member) {
    return [=, this] { host_->FailNext(table, member, Hr(0x80041001), "kaputt"); };
  };
  const Case cases[] = {
      {"the contract's first put", fail("kt_Vertraege", "Field.SetValue"), 0x80041001, {0, 0, 0, 0, 0}, ""},
      {"drawing the number: the new range stays", fail("KMMD_Nummern", "Update"), 0x80041001, {0, 0, 0, 0, 0},
       "00000000"},
      {"the contract's insert: the number is used up", fail("kt_Vertraege", "Insert"), 0x80041001,
       {0, 0, 0, 0, 0}, "00000001"},
      {"the state's insert", fail("kt_Vertragsstaende", "Insert"), 0x80041001, {1, 1, 0, 0, 0}, "00000001"},
      {"the article lookup", fail("Artikel", "Seek"), 0x80041001, {1, 1, 1, 0, 0}, "00000001"},
      {"the revenue account", fail("", "Evaluate"), 0x80041001, {1, 1, 1, 0, 0}, "00000001"},
      {"a position's insert", fail("kt_Vertragspositionen", "Insert"), 0x80041001, {1, 1, 1, 0, 0}, "00000001"},
      {"the attribute's insert", fail("Adressmerkmale", "Insert"), 0x80041001, {1, 1, 1, 1, 0}, "00000001"},
      {"a number too long for the field",
       [] {},
       0x80041007,
       {0, 0, 0, 0, 0},
       ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Clear();
    const std::string type = AddType(nctest::Merge(nctest::Sets("Vertrag", "Wartungsvertrag", "ja"), {{"Art", 2}}));
    AddPosition(type);
    const size_t boxes = Boxes().size();
    auto f = OpenDialog();
    if (std::string(k.what) == "a number too long for the field") {
      user_.Untick(f->ChkAutoNumber);
      user_.Type(f->txtVertragnummer, std::string(21, '7'));
    }
    k.arm();
    user_.Click(f->cmdOK);
    EXPECT_FALSE(f->bOK());
    EXPECT_EQ(f->lVsCount(), 1);
    EXPECT_EQ(Count(), k.counts);
    EXPECT_EQ(Counter(), k.counter);
    ASSERT_EQ(Boxes().size(), boxes + 1);
    EXPECT_EQ(Boxes().back().prompt.rfind("Fehler &H" + rt::Hex(Hr(k.number)) + "\r\n", 0), 0u)
        << Boxes().back().prompt;
    EXPECT_TRUE(Boxes().back().prompt.ends_with("\r\nin kt_FNewContract.cmdOK_Click"));
    EXPECT_EQ(Boxes().back().style, ui::mb::OkOnly);
    host_->ClearFaults();
  }
}

// The save reads the type's positions before its first write: a read that
// fails at the first row or at a later one writes nothing and uses up no
// number, for a new contract and for one with already invoiced periods.
TEST_F(NewContractFailures, AFailingReadOfTheTypesPositionsWritesNothing) {
  for (const char* member : {"MoveFirst", "Move"}) {
    for (const bool backFill : {false, true}) {
      SCOPED_TRACE(std::string(member) + (backFill ? ", already invoiced" : ", new"));
      Clear();
      const std::string type = AddType(nctest::Sets("Vertrag", "Wartungsvertrag", "ja"));
      AddPosition(type);
      AddPosition(type, {{"ArtikelID", "A2"}, {"Row", "002"}});
      const size_t boxes = Boxes().size();
      auto f = OpenDialog();
      if (backFill) {
        user_.Tick(f->chkOldContract);
        user_.Select(f->lstInvoices, 0);
      }
      host_->FailNext("kt_Definitionspositionen", member, Hr(0x80041001), "kaputt");
      user_.Click(f->cmdOK);
      EXPECT_FALSE(f->bOK());
      EXPECT_EQ(Count(), Counts{});
      EXPECT_EQ(Counter(), "");
      ASSERT_EQ(Boxes().size(), boxes + 1);
      EXPECT_EQ(Boxes().back().prompt, "Fehler &H80041001\r\n(kaputt)\r\nin kt_FNewContract.cmdOK_Click");
    }
  }
}

TEST_F(NewContractFailures, ASecondConfirmationWritesAFurtherContractWithTheNextNumber) {
  AddWartung();
  auto f = OpenDialog();
  user_.SelectAll(f->txtRabatt);
  user_.Type(f->txtRabatt, "10");
  host_->FailNext("kt_Vertragsstaende", "Insert", Hr(0x80041001), "kaputt");
  user_.Click(f->cmdOK);
  EXPECT_FALSE(f->bOK());
  EXPECT_EQ(f->txtVertragnummer.Text(), "00000001");
  user_.Click(f->cmdOK);
  EXPECT_TRUE(f->bOK());
  EXPECT_EQ(Count(), (Counts{2, 0, 1, 1, 0}));
  EXPECT_EQ(Str(Rows("kt_Vertraege").back(), "Vertragnummer"), "00000002");
  // The discount is the one the user still sees.
  EXPECT_EQ(Num(Only("kt_Vertragsstaende"), "Rabattprozent"), 10);
  EXPECT_EQ(Num(Only("kt_Vertragspositionen"), "Nettopreis"), 27);
}

TEST_F(NewContractFailures, WithoutACurrentAddressTheContractCannotBeInserted) {
  AddWartung();
  host_->SetCurrentAddress("", false);
  auto f = OpenDialog();
  user_.Click(f->cmdOK);
  EXPECT_FALSE(f->bOK());
  EXPECT_EQ(Count(), (Counts{0, 0, 0, 0, 0}));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &H80041008\r\n", 0), 0u) << Boxes()[0].prompt;
  EXPECT_EQ(Str(Only("KMMD_Nummern"), "Nummer"), "00000001");
}

TEST_F(NewContractFailures, ErrorsEscapingAUsersEventAreReportedUnderItsName) {
  AddType({{"Bezeichnung", "A"}});
  // A term that reaches beyond the calendar.
  AddType({{"Bezeichnung", "B"}, {"Dauer", 120000}});
  const auto outcome = ShowThroughCkt([&](frmNewContract& f) {
    user_.ClickItem(f.lvwBezeichnung, 2);
    user_.SetDate(f.DTPVertragBeginn, nctest::D(2024, 4, 1));
    EXPECT_TRUE(f.IsShown());
    user_.ClickItem(f.lvwBezeichnung, 1);
    user_.Click(f.cmdOK);
  });
  EXPECT_TRUE(outcome.ok);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].title, "Fehler in frmNewContract.lvwBezeichnung_ItemClick");
  EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &H5 in kelPaktor2\r\n", 0), 0u);
  EXPECT_EQ(Boxes()[1].title, "Fehler in frmNewContract.DTPVertragBeginn_Change");
}

}  // namespace
