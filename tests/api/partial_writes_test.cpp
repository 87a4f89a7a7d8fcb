// What stays written when a phase fails, and the run without article lines.
#include <string>

#include "api_fixture.h"

namespace {

using apitest::Counts;
using apitest::Hr;
using apitest::kStorage;

class ApiPartialWrites : public apitest::ApiTest {
 protected:
  // The contract and its state carry no value.
  void ExpectNoValue() {
    for (const auto& v : Rows("kt_Vertraege")) EXPECT_EQ(Num(v, "AktValue"), 0);
    for (const auto& s : Rows("kt_Vertragsstaende")) EXPECT_EQ(Num(s, "Value"), 0);
  }
};

TEST_F(ApiPartialWrites, EachPhaseLeavesWhatWasWrittenBeforeIt) {
  struct Case {
    const char* table;
    const char* member;
    const char* source;
    Counts left;
  };
  const Case cases[] = {
      // The number is drawn, the contract not inserted.
      {"kt_Vertraege", "Insert", "modAPI.CreateVandVS", {0, 0, 0, 0, 0}},
      // The contract and its reminder stay, without a state.
      {"kt_Vertragsstaende", "Insert", "modAPI.CreateVandVS", {1, 1, 0, 0, 0}},
      {"ScriptEngine", "Evaluate", "modAPI.GetNewPositions", {1, 1, 1, 0, 0}},
      {"kt_Vertragspositionen", "Insert", "modAPI.WriteNewPositions", {1, 1, 1, 0, 0}},
      {"kt_Vertragsstaende", "Update", "modAPI.WriteActValues", {1, 1, 1, 2, 0}},
  };
  auto c = Baseline();
  c->VertragGeschlossenAm = rt::kNoDate;  // one reminder
  int number = 0;
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.table) + "." + k.member);
    for (const char* t : {"kt_Vertraege", "kt_VertragsAktivitaeten", "kt_Vertragsstaende", "kt_Vertragspositionen"})
      host_->DeleteRows(t);
    host_->FailNext(k.table, k.member, Hr(kStorage), "");
    const auto err = Run(c, {Line(), Line("A2")});
    ExpectError(err, Hr(kStorage), k.source);
    EXPECT_EQ(Count(), k.left);
    ExpectNoValue();
    EXPECT_EQ(modAPI::gVertragsnummer, "0000000" + std::to_string(++number));
  }
}

TEST_F(ApiPartialWrites, APositionThatFailsKeepsThoseBeforeIt) {
  auto second = Line("A2");
  second->sGruppierung = std::string(256, 'g');  // longer than the field
  const auto err = Run(Baseline(), {Line(), second, Line("A3")});
  ExpectError(err, Hr(0x80041007), "modAPI.WriteNewPositions");
  EXPECT_EQ(Count(), (Counts{1, 0, 1, 1, 0}));
  EXPECT_EQ(Str(Only("kt_Vertragspositionen"), "ArtikelID"), "A1");
  ExpectNoValue();
}

TEST_F(ApiPartialWrites, AFailedRestoreDoesNotHideTheError) {
  // The article table's state cannot be put back; the error that made the
  // positions fail is still the one reported.
  gContractD = Baseline();
  gColArt = Lines({Line()});
  ASSERT_TRUE(modAPI::InitTables());
  host_->FailNext("ScriptEngine", "Evaluate", Hr(kStorage), "Formel kaputt");
  host_->FailAlways("Artikel", "SetFlagA", Hr(0x8004100D), "");
  try {
    modAPI::GetNewPositions(3, 0);
    ADD_FAILURE() << "no error";
  } catch (const rt::Error& e) {
    EXPECT_EQ(rt::Hex(e.number()), rt::Hex(Hr(kStorage)));
    EXPECT_EQ(e.source(), "modAPI.GetNewPositions");
    EXPECT_EQ(e.description(), "Formel kaputt");
  }

  // The same for the article check: its message shows the lookup's error.
  host_->ClearFaults();
  host_->FailNext("Artikel", "Seek", Hr(kStorage), "Suche kaputt");
  host_->FailAlways("Artikel", "SetFlagA", Hr(0x8004100D), "");
  EXPECT_FALSE(modAPI::ArticlesExist());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &H8004100C in ", 0), 0u) << Boxes()[0].prompt;
}

class ApiEmptyCollection : public apitest::ApiTest {};

TEST_F(ApiEmptyCollection, WritesContractRemindersAndStateThenStopsQuietly) {
  auto c = Baseline();
  c->lVertragArt = 2;
  EXPECT_FALSE(Run(c, Lines({})).has_value());
  // No positions, no value and no attribute, although one was asked for.
  EXPECT_EQ(Count(), (Counts{1, 1, 1, 0, 0}));
  EXPECT_EQ(Num(Only("kt_Vertraege"), "AktValue"), 0);
  EXPECT_EQ(Num(Only("kt_Vertragsstaende"), "Value"), 0);
  EXPECT_TRUE(modAPI::gNewPositions.empty());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace

// The phases called without run tables (no InitTables before) raise 91
// under their own source instead of crashing.
TEST_F(ApiPartialWrites, PhasesWithoutRunTablesRaiseObjectNotSet) {
  gContractD = Baseline();
  gColArt = Lines({Line()});
  double value = 0;
  const std::pair<const char*, std::function<void()>> phases[] = {
      {"modAPI.CreateVandVS", [] { modAPI::CreateVandVS(); }},
      {"modAPI.GetNewPositions", [] { modAPI::GetNewPositions(3, 0); }},
      {"modAPI.WriteNewPositions",
       [&] {
         modAPI::gNewPositions.resize(1);
         modAPI::WriteNewPositions(value);
       }},
      {"modAPI.WriteActValues", [] { modAPI::WriteActValues(1); }},
  };
  for (const auto& [source, phase] : phases) {
    SCOPED_TRACE(source);
    try {
      phase();
      ADD_FAILURE() << "no error";
    } catch (const rt::Error& e) {
      EXPECT_EQ(e.number(), rt::errc::ObjectNotSet);
      EXPECT_EQ(e.source(), source);
    }
  }
  EXPECT_EQ(Count(), Counts{});
}
