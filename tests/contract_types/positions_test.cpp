// The article list and adding, editing and deleting positions.
#include "editor_fixture.h"

namespace editortest {
namespace {

class ContractTypesPositions : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    f = NewEditor();
    ASSERT_TRUE(f->InitNew());
  }
  // Adds the article at `item` of the article list, confirming the dialog
  // as it comes.
  void Add(int32_t item) {
    ASSERT_TRUE(user_.ClickItem(f->lvwArtikel, item));
    OnDialog([this](frmFEditDefPositions& d) { EXPECT_TRUE(user_.Click(d.cmdOk)); });
    ASSERT_TRUE(user_.Click(f->cmdAddPos));
  }
  std::vector<std::string> Column(int32_t column) {
    std::vector<std::string> out;
    for (int32_t i = 1; i <= f->lvwPositionen.Count(); ++i) out.push_back(f->lvwPositionen.Item(i).SubItems(column));
    return out;
  }
  std::shared_ptr<frmFEditDefinitions> f;
};

TEST_F(ContractTypesPositions, TheArticleListShowsTheChosenGroup) {
  ASSERT_TRUE(user_.Select(f->cboArtikelGruppen, 1));
  ASSERT_EQ(f->lvwArtikel.Count(), 3);
  EXPECT_EQ(f->lvwArtikel.Item(1).Text(), "Lizenz");
  EXPECT_EQ(f->lvwArtikel.Item(1).SubItems(1), "5,00");
  EXPECT_EQ(f->lvwArtikel.Item(3).SubItems(3), "A7");
  EXPECT_EQ(f->lvwArtikel.SelectedItem().Index(), 1);
  // A group without articles, and a group that is gone, list nothing.
  host_->InsertRow("Artikelgruppen", {{"ID", "G3"}, {"Artikelgruppe", "Leer"}});
  auto g = NewEditor();
  ASSERT_TRUE(g->InitNew());
  ASSERT_TRUE(user_.Select(g->cboArtikelGruppen, 2));
  EXPECT_EQ(g->lvwArtikel.Count(), 0);
  ASSERT_TRUE(user_.Select(g->cboArtikelGruppen, 0));
  host_->DeleteRows("Artikelgruppen");
  ASSERT_TRUE(user_.Select(g->cboArtikelGruppen, 1));
  EXPECT_EQ(g->lvwArtikel.Count(), 0);
  // Adding with no article to add: reported.
  ASSERT_TRUE(user_.Click(g->cmdAddPos));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.cmdAddPos_Click"));
  EXPECT_NE(Boxes()[0].prompt.find("&H5B"), std::string::npos);
}

TEST_F(ContractTypesPositions, AnAddedArticleCarriesTheDialogsPricesAndTheArticlesData) {
  host_->DeleteRows("Artikel");
  const std::string g1 = Rows("Artikelgruppen")[0].oid;
  host_->InsertRow("Artikel", {{"Id", "X1"}, {"Bezeichnung", "Gerät"}, {"Nummer", "77"}, {"Art", "W"},
                               {"Einheit", "Stk"}, {"Nettopreis", 120.0}, {"Gruppierung", "Hardware"},
                               {"Erloeskonto", int32_t{8300}}, {"UStSatz", 7.0}, {"Beschreibung", "neu"}},
                   g1);
  host_->InsertRow("Artikel", {{"Id", "x1"}, {"Bezeichnung", "Gerät klein"}, {"Nettopreis", 12.0}}, g1);
  f = NewEditor();
  ASSERT_TRUE(f->InitNew());
  OnDialog([this](frmFEditDefPositions& d) {
    EXPECT_EQ(d.txtArtikel.Text(), "Gerät");
    EXPECT_EQ(d.txtAnzahl.Text(), "1,00");
    EXPECT_EQ(d.txtNettopreis.Text(), "120,00");
    EXPECT_EQ(d.cboEinheit.Text(), "Stk");
    EXPECT_EQ(d.txtBeschreibung.Text(), "neu");
    EXPECT_EQ(d.lblPeriod.Caption(), "monatlich");
    EXPECT_EQ(d.lblDuration.Caption(), "Gesamtlaufzeit: 12 Monate");
    EXPECT_TRUE(user_.Click(d.cmdOk));
  });
  ASSERT_TRUE(user_.Click(f->cmdAddPos));
  ASSERT_EQ(f->lvwPositionen.Count(), 1);
  EXPECT_EQ(RowOf(f->lvwPositionen, 1),
            (std::vector<std::string>{"", "Gerät", "1,00", "10,00", "10,00", "77", "W", "Stk", "7", "neu", "8300",
                                      "X1", "10,00", "30,00", "60,00", "120,00", "240,00", "360,00", "480,00",
                                      "600,00", "120,00", "10,00", "Hardware"}));
  // The same article again is refused; one whose key differs only in
  // letter case is another article.
  Add(1);
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Der ausgewählte Artikel ist bereits eine Vertragsposition"});
  EXPECT_EQ(Boxes()[0].style, 64);
  Add(2);
  EXPECT_EQ(f->lvwPositionen.Count(), 2);
  EXPECT_EQ(f->lvwPositionen.SelectedItem().Index(), 1);  // the new row is not selected
}

TEST_F(ContractTypesPositions, TermAndPeriodHandedToTheDialog) {
  const struct {
    const char* what;
    std::function<void()> prepare;
    const char* period;
    const char* duration;
    const char* price;  // column 3
  } cases[] = {
      {"12 months quarterly", [&] { f->cboZahlungsperiode.SetListIndex(1); }, "vierteljährlich",
       "Gesamtlaufzeit: 12 Monate", "30,00"},
      // Open-ended: the duration shows 0, and the prices are for a year.
      {"open-ended", [&] { f->optUnbefristet.SetValue(true); }, "vierteljährlich", "Gesamtlaufzeit: 12 Monate",
       "30,00"},
      {"24 months yearly",
       [&] {
         f->optBefristet.SetValue(true);
         f->txtDauer.SetText("24");
         f->cboZahlungsperiode.SetListIndex(3);
       },
       "jährlich", "Gesamtlaufzeit: 24 Monate", "60,00"},
  };
  for (const auto& c : cases) {
    f->lvwPositionen.Clear();
    c.prepare();
    OnDialog([this, &c](frmFEditDefPositions& d) {
      EXPECT_EQ(d.lblPeriod.Caption(), c.period) << c.what;
      EXPECT_EQ(d.lblDuration.Caption(), c.duration) << c.what;
      EXPECT_TRUE(user_.Click(d.cmdOk));
    });
    ASSERT_TRUE(user_.Click(f->cmdAddPos));
    ASSERT_EQ(f->lvwPositionen.Count(), 1) << c.what;
    EXPECT_EQ(f->lvwPositionen.Item(1).SubItems(3), c.price) << c.what;
  }
  // A duration of 0 for a fixed term: the prices cannot be computed.
  f->lvwPositionen.Clear();
  f->txtDauer.SetText("0");
  ASSERT_TRUE(user_.Click(f->cmdAddPos));
  EXPECT_EQ(f->lvwPositionen.Count(), 0);
  EXPECT_EQ(Boxes().back().title, std::optional<std::string>("Fehler in kt_FEditDefinitions.cmdAddPos_Click"));
  EXPECT_EQ(Boxes().back().prompt.substr(0, 8), "Fehler &");

  // A duration that is no number of months opens no dialog, for adding
  // and editing alike: it is an invalid entry, and the focus goes back.
  f->txtDauer.SetText("12");
  Add(1);  // a row to edit
  ASSERT_TRUE(user_.ClickItem(f->lvwArtikel, 2));
  f->txtDauer.SetText("-12");
  for (ui::CommandButton* button : {&f->cmdAddPos, &f->cmdEditPos}) {
    const size_t before = Boxes().size();
    ASSERT_TRUE(user_.Click(*button));  // a dialog shown would fail the script
    EXPECT_EQ(BoxesFrom(before),
              (std::vector<coretest::Shown>{{"Ungültige Eingabe in Vertragsdauer !", 64, "Bitte ändern ..."}}))
        << button->Name();
    EXPECT_TRUE(f->txtDauer.HasFocus()) << button->Name();
  }
  EXPECT_EQ(f->lvwPositionen.Count(), 1);
}

TEST_F(ContractTypesPositions, CancelChangesNothingAndEditKeepsTheArticlesData) {
  ASSERT_TRUE(user_.ClickItem(f->lvwArtikel, 1));
  OnDialog([this](frmFEditDefPositions& d) { EXPECT_TRUE(user_.Click(d.cmdCancel)); });
  ASSERT_TRUE(user_.Click(f->cmdAddPos));
  EXPECT_EQ(f->lvwPositionen.Count(), 0);

  Add(1);
  ui::ListItem& row = f->lvwPositionen.Item(1);
  row.SetText("123");  // as if stored
  row.SetSubItems(22, "G");
  const std::vector<std::string> before = RowOf(f->lvwPositionen, 1);
  OnDialog([this](frmFEditDefPositions& d) {
    EXPECT_EQ(d.txtNettopreis.Text(), "120,00");
    EXPECT_EQ(d.txtPreisM12.Text(), "120,00");
    EXPECT_TRUE(user_.SelectAll(d.txtAnzahl) && user_.Type(d.txtAnzahl, "3"));
    EXPECT_TRUE(user_.SelectAll(d.txtPreisM1) && user_.Type(d.txtPreisM1, "9"));
    EXPECT_TRUE(user_.Click(d.cmdOk));
  });
  ASSERT_TRUE(user_.Click(f->cmdEditPos));
  std::vector<std::string> expected = before;
  expected[2] = "3,00";
  expected[3] = "9,00";
  expected[4] = "27,00";
  expected[12] = "9,00";
  expected[21] = "9,00";
  EXPECT_EQ(RowOf(f->lvwPositionen, 1), expected);

  OnDialog([this](frmFEditDefPositions& d) { EXPECT_TRUE(user_.Click(d.cmdCancel)); });
  ASSERT_TRUE(user_.Click(f->cmdEditPos));
  EXPECT_EQ(RowOf(f->lvwPositionen, 1), expected);
}

TEST_F(ContractTypesPositions, DeletingSelectsTheNeighbourAndRemembersStoredKeysOnce) {
  for (int32_t i = 1; i <= 3; ++i) Add(i);
  f->lvwPositionen.Item(1).SetText("101");  // stored rows
  f->lvwPositionen.Item(2).SetText("102");
  const struct {
    int32_t select;
    bool yes;
    std::vector<std::string> left;  // article ids
    int32_t selected;
    std::vector<std::string> deleted;
  } steps[] = {
      {1, false, {"A1", "A2", "A3"}, 1, {}},
      {1, true, {"A2", "A3"}, 1, {"101"}},
      {2, true, {"A2"}, 1, {"101"}},  // row 3 of 3 was not stored
      {1, true, {}, 0, {"101", "102"}},
  };
  for (const auto& s : steps) {
    f->lvwPositionen.SetSelectedItem(&f->lvwPositionen.Item(s.select));
    ui_->AnswerNext(s.yes ? ui::MsgResult::Yes : ui::MsgResult::No,
                    "Wollen Sie die markierte Position wirklich löschen?");
    ASSERT_TRUE(user_.Click(f->cmdDeletePos));
    EXPECT_EQ(Column(11), s.left);
    EXPECT_EQ(f->lvwPositionen.HasSelectedItem() ? f->lvwPositionen.SelectedItem().Index() : 0, s.selected);
    EXPECT_EQ(Probe(*f).DeletedKeys(), s.deleted);
  }
  EXPECT_EQ(Boxes().back().style, 292);
  EXPECT_EQ(Boxes().back().title, std::nullopt);
  // An empty list: nothing is asked.
  ASSERT_TRUE(user_.Click(f->cmdDeletePos));
  ASSERT_TRUE(user_.Click(f->cmdEditPos));
  EXPECT_EQ(Boxes().size(), 4u);
}

}  // namespace
}  // namespace editortest
