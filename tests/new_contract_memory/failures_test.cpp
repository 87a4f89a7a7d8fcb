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

}  // namespace
