// Host failures during the save from an adjusted type: its own box, and
// exactly what stays written (there is no transaction).
#include <string>
#include <vector>

#include "memory_fixture.h"

namespace {

using memtest::D;
using nctest::Counts;
using nctest::Hr;

class MemoryFailures : public memtest::MemoryTest {};

TEST_F(MemoryFailures, EachWriteThatFailsKeepsWhatWasWrittenBefore) {
  struct Case {
    const char* table;
    const char* member;
    bool ok;
    Counts counts;  // contracts, reminders, states, positions, attributes
    const char* source;          // the box's last line
  };
  const Case cases[] = {
      {"kt_Vertraege", "Insert", false, {0, 0, 0, 0, 0}, "in kt_FNewContract.SaveFromMemory"},
      // The reminder helper reports its own failure; the save goes on.
      {"kt_VertragsAktivitaeten", "Insert", true, {1, 0, 1, 2, 1}, "in modKT.CreateOpenAlarm"},
      {"kt_Vertragsstaende", "Insert", false, {1, 1, 0, 0, 0}, "in kt_FNewContract.SaveFromMemory"},
      {"kt_Vertragspositionen", "Insert", false, {1, 1, 1, 0, 0}, "in kt_FNewContract.SaveFromMemory"},
      {"Adressmerkmale", "Insert", false, {1, 1, 1, 2, 0}, "in kt_FNewContract.SaveFromMemory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.table) + "." + c.member);
    Clear();
    const std::string type = AddQuarterly();
    AddPosition(type, {{"ArtikelID", "A2"}, {"Gruppierung", "Support"}});
    const size_t boxes = Boxes().size();
    const Run run = SaveAdjusted(D(2024, 1, 1), {}, [&](frmNewContract& f) {
      user_.SetDate(f.DTPGeschlossenAm, std::nullopt);
      host_->FailNext(c.table, c.member, Hr(0x80041001), "kaputt");
    });
    EXPECT_EQ(run.outcome.ok, c.ok);
    EXPECT_EQ(run.stayedOpen, !c.ok);
    EXPECT_EQ(run.outcome.count, 1);
    EXPECT_EQ(Count(), c.counts);
    // The number drawn stays used, and shown.
    EXPECT_EQ(Counter(), "00000001");
    EXPECT_EQ(run.number, "00000001");
    ASSERT_EQ(Boxes().size(), boxes + 1);
    EXPECT_EQ(Boxes().back().prompt, std::string("Fehler &H80041001\r\n(kaputt)\r\n") + c.source);
  }
}

// The save from memory takes the positions from gPositions, never from the
// stored rows, and reads them before its first write: a faulty stored row
// does not touch it, a position it cannot read writes nothing.
TEST_F(MemoryFailures, ThePositionsAreReadFromMemoryBeforeTheFirstWrite) {
  for (const bool backFill : {false, true}) {
    for (const bool unreadable : {false, true}) {
      SCOPED_TRACE(std::string(backFill ? "already invoiced" : "new") +
                   (unreadable ? ", a position that is none" : ", the stored rows failing"));
      Clear();
      AddQuarterly();
      const size_t boxes = Boxes().size();
      const Setup setup = [&](frmNewContract&) {
        PositionsWithLabels({"A", "B"});
        if (unreadable) gPositions->Add(rt::Variant("keine Position"));
        host_->FailAlways("kt_Definitionspositionen", "MoveFirst", Hr(0x80041001), "kaputt");
        host_->FailAlways("kt_Definitionspositionen", "Move", Hr(0x80041001), "kaputt");
      };
      const Run run = backFill ? BackFillAdjusted(D(2024, 1, 1), 0, {}, setup) : SaveAdjusted(D(2024, 1, 1), {}, setup);
      host_->ClearFaults();
      EXPECT_EQ(run.outcome.ok, !unreadable);
      EXPECT_EQ(Count(), (unreadable ? Counts{} : Counts{1, 0, 1, 2, 1}));
      EXPECT_EQ(Counter(), unreadable ? "" : "00000001");
      ASSERT_EQ(Boxes().size(), boxes + (unreadable ? 1 : 0));
      if (unreadable) {
        EXPECT_EQ(Boxes().back().prompt.rfind("Fehler &HD\r\n", 0), 0u) << Boxes().back().prompt;
        EXPECT_TRUE(Boxes().back().prompt.ends_with("\r\nin kt_FNewContract.SaveFromMemory"));
      }
    }
  }
}

}  // namespace
