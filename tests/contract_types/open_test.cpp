// Opening a stored contract type, and saving it unchanged.
#include "editor_fixture.h"

namespace editortest {
namespace {

class ContractTypesOpen : public EditorTest {
 protected:
  // Opens the current type in a new editor (not shown).
  std::shared_ptr<frmFEditDefinitions> Open(bool expected = true) {
    auto f = NewEditor();
    EXPECT_EQ(f->InitEdit(), expected);
    return f;
  }
};

TEST_F(ContractTypesOpen, StoredValuesAreShownOverTheDefaults) {
  const std::string oid = StoreType({{"Status", "archiviert"},
                                     {"NoBooking", true},
                                     {"Bezeichnung", "  Mit Blanks"},
                                     {"Dauer", int32_t{24}},
                                     {"Zahlungsperiode", int32_t{3}},
                                     {"Kuendigungsfrist", int32_t{3}},
                                     {"KuendigungsfristEinh", "Monate"},
                                     {"Verlaengerungsdauer", int32_t{12}},
                                     {"VerlaengerungsZahlungsperiode", int32_t{12}},
                                     {"VerlKuendigungsfrist", int32_t{1}},
                                     {"RechnungWann", int32_t{1}},
                                     {"WorkflowID", "WF2"}});
  StorePosition(oid);
  StorePosition(oid, {{"ArtikelID", "A2"}, {"Anzahl", 3.0}, {"Nettopreis", 1.005}});
  StorePosition(oid, {{"ArtikelID", "A3"}});
  auto f = Open();
  EXPECT_EQ(f->Caption(), "Vertragstyp [Ändern]");
  EXPECT_FALSE(Probe(*f).New());
  EXPECT_EQ(Entries(f->cboStatus), (std::vector<std::string>{"in Arbeit", "freigegeben", "gesperrt", "archiviert"}));
  EXPECT_EQ(f->cboStatus.Text(), "archiviert");
  EXPECT_EQ(f->chkNoBooking.Value(), ui::CheckBox::Checked);
  EXPECT_EQ(f->txtBezeichnung.Text(), "  Mit Blanks");
  EXPECT_EQ(f->txtDauer.Text(), "24");
  EXPECT_EQ(f->cboZahlungsperiode.Text(), "vierteljährlich");
  EXPECT_EQ(f->cboKuendFrist.Text(), "3");
  EXPECT_EQ(f->cboKuendEinh.Text(), "Monate");
  // The stored renewal values win over what the first column mirrored.
  EXPECT_EQ(f->txtDauer2.Text(), "12");
  EXPECT_EQ(f->cboZahlungsperiode2.Text(), "jährlich");
  EXPECT_EQ(f->cboKuendFrist2.Text(), "1");
  EXPECT_EQ(f->cboKuendEinh2.Text(), "Wochen");
  EXPECT_EQ(f->cboRechnungWann.Text(), "nachträglich");
  EXPECT_EQ(f->cboWorkflow.Text(), "Neukunde begrüßen");
  EXPECT_FALSE(f->optKreditor.Enabled());
  ASSERT_EQ(f->lvwPositionen.Count(), 3);
  const std::vector<std::string> first = RowOf(f->lvwPositionen, 1);
  EXPECT_EQ(first, (std::vector<std::string>{Rows("kt_DefinitionsPositionen")[0].oid,
                                             "Wartung Basis", "2,00", "10,50", "21,00", "1001", "DL", "Jahr", "19",
                                             "Basis", "8400", "A1", "10,5", "31,5", "63", "126", "252", "378", "504",
                                             "630", "126", "10,5", ""}));
  EXPECT_EQ(f->lvwPositionen.Item(2).SubItems(4), "3,01");  // Round2 of the exact product 3,0149…
  EXPECT_EQ(f->lvwPositionen.Item(3).SubItems(11), "A3");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesOpen, KindsSidesAndStoredValuesTheListsDoNotHold) {
  const std::string notice5 = "Fehler in kt_FEditDefinitions.InitEdit";
  const struct {
    const char* what;
    Values changes;
    bool ok;
    std::vector<std::string> prompts;
  } cases[] = {
      {"Typ X", {{"Typ", "X"}}, false, {}},
      {"Art 4", {{"Art", int32_t{4}}}, false, {}},
      {"Art 0", {{"Art", int32_t{0}}}, false, {}},
      {"notice 5", {{"Kuendigungsfrist", int32_t{5}}}, false, {"Fehler &H17C in kelPaktor2"}},
      {"empty unit", {{"VerlKuendigungsfristEinh", ""}}, false, {"Fehler &H17C in kelPaktor2"}},
      {"RechnungWann 2", {{"RechnungWann", int32_t{2}}}, false, {"Fehler &H17C in kelPaktor2"}},
      {"period 5", {{"Zahlungsperiode", int32_t{5}}}, true, {}},
      {"K", {{"Typ", "K"}, {"NoBooking", true}}, true, {}},
  };
  for (const auto& c : cases) {
    StoreType(c.changes);
    const size_t before = Boxes().size();
    auto f = Open(c.ok);
    std::vector<std::string> prompts;
    for (size_t i = before; i < Boxes().size(); ++i) {
      prompts.push_back(Boxes()[i].prompt.substr(0, Boxes()[i].prompt.find("\r\n")));
      EXPECT_EQ(Boxes()[i].title, std::optional<std::string>(notice5)) << c.what;
    }
    EXPECT_EQ(prompts, c.prompts) << c.what;
    if (std::string(c.what) == "period 5") {
      EXPECT_EQ(f->cboZahlungsperiode.Text(), "monatlich");
    }
    if (std::string(c.what) == "K") {
      EXPECT_TRUE(f->optKreditor.Value());
      EXPECT_FALSE(f->optDebitor.Enabled());
      EXPECT_FALSE(f->chkNoBooking.Enabled());
      EXPECT_EQ(f->chkNoBooking.Value(), ui::CheckBox::Checked);  // the stored value, set after the click
      EXPECT_TRUE(f->fraPositionenK.InFrontOf(f->fraPositionen));
    }
  }
  // No current type: false, silently.
  host_->SetCurrentContractTypeOid("", false);
  const size_t before = Boxes().size();
  Open(false);
  EXPECT_EQ(Boxes().size(), before);
  // Not shown by the entry class either.
  StoreType({{"Typ", "X"}});
  Edit(false);
  EXPECT_TRUE(ui_->ModalLog().empty());
}

TEST_F(ContractTypesOpen, KindTwoAndThreeAndTheWorkflowTheyDoNotOffer) {
  StoreType({{"Art", int32_t{2}}, {"Kuendigungsfrist", int32_t{0}}, {"VerlKuendigungsfrist", int32_t{0}},
             {"WorkflowID", "WF1"}});
  auto two = Open();
  EXPECT_TRUE(two->optBefristet.Value());
  EXPECT_EQ(two->chkVerlaengerbar.Value(), ui::CheckBox::Unchecked);
  EXPECT_FALSE(two->txtDauer2.Reachable());
  EXPECT_FALSE(two->cboKuendFrist.Reachable());
  EXPECT_EQ(two->cboWorkflow.Text(), "<kein Workflow>");
  EXPECT_FALSE(two->cboWorkflow.Enabled());
  EXPECT_EQ(Probe(*two).WorkflowID(), "WF1");
  EXPECT_EQ(Probe(*two).Art(), 2);

  StoreType({{"Art", int32_t{3}}, {"Dauer", int32_t{0}}, {"Verlaengerungsdauer", int32_t{0}}});
  auto three = Open();
  EXPECT_TRUE(three->optUnbefristet.Value());
  EXPECT_FALSE(three->chkVerlaengerbar.Enabled());
  EXPECT_EQ(three->txtDauer.Text(), "0");
  EXPECT_EQ(three->txtDauer2.Text(), "0");
  EXPECT_EQ(Probe(*three).Art(), 3);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesOpen, StoredAttributesAreSelectedEvenWhenTheirRecordsMoved) {
  // A second "Status", in the group "Vertrag".
  const std::string vertrag = OidOf("MerkmalgruppeAdressen", "Gruppe", "Vertrag");
  host_->InsertRow("MerkmallisteAdressen", {{"Merkmal", "Status"}}, vertrag);
  const struct {
    const char* what;
    std::vector<std::string> stored;  // group, name, value
    std::vector<std::string> group, attributes;
    std::string attribute, value;
    std::string key0;  // the attribute's key at entry 0
    std::optional<rt::Date> date;
  } cases[] = {
      {"in its group", {"Vertrag", "Betreuer", "Schulz"}, {"Vertrag"},
       {"Wartungsvertrag", "Vertragsbeginn", "Betreuer", "Status"}, "Betreuer", "Schulz",
       OidOf("MerkmallisteAdressen", "Merkmal", "Wartungsvertrag"), std::nullopt},
      {"a stored date", {"Vertrag", "Vertragsbeginn", "2023-05-17"}, {"Vertrag"},
       {"Wartungsvertrag", "Vertragsbeginn", "Betreuer", "Status"}, "Vertragsbeginn", "2023-05-17",
       OidOf("MerkmallisteAdressen", "Merkmal", "Wartungsvertrag"), rt::DateSerial(2023, 5, 17)},
      {"an unreadable date", {"Vertrag", "Vertragsbeginn", "17.05.2023"}, {"Vertrag"},
       {"Wartungsvertrag", "Vertragsbeginn", "Betreuer", "Status"}, "Vertragsbeginn", "17.05.2023",
       OidOf("MerkmallisteAdressen", "Merkmal", "Wartungsvertrag"), coretest::FixedToday()},
      {"no group", {"", "Wartungsvertrag", "ja"}, {"<leer>"}, {"Wartungsvertrag"}, "Wartungsvertrag", "ja",
       OidOf("MerkmallisteAdressen", "Merkmal", "Wartungsvertrag"), std::nullopt},
      // Seeking the name finds the first "Status", in the group "Kunde".
      {"a name in two groups", {"Vertrag", "Status", "ja"}, {"Vertrag"},
       {"Status", "Vertragsbeginn", "Betreuer", "Status"}, "Status", "ja",
       OidOf("MerkmallisteAdressen", "Merkmal", "Status"), std::nullopt},
      {"gone", {"Vertrag", "Gekündigt", "x"}, {"Vertrag"},
       {"Wartungsvertrag", "Vertragsbeginn", "Betreuer", "Status", "Gekündigt"}, "Gekündigt", "x",
       OidOf("MerkmallisteAdressen", "Merkmal", "Wartungsvertrag"), std::nullopt},
      {"gone, no group", {"", "Gekündigt", "x"}, {"<leer>"}, {"Gekündigt"}, "Gekündigt", "x", "", std::nullopt},
  };
  for (const auto& c : cases) {
    StoreType({{"SetztMerkmalGruppe", c.stored[0]}, {"SetztMerkmal", c.stored[1]}, {"SetztWert", c.stored[2]}});
    auto f = Open();
    EXPECT_EQ(f->cboPutGroup.Text(), c.group[0]) << c.what;
    EXPECT_EQ(Entries(f->cboPutAttribute), c.attributes) << c.what;
    EXPECT_EQ(f->cboPutAttribute.Text(), c.attribute) << c.what;
    EXPECT_EQ(f->cboPutValue.Text(), c.value) << c.what;
    EXPECT_EQ(Probe(*f).PutAttrIDs().at(0), c.key0) << c.what;
    if (c.date) {
      EXPECT_EQ(f->DTPPutValue.Value(), c.date) << c.what;
    }
    EXPECT_FALSE(Probe(*f).Loading());
  }
  EXPECT_TRUE(Boxes().empty());

  // A group stored in another letter case is not an entry: reported.
  StoreType({{"ErfordertMerkmalGruppe", "vertrag"}, {"ErfordertMerkmal", "Betreuer"}});
  Open(false);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.InitEdit"));
}

TEST_F(ContractTypesOpen, OpeningAndSavingUnchangedLeavesEveryRecordAsItWas) {
  const std::string vertrag = OidOf("MerkmalgruppeAdressen", "Gruppe", "Vertrag");
  host_->InsertRow("MerkmallisteAdressen", {{"Merkmal", "Status"}}, vertrag);
  std::vector<std::string> types;
  types.push_back(StoreType({{"WorkflowID", "WF1"},
                             {"ErfordertMerkmalGruppe", "Vertrag"}, {"ErfordertMerkmal", "Vertragsbeginn"},
                             {"ErfordertWert", "2023-05-17"},
                             {"SetztMerkmalGruppe", "Vertrag"}, {"SetztMerkmal", "Status"}, {"SetztWert", "ja"},
                             {"NettoSumme", 42.0}, {"NoBooking", true}, {"RechnungWann", int32_t{1}}}));
  // Rows of the groups A, B, A: their running numbers follow the groups.
  StorePosition(types.back(), {{"Gruppierung", "A"}, {"Anzahl", 2.0}, {"Nettopreis", 10.5}});
  StorePosition(types.back(), {{"ArtikelID", "A2"}, {"Gruppierung", "B"}, {"Anzahl", 1.0}, {"Nettopreis", 0.0},
                               {"Row", "002"}, {"Positionsnummer", "3"}, {"Gruppierungsposition", int32_t{2}}});
  StorePosition(types.back(), {{"ArtikelID", "A3"}, {"Gruppierung", "A"}, {"Anzahl", 3.0}, {"Nettopreis", 7.0},
                               {"Row", "003"}, {"Positionsnummer", "2"}});
  types.push_back(StoreType({{"Art", int32_t{2}}, {"ArtStr", "einmalig"}, {"Kuendigungsfrist", int32_t{0}},
                             {"VerlKuendigungsfrist", int32_t{0}}, {"SetztMerkmal", "Gekündigt"},
                             {"SetztWert", "x"}, {"SetztMerkmalGruppe", ""}, {"NettoSumme", 21.0}}));
  StorePosition(types.back());
  types.push_back(StoreType({{"Art", int32_t{3}}, {"ArtStr", "unbefristet"}, {"Dauer", int32_t{0}},
                             {"Verlaengerungsdauer", int32_t{0}}, {"NettoSumme", 0.0}}));
  types.push_back(StoreType({{"Typ", "K"}, {"Status", "in Arbeit"}}));
  StorePosition(types.back(), {{"Artikel", "Tragen Sie hier die Bezeichnung ein!"}, {"Nettopreis", 0.0},
                               {"Artikelnummer", "00000000"}, {"Artikelart", "Verbindlichkeit"},
                               {"Einheit", "Stück"}, {"Beschreibung", ""}, {"Anzahl", 1.0},
                               {"ArtikelID", "00000000"}, {"PreisM1", 0.0}, {"PreisM3", 0.0}, {"PreisM6", 0.0},
                               {"PreisM12", 0.0}, {"PreisM24", 0.0}, {"PreisM36", 0.0}, {"PreisM48", 0.0},
                               {"PreisM60", 0.0}, {"Preis", 0.0}, {"NettoOhneRabatt", 0.0},
                               {"Positionsnummer", ""}, {"Gruppierungsposition", int32_t{0}}});
  const auto before = std::make_pair(Rows("kt_Vertragsdefinitionen"), Rows("kt_DefinitionsPositionen"));
  for (const std::string& oid : types) {
    host_->SetCurrentContractTypeOid(oid, false);
    if (oid == types[2]) ui_->AnswerNext(ui::MsgResult::Yes, "keine Vertragspositionen");
    OnEditor([this](frmFEditDefinitions& f) { EXPECT_TRUE(user_.Click(f.cmdSave)); });
    Edit(false);
  }
  EXPECT_EQ(Boxes().size(), 1u);
  const auto after = std::make_pair(Rows("kt_Vertragsdefinitionen"), Rows("kt_DefinitionsPositionen"));
  ASSERT_EQ(after.first.size(), before.first.size());
  ASSERT_EQ(after.second.size(), before.second.size());
  for (size_t i = 0; i < before.first.size(); ++i) EXPECT_EQ(after.first[i].fields, before.first[i].fields) << i;
  for (size_t i = 0; i < before.second.size(); ++i) EXPECT_EQ(after.second[i].fields, before.second[i].fields) << i;
}

}  // namespace
}  // namespace editortest
