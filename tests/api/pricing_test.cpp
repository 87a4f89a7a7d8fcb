// Prices per duration, the period price, discounts and the merging of
// equal article lines.
#include <array>
#include <string>
#include <vector>

#include "api_fixture.h"
#include "platform/number.h"

namespace {

using apitest::kNaN;

class ApiPricing : public apitest::ApiTest {
 protected:
  // The eight price columns of a price that covers `months` months.
  static std::array<double, 8> Columns(int32_t months, double price) {
    std::array<double, 8> m{};
    modAPI::CalculatePrices(months, price, m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7]);
    return m;
  }
};

TEST_F(ApiPricing, PriceColumnsForEveryPriceDuration) {
  using C = std::array<double, 8>;
  EXPECT_EQ(Columns(12, 120), (C{10, 30, 60, 120, 240, 360, 480, 600}));
  // The monthly price stays unrounded until each column is rounded.
  EXPECT_EQ(Columns(12, 100), (C{8.33, 25, 50, 100, 200, 300, 400, 500}));
  EXPECT_EQ(Columns(1, 10), (C{10, 30, 60, 120, 240, 360, 480, 600}));
  EXPECT_EQ(Columns(3, 100), (C{33.33, 100, 200, 400, 800, 1200, 1600, 2000}));
  EXPECT_EQ(Columns(7, 1), (C{0.14, 0.43, 0.86, 1.71, 3.43, 5.14, 6.86, 8.57}));
  EXPECT_EQ(Columns(60, 1000), (C{16.67, 50, 100, 200, 400, 600, 800, 1000}));
  EXPECT_EQ(Columns(12, -120), (C{-10, -30, -60, -120, -240, -360, -480, -600}));
  // Large amounts keep their value.
  EXPECT_EQ(Columns(1, 30000000)[0], 30000000);
  EXPECT_EQ(Columns(1, 30000000)[7], 1800000000);
  // So do amounts too large for cents, through the whole call: whole
  // numbers, none of them 0.
  RunOk(Baseline(), {Special("A1", 1, 12, 1e17)});
  const auto row = Rows("kt_Vertragspositionen").back();
  const char* fields[] = {"PreisM1", "PreisM3", "PreisM6", "PreisM12", "PreisM24", "PreisM36", "PreisM48", "PreisM60"};
  const std::array<int32_t, 8> months = {1, 3, 6, 12, 24, 36, 48, 60};
  for (size_t i = 0; i < months.size(); ++i) EXPECT_EQ(Num(row, fields[i]), 1e17 / 12 * months[i]) << fields[i];

  // Arithmetic that leaves the numbers is an error, not a price.
  for (double bad : {kNaN, 1e308}) {
    try {
      Columns(1, bad);
      ADD_FAILURE() << "no error for " << bad;
    } catch (const rt::Error& e) {
      EXPECT_EQ(e.number(), 6);
    }
  }
}

TEST_F(ApiPricing, CentRoundingAndDiscount) {
  // The one cent rounding of the project (half to even, beyond 32-bit cents).
  for (double x : {0.625, 0.375, 2.675, 21474836.48, 30000000.0}) EXPECT_EQ(modAPI::Round2(x), rt::Round2(x)) << x;

  EXPECT_EQ(modAPI::ApplyDiscount(100, 100), 0);
  EXPECT_EQ(modAPI::ApplyDiscount(30, 12.5), 30 - 3.75);
  EXPECT_EQ(modAPI::ApplyDiscount(-20, 10), -18);
  // The reduction is rounded, the result is not rounded again.
  EXPECT_EQ(modAPI::ApplyDiscount(10.005, 10), 10.005 - 1);
}

TEST_F(ApiPricing, PeriodPriceAndPreisForEveryTermAndPeriod) {
  // 100 a year: M1 8.33, M3 25, ... The standard periods take their column,
  // every other period p x M1 (so 2 months are 16.66, not 16.67).
  const std::array<int32_t, 8> standard = {1, 3, 6, 12, 24, 36, 48, 60};
  const std::array<double, 8> column = {8.33, 25, 50, 100, 200, 300, 400, 500};
  auto columnOf = [&](int32_t months) -> std::optional<double> {
    for (size_t i = 0; i < standard.size(); ++i)
      if (standard[i] == months) return column[i];
    return std::nullopt;
  };
  size_t runs = 0;
  for (int32_t dauer : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 24, 36, 48, 60}) {
    for (int32_t p = 1; p <= dauer; ++p) {
      if (dauer % p != 0) continue;
      SCOPED_TRACE("Dauer " + std::to_string(dauer) + ", period " + std::to_string(p));
      auto c = Baseline();
      c->lVertragArt = 2;
      c->Dauer = dauer;
      c->Zahlungsperiode = p;
      c->dblRabatt = 0;
      RunOk(c, {Special("A1", 1, 12, 100)});
      const auto rows = Rows("kt_Vertragspositionen");
      ASSERT_EQ(rows.size(), ++runs);
      const auto& r = rows.back();
      const double period = columnOf(p).value_or(p * 8.33);
      EXPECT_EQ(Num(r, "NettoOhneRabatt"), period);
      EXPECT_EQ(Num(r, "Nettopreis"), period);
      EXPECT_EQ(Num(r, "Preis"), columnOf(dauer).value_or(period));
    }
  }
  EXPECT_EQ(runs, 74u);  // every pair that passes the checks
}

TEST_F(ApiPricing, ContractAndLineDiscounts) {
  auto c = Baseline();
  c->Zahlungsperiode = 2;  // period price 16.66
  auto plain = Special("A1", 1, 12, 100);
  auto zero = Special("A2", 1, 12, 100);
  zero->bUseCustomDiscount = true;  // its own discount of 0 beats the contract's
  auto own = Special("A3", 1, 12, 100);
  own->bUseCustomDiscount = true;
  own->dblCustomDiscount = 50;
  RunOk(c, {plain, zero, own});
  const auto rows = Rows("kt_Vertragspositionen");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(Num(rows[0], "Nettopreis"), 16.66 - 1.67);
  EXPECT_EQ(Num(rows[0], "Rabattprozent"), 10);
  EXPECT_EQ(Num(rows[1], "Nettopreis"), 16.66);
  EXPECT_EQ(Num(rows[1], "Rabattprozent"), 0);
  EXPECT_EQ(Num(rows[2], "Nettopreis"), 16.66 - 8.33);
  EXPECT_EQ(Num(rows[2], "Rabattprozent"), 50);
  for (const auto& r : rows) EXPECT_EQ(Num(r, "NettoOhneRabatt"), 16.66);
}

TEST_F(ApiPricing, EqualLinesMergeIntoTheFirst) {
  auto first = Line("A1", 1, 12);  // 120 a year: M1 10
  first->sBeschreibung = "Wartung Übersicht";
  first->sAuftragsnummer = "Auf-1";
  first->sGruppierung = "G1";
  auto same = Special("a1", 2.5, 1, 10);  // M1 10 as well
  same->sBeschreibung = "WARTUNG übersicht";
  same->sAuftragsnummer = "auf-1";
  same->sGruppierung = "G2";
  auto otherOrder = Line("A1", 1, 12);
  otherOrder->sBeschreibung = "Wartung Übersicht";
  otherOrder->sAuftragsnummer = "Auf-2";
  auto otherDiscount = Line("A1", 1, 12);
  otherDiscount->sBeschreibung = "Wartung Übersicht";
  otherDiscount->sAuftragsnummer = "Auf-1";
  otherDiscount->bUseCustomDiscount = true;
  auto otherPrice = Special("A1", 1, 12, 121);  // M1 10.08
  otherPrice->sBeschreibung = "Wartung Übersicht";
  otherPrice->sAuftragsnummer = "Auf-1";
  auto ownText = Line("A1", 4, 12);  // the article's own description
  auto blanks = Line("A1", 1, 12);
  blanks->sBeschreibung = "  ";
  auto ownTextAgain = Line("A1", 0.5, 12);

  RunOk(Baseline(), {first, same, otherOrder, otherDiscount, otherPrice, ownText, blanks, ownTextAgain});
  const auto rows = Rows("kt_Vertragspositionen");
  ASSERT_EQ(rows.size(), 6u);
  // The first line's texts, prices and group stay; the quantities add up.
  EXPECT_EQ(Str(rows[0], "ArtikelID"), "A1");
  EXPECT_EQ(Str(rows[0], "Beschreibung"), "Wartung Übersicht");
  EXPECT_EQ(Str(rows[0], "Auftragsnummer"), "Auf-1");
  EXPECT_EQ(Str(rows[0], "Gruppierung"), "G1");
  EXPECT_EQ(Num(rows[0], "Anzahl"), 3.5);
  EXPECT_EQ(Num(rows[0], "PreisM12"), 120);
  EXPECT_EQ(Str(rows[1], "Auftragsnummer"), "Auf-2");
  EXPECT_EQ(Num(rows[2], "Rabattprozent"), 0);
  EXPECT_EQ(Num(rows[3], "PreisM1"), 10.08);
  EXPECT_EQ(Str(rows[4], "Beschreibung"), "Basiswartung");
  EXPECT_EQ(Num(rows[4], "Anzahl"), 4.5);
  EXPECT_EQ(Str(rows[5], "Beschreibung"), "  ");
}

TEST_F(ApiPricing, ArticleValuesAndFormulasFillEachPosition) {
  // The host shows the article A5.
  auto articles = gDB->Connection()->Table("Artikel");
  articles->Indexes()->Select("Id", 0);
  ASSERT_TRUE(articles->Seek("A5", 0));
  const std::string shown = articles->Oid();

  RunOk(Baseline(), {Line("A2", 3, 1), Line("A1")});
  const auto rows = Rows("kt_Vertragspositionen");
  ASSERT_EQ(rows.size(), 2u);
  // A2: "Hotline", 50 a month, quarterly less 10 %.
  EXPECT_EQ(Str(rows[0], "Artikel"), "Hotline");
  EXPECT_EQ(Str(rows[0], "Artikelnummer"), "1002");
  EXPECT_EQ(Str(rows[0], "Artikelart"), "DL");
  EXPECT_EQ(Str(rows[0], "Einheit"), "Monat");
  EXPECT_EQ(Str(rows[0], "Beschreibung"), "Telefonsupport");
  EXPECT_EQ(Num(rows[0], "UStSatz"), 19);
  EXPECT_EQ(Num(rows[0], "Erloeskonto"), 8400);
  EXPECT_EQ(Num(rows[0], "NettoOhneRabatt"), 150);
  EXPECT_EQ(Num(rows[0], "Nettopreis"), 135);
  EXPECT_EQ(Num(rows[0], "Preis"), 600);  // Dauer 12: the yearly column
  EXPECT_EQ(Num(rows[0], "Anzahl"), 3);
  EXPECT_EQ(Str(rows[1], "Artikel"), "Wartung Basis");
  EXPECT_EQ(Num(rows[1], "Nettopreis"), 27);
  // The article table is left as the host showed it.
  EXPECT_EQ(articles->Oid(), shown);
}

TEST_F(ApiPricing, AnUnpriceableLineFailsThePositionsPhase) {
  auto c = Baseline();
  auto line = Special("A1", 1, 12, kNaN);
  auto err = Run(c, {Line(), line});
  ExpectError(err, 6, "modAPI.GetNewPositions");
  EXPECT_EQ(Count(), (apitest::Counts{1, 0, 1, 0, 0}));

  // A line discount that is no number is refused before anything is written.
  auto own = Line();
  own->bUseCustomDiscount = true;
  own->dblCustomDiscount = kNaN;
  err = Run(c, {own});
  ExpectError(err, apitest::Hr(0x80045009), "modAPI");
  EXPECT_EQ(Count(), (apitest::Counts{1, 0, 1, 0, 0}));
}

TEST_F(ApiPricing, AnArticleNotFoundIsSkippedWithoutAWord) {
  // Only reachable when the check before is bypassed.
  gContractD = Baseline();
  gColArt = Lines({Line("NOPE"), Line("A2")});
  ASSERT_TRUE(modAPI::InitTables());
  EXPECT_TRUE(modAPI::GetNewPositions(3, 0));
  ASSERT_EQ(modAPI::gNewPositions.size(), 1u);
  EXPECT_EQ(modAPI::gNewPositions[0].ArtikelID, "A2");
  gColArt = Lines({Line("NOPE")});
  EXPECT_TRUE(modAPI::GetNewPositions(3, 0));
  EXPECT_TRUE(modAPI::gNewPositions.empty());
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
