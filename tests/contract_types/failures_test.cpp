// Host calls that fail inside the editor: each failure is reported once,
// under the procedure that trapped it, and that procedure writes nothing
// after it.
#include "editor_fixture.h"

namespace editortest {
namespace {

class ContractTypesFailures : public EditorTest {};

constexpr int32_t kHostError = static_cast<int32_t>(0x80041005u);

TEST_F(ContractTypesFailures, EachFailureIsReportedOnceUnderItsProcedure) {
  struct Case {
    const char* what;
    const char* table;
    const char* member;
    std::function<void(frmFEditDefinitions&)> act;
    const char* source;
    size_t types, positions, listRows;  // afterwards
  };
  auto click = [this](ui::CommandButton frmFEditDefinitions::*b) {
    return [this, b](frmFEditDefinitions& f) { ASSERT_TRUE(user_.Click(f.*b)); };
  };
  const Case cases[] = {
      {"type insert", "kt_Vertragsdefinitionen", "Insert", click(&frmFEditDefinitions::cmdSave), ".cmdSave_Click",
       1, 0, 1},
      {"a field of the type", "kt_Vertragsdefinitionen", "Field.SetValue", click(&frmFEditDefinitions::cmdSave),
       ".cmdSave_Click", 1, 0, 1},
      {"position insert", "kt_DefinitionsPositionen", "Insert", click(&frmFEditDefinitions::cmdSave),
       ".WritePositions", 2, 0, 1},
      {"placeholder", "kt_DefinitionsPositionen", "MoveFirst",
       [this](frmFEditDefinitions& f) {
         f.optKreditor.SetValue(true);
         ASSERT_TRUE(user_.Click(f.cmdSave));
       },
       ".WriteDummyPosition", 2, 0, 1},
      {"article lookup", "Artikel", "GotoOid", click(&frmFEditDefinitions::cmdAddPos), ".cmdAddPos_Click", 1, 0, 1},
      {"revenue account", "ScriptEngine", "Evaluate",
       [this](frmFEditDefinitions& f) {
         OnDialog([this](frmFEditDefPositions& d) { EXPECT_TRUE(user_.Click(d.cmdOk)); });
         ASSERT_TRUE(user_.Click(f.cmdAddPos));
       },
       ".cmdAddPos_Click", 1, 0, 1},
      {"article group", "Artikelgruppen", "Seek",
       [this](frmFEditDefinitions& f) { ASSERT_TRUE(user_.Select(f.cboArtikelGruppen, 1)); },
       ".cboArtikelGruppen_Click", 1, 0, 1},
      {"nothing to delete",
       "", "",
       [this](frmFEditDefinitions& f) {
         f.lvwPositionen.SetSelectedItem(nullptr);
         ASSERT_TRUE(user_.Click(f.cmdDeletePos));
       },
       ".cmdDeletePos_Click", 1, 0, 1},
      {"nothing to edit", "", "",
       [this](frmFEditDefinitions& f) {
         f.lvwPositionen.SetSelectedItem(nullptr);
         ASSERT_TRUE(user_.Click(f.cmdEditPos));
       },
       ".cmdEditPos_Click", 1, 0, 1},
  };
  for (const Case& c : cases) {
    host_->DeleteRows("kt_DefinitionsPositionen");
    host_->DeleteRows("kt_Vertragsdefinitionen");
    StoreType({{"Bezeichnung", "Vorhanden"}});
    auto f = NewEditor();
    ASSERT_TRUE(f->InitNew());
    f->txtBezeichnung.SetText("Neu");
    ui::ListItem& row = f->lvwPositionen.Add("");
    for (int32_t col = 1; col <= 22; ++col) row.SetSubItems(col, col == 11 ? "Z9" : col == 1 || col >= 22 ? "x" : "1");
    if (*c.member) host_->FailNext(c.table, c.member, kHostError, "");
    const size_t before = Boxes().size();
    c.act(*f);
    ASSERT_EQ(Boxes().size(), before + 1) << c.what;
    EXPECT_EQ(Boxes().back().title, std::optional<std::string>(std::string("Fehler in kt_FEditDefinitions") + c.source))
        << c.what;
    EXPECT_EQ(Rows("kt_Vertragsdefinitionen").size(), c.types) << c.what;
    EXPECT_EQ(Rows("kt_DefinitionsPositionen").size(), c.positions) << c.what;
    EXPECT_EQ(f->lvwPositionen.Count(), static_cast<int32_t>(c.listRows)) << c.what;
    EXPECT_FALSE(f->m_bSaved()) << c.what;
    // NettoSumme is written only after every position.
    for (const auto& r : Rows("kt_Vertragsdefinitionen")) EXPECT_EQ(rt::CDbl(r["NettoSumme"]), 0) << c.what;
    host_->ClearFaults();
  }
}

TEST_F(ContractTypesFailures, OpeningAndTheNewContractModeReportTheirOwnFailures) {
  const std::string oid = StoreType();
  StorePosition(oid);
  host_->FailNext("kt_DefinitionsPositionen", "MoveFirst", kHostError, "");
  auto f = NewEditor();
  EXPECT_FALSE(f->InitEdit());
  EXPECT_FALSE(Probe(*f).Loading());

  // The copy in memory holds a notice the list does not know.
  auto copy = std::make_shared<kt_CDefinition>();
  copy->Typ = "D";
  copy->Art = 1;
  copy->Dauer = 12;
  copy->Kuendigungsfrist = 5;
  copy->Dirty = true;
  copy->DefOid = oid;
  gDefinition = copy;
  auto g = NewEditor();
  ASSERT_TRUE(g->InitEdit());
  g->ShowForNewContract();
  EXPECT_EQ(gDefinition, copy);  // shown, not released
  EXPECT_FALSE(Probe(*g).Loading());

  // A duration that is no number when the mode starts.
  auto h = NewEditor();
  ASSERT_TRUE(h->InitEdit());
  h->txtDauer.SetText("x");
  gDefinition.reset();
  h->ShowForNewContract();

  const std::vector<std::optional<std::string>> titles = {"Fehler in kt_FEditDefinitions.InitEdit",
                                                          "Fehler in kt_FEditDefinitions.ShowFromMemory",
                                                          "Fehler in kt_FEditDefinitions.ShowForNewContract"};
  std::vector<std::optional<std::string>> shown;
  for (const auto& b : Boxes())
    if (b.title && b.title->rfind("Fehler in", 0) == 0) shown.push_back(b.title);
  EXPECT_EQ(shown, titles);
}

}  // namespace
}  // namespace editortest
