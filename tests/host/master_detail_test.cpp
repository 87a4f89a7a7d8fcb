// Detail tables follow their master's current record, and a detail
// positioned on another master's record moves the master along.
#include "host_fixture.h"

namespace host_test {
namespace {

class HostMasterDetail : public HostTest {
 protected:
  // Two addresses, each with contracts; each contract with states and
  // appointments; each state with positions. Names tell the owner.
  void SetUp() override {
    HostTest::SetUp();
    for (const char* addr : {"A1000", "A1001"}) {
      host->SetCurrentAddress(addr);
      auto contracts = Table("kt_Vertraege");
      for (int c = 1; c <= 2; ++c) {
        const std::string cname = std::string(addr) + "/V" + std::to_string(c);
        InsertNew(contracts, {{"Bezeichnung", cname}});
        InsertNew(Table("kt_VertragsAktivitaeten"), {{"Betreff", cname + "/T"}});
        auto states = Table("kt_Vertragsstaende");
        for (int s = 1; s <= 2; ++s) {
          const std::string sname = cname + "/S" + std::to_string(s);
          InsertNew(states, {{"ZahlungsperiodeStr", sname}});
          auto positions = Table("kt_Vertragspositionen");
          InsertNew(positions, {{"Artikel", sname + "/P1"}});
          InsertNew(positions, {{"Artikel", sname + "/P2"}});
        }
      }
    }
    host->SetCurrentAddress("A1000");
  }
};

TEST_F(HostMasterDetail, DetailsShowOnlyTheMastersRecordsAndFollowItRecursively) {
  auto contracts = Table("kt_Vertraege");
  EXPECT_EQ(Walk(contracts, "Bezeichnung"), (Strings{"A1000/V1", "A1000/V2"}));
  EXPECT_EQ(contracts->SelectionCount(), 2);

  // Moving the address moves contracts, then states and appointments, then
  // positions, each to its first record.
  auto addresses = Table("Adressen");
  addresses->MoveFirst(256);
  addresses->Move(1, 256);
  EXPECT_EQ(Text(Table("kt_Vertraege"), "Bezeichnung"), "A1001/V1");
  EXPECT_EQ(Text(Table("kt_Vertragsstaende"), "ZahlungsperiodeStr"), "A1001/V1/S1");
  EXPECT_EQ(Text(Table("kt_Vertragspositionen"), "Artikel"), "A1001/V1/S1/P1");
  EXPECT_EQ(Text(Table("kt_VertragsAktivitaeten"), "Betreff"), "A1001/V1/T");
  contracts->Move(1, 256);
  EXPECT_EQ(Walk(Table("kt_Vertragspositionen"), "Artikel"), (Strings{"A1001/V2/S1/P1", "A1001/V2/S1/P2"}));

  // An address without contracts: every detail at end of file.
  addresses->Move(1, 256);
  EXPECT_TRUE(contracts->Eof());
  EXPECT_TRUE(Table("kt_Vertragspositionen")->Eof());
  EXPECT_EQ(contracts->SelectionCount(), 0);
  // No current address at all: the contract view is empty as well.
  addresses->Move(1, 256);
  ASSERT_TRUE(addresses->Eof());
  contracts->MoveFirst(256);
  EXPECT_TRUE(contracts->Eof());
}

TEST_F(HostMasterDetail, AMasterThatMovesAwayAndBackStillResetsItsDetails) {
  auto contracts = Table("kt_Vertraege");
  auto states = Table("kt_Vertragsstaende");
  contracts->MoveFirst(256);
  states->MoveFirst(256);
  states->Move(1, 256);
  ASSERT_EQ(Text(states, "ZahlungsperiodeStr"), "A1000/V1/S2");
  Put(states, "Rabattprozent", 5.0);
  // The details are not looked at while the master moves on and back.
  contracts->Move(1, 256);
  contracts->MoveFirst(256);
  EXPECT_EQ(Text(states, "ZahlungsperiodeStr"), "A1000/V1/S1");
  states->Update(256);  // the put was dropped with the move
  for (const auto& row : host->Rows("kt_Vertragsstaende")) EXPECT_EQ(row["Rabattprozent"], rt::Variant(0.0));
  // A master positioned on the record it already has leaves its details.
  states->Move(1, 256);
  contracts->MoveFirst(256);
  EXPECT_EQ(Text(states, "ZahlungsperiodeStr"), "A1000/V1/S2");
}

TEST_F(HostMasterDetail, PositioningADetailOfAnotherMasterMovesTheMastersAlong) {
  std::string oid;
  for (const auto& row : host->Rows("kt_Vertragspositionen"))
    if (row["Artikel"].AsString() == "A1001/V2/S2/P2") oid = row.oid;
  auto positions = Table("kt_Vertragspositionen");
  ASSERT_TRUE(positions->GotoOid(oid, 768));
  // The positioned detail keeps its record; every master above follows.
  EXPECT_EQ(Text(positions, "Artikel"), "A1001/V2/S2/P2");
  EXPECT_EQ(Text(Table("kt_Vertragsstaende"), "ZahlungsperiodeStr"), "A1001/V2/S2");
  EXPECT_EQ(Text(Table("kt_Vertraege"), "Bezeichnung"), "A1001/V2");
  EXPECT_EQ(Text(Table("Adressen"), "ID"), "A1001");
  // The masters' other details move to their first record.
  EXPECT_EQ(Text(Table("kt_VertragsAktivitaeten"), "Betreff"), "A1001/V2/T");
  EXPECT_TRUE(Table("Adressmerkmale")->Eof());
  // The natural view of the detail now is that state's positions.
  positions->MoveFirst(256);
  EXPECT_EQ(Text(positions, "Artikel"), "A1001/V2/S2/P1");
}

TEST_F(HostMasterDetail, SeekingAnAttributeMovesItsGroup) {
  auto attrs = Table("MerkmallisteAdressen");
  auto groups = Table("MerkmalgruppeAdressen");
  groups->MoveFirst(256);
  ASSERT_EQ(Text(groups, "Gruppe"), "Vertrag");
  attrs->Indexes()->Select("Merkmal", 256);
  ASSERT_TRUE(attrs->Seek("Status", 256));
  EXPECT_EQ(Text(groups, "Gruppe"), "Kunde");
  EXPECT_EQ(Text(Table("WerteMerkmalAdressen"), "Wert"), "aktiv");

  // In the natural order the attribute list is the group's again.
  attrs->Indexes()->Reset(0);
  groups->MoveFirst(256);
  EXPECT_EQ(Walk(attrs, "Merkmal"), (Strings{"Wartungsvertrag", "Vertragsbeginn", "Betreuer"}));
  EXPECT_EQ(attrs->SelectionCount(), 3);
}

TEST_F(HostMasterDetail, ChoosingTheNaturalOrderKeepsADetailsCurrentRecord) {
  // Under a named index a detail is found among any master's records; its
  // master follows, so the record lies in the natural order's view too.
  struct Case {
    const char* table;
    const char* index;
    const char* field;
    const char* key;
    const char* previous;  // in the natural order: the master's records only
  };
  const Case cases[] = {{"Artikel", "Id", "Id", "A7", "A6"},
                        {"MerkmallisteAdressen", "Merkmal", "Merkmal", "Betreuer", "Vertragsbeginn"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    auto t = Table(c.table);
    t->Indexes()->Select(c.index, 0);
    ASSERT_TRUE(t->Seek(c.key, 256));
    const std::string oid = t->Oid();
    t->Indexes()->Reset(0);
    EXPECT_EQ(t->Oid(), oid);
    EXPECT_EQ(Text(t, c.field), c.key);
    t->Move(-1, 256);
    EXPECT_EQ(Text(t, c.field), c.previous);
  }
}

TEST_F(HostMasterDetail, ArticlesOfTheCurrentGroupInNaturalOrderAllArticlesUnderTheIndex) {
  auto groups = Table("Artikelgruppen");
  groups->Indexes()->Select("ID", 0);
  ASSERT_TRUE(groups->Seek("G2", 256));
  auto articles = Table("Artikel");
  articles->Indexes()->Reset(256);
  EXPECT_EQ(Walk(articles, "Id"), (Strings{"A4", "A6", "A7"}));
  // The index finds an article of any group, and the group follows.
  articles->Indexes()->Select("Id", 0);
  ASSERT_TRUE(articles->Seek("A9", 256));
  EXPECT_EQ(Text(groups, "ID"), "G1");
}

TEST_F(HostMasterDetail, InsertsGoUnderTheMastersCurrentRecord) {
  auto addresses = Table("Adressen");
  auto attrs = Table("Adressmerkmale");
  addresses->GotoOid(host->Rows("Adressen")[2].oid, 0);
  InsertNew(attrs, {{"Merkmal", "Wartungsvertrag"}, {"Wert", "ja"}});
  const auto rows = host->Rows("Adressmerkmale");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].masterOid, host->Rows("Adressen")[2].oid);

  // A new master record has no details yet.
  auto contracts = Table("kt_Vertraege");
  InsertNew(contracts, {{"Bezeichnung", "neu"}});
  EXPECT_TRUE(Table("kt_Vertragsstaende")->Eof());
  EXPECT_TRUE(Table("kt_Vertragspositionen")->Eof());

  // Without a current master record a detail insert raises; nothing is stored.
  addresses->SelectOid("999999");
  ASSERT_TRUE(addresses->Eof());
  contracts->SetValues(contracts->NewValues(0));
  EXPECT_EQ(ErrorOf([&] { contracts->Insert(256); }), hosterr::NoMasterRecord);
  EXPECT_EQ(host->Rows("kt_Vertraege").size(), 5u);
}

}  // namespace
}  // namespace host_test
