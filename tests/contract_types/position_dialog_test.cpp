// The position dialog: price fields by period, the period prices and the
// total, validation, key filters and confirmation.
#include "editor_fixture.h"

namespace editortest {
namespace {

using coretest::Shown;

class ContractTypesDialog : public EditorTest {
 protected:
  // A dialog filled as the editor fills it for an article.
  std::shared_ptr<frmFEditDefPositions> Dialog(const std::string& net, const std::string& quantity = "1,00") {
    auto d = ui::NewForm<frmFEditDefPositions>();
    d->txtArtikel.SetText("Wartung Basis");
    d->txtAnzahl.SetText(quantity);
    d->txtNettopreis.SetText(net);
    return d;
  }
  static std::vector<std::string> Prices(frmFEditDefPositions& d) {
    return {d.txtPreisM1.Text(),  d.txtPreisM3.Text(),  d.txtPreisM6.Text(),  d.txtPreisM12.Text(),
            d.txtPreisM24.Text(), d.txtPreisM36.Text(), d.txtPreisM48.Text(), d.txtPreisM60.Text()};
  }
  static std::vector<std::string> BoldLabels(frmFEditDefPositions& d) {
    std::vector<std::string> bold;
    for (ui::Control* c : d.Controls())
      if (auto* l = dynamic_cast<ui::Label*>(c); l && l->FontBold()) bold.push_back(l->Name());
    return bold;
  }
};

TEST_F(ContractTypesDialog, LoadsUnitsAndShowsItsDesign) {
  auto d = ui::NewForm<frmFEditDefPositions>();
  EXPECT_EQ(Entries(d->cboEinheit), (std::vector<std::string>{"Stk", "Monat", "Jahr", "Std"}));
  EXPECT_EQ(d->cboEinheit.Text(), "Stk");
  EXPECT_FALSE(d->bOK);
  EXPECT_EQ(d->Caption(), "Vertragsposition");
  EXPECT_EQ(d->FontName(), "Tahoma");
  EXPECT_EQ(d->Label1.FontName(), "Arial");
  EXPECT_EQ(d->lblInfoRabatt.FontName(), "Arial");
  EXPECT_EQ(d->lblArtikel.FontName(), "Tahoma");
  EXPECT_EQ(d->txtNettopreis.ToolTipText(), "*  ist für Multiplikation erlaubt");
  EXPECT_EQ(d->txtPreisM24.GetAlignment(), ui::TextBox::Alignment::Right);
  EXPECT_EQ(d->txtArtikel.GetAlignment(), ui::TextBox::Alignment::Left);
  // The tab order.
  std::vector<std::string> order;
  for (const ui::Control* c = d->TabNext(nullptr); c != nullptr && order.size() < 17; c = d->TabNext(c))
    order.push_back(c->Name());
  EXPECT_EQ(order, (std::vector<std::string>{"txtArtikel", "cboEinheit", "txtNettopreis", "txtBeschreibung",
                                             "txtAnzahl", "txtGesamt", "txtPreisM1", "txtPreisM3", "txtPreisM6",
                                             "txtPreisM12", "txtPreisM24", "txtPreisM36", "txtPreisM48",
                                             "txtPreisM60", "cmdOk", "cmdCancel", "txtArtikel"}));

  // Without the unit list the unit can still be typed.
  host_->RemovePersistVar("lt_Einheit");
  auto bare = ui::NewForm<frmFEditDefPositions>();
  EXPECT_EQ(bare->cboEinheit.ListCount(), 0);
  EXPECT_TRUE(user_.Type(bare->cboEinheit, "Paket"));
  EXPECT_EQ(bare->cboEinheit.Text(), "Paket");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesDialog, ThePeriodPicksThePriceFieldAndInitNewComputesThePrices) {
  const struct {
    int32_t term, period;
    const char* net;
    bool ok;
    std::vector<std::string> prices;
    const char* bold;
    const char* total;
  } cases[] = {
      {12, 1, "120,00", true, {"10,00", "30,00", "60,00", "120,00", "240,00", "360,00", "480,00", "600,00"},
       "lblPreisM1", "10,00"},
      {12, 12, "120,00", true, {"10,00", "30,00", "60,00", "120,00", "240,00", "360,00", "480,00", "600,00"},
       "lblPreisM12", "120,00"},
      // The one-off period of a 7-month term: the net price is the period's.
      {7, 7, "100,00", true, {"14,29", "42,86", "85,71", "171,43", "342,86", "514,29", "685,71", "857,14"},
       "lblNettopreis", "100,00"},
      {2, 2, "50,00", true, {"25,00", "75,00", "150,00", "300,00", "600,00", "900,00", "1200,00", "1500,00"},
       "lblNettopreis", "50,00"},
      {11, 11, "110,00", true, {"10,00", "30,00", "60,00", "120,00", "240,00", "360,00", "480,00", "600,00"},
       "lblNettopreis", "110,00"},
      {12, 0, "120,00", false, {"", "", "", "", "", "", "", ""}, "", ""},
      {12, 13, "120,00", false, {"", "", "", "", "", "", "", ""}, "", ""},
      {12, 61, "120,00", false, {"", "", "", "", "", "", "", ""}, "", ""},
      // Round2 in 64 bits: a large price keeps its value.
      {1, 1, "30000000,00", true,
       {"30000000,00", "90000000,00", "180000000,00", "360000000,00", "720000000,00", "1080000000,00",
        "1440000000,00", "1800000000,00"},
       "lblPreisM1", "30000000,00"},
  };
  for (const auto& c : cases) {
    auto d = Dialog(c.net);
    EXPECT_EQ(d->InitNew(c.term, c.period, "zeitraum"), c.ok) << c.period;
    EXPECT_EQ(Prices(*d), c.prices) << c.period;
    EXPECT_EQ(BoldLabels(*d), c.ok ? std::vector<std::string>{c.bold} : std::vector<std::string>{}) << c.period;
    EXPECT_EQ(d->txtGesamt.Text(), c.total) << c.period;
    EXPECT_EQ(d->lblPeriod.Caption(), c.ok ? "zeitraum" : "monatlich:");
    // The term is kept even when the period is refused.
    ui::test::ScriptedService& ui = *ui_;
    ui.OnModal<frmFEditDefPositions>([](frmFEditDefPositions& f) { f.Hide(); });
    d->ShowModal();
    EXPECT_EQ(d->lblDuration.Caption(), "Gesamtlaufzeit: " + std::to_string(c.term) + " Monate");
  }
}

TEST_F(ContractTypesDialog, InitEditKeepsTheCallersPricesAndComputesOnlyTheTotal) {
  auto d = Dialog("120,00", "3,00");
  d->txtPreisM3.SetText("99,00");
  d->txtPreisM12.SetText("1,00");
  ASSERT_TRUE(d->InitEdit(12, 3, "vierteljährlich"));
  EXPECT_EQ(d->txtPreisM3.Text(), "99,00");
  EXPECT_EQ(d->txtPreisM12.Text(), "1,00");
  EXPECT_EQ(d->txtGesamt.Text(), "297,00");
  // A term of 0 divides by nothing: InitNew fails; the caller reports it.
  EXPECT_EQ(coretest::ErrorOf([&] { Dialog("120,00")->InitNew(0, 1, "monatlich"); }), 11);
  EXPECT_EQ(coretest::ErrorOf([&] { Dialog("0,00")->InitNew(0, 1, "monatlich"); }), 6);
}

TEST_F(ContractTypesDialog, FieldsAreValidatedWhenLeft) {
  auto d = Dialog("120,00");
  ASSERT_TRUE(d->InitNew(12, 12, "jährlich"));
  const struct {
    ui::TextBox frmFEditDefPositions::*box;
    const char* pasted;
    const char* shown;      // the text after leaving, or "" when refused
    const char* total;      // the total afterwards
    const char* message;    // the invalid-input message, or ""
  } cases[] = {
      {&frmFEditDefPositions::txtAnzahl, "-2", "-2,00", "-240,00", ""},
      {&frmFEditDefPositions::txtAnzahl, "1.5", "1,50", "180,00", ""},  // a pasted full stop is the comma
      {&frmFEditDefPositions::txtAnzahl, "0", "0,00", "0,00", ""},
      {&frmFEditDefPositions::txtAnzahl, "", "", "0,00", "Ungültige Eingabe in Anzahl !"},
      {&frmFEditDefPositions::txtAnzahl, "zwei", "", "120,00", "Ungültige Eingabe in Anzahl !"},
      {&frmFEditDefPositions::txtAnzahl, "2", "2,00", "240,00", ""},
      {&frmFEditDefPositions::txtPreisM12, "1200", "1200,00", "2400,00", ""},
      {&frmFEditDefPositions::txtPreisM24, "x", "", "2400,00", "Ungültige Eingabe in PreisM24 !"},
      {&frmFEditDefPositions::txtPreisM24, "5", "5,00", "2400,00", ""},
      {&frmFEditDefPositions::txtNettopreis, "12*3", "36,00", "72,00", ""},  // the prices follow
      {&frmFEditDefPositions::txtNettopreis, "12*", "", "72,00", "Ungültige Eingabe in Nettopreis !"},
      {&frmFEditDefPositions::txtNettopreis, "*3", "", "72,00", "Ungültige Eingabe in Nettopreis !"},
      {&frmFEditDefPositions::txtNettopreis, "", "", "72,00", "Ungültige Eingabe in Nettopreis !"},
      {&frmFEditDefPositions::txtNettopreis, "2.5*10", "25,00", "50,00", ""},
  };
  for (const auto& c : cases) {
    ui::TextBox& box = (*d).*c.box;
    const size_t before = Boxes().size();
    ASSERT_TRUE(user_.SelectAll(box));
    ASSERT_TRUE(user_.Paste(box, c.pasted));
    const bool left = user_.Leave(*d);
    EXPECT_EQ(left, std::string(c.message).empty()) << c.pasted;
    if (left) {
      EXPECT_EQ(box.Text(), c.shown) << c.pasted;
    }
    EXPECT_TRUE(left || box.HasFocus()) << c.pasted;
    EXPECT_EQ(d->txtGesamt.Text(), c.total) << c.pasted;
    if (*c.message) {
      EXPECT_EQ(BoxesFrom(before), (std::vector<Shown>{{c.message, 64, "Bitte ändern ..."}})) << c.pasted;
      // Put a valid text back: the net price as before, any other field 1.
      ASSERT_TRUE(user_.SelectAll(box));
      ASSERT_TRUE(user_.Paste(box, &box == &d->txtNettopreis ? "36" : "1"));
      ASSERT_TRUE(user_.Leave(*d));
    } else {
      EXPECT_EQ(Boxes().size(), before) << c.pasted;
    }
  }
  EXPECT_EQ(d->txtPreisM12.Text(), "25,00");  // recomputed from the last net price
}

TEST_F(ContractTypesDialog, KeyFiltersTurnAFullStopIntoACommaAndDropOtherKeys) {
  auto d = Dialog("120,00");
  ASSERT_TRUE(d->InitNew(12, 1, "monatlich"));
  const struct {
    ui::TextBox frmFEditDefPositions::*box;
    const char* typed;
    const char* shown;
  } cases[] = {
      {&frmFEditDefPositions::txtAnzahl, "-1.5a*", "-1,5"},
      {&frmFEditDefPositions::txtNettopreis, "12*3.5-x", "12*3,5"},
      {&frmFEditDefPositions::txtPreisM1, "1-2*3.4", "123,4"},
      {&frmFEditDefPositions::txtArtikel, "A-1.x", "A-1.x"},
  };
  for (const auto& c : cases) {
    ui::TextBox& box = (*d).*c.box;
    EXPECT_TRUE(user_.SelectAll(box));
    EXPECT_TRUE(user_.Type(box, c.typed));
    EXPECT_EQ(box.Text(), c.shown) << c.typed;
  }
}

TEST_F(ContractTypesDialog, ConfirmationChecksTheArticleAndTheQuantity) {
  auto d = Dialog("120,00");
  ASSERT_TRUE(d->InitNew(12, 12, "jährlich"));
  d->txtArtikel.SetText("");
  EXPECT_TRUE(user_.Click(d->cmdOk));
  d->txtArtikel.SetText(" ");  // not trimmed: a blank is a text
  d->txtAnzahl.SetText("0");
  EXPECT_TRUE(user_.Click(d->cmdOk));
  d->txtAnzahl.SetText("eins");  // set by the caller, never validated
  EXPECT_TRUE(user_.Click(d->cmdOk));
  d->txtAnzahl.SetText("2,00");
  d->txtPreisM12.SetText("");
  EXPECT_TRUE(user_.Click(d->cmdOk));
  ASSERT_EQ(Boxes().size(), 4u);
  EXPECT_EQ(Boxes()[0].prompt, "Eingabe für Artikel/Position fehlt");
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Bitte eingeben ..."));
  EXPECT_EQ(Boxes()[1].prompt, "Anzahl darf nicht 0 sein");
  EXPECT_EQ(Boxes()[1].title, std::optional<std::string>("Bitte ändern ..."));
  EXPECT_EQ(Boxes()[2].prompt, "Ungültige Eingabe in Anzahl !");
  EXPECT_EQ(Boxes()[3].prompt, "Ungültige Eingabe in PreisM12 !");
  EXPECT_FALSE(d->bOK);

  d->txtPreisM12.SetText("1200");
  ui_->OnModal<frmFEditDefPositions>([this](frmFEditDefPositions& f) { EXPECT_TRUE(user_.Click(f.cmdOk)); });
  d->ShowModal();
  EXPECT_TRUE(d->bOK);
  EXPECT_EQ(d->sPreis, "1200,00");
  EXPECT_EQ(d->dblPreis, 1200);
  EXPECT_FALSE(d->IsShown());

  auto cancelled = Dialog("120,00");
  ASSERT_TRUE(cancelled->InitNew(12, 1, "monatlich"));
  ui_->OnModal<frmFEditDefPositions>([this](frmFEditDefPositions& f) { EXPECT_TRUE(user_.Click(f.cmdCancel)); });
  cancelled->ShowModal();
  EXPECT_FALSE(cancelled->bOK);
}

TEST_F(ContractTypesDialog, FailuresOfItsTrapsAndOfItsEventsAreReportedUnderTheirNames) {
  // A term of 0 makes the net price's validation divide by nothing.
  auto d = Dialog("120,00");
  d->txtPreisM1.SetText("10,00");
  ASSERT_TRUE(d->InitEdit(0, 1, "monatlich"));
  ASSERT_TRUE(user_.SelectAll(d->txtNettopreis));
  ASSERT_TRUE(user_.Paste(d->txtNettopreis, "60"));
  EXPECT_TRUE(user_.Leave(*d));
  // The unit list fails to load.
  host_->FailNext("PersistVars", "Item", 5, "");
  auto broken = ui::NewForm<frmFEditDefPositions>();
  broken->EnsureLoaded();
  // An untrapped handler fails at the event boundary: the price field is
  // named after a control that does not exist.
  auto noField = Dialog("120,00");
  EXPECT_TRUE(user_.Click(noField->cmdOk));
  // A total that overflows fails the quantity's or the price's Validate:
  // reported there, and the field keeps the focus as for an invalid entry.
  auto big = Dialog("120,00", "2,00");
  ASSERT_TRUE(big->InitNew(12, 12, "jährlich"));
  for (ui::TextBox* box : {&big->txtAnzahl, &big->txtPreisM12}) {
    ASSERT_TRUE(user_.SelectAll(*box));
    ASSERT_TRUE(user_.Paste(*box, "1e308"));
    EXPECT_FALSE(user_.Leave(*big)) << box->Name();
    EXPECT_TRUE(box->HasFocus()) << box->Name();
    EXPECT_EQ(big->txtGesamt.Text(), "240,00") << box->Name();
    ASSERT_TRUE(user_.SelectAll(*box));
    ASSERT_TRUE(user_.Paste(*box, box == &big->txtAnzahl ? "2" : "120"));
    ASSERT_TRUE(user_.Leave(*big));
  }
  const std::vector<std::optional<std::string>> titles = {
      "Fehler in frmFEditDefPositions.txtNettopreis_Validate", "Fehler in frmFEditDefPositions.Form_Load",
      "Fehler in frmFEditDefPositions.cmdOk_Click", "Fehler in frmFEditDefPositions.txtAnzahl_Validate",
      "Fehler in frmFEditDefPositions.txtPreisM12_Validate"};
  ASSERT_EQ(Boxes().size(), titles.size());
  for (size_t i = 0; i < titles.size(); ++i) EXPECT_EQ(Boxes()[i].title, titles[i]);
  EXPECT_NE(Boxes()[0].prompt.find("Fehler &HB in"), std::string::npos);
  EXPECT_NE(Boxes()[2].prompt.find("Fehler &H2DA in"), std::string::npos);  // 730
  for (size_t i : {3, 4}) EXPECT_NE(Boxes()[i].prompt.find("Fehler &H6 in"), std::string::npos);
}

}  // namespace
}  // namespace editortest
