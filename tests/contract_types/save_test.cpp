// Saving a contract type: the checks, the record, the positions in their
// grouped order, the placeholder of a payable type, and saves that fail.
#include "editor_fixture.h"

namespace editortest {
namespace {

using coretest::Shown;

class ContractTypesSave : public EditorTest {
 protected:
  // A new editor with a name.
  std::shared_ptr<frmFEditDefinitions> NewType(const std::string& name = "Neu") {
    auto f = NewEditor();
    EXPECT_TRUE(f->InitNew());
    f->txtBezeichnung.SetText(name);
    return f;
  }
  // Appends a position row as the dialog would leave it.
  static ui::ListItem& AddRow(frmFEditDefinitions& f, const std::string& id, const std::string& group = "",
                              const std::string& total = "10,00", const std::string& key = "") {
    ui::ListItem& row = f.lvwPositionen.Add(key);
    const std::vector<std::string> columns = {"Artikel " + id, "1,00", total, total, "100" + id, "DL", "Stk", "19",
                                              "", "8400", id, "1", "3", "6", "12", "24", "36", "48", "60", "12",
                                              total, group};
    for (size_t c = 0; c < columns.size(); ++c) row.SetSubItems(static_cast<int32_t>(c + 1), columns[c]);
    return row;
  }
  void Save(frmFEditDefinitions& f) { ASSERT_TRUE(user_.Click(f.cmdSave)); }
  std::vector<std::string> Field(const std::string& table, const char* field) {
    std::vector<std::string> out;
    for (const auto& r : Rows(table)) out.push_back(Str(r, field));
    return out;
  }
};

TEST_F(ContractTypesSave, ANewTypeIsStoredFieldByField) {
  auto f = NewType("  Mit Blanks");
  ASSERT_TRUE(user_.Select(f->cboStatus, 1));
  ASSERT_TRUE(user_.Tick(f->chkNoBooking));
  ASSERT_TRUE(user_.Select(f->cboRechnungWann, 1));
  ASSERT_TRUE(user_.Select(f->cboWorkflow, 1));
  ASSERT_TRUE(user_.Select(f->cboRequiGroup, 2));
  ASSERT_TRUE(user_.Select(f->cboRequiAttribute, 1));  // Vertragsbeginn, a date
  ASSERT_TRUE(user_.SetDate(f->DTPRequiValue, rt::DateSerial(2024, 7, 1)));
  ASSERT_TRUE(user_.Select(f->cboPutGroup, 1));
  ASSERT_TRUE(user_.Select(f->cboPutValue, 1));
  AddRow(*f, "A1");
  Save(*f);
  EXPECT_TRUE(f->m_bSaved());
  ASSERT_EQ(Rows("kt_Vertragsdefinitionen").size(), 1u);
  const auto r = Rows("kt_Vertragsdefinitionen")[0];
  const std::vector<std::pair<const char*, std::string>> expected = {
      {"Status", "freigegeben"}, {"NoBooking", "Wahr"}, {"Typ", "D"}, {"Bezeichnung", "  Mit Blanks"},
      {"Art", "1"}, {"ArtStr", "verlängerbar"}, {"Dauer", "12"}, {"Verlaengerungsdauer", "12"},
      {"Kuendigungsfrist", "6"}, {"KuendigungsfristEinh", "Wochen"}, {"VerlKuendigungsfrist", "6"},
      {"VerlKuendigungsfristEinh", "Wochen"}, {"Zahlungsperiode", "1"}, {"VerlaengerungsZahlungsperiode", "1"},
      {"RechnungWann", "1"}, {"WorkflowID", "WF1"}, {"ErfordertMerkmalGruppe", "Vertrag"},
      {"ErfordertMerkmal", "Vertragsbeginn"}, {"ErfordertWert", "2024-07-01"}, {"SetztMerkmalGruppe", "Kunde"},
      {"SetztMerkmal", "Status"}, {"SetztWert", "inaktiv"}, {"NettoSumme", "10"}, {"KuendigungsfristBezug", ""}};
  for (const auto& [field, value] : expected) {
    const std::string stored = r[field].kind() == rt::Variant::Kind::Bool ? (r[field].AsBool() ? "Wahr" : "Falsch")
                                                                          : Str(r, field);
    EXPECT_EQ(stored, value) << field;
  }
  EXPECT_EQ(Rows("kt_DefinitionsPositionen").size(), 1u);
  EXPECT_EQ(Rows("kt_DefinitionsPositionen")[0].masterOid, r.oid);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesSave, EntriesThatAreRefusedKeepTheEditorOpenAndWriteNothing) {
  const struct {
    const char* what;
    std::function<void(frmFEditDefinitions&)> prepare;
    const char* prompt;
    std::optional<std::string> title;
    const char* focus;
  } cases[] = {
      {"blank name", [](frmFEditDefinitions& f) { f.txtBezeichnung.SetText("   "); },
       "Geben Sie dem Vertragstyp bitte einen Namen !", "Bitte ändern ...", "txtBezeichnung"},
      {"18 / 12",
       [](frmFEditDefinitions& f) {
         f.txtDauer.SetText("18");
         f.cboZahlungsperiode.SetListIndex(3);
       },
       "Die Zahlungsperiode passt nicht zur Vertragsdauer (18 Monate)", std::nullopt, "cboZahlungsperiode"},
      {"renewal 12 / 24", [](frmFEditDefinitions& f) { f.cboZahlungsperiode2.SetListIndex(4); },
       "Die Zahlungsperiode (Folgevertrag) passt nicht zur Vertragsdauer (12 Monate)", std::nullopt,
       "cboZahlungsperiode2"},
      {"kind 1 without duration", [](frmFEditDefinitions& f) { f.txtDauer.SetText("0"); },
       "Für diesen Vertragstyp müssen Sie eine Vertragsdauer eingeben !", std::nullopt, ""},
      {"kind 2 without duration",
       [](frmFEditDefinitions& f) {
         f.chkVerlaengerbar.SetValue(ui::CheckBox::Unchecked);
         f.txtDauer.SetText("0");
       },
       "Für diesen Vertragstyp müssen Sie eine Vertragsdauer eingeben !", std::nullopt, ""},
      // A duration that is no number of months is refused as none, with
      // the focus on its field.
      {"kind 1, duration -12", [](frmFEditDefinitions& f) { f.txtDauer.SetText("-12"); },
       "Für diesen Vertragstyp müssen Sie eine Vertragsdauer eingeben !", std::nullopt, "txtDauer"},
      {"kind 1, renewal -12", [](frmFEditDefinitions& f) { f.txtDauer2.SetText("-12"); },
       "Für diesen Vertragstyp müssen Sie eine Vertragsdauer eingeben !", std::nullopt, "txtDauer2"},
      {"kind 2, duration too large",
       [](frmFEditDefinitions& f) {
         f.chkVerlaengerbar.SetValue(ui::CheckBox::Unchecked);
         f.txtDauer.SetText("2147483648");
       },
       "Für diesen Vertragstyp müssen Sie eine Vertragsdauer eingeben !", std::nullopt, "txtDauer"},
  };
  for (const auto& c : cases) {
    auto f = NewType();
    AddRow(*f, "A1");
    c.prepare(*f);
    f->cmdSave.SetFocus();
    const size_t before = Boxes().size();
    Save(*f);
    EXPECT_EQ(BoxesFrom(before), (std::vector<Shown>{{c.prompt, 64, c.title}})) << c.what;
    EXPECT_EQ(f->ActiveControl()->Name(), *c.focus ? c.focus : "cmdSave") << c.what;
    EXPECT_FALSE(f->m_bSaved()) << c.what;
  }
  EXPECT_TRUE(Rows("kt_Vertragsdefinitionen").empty());

  // A receivable type without positions is asked about; No writes nothing.
  auto f = NewType();
  ui_->AnswerNext(ui::MsgResult::No, "Sie haben keine Vertragspositionen eingegeben!\r\nHaben Sie das gewollt?");
  Save(*f);
  EXPECT_EQ(Boxes().back().style, 292);
  EXPECT_EQ(Boxes().back().title, std::optional<std::string>("Vertrag ohne Rechnungslegung?"));
  EXPECT_TRUE(Rows("kt_Vertragsdefinitionen").empty());
  ui_->AnswerNext(ui::MsgResult::Yes);
  Save(*f);
  EXPECT_TRUE(f->m_bSaved());
  EXPECT_EQ(Field("kt_Vertragsdefinitionen", "NettoSumme"), std::vector<std::string>{"0"});
  EXPECT_TRUE(Rows("kt_DefinitionsPositionen").empty());
}

TEST_F(ContractTypesSave, KindsAdjustTheirFieldsAndOnlyRenewableDebtorTypesKeepAWorkflow) {
  const struct {
    const char* what;
    std::function<void(frmFEditDefinitions&)> prepare;
    std::vector<std::string> stored;  // Typ, Art, Dauer, Verlaengerungsdauer, Kuendigungsfrist, VerlKuendigungsfrist, WorkflowID
  } cases[] = {
      {"D 1", [](frmFEditDefinitions&) {}, {"D", "1", "12", "12", "6", "6", "WF2"}},
      {"D 2", [](frmFEditDefinitions& f) { f.chkVerlaengerbar.SetValue(ui::CheckBox::Unchecked); },
       {"D", "2", "12", "12", "0", "0", ""}},
      // The notice counts of a one-off type are 0 whatever the lists show.
      {"D 2, notice shown",
       [](frmFEditDefinitions& f) {
         f.chkVerlaengerbar.SetValue(ui::CheckBox::Unchecked);
         f.cboKuendFrist.SetText("3");
         f.cboKuendFrist2.SetText("4");
       },
       {"D", "2", "12", "12", "0", "0", ""}},
      {"D 3",
       [](frmFEditDefinitions& f) {
         f.optUnbefristet.SetValue(true);
         f.txtDauer.SetText("24");  // as if pasted while disabled
       },
       {"D", "3", "0", "0", "6", "6", ""}},
      {"K 1", [](frmFEditDefinitions& f) { f.optKreditor.SetValue(true); }, {"K", "1", "12", "12", "6", "6", ""}},
  };
  const char* fields[] = {"Typ", "Art", "Dauer", "Verlaengerungsdauer", "Kuendigungsfrist", "VerlKuendigungsfrist",
                          "WorkflowID"};
  for (const auto& c : cases) {
    host_->DeleteRows("kt_DefinitionsPositionen");
    host_->DeleteRows("kt_Vertragsdefinitionen");
    auto f = NewType();
    f->cboWorkflow.SetListIndex(2);
    c.prepare(*f);
    AddRow(*f, "A1");  // after the changes of kind: no price hints
    Save(*f);
    ASSERT_EQ(Rows("kt_Vertragsdefinitionen").size(), 1u) << c.what;
    const auto r = Rows("kt_Vertragsdefinitionen")[0];
    std::vector<std::string> stored;
    for (const char* field : fields) stored.push_back(Str(r, field));
    EXPECT_EQ(stored, c.stored) << c.what;
    if (std::string(c.what) == "D 3") {
      EXPECT_EQ(f->txtDauer.Text(), "0");
      EXPECT_EQ(f->txtDauer2.Text(), "0");
    }
  }
  // The open-ended type's duration set to 0 on save reminds of the prices.
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Überprüfen Sie bitte, ob die Preise noch stimmen !"});
}

TEST_F(ContractTypesSave, TheAttributeRuleStoresWhatTheTriplesShow) {
  const struct {
    const char* what;
    std::function<void(frmFEditDefinitions&)> prepare;
    std::vector<std::string> stored;  // group, name, value
  } cases[] = {
      {"<leer>", [](frmFEditDefinitions&) {}, {"", "", ""}},
      {"a list attribute", [this](frmFEditDefinitions& f) { ASSERT_TRUE(user_.Select(f.cboPutGroup, 1)); },
       {"Kunde", "Status", "aktiv"}},
      {"a date",
       [this](frmFEditDefinitions& f) {
         ASSERT_TRUE(user_.Select(f.cboPutGroup, 2));
         ASSERT_TRUE(user_.Select(f.cboPutAttribute, 1));
       },
       {"Vertrag", "Vertragsbeginn", "2024-03-10"}},
      // The group chosen again as "<leer>" clears the attribute as well.
      {"group back to <leer>",
       [this](frmFEditDefinitions& f) {
         ASSERT_TRUE(user_.Select(f.cboPutGroup, 1));
         ASSERT_TRUE(user_.Select(f.cboPutGroup, 0));
       },
       {"", "", ""}},
  };
  for (const auto& c : cases) {
    host_->DeleteRows("kt_Vertragsdefinitionen");
    auto f = NewType();
    f->optKreditor.SetValue(true);
    c.prepare(*f);
    Save(*f);
    const auto r = Rows("kt_Vertragsdefinitionen").at(0);
    EXPECT_EQ((std::vector<std::string>{Str(r, "SetztMerkmalGruppe"), Str(r, "SetztMerkmal"), Str(r, "SetztWert")}),
              c.stored)
        << c.what;
  }
}

TEST_F(ContractTypesSave, PositionsAreWrittenGroupByGroupInTheirListOrder) {
  auto f = NewType();
  AddRow(*f, "A1", "A", "10,00");
  AddRow(*f, "A2", "B", "20,50");
  AddRow(*f, "A3", "A", "0,00");
  AddRow(*f, "A4", "", "1,00");
  AddRow(*f, "A5", "B", "2,00");
  Save(*f);
  // Written (inserted) in running-number order.
  EXPECT_EQ(Field("kt_DefinitionsPositionen", "ArtikelID"), (std::vector<std::string>{"A1", "A3", "A2", "A5", "A4"}));
  EXPECT_EQ(Field("kt_DefinitionsPositionen", "Positionsnummer"),
            (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(Field("kt_DefinitionsPositionen", "Row"), (std::vector<std::string>{"001", "003", "002", "005", "004"}));
  EXPECT_EQ(Field("kt_DefinitionsPositionen", "Gruppierungsposition"),
            (std::vector<std::string>{"1", "1", "2", "2", "3"}));
  EXPECT_EQ(Field("kt_DefinitionsPositionen", "Nettopreis"),
            (std::vector<std::string>{"10", "0", "20,5", "2", "1"}));
  EXPECT_EQ(Field("kt_Vertragsdefinitionen", "NettoSumme"), std::vector<std::string>{"33,5"});
  // The list keeps its order; each row now carries its record id.
  const auto rows = Rows("kt_DefinitionsPositionen");
  EXPECT_EQ(f->lvwPositionen.Item(1).Text(), rows[0].oid);
  EXPECT_EQ(f->lvwPositionen.Item(2).Text(), rows[2].oid);
  EXPECT_EQ(f->lvwPositionen.Item(5).Text(), rows[3].oid);

  // A second save updates the same records.
  f->lvwPositionen.Item(2).SetSubItems(3, "21,00");
  Save(*f);
  EXPECT_EQ(Rows("kt_DefinitionsPositionen").size(), 5u);
  EXPECT_EQ(Rows("kt_Vertragsdefinitionen").size(), 1u);
  EXPECT_EQ(Field("kt_DefinitionsPositionen", "Nettopreis")[2], "21");
}

TEST_F(ContractTypesSave, RowNumbersGrowPastThreeDigits) {
  auto f = NewType();
  for (int i = 1; i <= 1000; ++i) {
    std::string id = "X";
    id += std::to_string(i);
    AddRow(*f, id, i == 1 ? "erst" : "", "0,00");
  }
  Save(*f);
  const auto rows = Rows("kt_DefinitionsPositionen");
  ASSERT_EQ(rows.size(), 1000u);
  EXPECT_EQ(Str(rows[0], "Row"), "001");
  EXPECT_EQ(Str(rows[999], "Row"), "1000");
  EXPECT_EQ(Str(rows[999], "Positionsnummer"), "1000");
  EXPECT_EQ(Str(rows[999], "Gruppierungsposition"), "2");
}

TEST_F(ContractTypesSave, DeletedRowsGoOnSaveOnceAndAMissingKeyDeletesNothing) {
  const std::string type = StoreType();
  const std::string a = StorePosition(type);
  const std::string b = StorePosition(type, {{"ArtikelID", "A2"}, {"Row", "002"}, {"Positionsnummer", "2"}});
  const std::string other = StoreType({{"Bezeichnung", "Anderer"}});
  const std::string foreign = StorePosition(other);
  host_->SetCurrentContractTypeOid(type, false);
  auto f = NewEditor();
  ASSERT_TRUE(f->InitEdit());
  for (int i = 0; i < 2; ++i) {
    f->lvwPositionen.SetSelectedItem(&f->lvwPositionen.Item(1));
    ui_->AnswerNext(ui::MsgResult::Yes);
    ASSERT_TRUE(user_.Click(f->cmdDeletePos));
  }
  ASSERT_EQ(Probe(*f).DeletedKeys(), (std::vector<std::string>{a, b}));
  // b vanishes behind the editor's back; its deletion then deletes nothing.
  host_->DeleteRows("kt_DefinitionsPositionen");
  host_->InsertRow("kt_DefinitionsPositionen", {{"ArtikelID", "Z"}}, other);
  ui_->AnswerNext(ui::MsgResult::Yes);
  Save(*f);
  EXPECT_TRUE(f->m_bSaved());
  EXPECT_TRUE(Probe(*f).DeletedKeys().empty());
  ASSERT_EQ(Rows("kt_DefinitionsPositionen").size(), 1u);
  EXPECT_EQ(Str(Rows("kt_DefinitionsPositionen")[0], "ArtikelID"), "Z");
  (void)foreign;
}

TEST_F(ContractTypesSave, AStoredRowThatVanishedIsReportedAndTheRowsBeforeItStayStored) {
  const std::string type = StoreType({{"NettoSumme", 99.0}});
  StorePosition(type);
  const std::string gone = StorePosition(type, {{"ArtikelID", "A2"}});
  auto f = NewEditor();
  ASSERT_TRUE(f->InitEdit());
  f->lvwPositionen.Item(1).SetSubItems(9, "geändert");
  AddRow(*f, "A3");
  host_->DeleteRows("kt_DefinitionsPositionen");  // both stored rows gone
  Save(*f);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.WritePositions"));
  EXPECT_TRUE(Boxes()[0].prompt.rfind("Fehler &H80045101 in kt_FEditDefinitions\r\n", 0) == 0) << Boxes()[0].prompt;
  EXPECT_FALSE(f->m_bSaved());
  EXPECT_TRUE(Rows("kt_DefinitionsPositionen").empty());  // the first row is stored row 1: gone too
  EXPECT_EQ(Field("kt_Vertragsdefinitionen", "NettoSumme"), std::vector<std::string>{"99"});
  (void)gone;
}

TEST_F(ContractTypesSave, APayableTypeGetsOnePlaceholderRow) {
  const std::vector<std::string> placeholder = {"Tragen Sie hier die Bezeichnung ein!", "0", "00000000",
                                                "Verbindlichkeit", "Stück", "0", "", "1", "0", "00000000",
                                                "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "001", "", "", "0"};
  const auto row = [this](size_t i) {
    const auto rows = Rows("kt_DefinitionsPositionen");
    std::vector<std::string> out;
    for (const auto& [field, value] : rows.at(i).fields) out.push_back(rt::CStr(value));
    return out;
  };
  // A new type, its list filled while it was receivable: the placeholder only.
  auto f = NewType();
  AddRow(*f, "A1");
  f->optKreditor.SetValue(true);
  Save(*f);
  ASSERT_EQ(Rows("kt_DefinitionsPositionen").size(), 1u);
  EXPECT_EQ(row(0), placeholder);
  EXPECT_EQ(Field("kt_Vertragsdefinitionen", "NettoSumme"), std::vector<std::string>{"0"});
  // Saved again: the same row is written over.
  Save(*f);
  EXPECT_EQ(Rows("kt_DefinitionsPositionen").size(), 1u);
  // A stored payable type without any row gets one.
  host_->DeleteRows("kt_DefinitionsPositionen");
  StoreType({{"Typ", "K"}});
  auto g = NewEditor();
  ASSERT_TRUE(g->InitEdit());
  Save(*g);
  EXPECT_TRUE(g->m_bSaved());
  ASSERT_EQ(Rows("kt_DefinitionsPositionen").size(), 1u);
  EXPECT_EQ(row(0), placeholder);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ContractTypesSave, AFailedSaveOfANewTypeUpdatesTheSameRecordWhenSavedAgain) {
  auto f = NewType();
  AddRow(*f, "A1");
  host_->FailNext("kt_DefinitionsPositionen", "Insert", static_cast<int32_t>(0x80041005u), "");
  Save(*f);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.WritePositions"));
  EXPECT_FALSE(f->m_bSaved());
  ASSERT_EQ(Rows("kt_Vertragsdefinitionen").size(), 1u);
  EXPECT_TRUE(Rows("kt_DefinitionsPositionen").empty());
  Save(*f);
  EXPECT_TRUE(f->m_bSaved());
  EXPECT_EQ(Rows("kt_Vertragsdefinitionen").size(), 1u);
  EXPECT_EQ(Rows("kt_DefinitionsPositionen").size(), 1u);

  // A failing last update: reported once, the editor stays open, the
  // records written before remain.
  auto g = NewType("Zweiter");
  AddRow(*g, "A2");
  host_->FailNext("kt_Vertragsdefinitionen", "Update", static_cast<int32_t>(0x80041005u), "");
  Save(*g);
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[1].title, std::optional<std::string>("Fehler in kt_FEditDefinitions.cmdSave_Click"));
  EXPECT_FALSE(g->m_bSaved());
  EXPECT_EQ(Field("kt_Vertragsdefinitionen", "NettoSumme"), (std::vector<std::string>{"10", "0"}));
  EXPECT_EQ(Rows("kt_DefinitionsPositionen").size(), 2u);
}

}  // namespace
}  // namespace editortest
