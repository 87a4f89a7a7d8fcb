// The shared views, natural order, end of file and moving.
#include "host_fixture.h"

namespace host_test {
namespace {

using HostCursor = HostTest;

TEST_F(HostCursor, TablesOpenByNameWithoutRegardToCaseAndShareTheirView) {
  EXPECT_EQ(Table("KT_DEFINITIONSPOSITIONEN")->Name(), "kt_DefinitionsPositionen");
  EXPECT_EQ(ErrorOf([&] { Table("kt_Unbekannt"); }), hosterr::UnknownTable);

  auto addresses = Table("Adressen");
  addresses->MoveFirst(256);
  addresses->Move(1, 256);
  EXPECT_EQ(Text(Table("adressen"), "Name"), "Beispiel AG");
  // Flags are part of the shared view as well.
  addresses->ModeA(true, 256);
  EXPECT_EQ(Table("Adressen")->FlagA(), -1);
  EXPECT_EQ(Table("Adressen")->FlagB(), 0);
}

TEST_F(HostCursor, NaturalOrderIsInsertionOrderAndEndsInEof) {
  auto t = Table("Adressen");
  EXPECT_EQ(Walk(t, "Name"), (Strings{"Muster GmbH", "Beispiel AG", "Stadtwerke Nord"}));
  EXPECT_EQ(t->Oid(), "");
  // At end of file reads give the type's empty value and Move stays there.
  t->Move(1, 256);
  EXPECT_TRUE(t->Eof());
  EXPECT_EQ(Get(t, "Name"), rt::Variant(""));
  auto articles = Table("Artikel");
  articles->Indexes()->Select("Id", 0);
  articles->MoveFirst(256);
  articles->Move(100, 256);
  EXPECT_TRUE(articles->Eof());
  EXPECT_EQ(Get(articles, "Nettopreis"), rt::Variant(0.0));
  EXPECT_EQ(Get(articles, "Erloeskonto"), rt::Variant(int32_t{0}));
  EXPECT_TRUE(Get(Table("kt_Vertragsdefinitionen"), "Dokument").IsNothing());
  EXPECT_EQ(Get(Table("kt_Vertraege"), "VertragEnde"), rt::Variant(rt::kNoDate));
  EXPECT_EQ(Get(Table("kt_Vertraege"), "NoBooking"), rt::Variant(false));

  // Moving skips backwards and forwards; before the first is end of file.
  t->MoveFirst(256);
  t->Move(2, 256);
  EXPECT_EQ(Text(t, "ID"), "A1002");
  t->Move(-1, 256);
  EXPECT_EQ(Text(t, "ID"), "A1001");
  t->Move(-5, 256);
  EXPECT_TRUE(t->Eof());
}

}  // namespace
}  // namespace host_test
