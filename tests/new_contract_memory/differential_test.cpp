// The save from a type handed over unchanged writes what the save from the
// stored type writes; the differences the two saves are meant to have, and
// no others.
#include <string>
#include <vector>

#include "differential_fixture.h"

namespace {

using memtest::Copy;
using memtest::D;
using memtest::Scenario;
using Diffs = std::vector<std::string>;

class MemoryDifferential : public memtest::DifferentialTest {};

TEST_F(MemoryDifferential, ANewContractOfEachKindIsTheSame) {
  for (int32_t kind : {1, 2, 3}) {
    SCOPED_TRACE(kind);
    Scenario s;
    s.kind = kind;
    s.remindAll = true;
    const Copy stored = Save(s, false);
    const Copy memory = Save(s, true);
    ASSERT_TRUE(stored.ok);
    EXPECT_TRUE(memory.ok);
    EXPECT_EQ(memory.count, stored.count);
    EXPECT_EQ(Differences(stored, memory), Diffs{});
    EXPECT_EQ(memory.boxes, stored.boxes);
    // Something was compared: the contract, its state and three positions.
    EXPECT_EQ(stored.tables.at("kt_Vertragspositionen").size(), 3u);
    EXPECT_EQ(rt::CStr(Value(stored, "kt_Vertragsstaende", 0, "Dokument")), "document Vertragsvorlage");
    EXPECT_EQ(rt::CStr(Value(stored, "kt_Vertraege", 0, "KuendigungsfristBezug")), "Vertragsende");
  }
}

TEST_F(MemoryDifferential, RowsNotInGroupOrderDifferInRowOnly) {
  struct Case {
    const char* what;
    std::vector<std::string> articles, addedLater;
    Diffs byNumber;  // the differences with positions matched by number
  };
  const Case cases[] = {
      // Stored A, B, A with Row 001, 003, 002 in that order; the reloaded
      // list A, A, B writes 001, 002, 003.
      {"first saved from A, B, A",
       {"Wartung Basis", "Hotline", "Support"},
       {},
       {"kt_Vertragspositionen[1].Row", "kt_Vertragspositionen[2].Row"}},
      // A, B stored; A added and saved: the old rows updated in place, the
      // new one appended, so the stored order is A, B, A (Row 001, 002,
      // 003); the in-memory save writes A, A, B with the same Row each.
      {"a row added and saved again", {"Wartung Basis", "Hotline"}, {"Support"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scenario s;
    s.articles = c.articles;
    s.addedLater = c.addedLater;
    const Copy stored = Save(s, false);
    const Copy memory = Save(s, true);
    EXPECT_EQ(Differences(stored, memory, true), c.byNumber);
    // In record order only the positions differ.
    const Diffs byOrder = Differences(stored, memory);
    EXPECT_FALSE(byOrder.empty());
    for (const std::string& d : byOrder) EXPECT_EQ(d.rfind("kt_Vertragspositionen[", 0), 0u) << d;
  }
}

TEST_F(MemoryDifferential, ARenamedTypeReachesTheContractAndTheDirectAttributeOnly) {
  Scenario s;
  s.edit = Rename("Wartung Sonder");
  const Copy stored = Save(s, false);
  const Copy memory = Save(s, true);
  EXPECT_EQ(Differences(stored, memory),
            (Diffs{"kt_Vertraege[0].Bezeichnung", "Adressmerkmale[0].Beschreibung"}));
  EXPECT_EQ(rt::CStr(Value(memory, "kt_Vertraege", 0, "Bezeichnung")), "Wartung Sonder");
  EXPECT_EQ(rt::CStr(Value(memory, "Adressmerkmale", 0, "Beschreibung")), "00000001 / Wartung Sonder");

  // The macro gets the list's name in both.
  s.macro = true;
  const Copy storedMacro = Save(s, false);
  const Copy memoryMacro = Save(s, true);
  EXPECT_EQ(Differences(storedMacro, memoryMacro), Diffs{"kt_Vertraege[0].Bezeichnung"});
  ASSERT_EQ(storedMacro.macroCalls.size(), 1u);
  EXPECT_EQ(memoryMacro.macroCalls, storedMacro.macroCalls);
  EXPECT_EQ(rt::CStr(storedMacro.macroCalls[0][3]), "00000001 / Wartung Differenz");
}

TEST_F(MemoryDifferential, AFailedStateInsertLeavesTheSameRecordsAndBoxesButTheSource) {
  Scenario s;
  s.failState = true;
  const Copy stored = Save(s, false);
  const Copy memory = Save(s, true);
  EXPECT_FALSE(stored.ok);
  EXPECT_FALSE(memory.ok);
  EXPECT_EQ(Differences(stored, memory), Diffs{});
  EXPECT_EQ(stored.tables.at("kt_Vertraege").size(), 1u);
  ASSERT_EQ(stored.boxes.size(), 1u);
  ASSERT_EQ(memory.boxes.size(), 1u);
  const std::string head = stored.boxes[0].substr(0, stored.boxes[0].rfind("\r\n"));
  EXPECT_EQ(stored.boxes[0], head + "\r\nin kt_FNewContract.cmdOK_Click");
  EXPECT_EQ(memory.boxes[0], head + "\r\nin kt_FNewContract.SaveFromMemory");
}

TEST_F(MemoryDifferential, AlreadyInvoicedContractsDifferOnlyWhereTheSavesAreMeantTo) {
  struct Case {
    const char* what;
    int32_t kind;
    rt::Date today, start;
    int32_t k;
    bool remindAll;
    std::vector<std::string> articles;
    Diffs expected;
  };
  const std::vector<std::string> grouped = {"Wartung Basis", "Support", "Hotline"};
  // The in-memory save reminds of a current term's notice date whatever the
  // setting says: one more reminder, and AlarmOID names it.
  const Diffs currentTermReminder = {"kt_Vertraege[0].AlarmOID", "kt_VertragsAktivitaeten: 1 | 2"};
  const Case cases[] = {
      {"open-ended", 3, D(2024, 5, 15), D(2024, 1, 1), 1, false, grouped, {}},
      {"one-off", 2, D(2024, 5, 15), D(2024, 1, 1), 1, false, grouped, {}},
      {"branch A, no renewal state", 1, D(2020, 10, 1), D(2020, 1, 1), 1, true, grouped, {}},
      {"branch A, a renewal state", 1, D(2020, 10, 2), D(2020, 1, 1), 1, true, grouped, {}},
      {"branch B, the first-term ending", 1, D(2022, 5, 15), D(2020, 1, 1), 3, false, grouped, {}},
      {"branch B, the current term", 1, D(2021, 5, 15), D(2020, 1, 1), 4, false, grouped, currentTermReminder},
      {"branch B, the current term, reminders for all", 1, D(2021, 5, 15), D(2020, 1, 1), 4, true, grouped, {}},
      {"branch B, the current term after a term that fixed the next invoice", 1, D(2022, 5, 15), D(2020, 1, 1), 5,
       false, grouped, currentTermReminder},
      // The attribute runs to the last term written, not to the first term's end.
      {"branch B, the renewal ending", 1, D(2023, 3, 15), D(2020, 1, 1), 5, false, grouped,
       {"Adressmerkmale[0].GültigBis"}},
      // Stored rows carrying old list places (saved from A, B, A).
      {"stale stored Row values", 1, D(2020, 10, 1), D(2020, 1, 1), 1, false, {"Wartung Basis", "Hotline", "Support"},
       {"kt_Vertragspositionen[1].Row", "kt_Vertragspositionen[2].Row"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scenario s;
    s.kind = c.kind;
    s.today = c.today;
    s.start = c.start;
    s.k = c.k;
    s.remindAll = c.remindAll;
    s.articles = c.articles;
    const Copy stored = Save(s, false);
    const Copy memory = Save(s, true);
    ASSERT_TRUE(stored.ok);
    EXPECT_TRUE(memory.ok);
    EXPECT_EQ(memory.count, stored.count);
    EXPECT_EQ(Differences(stored, memory), c.expected);
    EXPECT_EQ(memory.boxes, stored.boxes);
    EXPECT_FALSE(stored.tables.at("kt_Vertragspositionen").empty());
    EXPECT_EQ(Value(stored, "kt_Vertragsstaende", 0, "AlteFakturierung"), rt::Variant(true));
  }
}

}  // namespace
