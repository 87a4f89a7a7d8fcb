// The reminder appointments of a new contract and their lead times.
#include <string>
#include <vector>

#include "api_fixture.h"

namespace {

class ApiReminders : public apitest::ApiTest {
 protected:
  // Subject and time of each reminder, in write order.
  std::vector<std::pair<std::string, rt::Date>> Reminders() {
    std::vector<std::pair<std::string, rt::Date>> out;
    for (const auto& r : Rows("kt_VertragsAktivitaeten"))
      out.emplace_back(Str(r, "Betreff"), DateOf(r, "Datum"));
    return out;
  }
};

using coretest::At9;
using Reminder = std::pair<std::string, rt::Date>;

TEST_F(ApiReminders, NoticeReminderOnlyWhenAllContractsGetOne) {
  // The process-wide flag counts, not the database setting it mirrors.
  host_->SetDatabaseSetting("CreateAppointment4AllContracts", "true");
  RunOk(Baseline(), {Line()});
  EXPECT_TRUE(Reminders().empty());

  gCreateAppointment4AllContracts = true;  // as an earlier call left it
  RunOk(Baseline(), {Line()});
  const auto rows = Rows("kt_VertragsAktivitaeten");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Str(rows[0], "Typ"), "Termin");
  EXPECT_EQ(Str(rows[0], "Betreff"), "Kündigungsfrist läuft am  20.11.2024  aus");
  EXPECT_EQ(DateOf(rows[0], "Datum"), At9(2024, 10, 9));  // six weeks before
  EXPECT_EQ(rows[0]["Erledigt"], rt::Variant(false));
  EXPECT_EQ(Str(rows[0], "Verantwortlich"), "Meier");
  const auto contract = Rows("kt_Vertraege").at(1);
  EXPECT_EQ(rows[0].masterOid, contract.oid);
  EXPECT_EQ(Str(contract, "AlarmOID"), rows[0].oid);
  // The default lead time is not stored.
  EXPECT_FALSE(gDB->ScriptEngine()->PersistVars()->Exists("kt_AlarmWochenKuendigung"));
}

TEST_F(ApiReminders, EndReminderForOneOffAndOpenReminderLast) {
  host_->SetCurrentUser("Schulz", false);
  for (int32_t kind : {1, 2}) {
    gCreateAppointment4AllContracts = kind == 1;  // a one-off contract gets its end reminder regardless
    auto c = Baseline();
    c->lVertragArt = kind;
    c->VertragGeschlossenAm = rt::kNoDate;
    RunOk(c, {Line()});
  }
  EXPECT_EQ(Reminders(), (std::vector<Reminder>{
                             {"Kündigungsfrist läuft am  20.11.2024  aus", At9(2024, 10, 9)},
                             {"Vertragsabschluss ist noch nicht erfolgt?", At9(2024, 3, 12)},  // today + 2
                             {"Vertrag läuft am  31.12.2024  aus", At9(2024, 12, 3)},
                             {"Vertragsabschluss ist noch nicht erfolgt?", At9(2024, 3, 12)},
                         }));
  const auto alarms = Rows("kt_VertragsAktivitaeten");
  const auto contracts = Rows("kt_Vertraege");
  EXPECT_EQ(Str(contracts[0], "AlarmOID"), alarms[1].oid);
  EXPECT_EQ(Str(contracts[1], "AlarmOID"), alarms[3].oid);
  EXPECT_EQ(alarms[2].masterOid, contracts[1].oid);
  for (const auto& a : alarms) EXPECT_EQ(Str(a, "Verantwortlich"), "Schulz");
  EXPECT_EQ(Str(contracts[1], "Verantwortlich"), "Schulz");
}

TEST_F(ApiReminders, LeadTimesComeFromThePersistentVariables) {
  gCreateAppointment4AllContracts = true;
  // A lead time that is no number stops the run before anything is
  // written, and before a number is drawn.
  host_->SetPersistVar("kt_AlarmWochenKuendigung", "abc");
  ExpectError(Run(Baseline(), {Line()}), 13, "modAPI.CreateVandVS");
  EXPECT_EQ(Count(), apitest::Counts{});
  EXPECT_EQ(Rows("KMMD_Nummern").size(), 0u);

  // Each kind reads only its own lead time.
  host_->SetPersistVar("kt_AlarmWochenEnde", int32_t{1});
  auto c = Baseline();
  c->lVertragArt = 2;
  RunOk(c, {Line()});
  EXPECT_EQ(Str(Only("kt_Vertraege"), "Vertragnummer"), "00000001");
  host_->SetPersistVar("kt_AlarmWochenKuendigung", "2");
  RunOk(Baseline(), {Line()});
  EXPECT_EQ(Reminders(),
            (std::vector<Reminder>{{"Vertrag läuft am  31.12.2024  aus", At9(2024, 12, 24)},
                                   {"Kündigungsfrist läuft am  20.11.2024  aus", At9(2024, 11, 6)}}));
}

TEST_F(ApiReminders, AFailingReminderIsShownAndTheRunGoesOn) {
  auto c = Baseline();
  c->VertragGeschlossenAm = rt::kNoDate;
  host_->FailNext("kt_VertragsAktivitaeten", "Insert", apitest::Hr(apitest::kStorage), "");
  RunOk(c, {Line()});
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].prompt.find("in modKT.CreateOpenAlarm"), std::string::npos);
  EXPECT_EQ(Count(), (apitest::Counts{1, 0, 1, 1, 1}));
}

}  // namespace
