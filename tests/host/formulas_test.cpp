// Host formulas on the shared current record.
#include "host_fixture.h"

namespace host_test {
namespace {

using HostFormulas = HostTest;

TEST_F(HostFormulas, EvaluateOnTheCurrentRecordOfTheirTable) {
  auto engine = db->ScriptEngine();
  EXPECT_EQ(engine->Evaluate("Name()", 0)->Value(0), rt::Variant("Muster GmbH"));

  // The article positioned through any table object counts.
  host->InsertRow("Artikel", {{"Id", "X1"}, {"Erloeskonto", int32_t{8300}}, {"UStSatz", 7.0}},
                  host->Rows("Artikelgruppen")[1].oid);
  auto articles = Table("Artikel");
  articles->Indexes()->Select("Id", 0);
  ASSERT_TRUE(articles->Seek("X1", 256));
  EXPECT_EQ(engine->Evaluate("Erloeskonto()", 0)->Value(0), rt::Variant(int32_t{8300}));
  EXPECT_EQ(engine->Evaluate("USTSatzArtikel()", 0)->Value(0), rt::Variant(7.0));
  // A missed seek leaves the article where it was.
  EXPECT_FALSE(articles->Seek("X2", 256));
  EXPECT_EQ(engine->Evaluate("Erloeskonto()", 0)->Value(0), rt::Variant(int32_t{8300}));
  // Pending puts are not part of the stored record the formula reads.
  Put(articles, "UStSatz", 0.0);
  EXPECT_EQ(engine->Evaluate("USTSatzArtikel()", 0)->Value(0), rt::Variant(7.0));
}

TEST_F(HostFormulas, EmptyWithoutACurrentRecordAndUnknownFormulasRaise) {
  auto engine = db->ScriptEngine();
  EXPECT_TRUE(engine->Evaluate("Erloeskonto()", 0)->Value(0).IsEmpty());
  host->SetCurrentAddress("");
  EXPECT_TRUE(engine->Evaluate("Name()", 0)->Value(0).IsEmpty());
  EXPECT_EQ(ErrorOf([&] { engine->Evaluate("Strasse()", 0); }), hosterr::UnknownFormula);
}

}  // namespace
}  // namespace host_test
