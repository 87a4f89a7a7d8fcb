// The editor as Form_Load leaves it, and a load that fails.
#include "editor_fixture.h"

namespace editortest {
namespace {

class ContractTypesLoad : public EditorTest {};

TEST_F(ContractTypesLoad, DefaultsOfEveryList) {
  auto f = NewEditor();
  ASSERT_TRUE(f->InitNew());
  const auto p = Probe(*f);
  const std::vector<std::string> periods = {"monatlich",    "vierteljährlich", "halbjährlich", "jährlich",
                                            "zweijährlich", "dreijährlich",    "vierjährlich", "fünfjährlich"};
  const std::vector<std::string> notices = {"1", "2", "3", "4", "6", "12", "0"};
  const struct {
    const ui::ComboBox* combo;
    std::vector<std::string> entries;
    const char* shown;
  } combos[] = {
      {&f->cboStatus, {"in Arbeit", "freigegeben", "gesperrt"}, "in Arbeit"},
      {&f->cboZahlungsperiode, periods, "monatlich"},
      {&f->cboZahlungsperiode2, periods, "monatlich"},
      {&f->cboRechnungWann, {"im voraus", "nachträglich"}, "im voraus"},
      {&f->cboKuendFrist, notices, "6"},
      {&f->cboKuendFrist2, notices, "6"},
      {&f->cboKuendEinh, {"Wochen", "Monate"}, "Wochen"},
      {&f->cboKuendEinh2, {"Wochen", "Monate"}, "Wochen"},
      {&f->cboWorkflow, {"<kein Workflow>", "Vertragsverlängerung prüfen", "Neukunde begrüßen"}, "<kein Workflow>"},
      {&f->cboRequiGroup, {"<leer>", "Kunde", "Vertrag"}, "<leer>"},
      {&f->cboPutGroup, {"<leer>", "Kunde", "Vertrag"}, "<leer>"},
      {&f->cboRequiAttribute, {"<leer>"}, "<leer>"},
      {&f->cboPutAttribute, {"<leer>"}, "<leer>"},
      {&f->cboRequiValue, {}, ""},
      {&f->cboPutValue, {}, ""},
      {&f->cboArtikelGruppen, {"Dienstleistungen", "Waren"}, "Dienstleistungen"},
      {&f->cboKuenfristBezug, {}, ""},
  };
  for (const auto& c : combos) {
    EXPECT_EQ(Entries(*c.combo), c.entries) << c.combo->Name();
    EXPECT_EQ(c.combo->Text(), c.shown) << c.combo->Name();
  }
  const int32_t months[] = {1, 3, 6, 12, 24, 36, 48, 60};
  for (int32_t i = 0; i < 8; ++i) {
    EXPECT_EQ(f->cboZahlungsperiode.ItemData(i), months[i]);
    EXPECT_EQ(f->cboZahlungsperiode2.ItemData(i), months[i]);
  }
  EXPECT_EQ(p.WorkflowIDs(), (std::vector<std::string>{"", "WF1", "WF2"}));
  EXPECT_EQ(p.ArtGroupIDs(), (std::vector<std::string>{"", "G1", "G2"}));
  EXPECT_EQ(p.RequiGroupIDs().size(), 3u);
  EXPECT_EQ(p.RequiAttrIDs(), std::vector<std::string>{""});
  EXPECT_FALSE(p.Loading());
  EXPECT_EQ(p.RequiValueType(), 0);
  EXPECT_EQ(p.PutValueType(), 0);
  for (const ui::ComboBox* v : {&f->cboRequiValue, &f->cboPutValue}) {
    EXPECT_TRUE(v->Visible());
    EXPECT_FALSE(v->Enabled());
  }
  EXPECT_FALSE(f->DTPRequiValue.Visible());
  EXPECT_FALSE(f->DTPPutValue.Visible());
  EXPECT_FALSE(f->cboKuenfristBezug.Enabled());
  EXPECT_TRUE(f->fraPositionen.InFrontOf(f->fraPositionenK));
  EXPECT_EQ(f->txtDauer.Text(), "12");
  EXPECT_EQ(f->txtDauer2.Text(), "12");
  EXPECT_EQ(f->txtBezeichnung.Text(), "");
  EXPECT_FALSE(f->Label10.Visible());
  EXPECT_FALSE(f->m_bSaved());
  EXPECT_EQ(f->FontName(), "Tahoma");
  // InitNew: a new type of side "D", renewable.
  EXPECT_EQ(f->Caption(), "Vertragstyp [Neu]");
  EXPECT_TRUE(p.New());
  EXPECT_EQ(p.Typ(), "D");
  EXPECT_EQ(p.Art(), 1);
  EXPECT_TRUE(f->optDebitor.Value());
  // The articles of the first group, the first selected.
  std::vector<std::string> articles;
  for (int32_t i = 1; i <= f->lvwArtikel.Count(); ++i) articles.push_back(f->lvwArtikel.Item(i).SubItems(3));
  EXPECT_EQ(articles, (std::vector<std::string>{"A1", "A2", "A3", "A5", "A8", "A9"}));
  EXPECT_EQ(RowOf(f->lvwArtikel, 1), (std::vector<std::string>{"Wartung Basis", "120,00", f->lvwArtikel.Item(1).SubItems(2), "A1"}));
  EXPECT_EQ(f->lvwArtikel.SelectedItem().Index(), 1);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesLoad, OnlyReleasedWorkflowsWithTheirKeysAndListsThatMayBeEmpty) {
  host_->DeleteRows("KMWFG_Vorgaenge");
  host_->InsertRow("KMWFG_Vorgaenge", {{"ID", "W1"}, {"Betreff", "eins"}, {"Status", "in Arbeit"}});
  host_->InsertRow("KMWFG_Vorgaenge", {{"ID", "W2"}, {"Betreff", "zwei"}, {"Status", "freigegeben"}});
  host_->InsertRow("KMWFG_Vorgaenge", {{"ID", "W3"}, {"Betreff", "drei"}, {"Status", "Freigegeben"}});
  host_->InsertRow("KMWFG_Vorgaenge", {{"ID", "W4"}, {"Betreff", "vier"}, {"Status", "freigegeben"}});
  host_->DeleteRows("WerteMerkmalAdressen");
  host_->DeleteRows("MerkmallisteAdressen");
  host_->DeleteRows("MerkmalgruppeAdressen");
  host_->DeleteRows("Artikel");
  host_->DeleteRows("Artikelgruppen");
  host_->SetPersistVar("kt_lt_VertragstypStatus", rt::Variant(rt::Array{}));
  auto f = NewEditor();
  ASSERT_TRUE(f->InitNew());
  EXPECT_EQ(Entries(f->cboWorkflow), (std::vector<std::string>{"<kein Workflow>", "zwei", "vier"}));
  EXPECT_EQ(Probe(*f).WorkflowIDs(), (std::vector<std::string>{"", "W2", "W4", "", ""}));
  EXPECT_EQ(Entries(f->cboRequiGroup), std::vector<std::string>{"<leer>"});
  EXPECT_EQ(f->cboRequiGroup.ListIndex(), 0);
  EXPECT_EQ(f->cboArtikelGruppen.ListCount(), 0);
  EXPECT_EQ(f->lvwArtikel.Count(), 0);
  EXPECT_EQ(f->cboStatus.ListCount(), 0);
  EXPECT_EQ(f->cboStatus.Text(), "Combo1");  // the design text stays

  host_->RemovePersistVar("kt_lt_VertragstypStatus");
  auto g = NewEditor();
  ASSERT_TRUE(g->InitNew());
  EXPECT_EQ(g->cboStatus.ListCount(), 0);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesLoad, AFailedLoadIsReportedOnceAndTheEditorIsNotShown) {
  host_->FailNext("kt_Vertragsdefinitionen", "Table", static_cast<int32_t>(0x80041001u), "");
  Edit(true);  // no editor script queued: showing it would fail the test
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.Form_Load"));
  EXPECT_EQ(ui_->ModalLog().size(), 0u);

  // A status list that is not an array; the loading flag is put back.
  host_->SetPersistVar("kt_lt_VertragstypStatus", rt::Variant("freigegeben"));
  auto f = NewEditor();
  EXPECT_FALSE(f->InitEdit());
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.Form_Load"));
  EXPECT_FALSE(Probe(*f).Loading());
}

}  // namespace
}  // namespace editortest
