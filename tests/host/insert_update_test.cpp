// New records, puts and updates, deletes, and the fields the host fills.
#include "host_fixture.h"

namespace host_test {
namespace {

using HostInsertUpdate = HostTest;

TEST_F(HostInsertUpdate, InsertMakesTheRecordCurrentWithAnIdUniqueInTheDatabase) {
  rt::Variant out;
  auto types = Table("kt_Vertragsdefinitionen");
  rt::Variant values = types->NewValues(0, &out);
  ASSERT_TRUE(values.IsArray());
  EXPECT_EQ(values, out);
  EXPECT_EQ(values.AsArray().items.size(), host->FieldNames("kt_Vertragsdefinitionen").size());
  types->SetValues(values);
  Put(types, "Bezeichnung", "Wartung");
  types->Insert(256);
  const std::string first = types->Oid();
  EXPECT_EQ(Text(Table("kt_Vertragsdefinitionen"), "Bezeichnung"), "Wartung");

  // Ids are never reused, not even after a delete, and differ across tables.
  types->Delete(0);
  InsertNew(types, {{"Bezeichnung", "Neu"}});
  EXPECT_GT(std::stoll(types->Oid()), std::stoll(first));
  for (const auto& row : host->Rows("Adressen")) EXPECT_NE(row.oid, types->Oid());

  // Fields the writer left out hold their empty value.
  const auto rows = host->Rows("kt_Vertragsdefinitionen");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["Dauer"], rt::Variant(int32_t{0}));
  EXPECT_EQ(rows[0]["Status"], rt::Variant(""));
  EXPECT_TRUE(rows[0]["Dokument"].IsNothing());
}

TEST_F(HostInsertUpdate, WithoutAPreparedOrCurrentRecordNothingIsStored) {
  // At end of file puts, Update and BeginEdit have no record to work on.
  auto contracts = Table("kt_Vertraege");
  ASSERT_TRUE(contracts->Eof());
  EXPECT_EQ(ErrorOf([&] { Put(contracts, "Memo", "x"); }), hosterr::NoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { contracts->Update(256); }), hosterr::NoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { contracts->BeginEdit(); }), hosterr::NoCurrentRecord);
  // A prepared record is not stored by Update, and Update says so.
  contracts->SetValues(contracts->NewValues(0));
  Put(contracts, "Memo", "x");
  EXPECT_EQ(ErrorOf([&] { contracts->Update(256); }), hosterr::NoCurrentRecord);
  contracts->Insert(256);
  EXPECT_EQ(host->Rows("kt_Vertraege").size(), 1u);

  auto attrs = Table("Adressmerkmale");
  EXPECT_EQ(ErrorOf([&] { attrs->Insert(0); }), hosterr::NoCurrentRecord);
  InsertNew(attrs, {{"Merkmal", "a"}});
  // An insert stores the prepared record once; a second one raises.
  EXPECT_EQ(ErrorOf([&] { attrs->Insert(0); }), hosterr::NoCurrentRecord);
  // A prepared record is dropped by moving or by preparing another one.
  attrs->SetValues(attrs->NewValues(0));
  Put(attrs, "Merkmal", "verworfen");
  attrs->MoveFirst(256);
  attrs->SetValues(attrs->NewValues(0));
  Put(attrs, "Merkmal", "auch verworfen");
  attrs->SetValues(attrs->NewValues(0));
  Put(attrs, "Merkmal", "b");
  attrs->Insert(0);
  EXPECT_EQ(Column("Adressmerkmale", "Merkmal"), (Strings{"a", "b"}));
  EXPECT_EQ(ErrorOf([&] { attrs->SetValues("kein Feld"); }), hosterr::InvalidArgument);
}

TEST_F(HostInsertUpdate, PutsAreStoredByUpdateWithOrWithoutBeginEditAndThroughAnyObject) {
  auto contracts = Table("kt_Vertraege");
  InsertNew(contracts, {{"Bezeichnung", "V"}});
  // Puts through one object, Update through another opened later.
  Put(contracts, "AktValue", 12.5);
  Put(Table("kt_Vertraege"), "AktZahlungsperiode", int32_t{3});
  EXPECT_EQ(Get(Table("kt_Vertraege"), "AktValue"), rt::Variant(12.5));  // pending puts read back
  Table("kt_Vertraege")->Update(256);
  contracts->BeginEdit();
  Put(contracts, "AktValue", 20.0);
  contracts->Update(256);
  contracts->Update(256);  // nothing pending: nothing happens
  const auto row = host->Rows("kt_Vertraege").at(0);
  EXPECT_EQ(row["AktValue"], rt::Variant(20.0));
  EXPECT_EQ(row["AktZahlungsperiode"], rt::Variant(int32_t{3}));
  EXPECT_EQ(row["Bezeichnung"], rt::Variant("V"));

  // Moving drops uncommitted puts.
  Put(contracts, "Bezeichnung", "nie gespeichert");
  contracts->MoveFirst(256);
  contracts->Update(256);
  EXPECT_EQ(Text(contracts, "Bezeichnung"), "V");
}

// A writer puts closing values on the contract, then the reminder step
// inserts an appointment under it and puts the appointment's id on the
// contract through a table object of its own; one Update stores all puts.
TEST_F(HostInsertUpdate, PutsSurviveAnInsertIntoADetailAndAreStoredByAnotherObjectsUpdate) {
  auto contracts = Table("kt_Vertraege");
  InsertNew(contracts, {{"Bezeichnung", "V"}});
  Put(contracts, "AktValue", 99.5);
  Put(contracts, "AktZahlungsperiodeStr", "jährlich");
  auto alarms = Table("kt_VertragsAktivitaeten");
  alarms->ModeA(true, 256);
  InsertNew(alarms, {{"Typ", "Termin"}});
  auto again = Table("kt_Vertraege");
  Put(again, "AlarmOID", alarms->Oid());
  again->Update(256);
  const auto row = host->Rows("kt_Vertraege").at(0);
  EXPECT_EQ(row["AktValue"], rt::Variant(99.5));
  EXPECT_EQ(row["AktZahlungsperiodeStr"], rt::Variant("jährlich"));
  EXPECT_EQ(row["AlarmOID"], rt::Variant(alarms->Oid()));
  EXPECT_EQ(host->Rows("kt_VertragsAktivitaeten").at(0).masterOid, row.oid);
}

TEST_F(HostInsertUpdate, SelectOidAndDelete) {
  auto positions = Table("kt_DefinitionsPositionen");
  InsertNew(Table("kt_Vertragsdefinitionen"), {{"Bezeichnung", "T"}});
  std::vector<std::string> oids;
  for (const char* a : {"p1", "p2", "p3"}) {
    InsertNew(positions, {{"Artikel", a}});
    oids.push_back(positions->Oid());
  }
  positions->SelectOid(oids[1]);
  positions->Delete(0);
  EXPECT_EQ(Text(positions, "Artikel"), "p3");  // the next record is current
  // Deleting by a key whose record is gone leaves everything untouched.
  positions->SelectOid(oids[1]);
  EXPECT_TRUE(positions->Eof());
  EXPECT_EQ(positions->Oid(), "");
  positions->Delete(0);
  positions->SelectOid("kein Schlüssel");
  positions->Delete(0);
  EXPECT_EQ(host->Rows("kt_DefinitionsPositionen").size(), 2u);
  // GotoOid of a missing record reports it and stays.
  positions->SelectOid(oids[2]);
  positions->Delete(0);
  EXPECT_TRUE(positions->Eof());
  positions->GotoOid(oids[0], 256);
  bool found = true;
  EXPECT_FALSE(positions->GotoOid(oids[2], 256, &found));
  EXPECT_FALSE(found);
  EXPECT_EQ(Text(positions, "Artikel"), "p1");
}

TEST_F(HostInsertUpdate, TheHostFillsTenantIdsAndMasterIds) {
  auto ranges = Table("KMMD_Nummern");
  InsertNew(ranges, {{"Tabelle", "KT_VERTRAEGE"}, {"Feld", "VERTRAGNUMMER"}, {"Nummer", "00000000"}});
  EXPECT_EQ(Text(ranges, "KelName"), "HAUPT");

  auto types = Table("kt_Vertragsdefinitionen");
  InsertNew(types, {{"Bezeichnung", "A"}});
  InsertNew(types, {{"Bezeichnung", "B"}, {"ID", "EIGEN"}});
  const auto rows = host->Rows("kt_Vertragsdefinitionen");
  EXPECT_FALSE(rows[0]["ID"].AsString().empty());
  EXPECT_EQ(rows[1]["ID"].AsString(), "EIGEN");

  auto groups = Table("MerkmalgruppeAdressen");
  groups->MoveFirst(256);
  InsertNew(Table("MerkmallisteAdressen"), {{"Merkmal", "Neu"}});
  EXPECT_EQ(Text(Table("MerkmallisteAdressen"), "MerkmalgruppeID"), Text(groups, "ID"));
}

TEST_F(HostInsertUpdate, FieldMetadataWorksOnAPreparedRecord) {
  auto contracts = Table("kt_Vertraege");
  contracts->SetValues(contracts->NewValues(0));
  auto field = contracts->Fields()->Item("vertragnummer");
  EXPECT_EQ(field->Name(), "Vertragnummer");
  EXPECT_EQ(field->Size(), 20);
  EXPECT_EQ(field->Parent()->Parent()->Name(), "kt_Vertraege");
  EXPECT_TRUE(contracts->Fields()->Exists("GeschlossenAm"));
  EXPECT_FALSE(contracts->Fields()->Exists("KMWFG_WorkflowID"));
  EXPECT_FALSE(contracts->Fields()->Exists("VertragXummer"));  // alike at both ends and the middle
  EXPECT_TRUE(Table("WerteMerkmalAdressen")->Fields()->Exists("kmwfg_workflowid"));
  // Letters beyond ASCII match in either case, but only as themselves.
  EXPECT_EQ(Table("Adressmerkmale")->Fields()->Item("gÜltigbis")->Name(), "GültigBis");
  EXPECT_FALSE(Table("Adressmerkmale")->Fields()->Exists("GultigBis"));
  EXPECT_EQ(ErrorOf([&] { contracts->Fields()->Item("Gibtsnicht"); }), hosterr::UnknownField);
  // ID and Id of Artikel are one field.
  auto articles = Table("Artikel");
  articles->Indexes()->Select("Id", 0);
  articles->Seek("A2", 256);
  EXPECT_EQ(Text(articles, "ID"), "A2");
  // Reset moves nothing.
  articles->Reset();
  EXPECT_EQ(Text(articles, "Id"), "A2");
}

}  // namespace
}  // namespace host_test
