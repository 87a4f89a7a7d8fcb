// The frame of the save from an adjusted type: the checks that stop it
// before anything is written, and the number drawn when it goes on.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "memory_fixture.h"

namespace {

using coretest::Shown;
using memtest::D;
using nctest::Counts;

class MemoryFrame : public memtest::MemoryTest {};

TEST_F(MemoryFrame, ChecksStopTheSaveBeforeAnythingIsWritten) {
  struct Case {
    const char* what;
    rt::Date today;
    int32_t k;  // the entry selected; -1: none (the list is empty); -2: a new contract
    std::function<void(frmNewContract&)> setup;
    std::optional<std::string> message;
    int style;
    std::optional<std::string> title;
  };
  const std::string refused = "Ungültige Laufzeit oder Zahlungsperiode im Vertragstyp!";
  const std::string choose = "Wählen Sie den Zeitraum aus, der zuletzt fakturiert wurde";
  const int exclamation = ui::mb::OkOnly + ui::mb::IconExclamation;
  const std::string missing =
      std::string("Fehler &H5B\r\n(") + memtest::kNoObject + ")\r\nin kt_FNewContract.SaveFromMemory";
  auto blankNumber = [this](frmNewContract& f) {
    user_.Untick(f.ChkAutoNumber);
    user_.Type(f.txtVertragnummer, "   ");
  };
  const Case cases[] = {
      {"a manual number of blanks", D(2024, 3, 10), -2, blankNumber, "Vergeben Sie bitte eine Vertragsnummer!",
       exclamation, "Kelmaris Paktor"},
      {"the number is checked before the type is read", D(2024, 3, 10), -2,
       [&](frmNewContract& f) {
         blankNumber(f);
         gDefinition.reset();
       },
       "Vergeben Sie bitte eine Vertragsnummer!", exclamation, "Kelmaris Paktor"},
      {"the type released from outside", D(2024, 3, 10), -2, [](frmNewContract&) { gDefinition.reset(); }, missing,
       ui::mb::OkOnly, std::nullopt},
      {"an empty list: nothing selected", D(2024, 3, 10), -1,
       [](frmNewContract& f) {
         ChangeInMemory(f, [](kt_CDefinition& d) {
           d.Art = 2;
           d.Dauer = 0;
         });
       },
       choose, ui::mb::OkOnly, std::nullopt},
      {"no renewal term", D(2024, 3, 10), 3,
       [](frmNewContract& f) { ChangeInMemory(f, [](kt_CDefinition& d) { d.Verlaengerungsdauer = 0; }); }, refused,
       exclamation, "Kelmaris Paktor"},
      // Only renewal periods are listed, and one is selected.
      {"no payment period", D(2026, 3, 10), 1,
       [](frmNewContract& f) { ChangeInMemory(f, [](kt_CDefinition& d) { d.Zahlungsperiode = 0; }); }, refused,
       exclamation, "Kelmaris Paktor"},
      {"a kind the editor never hands over: silence", D(2024, 3, 10), 0,
       [](frmNewContract& f) { ChangeInMemory(f, [](kt_CDefinition& d) { d.Art = 4; }); }, std::nullopt, 0,
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    NewUi();
    rt::SetToday(c.today);
    AddQuarterly();
    int32_t count = -1;
    auto setup = [&](frmNewContract& f) {
      c.setup(f);
      count = f.lVsCount();
    };
    const Run run = c.k == -2 ? SaveAdjusted(D(2024, 1, 1), {}, setup) : BackFillAdjusted(D(2024, 1, 1), c.k, {}, setup);
    EXPECT_FALSE(run.outcome.ok);
    EXPECT_TRUE(run.stayedOpen);
    EXPECT_EQ(run.outcome.count, count);  // lVsCount as it was
    EXPECT_EQ(Count(), (Counts{0, 0, 0, 0, 0}));
    EXPECT_EQ(Counter(), "");  // no number drawn
    EXPECT_EQ(BoxesFrom(0), (c.message ? std::vector<Shown>{{*c.message, c.style, c.title}} : std::vector<Shown>{}));
  }
}

TEST_F(MemoryFrame, AutomaticNumberingDrawsTheNumberAndShowsIt) {
  AddWartung();
  const Run first = SaveAdjusted(D(2024, 4, 1), {}, [this](frmNewContract& f) {
    EXPECT_EQ(f.txtVertragnummer.Text(), "");
    EXPECT_EQ(f.ChkAutoNumber.Value(), ui::CheckBox::Checked);
  });
  EXPECT_TRUE(first.outcome.ok);
  EXPECT_EQ(first.number, "00000001");
  EXPECT_EQ(Str(Only("kt_Vertraege"), "Vertragnummer"), "00000001");
  // A manual number is stored as typed, blanks included.
  const Run second = SaveAdjusted(D(2024, 4, 1), {}, [this](frmNewContract& f) {
    user_.Untick(f.ChkAutoNumber);
    user_.Type(f.txtVertragnummer, " V-7 ");
  });
  EXPECT_TRUE(second.outcome.ok);
  EXPECT_EQ(Str(Rows("kt_Vertraege").back(), "Vertragnummer"), " V-7 ");
  EXPECT_EQ(Counter(), "00000001");
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
