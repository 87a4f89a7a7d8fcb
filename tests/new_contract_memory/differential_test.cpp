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

}  // namespace
