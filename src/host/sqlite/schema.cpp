#include "host/sqlite/schema.h"

#include <stdexcept>

#include "platform/text.h"

namespace host::sqlite {

namespace {

constexpr int32_t kMemoSize = 65535;

FieldDef Text(std::string name, int32_t size = 255, HostFill fill = HostFill::None) {
  return {std::move(name), FieldType::Text, size, fill};
}
FieldDef Memo(std::string name) { return {std::move(name), FieldType::Memo, kMemoSize}; }
FieldDef Long(std::string name) { return {std::move(name), FieldType::Long, 4}; }
FieldDef Double(std::string name) { return {std::move(name), FieldType::Double, 8}; }
FieldDef Bool(std::string name) { return {std::move(name), FieldType::Boolean, 2}; }
FieldDef Date(std::string name) { return {std::move(name), FieldType::Date, 8}; }
FieldDef Document(std::string name) { return {std::move(name), FieldType::Document, 0}; }
TableDef Table(std::string name, std::string master = {}) {
  TableDef t;
  t.name = std::move(name);
  t.master = std::move(master);
  return t;
}

IndexDef Index(std::string name, std::vector<std::string> keyFields) {
  IndexDef ix;
  ix.name = std::move(name);
  ix.keyFields = std::move(keyFields);
  return ix;
}

FieldDef Id(std::string name = "ID") { return Text(std::move(name), 50, HostFill::UniqueId); }

// The price columns of a position, one per price duration in months.
void AddPriceColumns(std::vector<FieldDef>& f) {
  for (const char* m :
       {"PreisM1", "PreisM3", "PreisM6", "PreisM12", "PreisM24", "PreisM36", "PreisM48", "PreisM60"})
    f.push_back(Double(m));
  f.push_back(Double("Preis"));
  f.push_back(Double("NettoOhneRabatt"));
}

// The six attribute fields a contract type requires and sets.
void AddAttributeColumns(std::vector<FieldDef>& f) {
  for (const char* n : {"ErfordertMerkmalGruppe", "ErfordertMerkmal", "ErfordertWert", "SetztMerkmalGruppe",
                        "SetztMerkmal", "SetztWert"})
    f.push_back(Text(n));
}

TableDef ContractTypes() {
  TableDef t = Table("kt_Vertragsdefinitionen");
  auto& f = t.fields;
  f = {Text("Status", 50),
       Bool("NoBooking"),
       Text("Typ", 10),
       Text("Bezeichnung"),
       Long("Art"),
       Text("ArtStr", 50),
       Long("Dauer"),
       Long("Verlaengerungsdauer"),
       Long("Kuendigungsfrist"),
       Text("KuendigungsfristEinh", 20),
       Long("VerlKuendigungsfrist"),
       Text("VerlKuendigungsfristEinh", 20),
       Long("Zahlungsperiode"),
       Long("VerlaengerungsZahlungsperiode"),
       Long("RechnungWann"),
       Text("WorkflowID", 50)};
  AddAttributeColumns(f);
  f.push_back(Double("NettoSumme"));
  f.push_back(Id());
  f.push_back(Text("KuendigungsfristBezug", 50));
  f.push_back(Document("Dokument"));
  t.indexes = {Index("Bezeichnung", {"Bezeichnung"})};
  return t;
}

TableDef ContractTypePositions() {
  TableDef t = Table("kt_DefinitionsPositionen", "kt_Vertragsdefinitionen");
  auto& f = t.fields;
  f = {Text("Artikel"),     Double("Nettopreis"), Text("Artikelnummer", 50), Text("Artikelart", 50),
       Text("Einheit", 50), Double("UStSatz"),    Memo("Beschreibung"),      Double("Anzahl"),
       Long("Erloeskonto"), Text("ArtikelID", 50)};
  AddPriceColumns(f);
  f.push_back(Text("Row", 10));
  f.push_back(Text("Positionsnummer", 20));
  f.push_back(Text("Gruppierung"));
  f.push_back(Long("Gruppierungsposition"));
  return t;
}

TableDef Contracts() {
  TableDef t = Table("kt_Vertraege", "Adressen");
  auto& f = t.fields;
  f = {Text("Typ", 10),
       Date("VertragBeginn"),
       Date("VertragEnde"),
       Date("GeschlossenAm"),
       Memo("Memo"),
       Text("Bezeichnung"),
       Long("Art"),
       Text("ArtStr", 50),
       Long("Dauer"),
       Long("Verlaengerungsdauer"),
       Long("Kuendigungsfrist"),
       Text("KuendigungsfristEinh", 20),
       Text("KuendigungsfristBezug", 50),
       Long("VerlKuendigungsfrist"),
       Text("VerlKuendigungsfristEinh", 20),
       Long("Zahlungsperiode"),
       Long("VerlaengerungsZahlungsperiode"),
       Long("AktZahlungsperiode"),
       Text("AktZahlungsperiodeStr", 50),
       Double("AktValue"),
       Date("AktNaechsteRechnung"),
       Text("AktNaechsteRechnungStr", 20),
       Date("KuendfristDatum"),
       Text("Verantwortlich")};
  AddAttributeColumns(f);
  f.push_back(Text("VertragsDefinitionID", 50));
  f.push_back(Bool("NoBooking"));
  f.push_back(Text("Vertragnummer", 20));
  f.push_back(Text("VerlaengerungsWorkflowID", 50));
  f.push_back(Bool("RabattNurErsteLaufzeit"));
  f.push_back(Text("AlarmOID", 50));
  f.push_back(Text("Auftragsnummer", 50));
  return t;
}

TableDef ContractStates() {
  TableDef t = Table("kt_Vertragsstaende", "kt_Vertraege");
  t.fields = {Date("LaufzeitStart"),
              Text("LaufzeitStartStr", 20),
              Date("LaufzeitEnde"),
              Text("LaufzeitEndeStr", 20),
              Document("Dokument"),
              Long("Zahlungsperiode"),
              Text("ZahlungsperiodeStr", 50),
              Double("Value"),
              Long("RechnungWann"),
              Date("NaechsteRechnung"),
              Text("NaechsteRechnungStr", 20),
              Double("Rabattprozent"),
              Bool("AlteFakturierung"),
              Text("LaufTyp", 10)};
  return t;
}

TableDef ContractPositions() {
  TableDef t = Table("kt_Vertragspositionen", "kt_Vertragsstaende");
  auto& f = t.fields;
  f = {Text("Artikel"),        Double("Nettopreis"), Text("Artikelnummer", 50),
       Text("Artikelart", 50), Text("Einheit", 50),  Double("UStSatz"),
       Memo("Beschreibung"),   Double("Anzahl"),     Long("Erloeskonto"),
       Text("ArtikelID", 50),  Text("Row", 10)};
  AddPriceColumns(f);
  f.push_back(Double("Rabattprozent"));
  f.push_back(Text("Positionsnummer", 20));
  f.push_back(Text("Gruppierung"));
  f.push_back(Long("Gruppierungsposition"));
  f.push_back(Text("Auftragsnummer", 50));
  return t;
}

TableDef ContractActivities() {
  TableDef t = Table("kt_VertragsAktivitaeten", "kt_Vertraege");
  t.fields = {Text("Typ", 50), Text("Betreff"), Date("Datum"), Bool("Erledigt"), Text("Verantwortlich")};
  return t;
}

TableDef Addresses() {
  TableDef t = Table("Adressen");
  t.fields = {Id(), Text("Name")};
  return t;
}

TableDef AddressAttributes() {
  TableDef t = Table("Adressmerkmale", "Adressen");
  t.fields = {Text("Gruppe"),    Text("Merkmal"),   Text("Wert"),
              Date("GültigVom"), Date("GültigBis"), Memo("Beschreibung")};
  return t;
}

TableDef Articles() {
  TableDef t = Table("Artikel", "Artikelgruppen");
  t.fields = {Id("Id"),
              Text("Bezeichnung"),
              Memo("Beschreibung"),
              Text("Nummer", 50),
              Text("Art", 50),
              Text("Einheit", 50),
              Double("Nettopreis"),
              Text("Gruppierung"),
              Long("Erloeskonto"),
              Double("UStSatz"),
              Text("ArtikelgruppeID", 50, HostFill::MasterId)};
  t.indexes = {Index("Id", {"Id"})};
  return t;
}

TableDef ArticleGroups() {
  TableDef t = Table("Artikelgruppen");
  t.fields = {Id(), Text("Artikelgruppe")};
  t.indexes = {Index("ID", {"ID"})};
  return t;
}

TableDef AttributeGroups() {
  TableDef t = Table("MerkmalgruppeAdressen");
  t.fields = {Id(), Text("Gruppe"), Text("KMWFG_WorkflowName"), Text("KMWFG_WorkflowID", 50)};
  t.indexes = {Index("Merkmalgruppe", {"Gruppe"})};
  return t;
}

TableDef Attributes() {
  TableDef t = Table("MerkmallisteAdressen", "MerkmalgruppeAdressen");
  t.fields = {Id(), Text("MerkmalgruppeID", 50, HostFill::MasterId), Text("Merkmal"),
              Text("KMWFG_WorkflowName"), Text("KMWFG_WorkflowID", 50)};
  t.indexes = {Index("Merkmal", {"Merkmal"}),
               Index("MerkmalgruppeIDMerkmal", {"MerkmalgruppeID", "Merkmal"})};
  return t;
}

TableDef AttributeValues() {
  TableDef t = Table("WerteMerkmalAdressen", "MerkmallisteAdressen");
  t.fields = {Text("MerkmalID", 50, HostFill::MasterId), Text("Wert"), Text("KMWFG_WorkflowName"),
              Text("KMWFG_WorkflowID", 50)};
  t.indexes = {Index("MerkmalIDWert", {"MerkmalID", "Wert"})};
  return t;
}

TableDef Workflows() {
  TableDef t = Table("KMWFG_Vorgaenge");
  t.fields = {Id(), Text("Betreff"), Text("Status", 50), Bool("benutzerabhaengig"),
              Bool("voreinstellungaenderbar")};
  t.indexes = {Index("ID", {"ID"})};
  return t;
}

TableDef Tenants() {
  TableDef t = Table("KMMD_Mandanten");
  t.fields = {Text("kelName", 50)};
  t.indexes = {Index("kelName", {"kelName"})};
  return t;
}

TableDef NumberRanges() {
  TableDef t = Table("KMMD_Nummern");
  t.fields = {Text("Tabelle"), Text("Feld"), Text("KelName", 50, HostFill::TenantName), Text("Nummer", 20)};
  t.indexes = {Index("Tabelle_Feld", {"Tabelle", "Feld"})};
  return t;
}

}  // namespace

Schema Schema::Default() {
  Schema s;
  s.tables_ = {ContractTypes(),     ContractTypePositions(),
               Contracts(),         ContractStates(),
               ContractPositions(), ContractActivities(),
               Addresses(),         AddressAttributes(),
               Articles(),          ArticleGroups(),
               AttributeGroups(),   Attributes(),
               AttributeValues(),   Workflows(),
               Tenants(),           NumberRanges()};
  s.Resolve();
  return s;
}

// Builds the name lookups, links masters and details and resolves index key
// fields; a declaration error (an unknown name, or two names that differ
// only in letter case) is a programming error of this file.
void Schema::Resolve() {
  auto add = [](rt::NameLookup& lookup, const std::string& name, size_t position) {
    if (!lookup.Add(name, static_cast<int>(position))) throw std::logic_error("name declared twice: " + name);
  };
  for (size_t i = 0; i < tables_.size(); ++i) {
    TableDef& t = tables_[i];
    add(tableNames_, t.name, i);
    for (size_t f = 0; f < t.fields.size(); ++f) add(t.fieldNames, t.fields[f].name, f);
    for (size_t x = 0; x < t.indexes.size(); ++x) add(t.indexNames, t.indexes[x].name, x);
  }
  for (size_t i = 0; i < tables_.size(); ++i) {
    TableDef& t = tables_[i];
    if (!t.master.empty()) {
      t.masterIndex = Find(t.master);
      if (t.masterIndex < 0) throw std::logic_error("unknown master " + t.master);
      tables_[t.masterIndex].details.push_back(static_cast<int>(i));
    }
    t.inKey.assign(t.fields.size(), false);
    for (IndexDef& ix : t.indexes) {
      ix.keyFieldIndexes.clear();
      for (const std::string& k : ix.keyFields) {
        int f = t.FieldIndex(k);
        if (f < 0) throw std::logic_error("unknown key field " + k);
        ix.keyFieldIndexes.push_back(f);
        t.inKey[static_cast<size_t>(f)] = true;
      }
      ix.keyColumn = "_key_" + ix.name;
    }
  }
}

std::string Quote(std::string_view identifier) {
  std::string q = "\"";
  for (char c : identifier) {
    q += c;
    if (c == '"') q += '"';
  }
  q += '"';
  return q;
}

}  // namespace host::sqlite
