// The record classes: fresh values, by-name access and its conversions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/records.h"
#include "core_fixture.h"
#include "platform/date.h"
#include "platform/error.h"
#include "platform/variant.h"

namespace {

using coretest::ErrorOf;
using rt::Variant;
using Kind = rt::Variant::Kind;

// Every property, read by name from a fresh object, is the empty value of
// its type; names are checked against the record's full list.
void ExpectFresh(const rt::Object& o, const std::vector<std::pair<const char*, Kind>>& props) {
  for (const auto& [name, kind] : props) {
    SCOPED_TRACE(name);
    Variant v = o.Get(name);
    ASSERT_EQ(v.kind(), kind);
    switch (kind) {
      case Kind::String: EXPECT_EQ(v.AsString(), ""); break;
      case Kind::Int32: EXPECT_EQ(v.AsInt32(), 0); break;
      case Kind::Double: EXPECT_EQ(v.AsDouble(), 0.0); break;
      case Kind::Bool: EXPECT_FALSE(v.AsBool()); break;
      case Kind::Date: EXPECT_EQ(v.AsDate(), rt::kNoDate); break;
      default: FAIL();
    }
  }
}

constexpr Kind S = Kind::String, L = Kind::Int32, D = Kind::Double, B = Kind::Bool, T = Kind::Date;

TEST(CoreRecords, FreshRecordsHoldEmptyValuesOfTheirTypes) {
  ExpectFresh(kt_CDefinition(),
              {{"Typ", S}, {"Bezeichnung", S}, {"Art", L}, {"ArtStr", S}, {"Dauer", L},
               {"Verlaengerungsdauer", L}, {"Kuendigungsfrist", L}, {"KuendigungsfristEinh", S},
               {"KuendigungsfristBezug", S}, {"VerlKuendigungsfrist", L}, {"VerlKuendigungsfristEinh", S},
               {"Zahlungsperiode", L}, {"VerlaengerungsZahlungsperiode", L}, {"RechnungWann", L},
               {"NoBooking", B}, {"NettoSumme", D}, {"ErfordertMerkmalGruppe", S}, {"ErfordertMerkmal", S},
               {"ErfordertWert", S}, {"SetztMerkmalGruppe", S}, {"SetztMerkmal", S}, {"SetztWert", S},
               {"FirmenProvision", D}, {"MitarbeiterProvision", D}, {"VerlaengerungsWorkflowID", S},
               {"Dirty", B}, {"DefOid", S}});
  ExpectFresh(kt_CPosition(),
              {{"Artikel", S}, {"Nettopreis", D}, {"Artikelnummer", S}, {"Artikelart", S}, {"Einheit", S},
               {"UStSatz", D}, {"Beschreibung", S}, {"Anzahl", D}, {"Erloeskonto", L}, {"ArtikelID", S},
               {"PreisM1", D}, {"PreisM3", D}, {"PreisM6", D}, {"PreisM12", D}, {"PreisM24", D},
               {"PreisM36", D}, {"PreisM48", D}, {"PreisM60", D}, {"Preis", D}, {"NettoOhneRabatt", D},
               {"Gruppierung", S}});
  ExpectFresh(kt_CContractD(),
              {{"lVertragArt", L}, {"VertragBeginn", T}, {"VertragGeschlossenAm", T}, {"Bezeichnung", S},
               {"Dauer", L}, {"Zahlungsperiode", L}, {"Verlaengerungsdauer", L},
               {"VerlaengerungsZahlungsperiode", L}, {"dblRabatt", D}, {"KuendFristInWochen", L},
               {"Memo", S}, {"RabattNurErsteLaufzeit", B}, {"SetztMerkmalGruppe", S}, {"SetztMerkmal", S},
               {"SetztWert", S}, {"Auftragsnummer", S}});
  ExpectFresh(kt_CArticle(),
              {{"sArtikelID", S}, {"dblAnzahl", D}, {"lPreisDauer", L}, {"bSonderpreisVerwenden", B},
               {"dblPreis", D}, {"sBeschreibung", S}, {"bUseCustomDiscount", B}, {"dblCustomDiscount", D},
               {"sAuftragsnummer", S}, {"sGruppierung", S}});
}

TEST(CoreRecords, PutByNameConvertsAndGetReturnsTheMember) {
  kt_CContractD c;
  c.Put("LVERTRAGART", Variant("2"));
  c.Put("vertragbeginn", Variant("01.02.2024"));
  c.Put("Dauer", Variant(2.5));  // half to even
  c.Put("Zahlungsperiode", Variant(3.5));
  c.Put("dblRabatt", Variant("10,5"));
  c.Put("RabattNurErsteLaufzeit", Variant("True"));
  c.Put("Memo", Variant(int32_t{12}));
  EXPECT_EQ(c.lVertragArt, 2);
  EXPECT_EQ(c.VertragBeginn, rt::DateSerial(2024, 2, 1));
  EXPECT_EQ(c.Dauer, 2);
  EXPECT_EQ(c.Zahlungsperiode, 4);
  EXPECT_EQ(c.dblRabatt, 10.5);
  EXPECT_TRUE(c.RabattNurErsteLaufzeit);
  EXPECT_EQ(c.Memo, "12");

  kt_CPosition p;
  p.Gruppierung = "A";
  p.PreisM24 = 12.34;
  EXPECT_EQ(p.Get("gruppierung"), Variant("A"));
  EXPECT_EQ(p.Get("PreisM24"), Variant(12.34));
}

TEST(CoreRecords, FailedPutRaisesAndKeepsTheValue) {
  kt_CContractD c;
  c.Dauer = 12;
  c.Bezeichnung = "alt";
  EXPECT_EQ(ErrorOf([&] { c.Put("Dauer", Variant("zwölf")); }), 13);
  EXPECT_EQ(ErrorOf([&] { c.Put("Dauer", Variant(3e10)); }), 6);
  EXPECT_EQ(ErrorOf([&] { c.Put("Bezeichnung", Variant::Null()); }), 94);
  EXPECT_EQ(ErrorOf([&] { c.Put("RabattNurErsteLaufzeit", Variant("ja")); }), 13);
  EXPECT_EQ(c.Dauer, 12);
  EXPECT_EQ(c.Bezeichnung, "alt");
}

TEST(CoreRecords, UnknownNameRaises438) {
  kt_CArticle a;
  kt_CDefinition d;
  EXPECT_EQ(ErrorOf([&] { a.Get("sArtikel"); }), 438);
  EXPECT_EQ(ErrorOf([&] { a.Put("Gruppierung", Variant("x")); }), 438);
  EXPECT_EQ(ErrorOf([&] { d.Get("lVertragArt"); }), 438);
}

TEST(CoreRecords, ArticleKeepsEveryValueUnchanged) {
  const std::vector<std::pair<const char*, Variant>> values = {
      {"sArtikelID", Variant("A-100 ä")}, {"dblAnzahl", Variant(2.75)},
      {"lPreisDauer", Variant(int32_t{12})}, {"bSonderpreisVerwenden", Variant(true)},
      {"dblPreis", Variant(-0.01)}, {"sBeschreibung", Variant("Wartung\r\nZeile 2")},
      {"bUseCustomDiscount", Variant(true)}, {"dblCustomDiscount", Variant(12.5)},
      {"sAuftragsnummer", Variant("AU-7")}, {"sGruppierung", Variant("G1")}};
  kt_CArticle a;
  for (const auto& [name, v] : values) a.Put(name, v);
  for (const auto& [name, v] : values) EXPECT_EQ(a.Get(name), v) << name;
  EXPECT_EQ(a.dblPreis, -0.01);
  EXPECT_EQ(a.sBeschreibung, "Wartung\r\nZeile 2");
}

}  // namespace
