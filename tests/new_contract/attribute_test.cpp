// The reminders of a new contract and the attribute step that ends its
// save: through the host macro or written directly.
#include <string>
#include <utility>
#include <vector>

#include "new_contract_fixture.h"

namespace {

using nctest::At9;
using nctest::Counts;
using nctest::D;
using nctest::Hr;
using nctest::Sets;
using nctest::Values;

using Reminder = std::pair<std::string, rt::Date>;

class NewContractAttribute : public nctest::NewContractTest {
 protected:
  std::vector<Reminder> Reminders() {
    std::vector<Reminder> out;
    for (const auto& r : Rows("kt_VertragsAktivitaeten")) out.emplace_back(Str(r, "Betreff"), DateOf(r, "Datum"));
    return out;
  }
  // Confirms with chkWorkflow ticked (it is in a frame the user cannot
  // reach without a workflow, so it is ticked from code).
  nctest::NewContractTest::Outcome ConfirmWithWorkflow(std::function<void(frmNewContract&)> before = {}) {
    return ShowThroughCkt([&](frmNewContract& f) {
      f.chkWorkflow.SetValue(ui::CheckBox::Checked);
      if (before) before(f);
      user_.Click(f.cmdOK);
    });
  }
};

TEST_F(NewContractAttribute, RemindersByKindSettingAndConclusionDate) {
  rt::SetToday(D(2027, 1, 10));
  struct Case {
    int32_t kind;
    bool allContracts;
    bool concluded;
    std::vector<Reminder> reminders;
  };
  const Reminder notice{"Kündigungsfrist läuft am  15.10.2027  aus", At9(2027, 9, 3)};
  const Reminder end{"Vertrag läuft am  14.07.2027  aus", At9(2027, 6, 16)};
  const Reminder open{"Vertragsabschluss ist noch nicht erfolgt?", At9(2027, 1, 12)};
  const Case cases[] = {
      {1, false, true, {}},           {1, true, true, {notice}}, {1, false, false, {open}},
      {1, true, false, {notice, open}}, {2, false, true, {end}},   {2, true, false, {end, open}},
      {3, true, true, {}},            {3, false, false, {open}}, {7, true, true, {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.kind) + (k.allContracts ? " all" : "") + (k.concluded ? " concluded" : ""));
    Clear();
    host_->SetDatabaseSetting("CreateAppointment4AllContracts", k.allContracts ? "true" : "false");
    Values type = {{"Art", k.kind}};
    if (k.kind == 2) type = {{"Art", 2}, {"Dauer", 6}, {"Zahlungsperiode", 1}};
    AddType(type);
    const auto outcome = ShowThroughCkt([&](frmNewContract& f) {
      if (!k.concluded) user_.SetDate(f.DTPGeschlossenAm, std::nullopt);
      user_.Click(f.cmdOK);
    });
    ASSERT_TRUE(outcome.ok);
    EXPECT_EQ(Reminders(), k.reminders);
    const auto v = Only("kt_Vertraege");
    const auto rows = Rows("kt_VertragsAktivitaeten");
    // The last reminder written names itself in the contract.
    EXPECT_EQ(Str(v, "AlarmOID"), rows.empty() ? "" : rows.back().oid);
    for (const auto& r : rows) {
      EXPECT_EQ(r.masterOid, v.oid);
      EXPECT_EQ(Str(r, "Verantwortlich"), "Meier");
      EXPECT_EQ(Str(r, "Typ"), "Termin");
    }
  }
}

TEST_F(NewContractAttribute, LeadTimesComeFromTheLoad) {
  host_->SetPersistVar("kt_AlarmWochenEnde", "2");
  AddType({{"Art", 2}, {"Dauer", 1}, {"Zahlungsperiode", 1}});
  ASSERT_TRUE(ConfirmThroughCkt().ok);
  // Start 15.03.2024, end 14.04.2024, two weeks before.
  EXPECT_EQ(Reminders(), (std::vector<Reminder>{{"Vertrag läuft am  14.04.2024  aus", At9(2024, 3, 31)}}));
}

TEST_F(NewContractAttribute, AFailingReminderIsShownAndTheSaveGoesOn) {
  AddType({{"Art", 2}});
  host_->FailNext("kt_VertragsAktivitaeten", "Insert", Hr(0x80041001), "weg");
  const auto outcome = ShowThroughCkt([&](frmNewContract& f) {
    user_.SetDate(f.DTPGeschlossenAm, std::nullopt);
    user_.Click(f.cmdOK);
  });
  EXPECT_TRUE(outcome.ok);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt, "Fehler &H80041001\r\n(weg)\r\nin modKT.CreateCancellationAlarm");
  EXPECT_EQ(Reminders().size(), 1u);  // the open reminder
  EXPECT_EQ(Count(), (Counts{1, 1, 1, 0, 0}));
}

TEST_F(NewContractAttribute, TheDirectWriteGivesTheAddressTheTypesAttribute) {
  struct Case {
    const char* what;
    Values type;
    bool written;
    const char* gruppe;
    const char* wert;
    rt::Date bis;
  };
  const Case cases[] = {
      {"renewable: valid for the first term", Sets("Vertrag", "Wartungsvertrag", "ja"), true, "Vertrag", "ja",
       D(2025, 3, 14)},
      {"no group: Gruppe left as the host prepares it", Sets("", "Wartungsvertrag", "ja"), true, "Allgemein", "ja",
       D(2025, 3, 14)},
      {"an empty value is written", Sets("Vertrag", "Wartungsvertrag", ""), true, "Vertrag", "", D(2025, 3, 14)},
      {"open-ended: open validity", nctest::Merge(Sets("Vertrag", "Laufzeit", "offen"), {{"Art", 3}}), true,
       "Vertrag", "offen", rt::kNoDate},
      {"no attribute: nothing", Sets("Vertrag", "", "ja"), false, "", "", rt::kNoDate},
  };
  // A host default tells a Gruppe put empty from one left alone.
  host_->SetFieldDefault("Adressmerkmale", "Gruppe", "Allgemein");
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Clear();
    AddType(nctest::Merge(k.type, {{"Bezeichnung", "Wartung"}}));
    const auto outcome = ConfirmThroughCkt();
    EXPECT_TRUE(outcome.ok);
    const auto rows = Rows("Adressmerkmale");
    ASSERT_EQ(rows.size(), k.written ? 1u : 0u);
    if (!k.written) continue;
    const auto& a = rows[0];
    EXPECT_EQ(a.masterOid, Rows("kt_Vertraege").back().masterOid);
    EXPECT_EQ(Str(a, "Gruppe"), k.gruppe);
    EXPECT_EQ(Str(a, "Wert"), k.wert);
    EXPECT_EQ(DateOf(a, "GültigVom"), D(2024, 3, 15));
    EXPECT_EQ(DateOf(a, "GültigBis"), k.bis);
    EXPECT_EQ(Str(a, "Beschreibung"), Str(Rows("kt_Vertraege").back(), "Vertragnummer") + " / Wartung");
  }
  EXPECT_EQ(ui_->DoEventsCount(), 0);
}

TEST_F(NewContractAttribute, TheMacroGetsEightValuesAndItsAbsenceOrFailureIsSuccess) {
  struct Case {
    const char* what;
    const char *project, *module, *procedure;
    bool raises, runs;
  };
  // Registered one after the other: the earlier ones stay, under other names.
  const Case cases[] = {
      {"no project Project", "Projekt", "kt_Macros", "kt_CreateAttribute", false, false},
      {"no module kt_Macros", "Project", "kt_Makros", "kt_CreateAttribute", false, false},
      {"no procedure kt_CreateAttribute", "Project", "kt_Macros", "kt_Attribut", false, false},
      {"the macro", "Project", "kt_Macros", "kt_CreateAttribute", false, true},
      {"the macro raising", "Project", "kt_Macros", "kt_CreateAttribute", true, true},
  };
  AddType(nctest::Merge(Sets("Vertrag", "Laufzeit", "offen"), {{"Art", 3}, {"Bezeichnung", "Hosting"}}));
  std::vector<rt::Variant> seen;
  int doEvents = 0;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    seen.clear();
    host_->RegisterMacro(k.project, k.module, k.procedure, [&seen, raises = k.raises](std::vector<rt::Variant>& args) {
      seen = args;
      args[3] = "geändert";  // not read back
      if (raises) rt::Raise(5, "Makro", "kaputt");
    });
    const auto outcome = ConfirmWithWorkflow([&](frmNewContract& f) {
      // The frame is disabled without a workflow: set as the code would.
      f.cmbUser.SetListIndex(1);
      f.optneuerBenutzer.SetValue(true);
    });
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(ui_->DoEventsCount(), ++doEvents);
    const std::vector<rt::Variant> expected = {"Vertrag", "Laufzeit", "offen",
                                               Str(Rows("kt_Vertraege").back(), "Vertragnummer") + " / Hosting",
                                               D(2024, 3, 15), rt::kNoDate, "Schulz", false};
    EXPECT_EQ(seen, k.runs ? expected : std::vector<rt::Variant>{});
  }
  // The host failing to give the macro's module: the save succeeds all the same.
  host_->FailAlways("", "ProjectItems", Hr(0x80041001), "");
  EXPECT_TRUE(ConfirmWithWorkflow().ok);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Rows("Adressmerkmale").empty());
  EXPECT_EQ(Rows("kt_Vertraege").size(), 6u);
}

TEST_F(NewContractAttribute, ASecondClickWhileTheMacroRunsIsIgnored) {
  AddType(Sets("Vertrag", "Wartungsvertrag", "ja"));
  frmNewContract* shown = nullptr;
  int runs = 0;
  host_->RegisterMacro("Project", "kt_Macros", "kt_CreateAttribute", [&](std::vector<rt::Variant>&) {
    ++runs;
    user_.Click(shown->cmdOK);
  });
  const auto outcome = ConfirmWithWorkflow([&](frmNewContract& f) { shown = &f; });
  EXPECT_TRUE(outcome.ok);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Rows("kt_Vertraege").size(), 1u);
}

TEST_F(NewContractAttribute, TheHostsAlreadyThereCountsAsDoneOtherErrorsLeaveTheDialogOpen) {
  struct Case {
    const char* member;
    uint32_t number;
    bool ok;
  };
  const Case cases[] = {
      {"Insert", 0x80041096, true},
      {"Field.SetValue", 0x80041096, true},  // nothing inserted after a failed put
      {"NewValues", 0x80041096, true},
      {"Insert", 0x80041001, false},
      {"Field.SetValue", 0x80041001, false},
  };
  const std::string type = AddType(Sets("Vertrag", "Wartungsvertrag", "ja"));
  AddPosition(type);
  size_t contracts = 0;
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.member) + " " + rt::Hex(Hr(k.number)));
    const size_t boxes = Boxes().size();
    const auto outcome = ShowThroughCkt([&](frmNewContract& f) {
      host_->FailNext("Adressmerkmale", k.member, Hr(k.number), "kaputt");
      user_.Click(f.cmdOK);
      EXPECT_EQ(f.IsShown(), !k.ok);
      EXPECT_EQ(f.bOK(), k.ok);
      if (f.IsShown()) user_.Click(f.cmdCancel);
    });
    EXPECT_EQ(outcome.ok, k.ok);
    EXPECT_EQ(outcome.count, 1);
    ++contracts;
    // The contract is complete but for the attribute.
    EXPECT_EQ(Count(), (Counts{contracts, 0, contracts, contracts, 0}));
    if (k.ok) {
      EXPECT_EQ(Boxes().size(), boxes);
    } else {
      ASSERT_EQ(Boxes().size(), boxes + 1);
      EXPECT_EQ(Boxes().back().prompt, "Fehler &H80041001\r\n(kaputt)\r\nin kt_FNewContract.cmdOK_Click");
    }
  }
}

}  // namespace
