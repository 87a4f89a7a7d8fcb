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

// A reminder day or notice date outside the calendar: the save from memory
// fails before the write the date precedes; the save from the stored type
// fails after it or, needing no such reminder, succeeds.
TEST_F(MemoryFailures, ADateOutsideTheCalendarFailsBeforeTheWriteItPrecedes) {
  struct Result {
    bool ok;
    Counts counts;  // contracts, reminders, states, positions, attributes
    int32_t states;  // plVsCount
    bool ended;      // the contract carries its end (written whole, or updated)
  };
  struct Case {
    const char* what;
    nctest::Values type;  // the stored type's changes, which the editor hands over
    const char* lead;     // a lead time of 600000 weeks; none when null
    rt::Date today;
    int32_t k;            // the entry invoiced last; -1: a new contract
    Result stored, memory;
    // Notice periods in months, when not the type's: stored, or set in
    // memory after the editor, whose lists hold no such notice.
    int32_t firstNotice = 0, renewalNotice = 0;
  };
  const char* notice = "kt_AlarmWochenKuendigung";
  const char* end = "kt_AlarmWochenEnde";
  const nctest::Values oneOff{{"Art", int32_t{2}}};
  const Case cases[] = {
      {"new one-off: the end reminder's day before the insert", oneOff, end, D(2019, 12, 15), -1,
       {false, {1, 0, 0, 0, 0}, 1, true}, {false, {0, 0, 0, 0, 0}, 1, false}},
      {"new renewable: the notice reminder's day, reminded or not", {}, notice, D(2019, 12, 15), -1,
       {true, {1, 0, 1, 1, 1}, 1, true}, {false, {0, 0, 0, 0, 0}, 1, false}},
      {"back-filled one-off: the end reminder's day before the insert", oneOff, end, D(2020, 5, 15), 1,
       {false, {1, 0, 0, 0, 0}, 1, true}, {false, {0, 0, 0, 0, 0}, 1, false}},
      {"case A: the reminder day before the first update", {}, notice, D(2020, 10, 2), 1,
       {true, {1, 0, 2, 2, 1}, 2, true}, {false, {1, 0, 1, 1, 0}, 1, false}},
      {"case B: the first term's notice date before its positions", {}, nullptr, D(2022, 5, 15), 3,
       {false, {1, 0, 1, 1, 0}, 1, false}, {false, {1, 0, 1, 0, 0}, 1, false}, 200000},
      {"case B: an invoiced term's notice date before its positions", {}, nullptr, D(2022, 5, 15), 5,
       {false, {1, 0, 2, 2, 0}, 2, false}, {false, {1, 0, 2, 1, 0}, 2, false}, 0, 200000},
      {"case B, the first-term ending: the reminder day before the update", {}, notice, D(2022, 5, 15), 3,
       {true, {1, 0, 1, 1, 1}, 1, true}, {false, {1, 0, 1, 1, 0}, 1, false}},
      {"case B, the renewal ending: the reminder day before the update", {}, notice, D(2023, 3, 15), 5,
       {true, {1, 0, 2, 2, 1}, 2, true}, {false, {1, 0, 2, 2, 0}, 2, false}},
      {"the current term: the reminder day before the update", {}, notice, D(2021, 5, 15), 4,
       {true, {1, 0, 2, 2, 1}, 2, true}, {false, {1, 0, 2, 2, 0}, 2, false}},
  };
  for (const Case& c : cases) {
    for (const bool fromMemory : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (fromMemory ? ", from memory" : ", from the stored type"));
      const Result& e = fromMemory ? c.memory : c.stored;
      Clear();
      rt::SetToday(c.today);
      nctest::Values type = c.type;
      if (c.firstNotice && !fromMemory) type.emplace_back("Kuendigungsfrist", c.firstNotice);
      if (c.renewalNotice && !fromMemory) type.emplace_back("VerlKuendigungsfrist", c.renewalNotice);
      AddQuarterly(type);
      if (c.lead) host_->SetPersistVar(c.lead, "600000");
      const size_t boxes = Boxes().size();
      const Outcome o = ShowThroughCkt([&](frmNewContract& f) {
        user_.SetDate(f.DTPVertragBeginn, D(2020, 1, 1));
        if (fromMemory) Adjust(f);
        if (fromMemory && (c.firstNotice || c.renewalNotice)) {
          ChangeInMemory(f, [&](kt_CDefinition& d) {
            if (c.firstNotice) d.Kuendigungsfrist = c.firstNotice;
            if (c.renewalNotice) d.VerlKuendigungsfrist = c.renewalNotice;
          });
        }
        if (c.k >= 0) {
          user_.Tick(f.chkOldContract);
          user_.Select(f.lstInvoices, c.k);
        }
        user_.Click(f.cmdOK);
        if (f.IsShown()) user_.Click(f.cmdCancel);
      });
      if (c.lead) host_->RemovePersistVar(c.lead);
      EXPECT_EQ(o.ok, e.ok);
      EXPECT_EQ(o.count, e.states);
      EXPECT_EQ(Count(), e.counts);
      // No contract, no number used up.
      EXPECT_EQ(Counter(), e.counts.contracts ? "00000001" : "");
      if (e.counts.contracts) {
        EXPECT_EQ(DateOf(Only("kt_Vertraege"), "VertragEnde") != rt::kNoDate, e.ended);
      }
      EXPECT_EQ(Boxes().size(), boxes + (e.ok ? 0 : 1));
      if (e.ok || Boxes().size() == boxes) continue;
      EXPECT_EQ(Boxes().back().prompt.rfind("Fehler &H5\r\n", 0), 0u) << Boxes().back().prompt;
      EXPECT_TRUE(Boxes().back().prompt.ends_with(fromMemory ? "\r\nin kt_FNewContract.SaveFromMemory"
                                                             : "\r\nin kt_FNewContract.cmdOK_Click"));
    }
  }
}

}  // namespace
