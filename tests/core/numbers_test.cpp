#include "core/mod_kt.h"
#include "core_fixture.h"
#include "platform/error.h"

namespace {

class CoreNumbers : public coretest::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    AddTenant("HAUPT");
    host_->SetTenant("HAUPT");
  }

  void AddTenant(const std::string& name) { host_->InsertRow("KMMD_Mandanten", {{"kelName", name}}); }
  void AddRange(const std::string& tenant, const std::string& nummer) {
    host_->InsertRow("KMMD_Nummern", {{"Tabelle", "KT_VERTRAEGE"},
                                      {"Feld", "VERTRAGNUMMER"},
                                      {"KelName", tenant},
                                      {"Nummer", nummer}});
  }
  std::string Next() {
    return modKT::GetNextNumber(gDB->Connection()->Table("kt_Vertraege")->Fields()->Item("Vertragnummer"));
  }
  std::vector<host::sqlite::Row> Ranges() { return host_->Rows("KMMD_Nummern"); }
};

TEST_F(CoreNumbers, FirstUseCreatesTheRangeAndCountsOn) {
  EXPECT_EQ(Next(), "00000001");
  EXPECT_EQ(Next(), "00000002");
  auto rows = Ranges();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["Tabelle"], rt::Variant("KT_VERTRAEGE"));
  EXPECT_EQ(rows[0]["Feld"], rt::Variant("VERTRAGNUMMER"));
  EXPECT_EQ(rows[0]["KelName"], rt::Variant("HAUPT"));
  EXPECT_EQ(rows[0]["Nummer"], rt::Variant("00000002"));
}

TEST_F(CoreNumbers, TakesThisTenantsRowAndCutsToTheFieldSize) {
  AddRange("FILIALE", "00000500");
  AddRange("haupt", "00000041");  // tenants compare without regard to case
  EXPECT_EQ(Next(), "00000042");
  host_->SetFieldSize("kt_Vertraege", "Vertragnummer", 6);
  EXPECT_EQ(Next(), "000043");
  host_->SetFieldSize("kt_Vertraege", "Vertragnummer", 0);  // no known width: nothing is cut
  EXPECT_EQ(Next(), "00000044");
  auto rows = Ranges();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]["Nummer"], rt::Variant("00000500"));
  EXPECT_EQ(rows[1]["Nummer"], rt::Variant("00000044"));
}

TEST_F(CoreNumbers, CountersGrowPastEightDigitsWithoutLosingPrecision) {
  AddRange("HAUPT", "99999999");
  host_->SetFieldSize("kt_Vertraege", "Vertragnummer", 8);
  EXPECT_EQ(Next(), "00000000");
  EXPECT_EQ(Ranges()[0]["Nummer"], rt::Variant("100000000"));
  host_->SetFieldSize("kt_Vertraege", "Vertragnummer", 20);
  host_->DeleteRows("KMMD_Nummern");
  AddRange("HAUPT", "123456789012345678");
  EXPECT_EQ(Next(), "123456789012345679");
  host_->DeleteRows("KMMD_Nummern");
  AddRange("HAUPT", "kein Wert");
  EXPECT_EQ(Next(), "00000001");
}

TEST_F(CoreNumbers, ASecondTenantGetsARangeOfItsOwn) {
  AddRange("HAUPT", "00000041");
  AddTenant("FILIALE");
  host_->SetTenant("FILIALE");
  EXPECT_EQ(Next(), "00000001");
  EXPECT_EQ(Next(), "00000002");
  auto rows = Ranges();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0]["Nummer"], rt::Variant("00000041"));
  EXPECT_EQ(rows[1]["KelName"], rt::Variant("FILIALE"));
}

TEST_F(CoreNumbers, AMissingTenantRaisesAndAddsNothing) {
  host_->SetTenant("NIRGENDS");
  EXPECT_EQ(coretest::ErrorText([&] { Next(); }),
            "Fehler &H80040002 in kelPaktor2: Mandant NIRGENDS fehlt in Mandantentabelle!");
  EXPECT_TRUE(Ranges().empty());
}

TEST_F(CoreNumbers, CreateNumberEntryLeavesTheNewRowCurrentInTheSameIndex) {
  AddRange("FILIALE", "00000500");
  auto nums = gDB->Connection()->Table("KMMD_Nummern");
  nums->Indexes()->Select("Tabelle_Feld", 256);
  modKT::CreateNumberEntry(nums, "KT_VERTRAEGE", "VERTRAGNUMMER");
  EXPECT_EQ(nums->Indexes()->Current()->Name(), "Tabelle_Feld");
  EXPECT_EQ(nums->Indexes()->Current()->KeyValue(), "KT_VERTRAEGEVERTRAGNUMMER");
  EXPECT_EQ(nums->Oid(), Ranges().at(1).oid);
  EXPECT_EQ(Ranges()[1]["Nummer"], rt::Variant("00000000"));
}

}  // namespace
