// The sample data, exactly.
#include "host_fixture.h"

namespace host_test {
namespace {

using HostSample = HostTest;

std::vector<std::string> Column(const std::vector<host::sqlite::Row>& rows, const char* field) {
  std::vector<std::string> out;
  for (const auto& r : rows) out.push_back(rt::CStr(r[field]));
  return out;
}

TEST_F(HostSample, TenantUsersAddressesAndSession) {
  EXPECT_EQ(Column(host->Rows("KMMD_Mandanten"), "kelName"), std::vector<std::string>{"HAUPT"});
  EXPECT_EQ(conn->Mandant()->Name(), "HAUPT");
  auto users = db->Users();
  std::vector<std::string> names;
  for (int32_t i = 0; i < users->Count(); ++i) names.push_back(users->Item(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Meier", "Schulz", "DEVELOPMENT"}));
  EXPECT_EQ(users->CurrentUser()->Name(), "Meier");
  const auto addresses = host->Rows("Adressen");
  EXPECT_EQ(Column(addresses, "ID"), (std::vector<std::string>{"A1000", "A1001", "A1002"}));
  EXPECT_EQ(Column(addresses, "Name"),
            (std::vector<std::string>{"Muster GmbH", "Beispiel AG", "Stadtwerke Nord"}));
  EXPECT_EQ(Table("Adressen")->Oid(), addresses[0].oid);
}

TEST_F(HostSample, ArticlesInTheirGroups) {
  const auto groups = host->Rows("Artikelgruppen");
  EXPECT_EQ(Column(groups, "ID"), (std::vector<std::string>{"G1", "G2"}));
  EXPECT_EQ(Column(groups, "Artikelgruppe"), (std::vector<std::string>{"Dienstleistungen", "Waren"}));
  const auto articles = host->Rows("Artikel");
  ASSERT_EQ(articles.size(), 9u);
  EXPECT_EQ(Column(articles, "Id"),
            (std::vector<std::string>{"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9"}));
  EXPECT_EQ(Column(articles, "Nettopreis"),
            (std::vector<std::string>{"120", "50", "100", "5", "100", "1", "1", "100", "70"}));
  EXPECT_EQ(Column(articles, "Einheit"),
            (std::vector<std::string>{"Jahr", "Monat", "Monat", "Stk", "Stk", "Stk", "Stk", "Stk", "Stk"}));
  EXPECT_EQ(Column(articles, "Art"),
            (std::vector<std::string>{"DL", "DL", "DL", "L", "DL", "W", "W", "DL", "DL"}));
  const auto& a1 = articles[0];
  EXPECT_EQ(a1["Bezeichnung"], rt::Variant("Wartung Basis"));
  EXPECT_EQ(a1["Beschreibung"], rt::Variant("Basiswartung"));
  EXPECT_EQ(a1["Nummer"], rt::Variant("1001"));
  EXPECT_EQ(articles[8]["Beschreibung"], rt::Variant("Extraleistung"));
  for (const auto& a : articles) {
    EXPECT_EQ(a["UStSatz"], rt::Variant(19.0));
    EXPECT_EQ(a["Erloeskonto"], rt::Variant(int32_t{8400}));
    const bool waren = a["Art"].AsString() == "L" || a["Art"].AsString() == "W";
    EXPECT_EQ(a.masterOid, groups[waren ? 1 : 0].oid) << a["Id"].AsString();
  }
}

TEST_F(HostSample, AttributesWorkflowsAndLists) {
  const auto groups = host->Rows("MerkmalgruppeAdressen");
  EXPECT_EQ(Column(groups, "Gruppe"), (std::vector<std::string>{"Vertrag", "Kunde"}));
  const auto attrs = host->Rows("MerkmallisteAdressen");
  EXPECT_EQ(Column(attrs, "Merkmal"),
            (std::vector<std::string>{"Wartungsvertrag", "Vertragsbeginn", "Betreuer", "Status"}));
  EXPECT_EQ(attrs[3].masterOid, groups[1].oid);
  const auto values = host->Rows("WerteMerkmalAdressen");
  EXPECT_EQ(Column(values, "Wert"),
            (std::vector<std::string>{"ja", "nein", "<Datum>", "<Benutzername>", "aktiv", "inaktiv"}));
  EXPECT_EQ(values[2].masterOid, attrs[1].oid);
  EXPECT_EQ(values[2]["MerkmalID"], attrs[1]["ID"]);

  const auto wf = host->Rows("KMWFG_Vorgaenge");
  EXPECT_EQ(Column(wf, "ID"), (std::vector<std::string>{"WF1", "WF2"}));
  EXPECT_EQ(Column(wf, "Betreff"),
            (std::vector<std::string>{"Vertragsverlängerung prüfen", "Neukunde begrüßen"}));
  EXPECT_EQ(Column(wf, "Status"), (std::vector<std::string>{"freigegeben", "freigegeben"}));
  EXPECT_EQ(wf[0]["benutzerabhaengig"], rt::Variant(false));
  EXPECT_EQ(wf[1]["benutzerabhaengig"], rt::Variant(true));

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
