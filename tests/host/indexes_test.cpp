// Named indexes: order, Seek and FindKey, keys and index selection.
#include "host_fixture.h"

namespace host_test {
namespace {

using HostIndexes = HostTest;

TEST_F(HostIndexes, NamedIndexShowsTheWholeTableByUpperCasedKeyWithTiesInInsertionOrder) {
  // Articles of both groups, keys in mixed case, two with the same key.
  const std::string g2 = host->Rows("Artikelgruppen")[1].oid;
  host->InsertRow("Artikel", {{"Id", "a10"}, {"Bezeichnung", "klein"}}, g2);
  host->InsertRow("Artikel", {{"Id", "A0"}, {"Bezeichnung", "erstes"}}, g2);
  host->InsertRow("Artikel", {{"Id", "A0"}, {"Bezeichnung", "zweites"}}, g2);
  auto t = Table("Artikel");
  t->Indexes()->Select("Id", 0);
  EXPECT_EQ(Walk(t, "Bezeichnung"),
            (Strings{"erstes", "zweites", "Wartung Basis", "klein", "Hotline", "Support", "Lizenz", "Paket",
                     "Kleinteil", "Porto", "Service", "Extra"}));
  EXPECT_EQ(t->SelectionCount(), 12);
  // Backwards through a tie.
  t->MoveFirst(256);
  t->Move(2, 256);
  t->Move(-1, 256);
  EXPECT_EQ(Text(t, "Bezeichnung"), "zweites");
}

TEST_F(HostIndexes, SeekMatchesTheWholeUpperCasedKeyAndLandsOnTheFirstMatch) {
  auto t = Table("Artikel");
  t->Indexes()->Select("Id", 256);
  t->MoveFirst(256);
  bool found = false;
  EXPECT_TRUE(t->Seek("a5", 256, &found));
  EXPECT_TRUE(found);
  EXPECT_EQ(Text(t, "Bezeichnung"), "Paket");

  // A prefix or a longer key is a miss; the current record stays.
  EXPECT_FALSE(t->Seek("A", 256, &found));
  EXPECT_FALSE(found);
  EXPECT_FALSE(t->Seek("A55", 256));
  EXPECT_EQ(Text(t, "Bezeichnung"), "Paket");

  host->InsertRow("Artikel", {{"Id", "ä1"}, {"Bezeichnung", "erstes"}}, host->Rows("Artikelgruppen")[0].oid);
  host->InsertRow("Artikel", {{"Id", "Ä1"}, {"Bezeichnung", "zweites"}}, host->Rows("Artikelgruppen")[0].oid);
  EXPECT_TRUE(t->Seek("Ä1", 256));
  EXPECT_EQ(Text(t, "Bezeichnung"), "erstes");
  EXPECT_EQ(t->Indexes()->Current()->KeyValue(), "Ä1");

  // Without a selected index there is nothing to seek in.
  auto groups = Table("Artikelgruppen");
  EXPECT_EQ(ErrorOf([&] { groups->Seek("G1", 256); }), hosterr::NoIndexSelected);
  EXPECT_EQ(ErrorOf([&] { groups->Indexes()->Select("Gibtsnicht", 0); }), hosterr::UnknownIndex);
}

TEST_F(HostIndexes, FindKeyAndKeyValueWalkANumberRange) {
  // Two tenants' rows under one key, as the number draw scans them.
  host->InsertRow("KMMD_Nummern", {{"Tabelle", "KT_VERTRAEGE"},
                                   {"Feld", "VERTRAGNUMMER"},
                                   {"KelName", "ANDERER"},
                                   {"Nummer", "00000007"}});
  host->InsertRow("KMMD_Nummern",
                  {{"Tabelle", "kt_vertraege"}, {"Feld", "Vertragnummer"}, {"Nummer", "00000003"}});
  host->InsertRow("KMMD_Nummern", {{"Tabelle", "KT_VERTRAEGEX"}, {"Feld", ""}, {"Nummer", "1"}});
  auto t = Table("KMMD_Nummern");
  t->Indexes()->Select("Tabelle_Feld", 256);
  bool found = false;
  t->FindKey("KT_VERTRAEGEVERTRAGNUMMER", 256, &found);
  ASSERT_TRUE(found);
  auto index = t->Indexes()->Current();
  EXPECT_EQ(index->Name(), "Tabelle_Feld");
  Strings tenants;
  while (!t->Eof() && index->KeyValue() == "KT_VERTRAEGEVERTRAGNUMMER") {
    tenants.push_back(rt::CStr(t->Record()->Item("KelName")->Value()));
    t->Move(1, 256);
  }
  EXPECT_EQ(tenants, (Strings{"ANDERER", "HAUPT"}));
  EXPECT_FALSE(t->FindKey("KT_VERTRAEGE", 256));
}

TEST_F(HostIndexes, SelectingAnIndexKeepsTheCurrentRecordAndCanBeUndone) {
  auto t = Table("KMWFG_Vorgaenge");
  t->Indexes()->Reset(256);
  EXPECT_EQ(t->Indexes()->Current()->Name(), "");
  t->MoveFirst(256);
  t->Move(1, 256);
  auto natural = t->Indexes()->Current();
  t->Indexes()->Select("id", 256);
  EXPECT_EQ(Text(t, "ID"), "WF2");
  EXPECT_EQ(t->Indexes()->Current()->Name(), "ID");
  EXPECT_EQ(t->Indexes()->Current()->KeyValue(), "WF2");
  // Back through the saved index object, and through Current =.
  t->Indexes()->Select(natural, 0);
  EXPECT_EQ(t->Indexes()->Current()->Name(), "");
  EXPECT_EQ(natural->KeyValue(), "");
  EXPECT_EQ(Text(t, "ID"), "WF2");
  auto saved = Table("KMWFG_Vorgaenge");
  saved->Indexes()->Select("ID", 0);
  auto idIndex = saved->Indexes()->Current();
  t->Indexes()->Select("", 0);
  t->Indexes()->SetCurrent(idIndex);
  EXPECT_EQ(t->Indexes()->Current()->Name(), "ID");
}

TEST_F(HostIndexes, CompositeKeysAndKeysFollowUpdates) {
  auto groups = Table("MerkmalgruppeAdressen");
  groups->Indexes()->Select("Merkmalgruppe", 256);
  ASSERT_TRUE(groups->Seek("KUNDE", 256));
  const std::string groupId = Text(groups, "ID");

  auto attrs = Table("MerkmallisteAdressen");
  attrs->Indexes()->Select("MerkmalgruppeIDMerkmal", 256);
  ASSERT_TRUE(attrs->Seek(groupId + "STATUS", 256));
  const std::string attrId = Text(attrs, "ID");
  auto values = Table("WerteMerkmalAdressen");
  values->Indexes()->Select("MerkmalIDWert", 256);
  EXPECT_TRUE(values->Seek(attrId + "INAKTIV", 256));
  EXPECT_EQ(Text(values, "Wert"), "inaktiv");

  // An updated key field moves the record in its index.
  Put(groups, "Gruppe", "AAA");
  groups->Update(256);
  EXPECT_FALSE(groups->Seek("KUNDE", 256));
  EXPECT_TRUE(groups->Seek("aaa", 256));
  groups->MoveFirst(256);
  EXPECT_EQ(Text(groups, "Gruppe"), "AAA");
}

}  // namespace
}  // namespace host_test
