#include "host/sqlite/sample_data.h"

#include <string>
#include <utility>
#include <vector>

#include "host/sqlite/core.h"

namespace host::sqlite {

namespace {

using Values = std::vector<std::pair<std::string, rt::Variant>>;

rt::Variant List(std::vector<std::string> items) {
  rt::Array a;
  for (std::string& s : items) a.items.emplace_back(std::move(s));
  return rt::Variant(std::move(a));
}

struct Article {
  const char* id;
  const char* bezeichnung;
  const char* beschreibung;
  const char* nummer;
  const char* art;
  const char* einheit;
  double nettopreis;
  int group;  // 0: G1, 1: G2
};

constexpr Article kArticles[] = {
    {"A1", "Wartung Basis", "Basiswartung", "1001", "DL", "Jahr", 120.00, 0},
    {"A2", "Hotline", "Telefonsupport", "1002", "DL", "Monat", 50.00, 0},
    {"A3", "Support", "Supportpaket", "1003", "DL", "Monat", 100.00, 0},
    {"A4", "Lizenz", "Softwarelizenz", "1004", "L", "Stk", 5.00, 1},
    {"A5", "Paket", "Servicepaket", "1005", "DL", "Stk", 100.00, 0},
    {"A6", "Kleinteil", "Kleinteil", "1006", "W", "Stk", 1.00, 1},
    {"A7", "Porto", "Porto", "1007", "W", "Stk", 1.00, 1},
    {"A8", "Service", "Service", "1008", "DL", "Stk", 100.00, 0},
    {"A9", "Extra", "Extraleistung", "1009", "DL", "Stk", 70.00, 0},
};

struct Attribute {
  const char* group;
  const char* name;
  std::vector<const char*> values;
};

}  // namespace

void LoadSample(Core& core) {
  auto insert = [&core](const char* table, const Values& values, int64_t master = 0) {
    return core.InsertRow(core.TableIndex(table), values, master);
  };

  insert("KMMD_Mandanten", {{"kelName", "HAUPT"}});
  core.SetSessionValue(kSessionTenant, "HAUPT");
  for (const char* user : {"Meier", "Schulz", "DEVELOPMENT"}) core.own.AddUser(user);
  core.SetSessionValue(kSessionUser, "Meier");

  const int64_t current = insert("Adressen", {{"ID", "A1000"}, {"Name", "Muster GmbH"}});
  insert("Adressen", {{"ID", "A1001"}, {"Name", "Beispiel AG"}});
  insert("Adressen", {{"ID", "A1002"}, {"Name", "Stadtwerke Nord"}});
  core.SetSessionValue(kSessionAddress, std::to_string(current));

  const int64_t groups[] = {
      insert("Artikelgruppen", {{"ID", "G1"}, {"Artikelgruppe", "Dienstleistungen"}}),
      insert("Artikelgruppen", {{"ID", "G2"}, {"Artikelgruppe", "Waren"}}),
  };
  for (const Article& a : kArticles) {
    insert("Artikel",
           {{"Id", a.id},
            {"Bezeichnung", a.bezeichnung},
            {"Beschreibung", a.beschreibung},
            {"Nummer", a.nummer},
            {"Art", a.art},
            {"Einheit", a.einheit},
            {"Nettopreis", a.nettopreis},
            {"Erloeskonto", int32_t{8400}},
            {"UStSatz", 19.0}},
           groups[a.group]);
  }

  const Attribute attributes[] = {
      {"Vertrag", "Wartungsvertrag", {"ja", "nein"}},
      {"Vertrag", "Vertragsbeginn", {"<Datum>"}},
      {"Vertrag", "Betreuer", {"<Benutzername>"}},
      {"Kunde", "Status", {"aktiv", "inaktiv"}},
  };
  std::string lastGroup;
  int64_t group = 0;
  for (const Attribute& a : attributes) {
    if (a.group != lastGroup) {
      group = insert("MerkmalgruppeAdressen", {{"Gruppe", a.group}});
      lastGroup = a.group;
    }
    const int64_t attribute = insert("MerkmallisteAdressen", {{"Merkmal", a.name}}, group);
    for (const char* v : a.values) insert("WerteMerkmalAdressen", {{"Wert", v}}, attribute);
  }

  insert("KMWFG_Vorgaenge",
         {{"ID", "WF1"}, {"Betreff", "Vertragsverlängerung prüfen"}, {"Status", "freigegeben"}});
  insert("KMWFG_Vorgaenge", {{"ID", "WF2"},
                             {"Betreff", "Neukunde begrüßen"},
                             {"Status", "freigegeben"},
                             {"benutzerabhaengig", true}});

  core.own.SetPersistVar("kt_lt_VertragstypStatus", List({"in Arbeit", "freigegeben", "gesperrt"}), false);
  core.own.SetPersistVar("lt_Einheit", List({"Stk", "Monat", "Jahr", "Std"}), false);
}

}  // namespace host::sqlite
