// The sample data, exactly.
#include "host_fixture.h"

namespace host_test {
namespace {

using HostSample = HostTest;

TEST_F(HostSample, TenantUsersAddressesAndSession) {
  EXPECT_EQ(Column("KMMD_Mandanten", "kelName"), Strings{"HAUPT"});
  EXPECT_EQ(conn->Mandant()->Name(), "HAUPT");
  auto users = db->Users();
  Strings names;
  for (int32_t i = 0; i < users->Count(); ++i) names.push_back(users->Item(i)->Name());
  EXPECT_EQ(names, (Strings{"Meier", "Schulz", "DEVELOPMENT"}));
  EXPECT_EQ(users->CurrentUser()->Name(), "Meier");
  EXPECT_EQ(Column("Adressen", "ID"), (Strings{"A1000", "A1001", "A1002"}));
  EXPECT_EQ(Column("Adressen", "Name"), (Strings{"Muster GmbH", "Beispiel AG", "Stadtwerke Nord"}));
  EXPECT_EQ(Table("Adressen")->Oid(), host->Rows("Adressen")[0].oid);
}

TEST_F(HostSample, ArticlesInTheirGroups) {
  const auto groups = host->Rows("Artikelgruppen");
  EXPECT_EQ(Column("Artikelgruppen", "ID"), (Strings{"G1", "G2"}));
  EXPECT_EQ(Column("Artikelgruppen", "Artikelgruppe"), (Strings{"Dienstleistungen", "Waren"}));
  // Id, Bezeichnung, Beschreibung, Nummer, Art, Einheit, Nettopreis, group.
  const Strings expected[] = {
      {"A1", "Wartung Basis", "Basiswartung", "1001", "DL", "Jahr", "120", "G1"},
      {"A2", "Hotline", "Telefonsupport", "1002", "DL", "Monat", "50", "G1"},
      {"A3", "Support", "Supportpaket", "1003", "DL", "Monat", "100", "G1"},
      {"A4", "Lizenz", "Softwarelizenz", "1004", "L", "Stk", "5", "G2"},
      {"A5", "Paket", "Servicepaket", "1005", "DL", "Stk", "100", "G1"},
      {"A6", "Kleinteil", "Kleinteil", "1006", "W", "Stk", "1", "G2"},
      {"A7", "Porto", "Porto", "1007", "W", "Stk", "1", "G2"},
      {"A8", "Service", "Service", "1008", "DL", "Stk", "100", "G1"},
      {"A9", "Extra", "Extraleistung", "1009", "DL", "Stk", "70", "G1"},
  };
  const auto articles = host->Rows("Artikel");
  ASSERT_EQ(articles.size(), std::size(expected));
  for (size_t i = 0; i < articles.size(); ++i) {
    const auto& a = articles[i];
    Strings got;
    for (const char* f : {"Id", "Bezeichnung", "Beschreibung", "Nummer", "Art", "Einheit", "Nettopreis"})
      got.push_back(rt::CStr(a[f]));
    got.push_back(a.masterOid == groups[0].oid ? "G1" : a.masterOid == groups[1].oid ? "G2" : "?");
    EXPECT_EQ(got, expected[i]);
    EXPECT_EQ(a["UStSatz"], rt::Variant(19.0));
    EXPECT_EQ(a["Erloeskonto"], rt::Variant(int32_t{8400}));
  }
}

TEST_F(HostSample, AttributesWorkflowsAndLists) {
  const auto groups = host->Rows("MerkmalgruppeAdressen");
  EXPECT_EQ(Column("MerkmalgruppeAdressen", "Gruppe"), (Strings{"Vertrag", "Kunde"}));
  const auto attrs = host->Rows("MerkmallisteAdressen");
  EXPECT_EQ(Column("MerkmallisteAdressen", "Merkmal"),
            (Strings{"Wartungsvertrag", "Vertragsbeginn", "Betreuer", "Status"}));
  EXPECT_EQ(attrs[3].masterOid, groups[1].oid);
  const auto values = host->Rows("WerteMerkmalAdressen");
  EXPECT_EQ(Column("WerteMerkmalAdressen", "Wert"),
            (Strings{"ja", "nein", "<Datum>", "<Benutzername>", "aktiv", "inaktiv"}));
  EXPECT_EQ(values[2].masterOid, attrs[1].oid);
  EXPECT_EQ(values[2]["MerkmalID"], attrs[1]["ID"]);

  EXPECT_EQ(Column("KMWFG_Vorgaenge", "ID"), (Strings{"WF1", "WF2"}));
  EXPECT_EQ(Column("KMWFG_Vorgaenge", "Betreff"),
            (Strings{"Vertragsverlängerung prüfen", "Neukunde begrüßen"}));
  EXPECT_EQ(Column("KMWFG_Vorgaenge", "Status"), (Strings{"freigegeben", "freigegeben"}));
  EXPECT_EQ(Column("KMWFG_Vorgaenge", "benutzerabhaengig"), (Strings{"False", "True"}));

  auto vars = db->ScriptEngine()->PersistVars();
  ASSERT_EQ(vars->Count(), 2);
  rt::Array status{0, {rt::Variant("in Arbeit"), rt::Variant("freigegeben"), rt::Variant("gesperrt")}};
  rt::Array units{0, {rt::Variant("Stk"), rt::Variant("Monat"), rt::Variant("Jahr"), rt::Variant("Std")}};
  EXPECT_EQ(vars->Item("kt_lt_VertragstypStatus")->Value(), rt::Variant(status));
  EXPECT_EQ(vars->Item("lt_Einheit")->Value(), rt::Variant(units));

  for (const char* empty :
       {"kt_Vertragsdefinitionen", "kt_DefinitionsPositionen", "kt_Vertraege", "kt_Vertragsstaende",
        "kt_Vertragspositionen", "kt_VertragsAktivitaeten", "Adressmerkmale", "KMMD_Nummern"})
    EXPECT_TRUE(host->Rows(empty).empty()) << empty;
  EXPECT_FALSE(host->DatabaseSetting("CreateAppointment4AllContracts").has_value());
}

}  // namespace
}  // namespace host_test
