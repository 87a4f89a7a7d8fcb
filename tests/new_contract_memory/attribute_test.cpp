// The attribute step of the save from an adjusted type: the direct write
// describes the contract by the name in memory, the macro by the list's
// name; what counts as success; a second OK during the macro.
#include <string>
#include <vector>

#include "memory_fixture.h"

namespace {

using memtest::D;
using nctest::Counts;
using nctest::Hr;
using rt::Variant;

class MemoryAttribute : public memtest::MemoryTest {
 protected:
  void SetUp() override {
    MemoryTest::SetUp();
    AddQuarterly();  // sets Vertrag / Wartungsvertrag = ja
  }
  // Ticks chkWorkflow from code: its frame is out of the user's reach
  // unless the attribute has a workflow.
  static void WithWorkflow(frmNewContract& f) { f.chkWorkflow.SetValue(ui::CheckBox::Checked); }
};

TEST_F(MemoryAttribute, TheDirectWriteTakesTheAttributeAndTheNameFromMemory) {
  struct Case {
    const char* what;
    const char* group;
    const char* attribute;
    bool written;
  };
  const Case cases[] = {
      {"with a group", "Kunde", "Status", true},
      {"no group: Gruppe not put", "", "Status", true},
      {"no attribute: nothing, whatever the value", "Kunde", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host_->DeleteRows("Adressmerkmale");
    const Run run = SaveAdjusted(D(2024, 1, 1), Rename("Wartung Sonder"), [&](frmNewContract& f) {
      ChangeInMemory(f, [&](kt_CDefinition& d) {
        d.SetztMerkmalGruppe = c.group;
        d.SetztMerkmal = c.attribute;
        d.SetztWert = "aktiv";
      });
    });
    EXPECT_TRUE(run.outcome.ok);
    const auto rows = Rows("Adressmerkmale");
    ASSERT_EQ(rows.size(), c.written ? 1u : 0u);
    if (!c.written) continue;
    EXPECT_EQ(rows[0].masterOid, Rows("kt_Vertraege").back().masterOid);
    ExpectFields(rows[0],
                 {{"Gruppe", c.group},
                  {"Merkmal", c.attribute},
                  {"Wert", "aktiv"},
                  {"GültigVom", Variant(D(2024, 1, 1))},
                  {"GültigBis", Variant(D(2024, 12, 31))},
                  {"Beschreibung", run.number + " / Wartung Sonder"}},
                 "attribute");
  }
  EXPECT_EQ(ui_->DoEventsCount(), 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MemoryAttribute, TheMacroGetsTheListsNameAndItsAbsenceOrFailureIsSuccess) {
  struct Case {
    const char* what;
    const char* project;
    const char* module;
    const char* procedure;
    bool raises;
    bool runs;
  };
  // Registered one after the other: the earlier ones stay, under other names.
  const Case cases[] = {
      {"no project Project", "Projekt", "kt_Macros", "kt_CreateAttribute", false, false},
      {"no module kt_Macros", "Project", "kt_Makros", "kt_CreateAttribute", false, false},
      {"no procedure kt_CreateAttribute", "Project", "kt_Macros", "kt_Attribut", false, false},
      {"the macro", "Project", "kt_Macros", "kt_CreateAttribute", false, true},
      {"the macro raising", "Project", "kt_Macros", "kt_CreateAttribute", true, true},
  };
  int doEvents = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<Variant> seen;
    host_->RegisterMacro(c.project, c.module, c.procedure, [&seen, raises = c.raises](std::vector<Variant>& args) {
      seen = args;
      if (raises) rt::Raise(5, "Makro", "kaputt");
    });
    const Run run = SaveAdjusted(D(2024, 1, 1), Rename("Wartung Sonder"), [this](frmNewContract& f) {
      WithWorkflow(f);
      f.cmbUser.SetListIndex(1);
      f.optneuerBenutzer.SetValue(true);
    });
    EXPECT_TRUE(run.outcome.ok);
    EXPECT_EQ(ui_->DoEventsCount(), ++doEvents);
    if (!c.runs) {
      EXPECT_TRUE(seen.empty());
      continue;
    }
    // Argument 3 names the type as the list shows it, not as renamed.
    const std::vector<Variant> expected = {"Vertrag",          "Wartungsvertrag", "ja",     run.number + " / Wartung jährlich",
                                           D(2024, 1, 1), D(2024, 12, 31), "Schulz", false};
    EXPECT_EQ(seen, expected);
  }
  EXPECT_TRUE(Rows("Adressmerkmale").empty());
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(Rows("kt_Vertraege").size(), 5u);
}

TEST_F(MemoryAttribute, TheHostsAlreadyThereCountsAsDoneOtherErrorsFailTheSave) {
  struct Case {
    const char* member;
    uint32_t number;
    bool ok;
  };
  const Case cases[] = {
      {"Insert", 0x80041096, true},
      {"Insert", 0x80041001, false},
      {"Field.SetValue", 0x80041001, false},  // nothing inserted after a failed put
  };
  size_t contracts = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.member) + " " + rt::Hex(Hr(c.number)));
    const size_t boxes = Boxes().size();
    const Run run = SaveAdjusted(D(2024, 1, 1), {}, [&](frmNewContract&) {
      host_->FailNext("Adressmerkmale", c.member, Hr(c.number), "kaputt");
    });
    EXPECT_EQ(run.outcome.ok, c.ok);
    EXPECT_EQ(run.stayedOpen, !c.ok);
    EXPECT_EQ(run.outcome.count, 1);
    ++contracts;
    // The contract is complete but for the attribute.
    EXPECT_EQ(Count(), (Counts{contracts, 0, contracts, contracts, 0}));
    if (c.ok) {
      EXPECT_EQ(Boxes().size(), boxes);
    } else {
      ASSERT_EQ(Boxes().size(), boxes + 1);
      EXPECT_EQ(Boxes().back().prompt, "Fehler &H80041001\r\n(kaputt)\r\nin kt_FNewContract.SaveFromMemory");
      EXPECT_EQ(Boxes().back().style, ui::mb::OkOnly);
      EXPECT_EQ(Boxes().back().title, std::nullopt);
    }
  }
}

TEST_F(MemoryAttribute, ASecondClickWhileTheMacroRunsIsIgnored) {
  frmNewContract* shown = nullptr;
  int runs = 0;
  host_->RegisterMacro("Project", "kt_Macros", "kt_CreateAttribute", [&](std::vector<Variant>&) {
    ++runs;
    user_.Click(shown->cmdOK);
  });
  const Run run = SaveAdjusted(D(2024, 1, 1), {}, [&](frmNewContract& f) {
    shown = &f;
    WithWorkflow(f);
  });
  EXPECT_TRUE(run.outcome.ok);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Rows("kt_Vertraege").size(), 1u);
}

}  // namespace
