// The contract, its state and its positions as a run writes them.
#include <string>
#include <vector>

#include "api_fixture.h"

namespace {

using apitest::Hr;
using coretest::D;

class ApiRecords : public apitest::ApiTest {
 protected:
  std::string AddressOid() {
    for (const auto& r : Rows("Adressen"))
      if (Str(r, "ID") == "A1000") return r.oid;
    return "";
  }
};

TEST_F(ApiRecords, RenewableContractAndItsState) {
  auto c = Baseline();
  c->Memo = "Notiz";
  c->RabattNurErsteLaufzeit = true;
  c->Auftragsnummer = "AU-7";
  RunOk(c, {Line()});

  const auto v = Only("kt_Vertraege");
  EXPECT_EQ(v.masterOid, AddressOid());
  ExpectFields(v,
               {{"Typ", "D"}, {"VertragBeginn", D(2024, 1, 1)}, {"VertragEnde", D(2024, 12, 31)},
                {"GeschlossenAm", D(2023, 12, 15)}, {"Memo", "Notiz"}, {"RabattNurErsteLaufzeit", true},
                {"Bezeichnung", "Wartung"}, {"Auftragsnummer", "AU-7"}, {"Art", int32_t{1}},
                {"ArtStr", "verlängerbar"}, {"Dauer", int32_t{12}}, {"Verlaengerungsdauer", int32_t{12}},
                {"Kuendigungsfrist", int32_t{6}}, {"KuendigungsfristEinh", "Wochen"},
                {"VerlKuendigungsfrist", int32_t{6}}, {"VerlKuendigungsfristEinh", "Wochen"},
                {"Zahlungsperiode", int32_t{3}}, {"VerlaengerungsZahlungsperiode", int32_t{12}},
                {"AktZahlungsperiode", int32_t{3}}, {"AktZahlungsperiodeStr", "vierteljährlich"},
                {"AktNaechsteRechnung", D(2024, 1, 1)}, {"AktNaechsteRechnungStr", "20240101"},
                {"KuendfristDatum", D(2024, 11, 20)}, {"Verantwortlich", "Meier"}, {"NoBooking", false},
                {"Vertragnummer", "00000001"}, {"AktValue", 27.0},
                // Left to the host's defaults.
                {"VertragsDefinitionID", ""}, {"SetztMerkmal", ""}, {"AlarmOID", ""}},
               "contract");

  const auto s = Only("kt_Vertragsstaende");
  EXPECT_EQ(s.masterOid, v.oid);
  ExpectFields(s,
               {{"LaufzeitStart", D(2024, 1, 1)}, {"LaufzeitStartStr", "20240101"},
                {"LaufzeitEnde", D(2024, 12, 31)}, {"LaufzeitEndeStr", "20241231"},
                {"Zahlungsperiode", int32_t{3}}, {"ZahlungsperiodeStr", "vierteljährlich"},
                {"RechnungWann", int32_t{0}}, {"NaechsteRechnung", D(2024, 1, 1)},
                {"NaechsteRechnungStr", "20240101"}, {"Rabattprozent", 10.0}, {"Value", 27.0}},
               "state");

  const auto p = Only("kt_Vertragspositionen");
  EXPECT_EQ(p.masterOid, s.oid);
  ExpectFields(p, {{"Row", "001"}, {"ArtikelID", "A1"}, {"Positionsnummer", ""}, {"Gruppierungsposition", int32_t{0}}},
               "position");
  EXPECT_EQ(modAPI::gVertragsnummer, "00000001");
  EXPECT_EQ(modAPI::gEndDate, rt::DateSerial(2024, 12, 31));
}

TEST_F(ApiRecords, OneOffContractLeavesTheRenewalFieldsAlone) {
  auto c = Baseline();
  c->lVertragArt = 2;
  c->Dauer = 9;
  c->Zahlungsperiode = 9;  // "einmalig"
  c->Verlaengerungsdauer = 24;
  c->VerlaengerungsZahlungsperiode = 12;
  RunOk(c, {Line()});
  const auto v = Only("kt_Vertraege");
  EXPECT_EQ(Str(v, "ArtStr"), "einmalig");
  EXPECT_EQ(Str(v, "AktZahlungsperiodeStr"), "einmalig");
  EXPECT_EQ(DateOf(v, "VertragEnde"), rt::DateSerial(2024, 9, 30));
  for (const char* f :
       {"Verlaengerungsdauer", "Kuendigungsfrist", "VerlKuendigungsfrist", "VerlaengerungsZahlungsperiode"})
    EXPECT_EQ(Num(v, f), 0) << f;
  EXPECT_EQ(Str(v, "KuendigungsfristEinh"), "");
  EXPECT_EQ(Str(v, "VerlKuendigungsfristEinh"), "");
  EXPECT_EQ(DateOf(v, "KuendfristDatum"), rt::kNoDate);
  // Nine months paid at once: M1 x 9, the price of the whole term too.
  const auto p = Only("kt_Vertragspositionen");
  EXPECT_EQ(Num(p, "NettoOhneRabatt"), 90);
  EXPECT_EQ(Num(p, "Preis"), 90);
}

TEST_F(ApiRecords, TermEndsAndNoticeDeadlines) {
  struct Case {
    rt::Date begin;
    int32_t dauer, weeks;
    rt::Date end, deadline;
  };
  const std::vector<Case> cases = {
      // 31 January plus a month is the last day of February.
      {rt::DateSerial(2023, 1, 31), 1, 0, rt::DateSerial(2023, 2, 27), rt::DateSerial(2023, 2, 28)},
      {rt::DateSerial(2024, 1, 31), 1, 1, rt::DateSerial(2024, 2, 28), rt::DateSerial(2024, 2, 22)},
      {rt::DateSerial(2024, 2, 29), 12, 6, rt::DateSerial(2025, 2, 27), rt::DateSerial(2025, 1, 17)},
      // A negative notice period lies after the end.
      {rt::DateSerial(2024, 3, 1), 1, -2, rt::DateSerial(2024, 3, 31), rt::DateSerial(2024, 4, 15)},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& k = cases[i];
    auto c = Baseline();
    c->VertragBeginn = k.begin;
    c->Dauer = k.dauer;
    c->Zahlungsperiode = 1;
    c->KuendFristInWochen = k.weeks;
    RunOk(c, {Line()});
    const auto v = Rows("kt_Vertraege").at(i);
    EXPECT_EQ(DateOf(v, "VertragEnde"), k.end) << i;
    EXPECT_EQ(DateOf(v, "KuendfristDatum"), k.deadline) << i;
    EXPECT_EQ(DateOf(Rows("kt_Vertragsstaende").at(i), "LaufzeitEnde"), k.end) << i;
  }
}

TEST_F(ApiRecords, ValueIsTheUnroundedSumAndRowsCountOn) {
  auto c = Baseline();
  c->Zahlungsperiode = 1;
  c->dblRabatt = 0;
  RunOk(c, {Special("A1", 2, 1, 14.99), Special("A2", 1.5, 1, 10), Special("A3", 4, 1, 0),
            Special("A4", 1.0 / 3, 1, 10)});
  const double value = 14.99 * 2 + 10 * 1.5 + 0 * 4.0 + 10 * (1.0 / 3);
  EXPECT_EQ(Num(Only("kt_Vertraege"), "AktValue"), value);
  EXPECT_EQ(Num(Only("kt_Vertragsstaende"), "Value"), value);
  const auto rows = Rows("kt_Vertragspositionen");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(Str(rows[0], "Row"), "001");
  EXPECT_EQ(Str(rows[3], "Row"), "004");

  // The thousandth position of a contract gets four digits.
  std::vector<std::shared_ptr<kt_CArticle>> lines;
  for (int i = 0; i < 1000; ++i) {
    lines.push_back(Line());
    lines.back()->sAuftragsnummer = std::to_string(i);  // no two merge
  }
  RunOk(Baseline(), lines);
  const auto many = Rows("kt_Vertragspositionen");
  ASSERT_EQ(many.size(), 1004u);
  EXPECT_EQ(Str(many[4], "Row"), "001");
  EXPECT_EQ(Str(many[1002], "Row"), "999");
  EXPECT_EQ(Str(many[1003], "Row"), "1000");
  EXPECT_EQ(Str(many[1003], "Auftragsnummer"), "999");
}

TEST_F(ApiRecords, ATenantMissingFromTheTenantTableGetsNoRangeAndNoContract) {
  host_->DeleteRows("KMMD_Nummern");
  host_->DeleteRows("KMMD_Mandanten");
  const auto err = Run(Baseline(), {Line()});
  ExpectError(err, Hr(0x80040002), "modAPI.CreateVandVS");
  EXPECT_EQ(err->description(), "Mandant HAUPT fehlt in Mandantentabelle!");
  EXPECT_EQ(Count(), apitest::Counts{});
  EXPECT_EQ(Rows("KMMD_Nummern").size(), 0u);
}

}  // namespace
