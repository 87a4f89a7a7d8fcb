// Already invoiced contracts saved from an adjusted type: the positions of
// the one-off and open-ended paths, and every outcome of the renewable walk,
// looked at in the records.
#include <string>
#include <vector>

#include "memory_fixture.h"
#include "platform/format.h"

namespace {

using memtest::D;
using nctest::Counts;
using nctest::Hr;
using rt::Variant;

class MemoryBackFill : public memtest::MemoryTest {};

// The type's positions from memory, in collection order and without groups.
TEST_F(MemoryBackFill, SingleTermsWritePositionsInCollectionOrderWithoutGroups) {
  for (int32_t art : {2, 3}) {
    SCOPED_TRACE(art);
    Clear();
    AddQuarterly({{"Art", art}});
    const Run run = BackFillAdjusted(D(2024, 1, 1), 0, {}, [this](frmNewContract& f) {
      Discount(f, "10");
      PositionsWithLabels({"B", "A", "B"});
    });
    ASSERT_TRUE(run.outcome.ok);
    EXPECT_EQ(run.outcome.count, 1);
    const auto rows = Rows("kt_Vertragspositionen");
    ASSERT_EQ(rows.size(), 3u);
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::string row = "00" + std::to_string(i + 1);
      ExpectFields(rows[i],
                   {{"Beschreibung", "P" + std::to_string(i + 1)},
                    {"Row", row},
                    {"Nettopreis", 9.0},
                    {"NettoOhneRabatt", 10.0},
                    {"Rabattprozent", 10.0},
                    {"Positionsnummer", ""},
                    {"Gruppierung", ""},
                    {"Gruppierungsposition", int32_t{0}}},
                   row);
    }
  }
}

// The walk over one type (kind 1, a year paid quarterly, renewed by years
// paid quarterly, in advance; three months' notice in the first term, six
// weeks in the renewal terms) from 01.01.2020, for each outcome; with and
// without "CreateAppointment4AllContracts".
TEST_F(MemoryBackFill, EveryOutcomeOfTheRenewableWalk) {
  struct State {
    const char* laufTyp;
    rt::Date start;
    rt::Date next;
    double value;
  };
  struct Case {
    const char* what;
    rt::Date today;
    int32_t k;
    std::vector<State> states;
    rt::Date notice, end, next;
    int32_t period;
    double value;
    bool alwaysReminded;  // a current-term ending
    rt::Date validTo;
  };
  const rt::Date none = rt::kMaxDate;
  // NettoSumme 100 and a term's sum 4 x 20,00, both less 10 %.
  const Case cases[] = {
      {"branch A on the notice date: no renewal", D(2020, 10, 1), 1, {{"1", D(2020, 1, 1), D(2020, 7, 1), 90}},
       D(2020, 10, 1), D(2020, 12, 31), D(2020, 7, 1), 3, 90, false, D(2020, 12, 31)},
      {"branch A a day later: one renewal state", D(2020, 10, 2), 1,
       {{"1", D(2020, 1, 1), D(2020, 7, 1), 90}, {"2", D(2021, 1, 1), D(2021, 1, 1), 72}},
       D(2021, 11, 20), D(2021, 12, 31), D(2020, 7, 1), 3, 90, false, D(2021, 12, 31)},
      {"branch B, the current term", D(2021, 5, 15), 4,
       {{"1", D(2020, 1, 1), none, 90}, {"2", D(2021, 1, 1), D(2021, 4, 1), 72}}, D(2021, 11, 20), D(2021, 12, 31),
       D(2021, 4, 1), 3, 72, true, D(2021, 12, 31)},
      {"branch B, the first-term ending", D(2022, 5, 15), 3, {{"1", D(2020, 1, 1), none, 90}}, D(2020, 10, 1),
       D(2020, 12, 31), none, 3, 90, false, D(2020, 12, 31)},
      {"branch B, a reached term fixes the next invoice, then the current term", D(2022, 5, 15), 5,
       {{"1", D(2020, 1, 1), none, 90}, {"2", D(2021, 1, 1), D(2021, 7, 1), 72}, {"2", D(2022, 1, 1), D(2022, 1, 1), 72}},
       D(2022, 11, 20), D(2022, 12, 31), D(2021, 7, 1), 3, 72, true, D(2022, 12, 31)},
      {"branch B, a reached term, then the renewal ending", D(2023, 3, 15), 5,
       {{"1", D(2020, 1, 1), none, 90}, {"2", D(2021, 1, 1), D(2021, 7, 1), 72}}, D(2021, 11, 20), D(2021, 12, 31),
       D(2021, 7, 1), 3, 72, false, D(2021, 12, 31)},
  };
  for (const bool remindAll : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (remindAll ? ", reminders for all" : ""));
      Clear();
      host_->SetDatabaseSetting("CreateAppointment4AllContracts", remindAll ? "true" : "false");
      rt::SetToday(c.today);
      AddQuarterly({{"VerlKuendigungsfrist", int32_t{6}}, {"VerlKuendigungsfristEinh", "Wochen"}});
      const Run run = BackFillAdjusted(D(2020, 1, 1), c.k, {}, [this](frmNewContract& f) { Discount(f, "10"); });
      ASSERT_TRUE(run.outcome.ok);
      EXPECT_EQ(run.outcome.count, static_cast<int32_t>(c.states.size()));
      const auto v = Only("kt_Vertraege");
      const std::string nextText = rt::FormatDate(c.next, "yyyyMMdd");
      ExpectFields(v,
                   {{"KuendfristDatum", Variant(c.notice)},
                    {"VertragEnde", Variant(c.end)},
                    {"AktZahlungsperiode", c.period},
                    {"AktValue", c.value},
                    {"AktNaechsteRechnung", Variant(c.next)},
                    {"AktNaechsteRechnungStr", nextText}},
                   "contract");
      const auto states = Rows("kt_Vertragsstaende");
      ASSERT_EQ(states.size(), c.states.size());
      for (size_t i = 0; i < states.size(); ++i) {
        const State& e = c.states[i];
        ExpectFields(states[i],
                     {{"AlteFakturierung", true},
                      {"LaufTyp", e.laufTyp},
                      {"LaufzeitStart", Variant(e.start)},
                      {"NaechsteRechnung", Variant(e.next)},
                      {"Value", e.value}},
                     "state " + std::to_string(i + 1));
      }
      // The notice reminder of the term written last, six weeks ahead.
      const auto reminders = Rows("kt_VertragsAktivitaeten");
      if (remindAll || c.alwaysReminded) {
        ASSERT_EQ(reminders.size(), 1u);
        EXPECT_EQ(Str(reminders[0], "Betreff"),
                  "Kündigungsfrist läuft am  " + rt::FormatDate(c.notice, "dd.MM.yyyy") + "  aus");
        EXPECT_EQ(DateOf(reminders[0], "Datum"), rt::Date{rt::AddDays(c.notice, -42).serial + 0.375});
        EXPECT_EQ(Str(v, "AlarmOID"), reminders[0].oid);
      } else {
        EXPECT_TRUE(reminders.empty());
      }
      EXPECT_EQ(DateOf(Only("Adressmerkmale"), "GültigBis"), c.validTo);
    }
  }
}

TEST_F(MemoryBackFill, RenewalPricesAndTheDiscountOfTheFirstTermOnly) {
  struct Case {
    const char* what;
    int32_t renewalPeriod;  // set in memory; 3 as stored
    double renewalPrice;    // NettoOhneRabatt of a renewal position
  };
  const Case cases[] = {
      {"a quarter: PreisM3", 3, 20},
      {"a year: PreisM12", 12, 90},
      {"two months, no column: twice PreisM1", 2, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    rt::SetToday(D(2021, 5, 15));
    AddQuarterly();
    const Run run = BackFillAdjusted(D(2020, 1, 1), 4, {}, [&](frmNewContract& f) {
      if (c.renewalPeriod != 3) ChangeInMemory(f, [&](kt_CDefinition& d) { d.VerlaengerungsZahlungsperiode = c.renewalPeriod; });
      Discount(f, "10");
      user_.Tick(f.chkRabattNurErsteLaufzeit);
    });
    ASSERT_TRUE(run.outcome.ok);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(run.outcome.count, 2);
    EXPECT_EQ(Only("kt_Vertraege")["RabattNurErsteLaufzeit"], Variant(true));
    const auto states = Rows("kt_Vertragsstaende");
    const auto positions = Rows("kt_Vertragspositionen");
    ASSERT_EQ(states.size(), 2u);
    ASSERT_EQ(positions.size(), 2u);
    // The first term discounted, the renewal term at its undiscounted price.
    ExpectFields(states[0], {{"Rabattprozent", 10.0}, {"Value", 90.0}}, "first term");
    ExpectFields(positions[0], {{"Rabattprozent", 10.0}, {"Nettopreis", 22.5}, {"NettoOhneRabatt", 25.0}},
                 "first-term position");
    ExpectFields(states[1], {{"Rabattprozent", 0.0}, {"Value", 4 * c.renewalPrice}, {"Zahlungsperiode", c.renewalPeriod}},
                 "renewal term");
    ExpectFields(positions[1],
                 {{"Rabattprozent", 0.0}, {"Nettopreis", c.renewalPrice}, {"NettoOhneRabatt", c.renewalPrice}},
                 "renewal position");
  }
}

TEST_F(MemoryBackFill, WithoutAPositionCollectionTheRenewalTermsAreWorthNothing) {
  rt::SetToday(D(2022, 5, 15));
  AddQuarterly();
  const Run run = BackFillAdjusted(D(2020, 1, 1), 5, {}, [](frmNewContract&) { gPositions.reset(); });
  ASSERT_TRUE(run.outcome.ok);
  EXPECT_TRUE(Rows("kt_Vertragspositionen").empty());
  const auto states = Rows("kt_Vertragsstaende");
  ASSERT_EQ(states.size(), 3u);
  EXPECT_EQ(Num(states[0], "Value"), 100);
  EXPECT_EQ(Num(states[1], "Value"), 0);
  EXPECT_EQ(Num(states[2], "Value"), 0);
  // The current term takes the reached term's value and next invoice.
  ExpectFields(Only("kt_Vertraege"), {{"AktValue", 0.0}, {"AktNaechsteRechnung", Variant(D(2021, 7, 1))}},
               "contract");
}

TEST_F(MemoryBackFill, StopsBeforeWritingWhenTodayMovedBackSinceTheListWasBuilt) {
  rt::SetToday(D(2021, 5, 15));
  AddQuarterly();
  const Run run = BackFillAdjusted(D(2020, 1, 1), 5, {}, [](frmNewContract&) { rt::SetToday(D(2021, 2, 15)); });
  EXPECT_FALSE(run.outcome.ok);
  EXPECT_TRUE(run.stayedOpen);
  EXPECT_EQ(Count(), (Counts{0, 0, 0, 0, 0}));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].prompt.starts_with("Fehler &H9\r\n"));
  EXPECT_TRUE(Boxes()[0].prompt.ends_with("\r\nin kt_FNewContract.SaveFromMemory"));
}

// The first attempt fails at its attribute, after the renewal term dropped
// the discount of the first term only; the second OK applies the entered
// discount to its first term once more, and once only.
TEST_F(MemoryBackFill, ASecondConfirmationAfterAFailedOneAppliesTheEnteredDiscountOnce) {
  rt::SetToday(D(2021, 5, 15));
  AddQuarterly();
  const Outcome o = ShowThroughCkt([this](frmNewContract& f) {
    user_.SetDate(f.DTPVertragBeginn, D(2020, 1, 1));
    Adjust(f);
    Discount(f, "10");
    user_.Tick(f.chkRabattNurErsteLaufzeit);
    user_.Tick(f.chkOldContract);
    user_.Select(f.lstInvoices, 4);
    host_->FailNext("Adressmerkmale", "Insert", Hr(nctest::kStorage), "");
    user_.Click(f.cmdOK);
    EXPECT_TRUE(f.IsShown());
    EXPECT_EQ(f.txtRabatt.Text(), "10,00");
    user_.Click(f.cmdOK);
  });
  ASSERT_TRUE(o.ok);
  EXPECT_EQ(o.count, 2);
  const auto states = Rows("kt_Vertragsstaende");
  const auto positions = Rows("kt_Vertragspositionen");
  ASSERT_EQ(states.size(), 4u);
  ASSERT_EQ(positions.size(), 4u);
  for (size_t first : {0u, 2u}) {
    // NettoSumme 100 and 4 x 25,00 less 10 % in the first term; the renewal
    // term at 4 x 20,00 undiscounted.
    ExpectFields(states[first], {{"Value", 90.0}, {"Rabattprozent", 10.0}}, "first term");
    ExpectFields(positions[first], {{"Nettopreis", 22.5}, {"Rabattprozent", 10.0}}, "first-term position");
    ExpectFields(states[first + 1], {{"Value", 80.0}, {"Rabattprozent", 0.0}}, "renewal term");
  }
  ExpectFields(Rows("kt_Vertraege").back(), {{"AktValue", 80.0}, {"RabattNurErsteLaufzeit", true}}, "contract");
  EXPECT_EQ(Rows("Adressmerkmale").size(), 1u);
}

// The current term's next invoice beyond 31.12.9999 (the first term paid
// yearly in arrears; from 01.10.9997 on 01.12.9998, entry 1: 01.01.9999 plus
// a year): lVsCount counts the state that is not written, and the contract
// gets neither its current values nor the current term's reminder.
TEST_F(MemoryBackFill, AFailingNextInvoiceCountsTheCurrentTermItDoesNotWrite) {
  rt::SetToday(D(9998, 12, 1));
  AddQuarterly({{"Zahlungsperiode", int32_t{12}}, {"RechnungWann", int32_t{1}}});
  const Run run = BackFillAdjusted(D(9997, 10, 1), 1, {});
  EXPECT_FALSE(run.outcome.ok);
  EXPECT_TRUE(run.stayedOpen);
  EXPECT_EQ(run.outcome.count, 2);
  EXPECT_EQ(Count(), (Counts{1, 0, 1, 1, 0}));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_TRUE(Boxes()[0].prompt.starts_with("Fehler &H5\r\n")) << Boxes()[0].prompt;
  EXPECT_TRUE(Boxes()[0].prompt.ends_with("\r\nin kt_FNewContract.SaveFromMemory"));
  ExpectFields(Only("kt_Vertraege"), {{"VertragEnde", Variant(D(1899, 12, 30))}, {"AktNaechsteRechnungStr", ""}},
               "contract");
  ExpectFields(Only("kt_Vertragsstaende"),
               {{"LaufTyp", "1"},
                {"LaufzeitStart", Variant(D(9997, 10, 1))},
                {"Zahlungsperiode", int32_t{12}},
                {"Value", 100.0},
                {"NaechsteRechnung", Variant(rt::kMaxDate)}},
               "first-term state");
}

TEST_F(MemoryBackFill, InjectedFailuresLeaveWhatWasWrittenAndTheStatesCounted) {
  struct Case {
    const char* table;
    const char* member;
    Counts counts;  // contracts, reminders, states, positions, attributes
    int32_t lVsCount;
  };
  // The reached-then-current case: three states, the current one reminded.
  const Case cases[] = {
      {"kt_Vertraege", "Insert", {0, 0, 0, 0, 0}, 0},
      {"kt_Vertragsstaende", "Insert", {1, 0, 0, 0, 0}, 1},
      {"kt_Vertragspositionen", "Insert", {1, 0, 1, 0, 0}, 1},
      {"kt_Vertraege", "Update", {1, 0, 3, 3, 0}, 3},
      {"Adressmerkmale", "Insert", {1, 1, 3, 3, 0}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.table) + "." + c.member);
    Clear();
    rt::SetToday(D(2022, 5, 15));
    AddQuarterly();
    const Run run = BackFillAdjusted(D(2020, 1, 1), 5, {}, [&](frmNewContract&) {
      host_->FailNext(c.table, c.member, Hr(nctest::kStorage), "voll");
    });
    EXPECT_FALSE(run.outcome.ok);
    EXPECT_TRUE(run.stayedOpen);
    EXPECT_EQ(run.outcome.count, c.lVsCount);
    EXPECT_EQ(Count(), c.counts);
    EXPECT_TRUE(Boxes().back().prompt.ends_with("\r\nin kt_FNewContract.SaveFromMemory"));
  }
}

}  // namespace
