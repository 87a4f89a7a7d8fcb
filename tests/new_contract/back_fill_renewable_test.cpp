// A renewable contract entered with already invoiced periods, through the
// dialog: every record of the worked examples field by field, the
// contract's current values for each outcome, the discount of the first
// term only, the reminders, and what stays written when a write fails.
#include <string>
#include <vector>

#include "back_fill_fixture.h"
#include "platform/format.h"

namespace {

using nctest::At9;
using nctest::Counts;
using nctest::D;
using nctest::Hr;
using nctest::kStorage;
using nctest::Values;
using rt::Variant;

class NewContractBackFillRenewable : public nctest::BackFillTest {
 protected:
  void SetUp() override {
    BackFillTest::SetUp();
    rt::SetToday(D(2026, 12, 8));
  }

  // A date beyond 31.12.9999 ended the save in its trap after `count`
  // states begun: the dialog stays open with error 5, and one contract,
  // one state and one position are written.
  void ExpectDateFailure(const Run& run, int32_t count) {
    EXPECT_FALSE(run.outcome.ok);
    EXPECT_TRUE(run.stayedOpen);
    EXPECT_EQ(run.outcome.count, count);
    EXPECT_EQ(Count(), (Counts{1, 0, 1, 1, 0}));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].prompt.rfind("Fehler &H5\r\n", 0), 0u) << Boxes()[0].prompt;
    EXPECT_TRUE(Boxes()[0].prompt.ends_with("\r\nin kt_FNewContract.cmdOK_Click"));
  }
};

Variant Day(int32_t y, int32_t m, int32_t d) { return Variant(D(y, m, d)); }

// Worked example 1: the last invoiced period 01.07.2026 (entry 7) lies in
// the first renewal term; the second renewal term is certain and becomes
// the contract's term.
TEST_F(NewContractBackFillRenewable, WorkedExampleOneWritesAnInvoicedAndAFinalTerm) {
  host_->SetDatabaseSetting("CreateAppointment4AllContracts", "true");
  AddQuarterly();
  std::vector<std::string> list;
  rt::Date lastListed;
  const Run run = BackFill(D(2024, 10, 1), 7, [&](frmNewContract& f) {
    Discount(f, "10");
    list = Entries(f.lstInvoices);
    lastListed = NewContractPeer::dLastListedStart(f);
  });
  EXPECT_EQ(list, (std::vector<std::string>{"01.10.2024 - 31.12.2024", "01.01.2025 - 31.03.2025",
                                             "01.04.2025 - 30.06.2025", "01.07.2025 - 30.09.2025",
                                             "01.10.2025 - 31.12.2025", "01.01.2026 - 31.03.2026",
                                             "01.04.2026 - 30.06.2026", "01.07.2026 - 30.09.2026",
                                             "01.10.2026 - 31.12.2026"}));
  EXPECT_EQ(lastListed, D(2026, 10, 1));
  EXPECT_TRUE(run.outcome.ok);
  EXPECT_EQ(run.outcome.count, 3);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(run.discountShown, "10,00");

  const auto v = Only("kt_Vertraege");
  ExpectFields(v,
               {{"Typ", "D"},
                {"VertragBeginn", Day(2024, 10, 1)},
                {"VertragEnde", Day(2027, 9, 30)},
                {"GeschlossenAm", Day(2024, 10, 1)},
                {"Memo", ""},
                {"Bezeichnung", "Wartung jährlich"},
                {"Art", int32_t{1}},
                {"ArtStr", "verlängerbar"},
                {"Dauer", int32_t{12}},
                {"Verlaengerungsdauer", int32_t{12}},
                {"Kuendigungsfrist", int32_t{3}},
                {"KuendigungsfristEinh", "Monate"},
                {"KuendigungsfristBezug", ""},
                {"VerlKuendigungsfrist", int32_t{3}},
                {"VerlKuendigungsfristEinh", "Monate"},
                {"Zahlungsperiode", int32_t{3}},
                {"VerlaengerungsZahlungsperiode", int32_t{3}},
                {"AktZahlungsperiode", int32_t{3}},
                {"AktZahlungsperiodeStr", "vierteljährlich"},
                {"AktValue", 72.0},  // the final term's sum: 4 x (20,00 less 10 %)
                {"AktNaechsteRechnung", Day(2026, 10, 1)},
                {"AktNaechsteRechnungStr", "20261001"},
                {"KuendfristDatum", Day(2027, 7, 1)},
                {"Verantwortlich", "Meier"},
                {"SetztMerkmalGruppe", "Vertrag"},
                {"SetztMerkmal", "Wartungsvertrag"},
                {"SetztWert", "ja"},
                {"NoBooking", false},
                {"Vertragnummer", "00000001"},
                {"VerlaengerungsWorkflowID", "WF1"},
                {"RabattNurErsteLaufzeit", false},
                {"Auftragsnummer", ""}},
               "contract");

  const auto states = Rows("kt_Vertragsstaende");
  ASSERT_EQ(states.size(), 3u);
  struct State {
    const char* laufTyp;
    Variant start, end;
    const char *startStr, *endStr;
    double value;
    Variant next;
    const char* nextStr;
  };
  const State expected[] = {
      {"1", Day(2024, 10, 1), Day(2025, 9, 30), "20241001", "20250930", 90.0, Variant(rt::kMaxDate), "99991231"},
      {"2", Day(2025, 10, 1), Day(2026, 9, 30), "20251001", "20260930", 72.0, Variant(rt::kMaxDate), "99991231"},
      {"2", Day(2026, 10, 1), Day(2027, 9, 30), "20261001", "20270930", 72.0, Day(2026, 10, 1), "20261001"},
  };
  for (size_t i = 0; i < 3; ++i) {
    const State& e = expected[i];
    EXPECT_EQ(states[i].masterOid, v.oid);
    ExpectFields(states[i],
                 {{"AlteFakturierung", true},
                  {"LaufTyp", e.laufTyp},
                  {"LaufzeitStart", e.start},
                  {"LaufzeitStartStr", e.startStr},
                  {"LaufzeitEnde", e.end},
                  {"LaufzeitEndeStr", e.endStr},
                  {"Zahlungsperiode", int32_t{3}},
                  {"ZahlungsperiodeStr", "vierteljährlich"},
                  {"Value", e.value},
                  {"RechnungWann", int32_t{0}},
                  {"NaechsteRechnung", e.next},
                  {"NaechsteRechnungStr", e.nextStr},
                  {"Rabattprozent", 10.0}},
                 "state " + std::to_string(i + 1));
  }

  // One position per state: the first term priced from NettoOhneRabatt,
  // the renewal terms from the quarter's price column; never grouped.
  const auto positions = Rows("kt_Vertragspositionen");
  ASSERT_EQ(positions.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(positions[i].masterOid, states[i].oid);
    ExpectFields(positions[i],
                 {{"Artikel", "Wartung Basis"},
                  {"Nettopreis", i == 0 ? 22.5 : 18.0},
                  {"Artikelnummer", "1001"},
                  {"Artikelart", "DL"},
                  {"Einheit", "Jahr"},
                  {"UStSatz", 19.0},
                  {"Beschreibung", "Basiswartung"},
                  {"Anzahl", 4.0},
                  {"Erloeskonto", int32_t{8400}},
                  {"ArtikelID", "A1"},
                  {"Row", "001"},
                  {"PreisM1", 2.5},
                  {"PreisM3", 20.0},
                  {"PreisM12", 90.0},
                  {"PreisM60", 150.0},
                  {"Preis", 30.0},
                  {"NettoOhneRabatt", i == 0 ? 25.0 : 20.0},
                  {"Rabattprozent", 10.0},
                  {"Positionsnummer", ""},
                  {"Gruppierung", ""},
                  {"Gruppierungsposition", int32_t{0}}},
                 "position " + std::to_string(i + 1));
  }

  // The notice reminder of the final term, six weeks before its notice date.
  const auto a = Only("kt_VertragsAktivitaeten");
  EXPECT_EQ(Str(a, "Betreff"), "Kündigungsfrist läuft am  01.07.2027  aus");
  EXPECT_EQ(DateOf(a, "Datum"), At9(2027, 5, 20));
  EXPECT_EQ(Str(v, "AlarmOID"), a.oid);

  const auto m = Only("Adressmerkmale");
  EXPECT_EQ(DateOf(m, "GültigVom"), D(2024, 10, 1));
  EXPECT_EQ(DateOf(m, "GültigBis"), D(2027, 9, 30));
  EXPECT_EQ(Str(m, "Beschreibung"), "00000001 / Wartung jährlich");
}

// Worked example 2: invoicing goes on inside the first term (entry 1);
// the first term can no longer be cancelled, so one renewal term follows,
// while the contract's current values stay the first term's.
TEST_F(NewContractBackFillRenewable, WorkedExampleTwoAddsOneRenewalTermAndKeepsTheFirstTermsValues) {
  host_->SetDatabaseSetting("CreateAppointment4AllContracts", "true");
  AddQuarterly();
  const Run run = BackFill(D(2024, 10, 1), 1, [&](frmNewContract& f) {
    Discount(f, "10");
    user_.SetDate(f.DTPGeschlossenAm, std::nullopt);
  });
  EXPECT_TRUE(run.outcome.ok);
  EXPECT_EQ(run.outcome.count, 2);

  const auto v = Only("kt_Vertraege");
  ExpectFields(v,
               {{"GeschlossenAm", Day(1899, 12, 30)},
                {"VertragEnde", Day(2026, 9, 30)},
                {"KuendfristDatum", Day(2026, 7, 1)},
                {"AktZahlungsperiode", int32_t{3}},
                {"AktZahlungsperiodeStr", "vierteljährlich"},
                {"AktValue", 90.0},
                {"AktNaechsteRechnung", Day(2025, 4, 1)},
                {"AktNaechsteRechnungStr", "20250401"}},
               "contract");
  const auto states = Rows("kt_Vertragsstaende");
  ASSERT_EQ(states.size(), 2u);
  ExpectFields(states[0],
               {{"LaufTyp", "1"},
                {"LaufzeitEnde", Day(2025, 9, 30)},
                {"Value", 90.0},
                {"NaechsteRechnung", Day(2025, 4, 1)},
                {"NaechsteRechnungStr", "20250401"}},
               "state 1");
  ExpectFields(states[1],
               {{"AlteFakturierung", true},
                {"LaufTyp", "2"},
                {"LaufzeitStart", Day(2025, 10, 1)},
                {"LaufzeitEnde", Day(2026, 9, 30)},
                {"Value", 72.0},
                {"NaechsteRechnung", Day(2025, 10, 1)},
                {"NaechsteRechnungStr", "20251001"},
                {"Rabattprozent", 10.0}},
               "state 2");

  // The open reminder first, then the notice reminder, whose id stays.
  const auto a = Rows("kt_VertragsAktivitaeten");
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(Str(a[0], "Betreff"), "Vertragsabschluss ist noch nicht erfolgt?");
  EXPECT_EQ(DateOf(a[0], "Datum"), At9(2026, 12, 10));
  EXPECT_EQ(Str(a[1], "Betreff"), "Kündigungsfrist läuft am  01.07.2026  aus");
  EXPECT_EQ(DateOf(a[1], "Datum"), At9(2026, 5, 20));
  EXPECT_EQ(Str(v, "AlarmOID"), a[1].oid);

  const auto m = Only("Adressmerkmale");
  EXPECT_EQ(DateOf(m, "GültigVom"), D(2024, 10, 1));
  EXPECT_EQ(DateOf(m, "GültigBis"), D(2026, 9, 30));
}

// The contract's current values, its notice reminder, the state count and
// the attribute's end for each way the path can end, the entry chosen as a
// user chooses it. The renewal terms' notice (6 Wochen) differs from the
// first term's (3 Monate): each ending shows which one it takes.
TEST_F(NewContractBackFillRenewable, CurrentValuesOfEachOutcome) {
  struct Case {
    const char* what;
    Values type;
    rt::Date start, today;
    int32_t k;
    int32_t states;
    rt::Date end, notice;
    int32_t period;
    double value;
    rt::Date next;
    rt::Date validTo;
  };
  const Values drifting{{"Dauer", int32_t{12}}, {"VerlaengerungsZahlungsperiode", int32_t{12}}};
  const Case cases[] = {
      {"worked example 1", {}, D(2024, 10, 1), D(2026, 12, 8), 7, 3, D(2027, 9, 30), D(2027, 8, 20), 3, 80,
       D(2026, 10, 1), D(2027, 9, 30)},
      {"worked example 2", {}, D(2024, 10, 1), D(2026, 12, 8), 1, 2, D(2026, 9, 30), D(2026, 8, 20), 3, 100,
       D(2025, 4, 1), D(2026, 9, 30)},
      {"the first term's last period, the renewal not yet certain", {}, D(2024, 10, 1), D(2025, 6, 15), 3, 1,
       D(2025, 9, 30), D(2025, 7, 1), 3, 100, rt::kMaxDate, D(2025, 9, 30)},
      {"an earlier period: the final term takes V and P", {}, D(2024, 10, 1), D(2026, 12, 8), 5, 3, D(2027, 9, 30),
       D(2027, 8, 20), 3, 80, D(2026, 4, 1), D(2027, 9, 30)},
      {"a year later: the contract stays in the invoiced term", {}, D(2024, 10, 1), D(2027, 12, 8), 5, 2,
       D(2026, 9, 30), D(2026, 8, 20), 3, 80, D(2026, 4, 1), D(2025, 9, 30)},
      {"drift equality, today after the first notice date", drifting, D(2023, 3, 31), D(2024, 1, 10), 3, 2,
       D(2025, 3, 30), D(2025, 2, 17), 12, 360, D(2024, 3, 31), D(2025, 3, 30)},
  };
  host_->SetDatabaseSetting("CreateAppointment4AllContracts", "true");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    rt::SetToday(c.today);
    AddQuarterly(nctest::Merge({{"VerlKuendigungsfrist", int32_t{6}}, {"VerlKuendigungsfristEinh", "Wochen"}}, c.type));
    const Run run = BackFill(c.start, c.k);
    ASSERT_TRUE(run.outcome.ok);
    EXPECT_EQ(run.outcome.count, c.states);
    const auto v = Rows("kt_Vertraege").back();
    ExpectFields(v,
                 {{"VertragEnde", Variant(c.end)},
                  {"KuendfristDatum", Variant(c.notice)},
                  {"AktZahlungsperiode", c.period},
                  {"AktZahlungsperiodeStr", c.period == 3 ? "vierteljährlich" : "jährlich"},
                  {"AktValue", c.value},
                  {"AktNaechsteRechnung", Variant(c.next)},
                  {"AktNaechsteRechnungStr", rt::FormatDate(c.next, "yyyyMMdd")}},
                 "contract");
    // The notice reminder of the same notice date, six weeks ahead.
    EXPECT_EQ(Subjects(), std::vector<std::string>{"Kündigungsfrist läuft am  " +
                                                   rt::FormatDate(c.notice, "dd.MM.yyyy") + "  aus"});
    EXPECT_EQ(DateOf(Only("kt_VertragsAktivitaeten"), "Datum"), rt::Date{rt::AddDays(c.notice, -42).serial + 0.375});
    EXPECT_EQ(DateOf(Only("Adressmerkmale"), "GültigBis"), c.validTo);
  }
}

// The discount of the first term only: the renewal terms at 0 % and their
// undiscounted prices, the first term and the entry in txtRabatt kept.
TEST_F(NewContractBackFillRenewable, DiscountForTheFirstTermOnly) {
  // A yearly renewal period; entry 4 (01.10.2025) is the first renewal
  // term's only period, so it is invoiced in full and the second renewal
  // term is the final one.
  for (bool firstTermOnly : {false, true}) {
    SCOPED_TRACE(firstTermOnly ? "first term only" : "every term");
    Clear();
    AddQuarterly({{"VerlaengerungsZahlungsperiode", int32_t{12}}});
    const Run run = BackFill(D(2024, 10, 1), 4, [&](frmNewContract& f) {
      Discount(f, "5");
      if (firstTermOnly) user_.Tick(f.chkRabattNurErsteLaufzeit);
    });
    ASSERT_TRUE(run.outcome.ok);
    EXPECT_EQ(run.discountShown, "5,00");
    const double renewalPercent = firstTermOnly ? 0 : 5;
    const double renewalPrice = firstTermOnly ? 90 : 85.5;
    const auto states = Rows("kt_Vertragsstaende");
    const auto positions = Rows("kt_Vertragspositionen");
    ASSERT_EQ(states.size(), 3u);
    ASSERT_EQ(positions.size(), 3u);
    ExpectFields(states[0], {{"Value", 95.0}, {"Rabattprozent", 5.0}}, "state 1");
    ExpectFields(positions[0], {{"Nettopreis", 23.75}, {"NettoOhneRabatt", 25.0}, {"Rabattprozent", 5.0}},
                 "position 1");
    for (size_t i = 1; i < 3; ++i) {
      ExpectFields(states[i],
                   {{"Zahlungsperiode", int32_t{12}},
                    {"ZahlungsperiodeStr", "jährlich"},
                    {"Value", 4 * renewalPrice},
                    {"Rabattprozent", renewalPercent}},
                   "state " + std::to_string(i + 1));
      ExpectFields(positions[i],
                   {{"Nettopreis", renewalPrice}, {"NettoOhneRabatt", 90.0}, {"Rabattprozent", renewalPercent}},
                   "position " + std::to_string(i + 1));
    }
    const auto v = Only("kt_Vertraege");
    ExpectFields(v,
                 {{"AktValue", 4 * renewalPrice},
                  {"AktZahlungsperiode", int32_t{12}},
                  {"AktNaechsteRechnung", Day(2026, 10, 1)},
                  {"RabattNurErsteLaufzeit", firstTermOnly}},
                 "contract");
  }
}

TEST_F(NewContractBackFillRenewable, RemindersByFlagAndConclusionDate) {
  struct Case {
    bool flag, concluded;
    std::vector<std::string> subjects;
    int alarmOid;  // index of the reminder whose id the contract keeps; -1: none
  };
  const Case cases[] = {
      {false, true, {}, -1},
      {false, false, {"Vertragsabschluss ist noch nicht erfolgt?"}, 0},
      {true, true, {"Kündigungsfrist läuft am  01.07.2026  aus"}, 0},
      {true, false, {"Vertragsabschluss ist noch nicht erfolgt?", "Kündigungsfrist läuft am  01.07.2026  aus"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.flag ? "flag" : "no flag") + (c.concluded ? ", concluded" : ", not concluded"));
    Clear();
    host_->SetDatabaseSetting("CreateAppointment4AllContracts", c.flag ? "true" : "false");
    AddQuarterly();
    // Worked example 2: the contract is updated twice after the open reminder.
    ASSERT_TRUE(BackFill(D(2024, 10, 1), 1, [&](frmNewContract& f) {
                  if (!c.concluded) user_.SetDate(f.DTPGeschlossenAm, std::nullopt);
                }).outcome.ok);
    const auto a = Rows("kt_VertragsAktivitaeten");
    EXPECT_EQ(Subjects(), c.subjects);
    EXPECT_EQ(Str(Only("kt_Vertraege"), "AlarmOID"), c.alarmOid < 0 ? "" : a[c.alarmOid].oid);
  }
}

// A failing write ends the confirmation in its trap: what was written stays,
// lVsCount counts the states begun, the dialog stays open. A reminder's
// failure is reported by its helper and the path goes on.
TEST_F(NewContractBackFillRenewable, InjectedFailuresLeaveWhatWasWritten) {
  struct Case {
    const char* table;
    const char* member;
    int32_t k;  // 7: worked example 1; 1: worked example 2
    Counts counts;  // contracts, reminders, states, positions, attributes
    int32_t states;
    bool ok;
    const char* reportedIn;
  };
  const Case cases[] = {
      {"kt_Vertraege", "Insert", 7, {0, 0, 0, 0, 0}, 0, false, "kt_FNewContract.cmdOK_Click"},
      {"kt_Vertragsstaende", "Insert", 7, {1, 0, 0, 0, 0}, 1, false, "kt_FNewContract.cmdOK_Click"},
      {"kt_Vertragspositionen", "Insert", 7, {1, 0, 1, 0, 0}, 1, false, "kt_FNewContract.cmdOK_Click"},
      // The first renewal state's Value update: it keeps its insert's value.
      {"kt_Vertragsstaende", "Update", 7, {1, 0, 2, 2, 0}, 2, false, "kt_FNewContract.cmdOK_Click"},
      // Case A inserts its renewal state without a value.
      {"kt_Vertragsstaende", "Update", 1, {1, 0, 2, 2, 0}, 2, false, "kt_FNewContract.cmdOK_Click"},
      // The contract's one update, after all three states.
      {"kt_Vertraege", "Update", 7, {1, 0, 3, 3, 0}, 3, false, "kt_FNewContract.cmdOK_Click"},
      // Case A updates the contract after the first state.
      {"kt_Vertraege", "Update", 1, {1, 0, 1, 1, 0}, 1, false, "kt_FNewContract.cmdOK_Click"},
      {"kt_VertragsAktivitaeten", "Insert", 7, {1, 0, 3, 3, 1}, 3, true, "modKT.CreateCancellationAlarm"},
      {"Adressmerkmale", "Insert", 7, {1, 1, 3, 3, 0}, 3, false, "kt_FNewContract.cmdOK_Click"},
  };
  host_->SetDatabaseSetting("CreateAppointment4AllContracts", "true");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.table) + "." + c.member + " k " + std::to_string(c.k));
    Clear();
    NewUi();
    AddQuarterly();
    host_->FailNext(c.table, c.member, Hr(kStorage), "Speicher voll");
    const Run run = BackFill(D(2024, 10, 1), c.k, [&](frmNewContract& f) { Discount(f, "10"); });
    EXPECT_EQ(run.outcome.ok, c.ok);
    EXPECT_EQ(run.stayedOpen, !c.ok);
    EXPECT_EQ(run.outcome.count, c.states);
    EXPECT_EQ(Count(), c.counts);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].prompt, std::string("Fehler &H8004100C\r\n(Speicher voll)\r\nin ") + c.reportedIn);
    if (std::string(c.member) == "Update" && std::string(c.table) == "kt_Vertragsstaende") {
      // Case B inserts it with the discounted NettoSumme, case A with none;
      // its sum never arrived.
      EXPECT_EQ(Num(Rows("kt_Vertragsstaende")[1], "Value"), c.k == 7 ? 90 : 0);
    }
    host_->ClearFaults();
  }
}

// A date step that fails (a renewal term beyond 31.12.9999) ends the path
// in the trap: plVsCount counts the first-term state already written.
TEST_F(NewContractBackFillRenewable, AFailingDateStepLeavesTheStatesWrittenCounted) {
  AddQuarterly();
  const Run run = BackFill(D(9998, 1, 1), 3);
  ExpectDateFailure(run, 1);
}

// A final term whose next invoice fails after the count was raised: the
// first term paid yearly in arrears, the renewal terms quarterly. From
// 01.10.9997 the first renewal term (01.10.9998 - 30.09.9999) is certain
// on 01.12.9998 and its first quarter (entry 1) was invoiced; in arrears
// its next invoice is the next quarter, 01.01.9999, plus the first term's
// year: beyond 31.12.9999. plVsCount counts that state, which is not
// written, and the contract never gets its current values.
TEST_F(NewContractBackFillRenewable, AFailingNextInvoiceCountsTheStateItDoesNotWrite) {
  rt::SetToday(D(9998, 12, 1));
  AddQuarterly({{"Zahlungsperiode", int32_t{12}}, {"RechnungWann", int32_t{1}}});
  const Run run = BackFill(D(9997, 10, 1), 1);
  ExpectDateFailure(run, 2);

  // Inserted without its end and current values, never updated.
  ExpectFields(Only("kt_Vertraege"),
               {{"VertragBeginn", Day(9997, 10, 1)},
                {"VertragEnde", Day(1899, 12, 30)},
                {"AktNaechsteRechnung", Day(1899, 12, 30)},
                {"AktNaechsteRechnungStr", ""}},
               "contract");
  const auto state = Only("kt_Vertragsstaende");
  ExpectFields(state,
               {{"LaufTyp", "1"},
                {"LaufzeitStart", Day(9997, 10, 1)},
                {"LaufzeitEnde", Day(9998, 9, 30)},
                {"Zahlungsperiode", int32_t{12}},
                {"ZahlungsperiodeStr", "jährlich"},
                {"Value", 100.0},
                {"RechnungWann", int32_t{1}},
                {"NaechsteRechnung", Variant(rt::kMaxDate)},
                {"NaechsteRechnungStr", "99991231"}},
               "first-term state");
  EXPECT_EQ(Only("kt_Vertragspositionen").masterOid, state.oid);
}

// After a failed attribute write the user confirms again: the second
// contract still gets the entered discount in its first term.
TEST_F(NewContractBackFillRenewable, RetryAfterAFailedAttributeKeepsTheDiscount) {
  AddQuarterly();
  auto f = OpenDialog();
  user_.SetDate(f->DTPVertragBeginn, D(2024, 10, 1));
  Discount(*f, "10");
  user_.Tick(f->chkRabattNurErsteLaufzeit);
  user_.Tick(f->chkOldContract);
  user_.Select(f->lstInvoices, 7);
  host_->FailNext("Adressmerkmale", "Insert", Hr(kStorage), "");
  user_.Click(f->cmdOK);
  EXPECT_FALSE(f->bOK());
  EXPECT_EQ(f->txtRabatt.Text(), "10,00");
  EXPECT_EQ(NewContractPeer::dblRabattProzent(*f), 10);
  user_.Click(f->cmdOK);
  EXPECT_TRUE(f->bOK());
  EXPECT_EQ(f->lVsCount(), 3);

  const auto states = Rows("kt_Vertragsstaende");
  ASSERT_EQ(states.size(), 6u);
  for (size_t first : {0u, 3u}) {
    ExpectFields(states[first], {{"Value", 90.0}, {"Rabattprozent", 10.0}}, "first term");
    ExpectFields(states[first + 1], {{"Value", 80.0}, {"Rabattprozent", 0.0}}, "renewal term");
  }
  EXPECT_EQ(Rows("Adressmerkmale").size(), 1u);
}

}  // namespace
