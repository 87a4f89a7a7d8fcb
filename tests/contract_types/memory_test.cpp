// New-contract mode: a stored type adjusted for one contract is handed over
// in gDefinition and gPositions, never written to the tables.
#include "editor_fixture.h"

namespace editortest {
namespace {

class ContractTypesMemory : public EditorTest {
 protected:
  // Opens the type `oid` as the new-contract dialog does: current, marked
  // Dirty when the copy in memory is of this type, InitEdit, then
  // ShowForNewContract; the editor is shown and `script` plays the user.
  std::shared_ptr<frmFEditDefinitions> Details(const std::string& oid,
                                               std::function<void(frmFEditDefinitions&)> script) {
    host_->SetCurrentContractTypeOid(oid, false);
    if (gDefinition) gDefinition->Dirty = gDefinition->DefOid == oid;
    auto f = NewEditor();
    f->InitEdit();
    f->ShowForNewContract();
    OnEditor(std::move(script));
    f->ShowModal();
    return f;
  }
  void Confirm(frmFEditDefinitions& f) { EXPECT_TRUE(user_.Click(f.cmdSave)); }
  std::pair<size_t, size_t> Stored() {
    return {Rows("kt_Vertragsdefinitionen").size(), Rows("kt_DefinitionsPositionen").size()};
  }
};

TEST_F(ContractTypesMemory, ConfirmingHandsTheTypeOverAndWritesNothing) {
  const std::string oid = StoreType({{"Dauer", int32_t{24}}, {"Verlaengerungsdauer", int32_t{12}},
                                     {"KuendigungsfristBezug", "Vertragsende"}, {"WorkflowID", "WF1"},
                                     {"ErfordertMerkmalGruppe", "Kunde"}, {"ErfordertMerkmal", "Status"},
                                     {"ErfordertWert", "aktiv"}});
  StorePosition(oid, {{"Nettopreis", 10.0}, {"Anzahl", 1.0}, {"Erloeskonto", int32_t{0}}, {"Gruppierung", "G"}});
  StorePosition(oid, {{"ArtikelID", "A2"}, {"Nettopreis", 5.5}, {"Anzahl", 1.0}});
  const auto before = Stored();
  auto f = Details(oid, [this](frmFEditDefinitions& f) {
    EXPECT_EQ(f.cmdSave.Caption(), "Übernehmen");
    EXPECT_FALSE(f.cboStatus.Reachable());
    EXPECT_FALSE(f.cboRequiGroup.Reachable());
    EXPECT_EQ(f.cboZahlungsperiode.List(8), "einmalig");
    EXPECT_EQ(f.cboZahlungsperiode.ItemData(8), 24);
    f.lvwPositionen.Item(1).SetSubItems(10, "");  // no revenue account
    Confirm(f);
  });
  EXPECT_TRUE(f->m_bSaved());
  EXPECT_EQ(Stored(), before);
  ASSERT_TRUE(gDefinition);
  ExpectProperties(*gDefinition,
                   {{"Typ", "D"}, {"Art", int32_t{1}}, {"ArtStr", "verlängerbar"}, {"Dauer", int32_t{24}},
                    {"Zahlungsperiode", int32_t{1}}, {"NettoSumme", 15.5}, {"VerlaengerungsWorkflowID", "WF1"},
                    {"ErfordertMerkmal", "Status"}, {"ErfordertWert", "aktiv"}, {"ErfordertMerkmalGruppe", "Kunde"},
                    {"SetztMerkmal", ""}, {"Dirty", true}, {"DefOid", oid}, {"KuendigungsfristBezug", "Vertragsende"}},
                   "type");
  ASSERT_TRUE(gPositions);
  ASSERT_EQ(gPositions->Count(), 2);
  ExpectProperties(*rt::CastObject<kt_CPosition>(gPositions->Item(1)),
                   {{"Artikel", "Wartung Basis"}, {"Nettopreis", 10.0}, {"Anzahl", 1.0}, {"UStSatz", 19.0},
                    {"Erloeskonto", int32_t{0}}, {"PreisM12", 126.0}, {"NettoOhneRabatt", 10.5}, {"Gruppierung", "G"}},
                   "position 1");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesMemory, TheOneOffPeriodFollowsTheDurationAndAPeriodOfNoMonthsIsRefused) {
  const std::string oid = StoreType({{"Dauer", int32_t{24}}});
  StorePosition(oid);
  Details(oid, [this](frmFEditDefinitions& f) {
    ASSERT_TRUE(user_.Select(f.cboZahlungsperiode, 8));  // einmalig: 24 months
    EXPECT_EQ(f.cboZahlungsperiode2.Text(), "monatlich");  // not mirrored
    ASSERT_TRUE(user_.SelectAll(f.txtDauer));
    ASSERT_TRUE(user_.Paste(f.txtDauer, "36"));
    EXPECT_EQ(f.cboZahlungsperiode.ItemData(8), 36);
    Confirm(f);
  });
  EXPECT_EQ(gDefinition->Zahlungsperiode, 36);
  EXPECT_EQ(gDefinition->Dauer, 36);
  // The price hint came once, when the one-off period was chosen, and once
  // for the new duration.
  const std::string hint = "Überprüfen Sie bitte, ob die Preise noch stimmen !";
  EXPECT_EQ(Prompts(), (std::vector<std::string>{hint, hint}));

  // An open-ended type: its duration is 0, and so is its one-off period.
  const std::string open = StoreType({{"Art", int32_t{3}}, {"Dauer", int32_t{0}}, {"Verlaengerungsdauer", int32_t{0}}});
  StorePosition(open);
  gDefinition.reset();
  auto f = Details(open, [this](frmFEditDefinitions& f) {
    ASSERT_TRUE(user_.Select(f.cboZahlungsperiode, 8));
    EXPECT_TRUE(user_.Click(f.cmdSave));
    EXPECT_TRUE(f.IsShown());
    EXPECT_TRUE(user_.Click(f.cmdCancel));
  });
  EXPECT_FALSE(f->m_bSaved());
  EXPECT_FALSE(gDefinition);
  EXPECT_EQ(Boxes().back().prompt, "Die Zahlungsperiode passt nicht zur Vertragsdauer (0 Monate)");
}

TEST_F(ContractTypesMemory, AReopenedTypeShowsItsCopyAndACancelKeepsIt) {
  const std::string oid = StoreType({{"Status", "gesperrt"}, {"ErfordertMerkmalGruppe", "Kunde"},
                                     {"ErfordertMerkmal", "Status"}, {"ErfordertWert", "aktiv"}});
  StorePosition(oid);
  StorePosition(oid, {{"ArtikelID", "A2"}});
  // First edit: other terms, an attribute to set, one position removed.
  Details(oid, [this](frmFEditDefinitions& f) {
    ASSERT_TRUE(user_.Select(f.cboZahlungsperiode, 1));
    ASSERT_TRUE(user_.Select(f.cboKuendEinh, 1));
    ASSERT_TRUE(user_.Select(f.cboRechnungWann, 1));
    ASSERT_TRUE(user_.Tick(f.chkNoBooking));
    ASSERT_TRUE(user_.Select(f.cboPutGroup, 2));
    ASSERT_TRUE(user_.Select(f.cboPutAttribute, 2));
    ASSERT_TRUE(user_.Select(f.cboPutValue, 1));
    ui_->AnswerNext(ui::MsgResult::Yes);
    ASSERT_TRUE(user_.Click(f.cmdDeletePos));
    Confirm(f);
  });
  const std::shared_ptr<kt_CDefinition> copy = gDefinition;
  const std::shared_ptr<rt::Collection> positions = gPositions;
  ASSERT_EQ(positions->Count(), 1);

  // Re-opened: the copy over the record, except status and the required attribute.
  Details(oid, [this](frmFEditDefinitions& f) {
    EXPECT_EQ(f.cboZahlungsperiode.Text(), "vierteljährlich");
    EXPECT_EQ(f.cboKuendEinh.Text(), "Monate");
    EXPECT_EQ(f.cboRechnungWann.Text(), "nachträglich");
    EXPECT_EQ(f.chkNoBooking.Value(), ui::CheckBox::Checked);
    EXPECT_EQ(f.cboPutAttribute.Text(), "Betreuer");
    EXPECT_EQ(f.cboPutValue.Text(), "Schulz");
    EXPECT_EQ(f.cboStatus.Text(), "gesperrt");
    EXPECT_EQ(f.cboRequiValue.Text(), "aktiv");
    ASSERT_EQ(f.lvwPositionen.Count(), 1);
    EXPECT_EQ(f.lvwPositionen.Item(1).Text(), "");
    EXPECT_EQ(f.lvwPositionen.Item(1).SubItems(4), "21,00");
    EXPECT_TRUE(user_.Click(f.cmdCancel));
  });
  // Cancelled: the same copy stays for the new-contract dialog.
  EXPECT_EQ(gDefinition, copy);
  EXPECT_EQ(gPositions, positions);

  // Another type is shown from its record only; emptying its list hands
  // over an empty collection.
  const std::string other = StoreType({{"Bezeichnung", "Anderer"}, {"Art", int32_t{2}}, {"WorkflowID", "WF1"}});
  StorePosition(other);
  Details(other, [this](frmFEditDefinitions& f) {
    EXPECT_EQ(f.cboZahlungsperiode.Text(), "monatlich");
    EXPECT_EQ(f.txtBezeichnung.Text(), "Anderer");
    ui_->AnswerNext(ui::MsgResult::Yes);
    ASSERT_TRUE(user_.Click(f.cmdDeletePos));
    ui_->AnswerNext(ui::MsgResult::Yes, "keine Vertragspositionen");
    Confirm(f);
  });
  EXPECT_EQ(gDefinition->DefOid, other);
  EXPECT_EQ(gDefinition->VerlaengerungsWorkflowID, "");
  EXPECT_EQ(gDefinition->NettoSumme, 0);
  EXPECT_EQ(gPositions->Count(), 0);
}

TEST_F(ContractTypesMemory, APayableTypeHandsOverItsPlaceholderOnly) {
  const std::string oid = StoreType({{"Typ", "K"}, {"WorkflowID", "WF1"}});
  StorePosition(oid);
  Details(oid, [this](frmFEditDefinitions& f) {
    f.lvwPositionen.Add("").SetSubItems(4, "99,00");
    Confirm(f);
  });
  ExpectProperties(*gDefinition, {{"Typ", "K"}, {"NettoSumme", 0.0}, {"VerlaengerungsWorkflowID", ""}}, "type");
  ASSERT_EQ(gPositions->Count(), 1);
  ExpectProperties(*rt::CastObject<kt_CPosition>(gPositions->Item(1)),
                   {{"Artikel", "Tragen Sie hier die Bezeichnung ein!"}, {"Artikelnummer", "00000000"},
                    {"Artikelart", "Verbindlichkeit"}, {"Einheit", "Stück"}, {"ArtikelID", "00000000"},
                    {"Anzahl", 1.0}, {"Preis", 0.0}, {"UStSatz", 0.0}},
                   "placeholder");
}

TEST_F(ContractTypesMemory, AFailedHandOverKeepsTheEditorOpenAndTheEarlierCopy) {
  const std::string oid = StoreType();
  StorePosition(oid);
  auto earlier = std::make_shared<kt_CDefinition>();
  earlier->DefOid = "anderswo";
  gDefinition = earlier;
  gPositions = std::make_shared<rt::Collection>();
  const std::shared_ptr<rt::Collection> earlierPositions = gPositions;
  auto f = Details(oid, [this](frmFEditDefinitions& f) {
    // A renewal duration that is no number of months is refused as in the
    // tables' save.
    f.txtDauer2.SetText("-12");
    EXPECT_TRUE(user_.Click(f.cmdSave));
    EXPECT_TRUE(f.IsShown());
    EXPECT_TRUE(f.txtDauer2.HasFocus());
    f.txtDauer2.SetText("12");
    f.lvwPositionen.Item(1).SetSubItems(4, "zehn");  // no number
    EXPECT_TRUE(user_.Click(f.cmdSave));
    EXPECT_TRUE(f.IsShown());
    f.lvwPositionen.Item(1).SetSubItems(4, "21,00");
    host_->FailNext("kt_Vertragsdefinitionen", "Oid", static_cast<int32_t>(0x80041005u), "");
    EXPECT_TRUE(user_.Click(f.cmdSave));
    EXPECT_TRUE(f.IsShown());
    EXPECT_TRUE(user_.Click(f.cmdCancel));
  });
  EXPECT_FALSE(f->m_bSaved());
  EXPECT_EQ(gDefinition, earlier);
  EXPECT_EQ(gPositions, earlierPositions);
  ASSERT_EQ(Boxes().size(), 3u);
  EXPECT_EQ(Boxes()[0].prompt, "Für diesen Vertragstyp müssen Sie eine Vertragsdauer eingeben !");
  for (size_t i : {1, 2})
    EXPECT_EQ(Boxes()[i].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.WriteToNewContract"));
}

}  // namespace
}  // namespace editortest
