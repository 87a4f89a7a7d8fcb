// The contract, its state and its positions as a run writes them.
#include <string>
#include <vector>

#include "api_fixture.h"

namespace {

using apitest::Hr;

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
  EXPECT_EQ(Str(v, "Typ"), "D");
  EXPECT_EQ(DateOf(v, "VertragBeginn"), rt::DateSerial(2024, 1, 1));
  EXPECT_EQ(DateOf(v, "VertragEnde"), rt::DateSerial(2024, 12, 31));
  EXPECT_EQ(DateOf(v, "GeschlossenAm"), rt::DateSerial(2023, 12, 15));
  EXPECT_EQ(Str(v, "Memo"), "Notiz");
  EXPECT_EQ(v["RabattNurErsteLaufzeit"], rt::Variant(true));
  EXPECT_EQ(Str(v, "Bezeichnung"), "Wartung");
  EXPECT_EQ(Str(v, "Auftragsnummer"), "AU-7");
  EXPECT_EQ(Num(v, "Art"), 1);
  EXPECT_EQ(Str(v, "ArtStr"), "verlängerbar");
  EXPECT_EQ(Num(v, "Dauer"), 12);
  EXPECT_EQ(Num(v, "Verlaengerungsdauer"), 12);
  EXPECT_EQ(Num(v, "Kuendigungsfrist"), 6);
  EXPECT_EQ(Str(v, "KuendigungsfristEinh"), "Wochen");
  EXPECT_EQ(Num(v, "VerlKuendigungsfrist"), 6);
  EXPECT_EQ(Str(v, "VerlKuendigungsfristEinh"), "Wochen");
  EXPECT_EQ(Num(v, "Zahlungsperiode"), 3);
  EXPECT_EQ(Num(v, "VerlaengerungsZahlungsperiode"), 12);
  EXPECT_EQ(Num(v, "AktZahlungsperiode"), 3);
  EXPECT_EQ(Str(v, "AktZahlungsperiodeStr"), "vierteljährlich");
  EXPECT_EQ(DateOf(v, "AktNaechsteRechnung"), rt::DateSerial(2024, 1, 1));
  EXPECT_EQ(Str(v, "AktNaechsteRechnungStr"), "20240101");
  EXPECT_EQ(DateOf(v, "KuendfristDatum"), rt::DateSerial(2024, 11, 20));
  EXPECT_EQ(Str(v, "Verantwortlich"), "Meier");
  EXPECT_EQ(v["NoBooking"], rt::Variant(false));
  EXPECT_EQ(Str(v, "Vertragnummer"), "00000001");
  EXPECT_EQ(Num(v, "AktValue"), 27);
  // Left to the host's defaults.
  EXPECT_EQ(Str(v, "VertragsDefinitionID"), "");
  EXPECT_EQ(Str(v, "SetztMerkmal"), "");
  EXPECT_EQ(Str(v, "AlarmOID"), "");

  const auto s = Only("kt_Vertragsstaende");
  EXPECT_EQ(s.masterOid, v.oid);
  EXPECT_EQ(DateOf(s, "LaufzeitStart"), rt::DateSerial(2024, 1, 1));
  EXPECT_EQ(Str(s, "LaufzeitStartStr"), "20240101");
  EXPECT_EQ(DateOf(s, "LaufzeitEnde"), rt::DateSerial(2024, 12, 31));
  EXPECT_EQ(Str(s, "LaufzeitEndeStr"), "20241231");
  EXPECT_EQ(Num(s, "Zahlungsperiode"), 3);
  EXPECT_EQ(Str(s, "ZahlungsperiodeStr"), "vierteljährlich");
  EXPECT_EQ(Num(s, "RechnungWann"), 0);
  EXPECT_EQ(DateOf(s, "NaechsteRechnung"), rt::DateSerial(2024, 1, 1));
  EXPECT_EQ(Str(s, "NaechsteRechnungStr"), "20240101");
  EXPECT_EQ(Num(s, "Rabattprozent"), 10);
  EXPECT_EQ(Num(s, "Value"), 27);

  const auto p = Only("kt_Vertragspositionen");
  EXPECT_EQ(p.masterOid, s.oid);
  EXPECT_EQ(Str(p, "Row"), "001");
  EXPECT_EQ(Str(p, "ArtikelID"), "A1");
  EXPECT_EQ(Str(p, "Positionsnummer"), "");
  EXPECT_EQ(Num(p, "Gruppierungsposition"), 0);
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
